#pragma once

#include <QString>

class Dataset;
class QTreeWidget;
class QTreeWidgetItem;

// Fills a tree from a category table: a root node with the caption, then one node
// "code-name" per row under the last node of the level above. Rows whose code has no
// level are left out. The root is expanded one level.
void FillCategoryTree(QTreeWidget *tree, Dataset *query, const QString &table, const QString &rootCaption);

// The level of a node: 0 for the root, k for a category of k two-digit segments.
int categoryNodeLevel(const QTreeWidgetItem *item);
