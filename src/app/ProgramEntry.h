#pragma once

#include "platform/SingleInstanceGuard.h"

#include <QString>

namespace velmora::app {

// The name under which one copy of the program holds its per-session lock.
QString InstanceName();
// The browser whose open bid-information pages interfere with ours.
QString WarnedBrowserName();

// The program from the guard's verdict to the end of the message loop, with
// the application object already made: the box for a second copy, the
// question about a running browser, the main window and its loop. Errors that
// escape are shown in the error box. Returns the exit code (1 only when the
// web-site definitions are missing).
int RunMainWindow(velmora::platform::SingleInstanceGuard::State guard);

// The whole program after the application object exists: takes the
// single-instance lock for the rest of the process's life, then RunMainWindow.
int RunProgram();

} // namespace velmora::app
