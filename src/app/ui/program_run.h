// The program's life once the single-instance check has let it run: the main
// window's start-up, the event loop, then the end in its one order (the window and
// everything that watches the global components first, the exit routine last).
#pragma once

#include "app/app_globals.h"

namespace varnel {

class ExitSignalWatcher;
class QtUserNotifier;

// Returns the event loop's result once the window has closed (退出, the toolbar's
// exit, the frame's close box, a termination signal, or another instance's quit)
// and the exit routine has freed the global components.
int RunProgram(AppGlobals& app, QtUserNotifier& notifier, ExitSignalWatcher& exitSignals);

}  // namespace varnel
