#include "GuardedApplication.h"
#include "store/DbError.h"
#include "ui/Messages.h"

#include <exception>

void Startup::reportCurrentException()
{
    try {
        throw;
    } catch (const DbError &error) {
        Messages::errorReport(nullptr, error.text());
    } catch (const std::exception &error) {
        Messages::errorReport(nullptr, QString::fromUtf8(error.what()));
    } catch (...) {
        Messages::errorReport(nullptr, QStringLiteral("程序遇到未知错误。"));
    }
}

bool GuardedApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        Startup::reportCurrentException();
    }
    return false;
}
