// The program's entry: the global components, the main window, the event loop,
// and the exit routine once the window is gone.
#include <QApplication>

#include "frame/app_globals.h"
#include "frame/ui/exit_signals.h"
#include "frame/ui/main_window.h"
#include "utilities/ui/qt_user_notifier.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Varnel");
    // Watch for SIGTERM and SIGINT from the start: a signal that arrives during
    // start-up is handled once the event loop runs.
    varnel::ExitSignalWatcher exitSignals;
    // Message boxes and notices for every window and worker; it outlives the
    // global components, so no worker can ask after it is gone.
    varnel::QtUserNotifier notifier;
    notifier.Install();

    varnel::AppGlobals app;
    // Paths stay the byte strings they came as; the file list loads them.
    for (int i = 1; i < argc; ++i) app.gCommandLineArgs.emplace_back(argv[i]);

    varnel::MainWindow window(app, notifier);
    window.OnMainWindowCreated();
    window.ShowAsLoaded();

    QObject::connect(&exitSignals, &varnel::ExitSignalWatcher::exitRequested, &window,
                     &varnel::MainWindow::ExitOnSignal);

    const int result = QApplication::exec();
    app.ExitRoutine();
    return result;
}
