#pragma once

#include <QString>

class Dataset;

// Statements of the data module's shared queries and of the lookup lists.
namespace Shared {
// Every row of a table, in stored order: what the shared queries start with.
QString allRowsOf(const QString &table);
// The company information (info) and the product information (T_SoftInfo).
void openCompanyInfo(Dataset &query);
void openSoftInfo(Dataset &query);
// A lookup list (Dict_…) ordered by its name or by its id column.
void openLookupByName(Dataset &query, const QString &table);
void openLookupById(Dataset &query, const QString &table);
} // namespace Shared
