#include "ClearData.h"
#include "Run.h"
#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/DbError.h"

namespace ClearData {

QStringList offeredActions(Connection &connection)
{
    Dataset rows(&connection);
    Run::open(rows, QStringLiteral("select Action from Dict_ClearData where F_Flag = true order by ClearID"));
    QStringList captions;
    for (int row = 0; row < rows.recordCount(); ++row)
        captions.append(rows.value(row, 0).toString());
    return captions;
}

bool run(Connection &connection, const QStringList &captions, QString *failure)
{
    try {
        Dataset rows(&connection);
        Run::open(rows, QStringLiteral("select Action, SQL from Dict_ClearData order by ClearID"));
        QStringList statements;
        for (const QString &caption : captions) {
            for (int row = 0; row < rows.recordCount(); ++row) {
                // The caption identifies the action exactly: no case folding, no trimming.
                if (rows.value(row, 0).toString() == caption) {
                    statements.append(rows.value(row, 1).toString());
                    break;
                }
            }
        }
        rows.close();
        connection.begin();
        try {
            for (const QString &statement : std::as_const(statements))
                Run::exec(connection, statement);
            connection.commit();
        } catch (...) {
            connection.rollback();
            throw;
        }
        return true;
    } catch (const DbError &error) {
        if (failure)
            *failure = error.text();
        return false;
    }
}

} // namespace ClearData
