#pragma once

#include "OperatorScope.h"

class Dataset;

// Statements on customers (custom).
namespace Customers {
// The customer list in the operator's scope: every customer with the view-all right,
// otherwise the operator's own.
void openList(Dataset &query, const OperatorScope &scope);
// The operator's own customers, whatever his rights.
void openOwn(Dataset &query, const QString &operatorName);
} // namespace Customers
