#pragma once

class QApplication;

// The program's start: splash, hidden main window, data module (which opens the
// database or asks about the local one), login, then the event loop.
namespace Startup {
int run(QApplication &app);
}
