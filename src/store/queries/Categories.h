#pragma once

#include <QString>

class Connection;
class Dataset;

// Statements on the category trees (Cust_Category, Goods_Category). The table is one of
// those two; any other name throws, since it becomes part of the statement.
namespace Categories {
void openAll(Dataset &query, const QString &table);
void openInCodeOrder(Dataset &query, const QString &table);
void openByCode(Dataset &query, const QString &table, const QString &code);
void deleteByCode(Connection &connection, const QString &table, const QString &code);
} // namespace Categories
