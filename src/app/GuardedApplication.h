#pragma once

#include <QApplication>

// The program's application object: an exception thrown from any event handler, slot
// or timer is shown by the default error report instead of crossing Qt's event loop
// (which would end the program). The event that threw counts as not handled.
class GuardedApplication : public QApplication
{
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override;
};

namespace Startup {
// Shows the default error report for the exception being handled; call in a catch block.
void reportCurrentException();
}
