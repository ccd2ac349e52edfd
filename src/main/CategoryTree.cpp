#include "CategoryTree.h"
#include "store/CategoryCode.h"
#include "store/Dataset.h"
#include "store/queries/Categories.h"

#include <QApplication>
#include <QStyle>
#include <QTreeWidget>
#include <array>

void FillCategoryTree(QTreeWidget *tree, Dataset *query, const QString &table, const QString &rootCaption)
{
    Categories::openInCodeOrder(*query, table);
    tree->setUpdatesEnabled(false);
    tree->clear();
    auto *root = new QTreeWidgetItem(tree, QStringList(rootCaption));
    const QIcon folder = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
    std::array<QTreeWidgetItem *, 10> lastAtLevel{};
    lastAtLevel[0] = root;
    const int code = query->checkedFieldIndex(QStringLiteral("code"));
    const int name = query->checkedFieldIndex(QStringLiteral("name"));
    for (int row = 0; row < query->recordCount(); ++row) {
        const QString c = Dataset::displayText(query->value(row, code)).trimmed();
        const int level = CategoryCode::CodeLevel(CategoryCode::Pattern, c);
        if (level <= 0 || !lastAtLevel[size_t(level - 1)])
            continue; // no level, or a row whose parent level has no node yet
        auto *item = new QTreeWidgetItem(lastAtLevel[size_t(level - 1)],
                                         QStringList(c + QLatin1Char('-') + Dataset::displayText(query->value(row, name)).trimmed()));
        item->setIcon(0, folder);
        lastAtLevel[size_t(level)] = item;
    }
    root->setExpanded(true);
    tree->setUpdatesEnabled(true);
}

int categoryNodeLevel(const QTreeWidgetItem *item)
{
    int level = 0;
    for (const QTreeWidgetItem *p = item ? item->parent() : nullptr; p; p = p->parent())
        ++level;
    return level;
}
