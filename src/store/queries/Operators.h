#pragma once

#include <QString>

class Dataset;

// Statements on operators (admin), roles (T_Part) and their rights rows.
namespace Operators {
// The operator's rights rows in key order: row k is rights slot k.
void openRights(Dataset &rows, const QString &userName);
} // namespace Operators
