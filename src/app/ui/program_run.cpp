#include "app/ui/program_run.h"

#include <QApplication>

#include <memory>

#include "frame/ui/exit_signals.h"
#include "frame/ui/instance_messages.h"
#include "frame/ui/main_window.h"
#include "platform/ui/qt_user_notifier.h"

namespace varnel {

int RunProgram(AppGlobals& app, QtUserNotifier& notifier, ExitSignalWatcher& exitSignals) {
    int result = 0;
    {
        auto window = std::make_unique<MainWindow>(app, notifier);
        window->OnMainWindowCreated();
        window->ShowAsLoaded();
        // It watches the channel, which the exit routine closes; it goes first.
        auto instanceMessages = std::make_unique<InstanceMessages>(app, *window);
        QObject::connect(&exitSignals, &ExitSignalWatcher::exitRequested, window.get(),
                         &MainWindow::ExitOnSignal);

        result = QApplication::exec();
        instanceMessages.reset();
        // The window's models watch the directory tree and the rows: the window is
        // destroyed while the components it watches still exist.
        window.reset();
    }
    app.ExitRoutine();
    return result;
}

}  // namespace varnel
