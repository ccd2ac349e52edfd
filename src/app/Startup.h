#pragma once

class QApplication;

// The program's start: splash, hidden main window, data module (which opens the
// database or asks about the local one), login, then the event loop. An exception
// from any of it is shown by the default error report and gives a non-zero result.
namespace Startup {
int run(QApplication &app);
}
