#pragma once

#include <QString>

class Dataset;

// Statements on the work diary (T_Daily).
namespace Diary {
// The operator's own entries, oldest first.
void openOwn(Dataset &query, const QString &operatorName);
// Every entry whose subject or content holds the keyword (an empty keyword finds all).
void openSearch(Dataset &query, const QString &keyword);
} // namespace Diary
