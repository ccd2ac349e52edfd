#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

class Connection;
class Dataset;

// Statements on the goods register T_Goods and its category tree Goods_Category.
namespace Goods {

// Every goods.
void openAll(Dataset &query);
// The goods of a category and all its sub-categories: codes starting with the category's code.
void openCategory(Dataset &query, const QString &categoryCode);

// The search inputs of the goods search and the goods picker. Each non-empty text is
// matched anywhere in its column, as typed; empty inputs take no part.
struct SearchTexts
{
    QString code, name, unit;
};
// How the two dialogs write a condition: the search with a blank before the pattern
// ("like '%…%'"), the picker without ("like'%…%'"). Both mean the same.
enum class SearchStyle { Search, Picker };
// The statement for the texts: "select * from [T_Goods] where " with the conditions
// joined by "AND", or "select * from T_Goods" when every text is empty. The patterns are
// bound as :Code, :Name and :Unit.
QString searchStatement(const SearchTexts &texts, SearchStyle style);
void openSearch(Dataset &query, const SearchTexts &texts, SearchStyle style);

// Whether a goods with that code exists (compared without regard to case, as the column is).
bool codeExists(Connection *connection, const QString &code);
// Gives every bill line of the old code the new one; the number of lines changed.
int renameInBillLines(Connection *connection, const QString &oldCode, const QString &newCode);
// The name of the goods category with that code; empty when there is none.
QString categoryName(Connection *connection, const QString &categoryCode);
// The units of measure offered by the goods editor (lookup list "Units"), in stored order.
QStringList units(Connection *connection);

} // namespace Goods
