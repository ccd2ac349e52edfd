#pragma once

#include "Messages.h"
#include "store/DbError.h"

#include <exception>

class QWidget;

// Runs a command handler so that no exception crosses Qt's event loop: a database
// or other failure is shown by the default error report, and the window stays as it was.
template <typename Handler>
bool guarded(QWidget *parent, Handler &&handler)
{
    try {
        handler();
        return true;
    } catch (const DbError &error) {
        Messages::errorReport(parent, error.text());
    } catch (const std::exception &error) {
        Messages::errorReport(parent, QString::fromUtf8(error.what()));
    }
    return false;
}
