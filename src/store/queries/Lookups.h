#pragma once

#include <QString>
#include <QStringList>

class Connection;
class Dataset;

// Statements on the lookup lists that the editors offer their values from: the Dict_
// tables and the lists kept in T_Other under a category (Cataid).
namespace Lookups {

// The lists the lookup window edits, one page each, in page order.
enum class List { Countries, JobTitles, Departments, CustomerSources, CustomerTypes, Units };
inline constexpr int ListCount = 6;

// Every value of a list, editable: a changed row is written back to the list's table.
void openList(Dataset &query, List list);
// The category a new value of the list is stored with ("Units" for the units of
// measure, which share T_Other with other lists); empty for a list with a table of its own.
QString newValueCategory(List list);

// The schedule subjects (T_Other, category "subject"), trimmed, in the order stored.
QStringList scheduleSubjects(Connection *db);

} // namespace Lookups
