#pragma once

#include <QStringList>

class Connection;

// A database file's tables, columns, views, indexes and triggers held against those the
// program itself creates (the same schema script the delivered database is written
// from). A file may have been made by hand or poisoned: a missing table or column would
// fail every save later, and a trigger or view of someone else's runs with every change.
namespace SchemaCheck {

struct Differences
{
    QStringList refusals; // missing tables, columns or views; triggers or views not ours
    QStringList notes;    // extra tables, columns and indexes a later version may add; missing indexes
    bool acceptable() const { return refusals.isEmpty(); }
};

// Compares the database open on `connection` (a file) with the program's schema.
Differences compare(Connection &connection);

// "缺少表 T_Bill; 表 custom 缺少列 memo3; ..." for a message; at most `limit` items.
QString describe(const QStringList &items, int limit = 5);

// "数据库结构与本系统不符: ..." for the refusals, the heading a message starts with.
QString refusalText(const Differences &differences);
bool isRefusalText(const QString &text);

} // namespace SchemaCheck
