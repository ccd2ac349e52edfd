#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Connection;
class Dataset;

// The data clearing actions of Dict_ClearData: a caption, the statement that does the work
// (in the program's dialect) and whether the action is offered.
namespace ClearData {

// The captions of the offered actions, in the table's order.
QStringList offeredActions(Connection &connection);

// Runs the statements of the actions with these captions (matched exactly, case and all,
// against every row, offered or not), in the order given, in one transaction. A caption
// that matches no row is skipped. Returns false, with nothing changed, when any statement
// fails; the engine's text then goes to failure.
bool run(Connection &connection, const QStringList &captions, QString *failure = nullptr);

} // namespace ClearData
