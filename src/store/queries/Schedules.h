#pragma once

#include "OperatorScope.h"

#include <QDate>
#include <QString>
#include <QStringList>

class Connection;
class Dataset;

// Statements on schedules, the contact activities with customers (T_Schedule).
namespace Schedules {
// Every schedule in the operator's scope: all of them with the view-all right, otherwise
// the operator's own.
void openList(Dataset &query, const OperatorScope &scope);
// The schedules in scope whose reminder date is the day, whether a reminder is wanted
// or not; a schedule without a reminder date never matches.
void openByReminderDate(Dataset &query, const OperatorScope &scope, const QDate &day);
// The operator's own schedules, whatever his rights, that want a reminder and whose
// reminder date lies the day count from today (0 today, 1 tomorrow, -1 yesterday). The
// count is the typed text without surrounding blanks; the engine compares it as a
// number, so a text that is none matches nothing.
void openReminders(Dataset &query, const QString &operatorName, const QString &dayText);
// The names of a company's contacts, trimmed, in the order stored: what a schedule of
// that company offers as its contact.
QStringList contactNames(Connection *db, const QString &company);
} // namespace Schedules
