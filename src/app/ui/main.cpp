// The program's entry: the global components, the single-instance check, the main
// window, the event loop, and the exit routine once the window is gone.
#include <QApplication>
#include <QLocale>
#include <QTimer>

#include <cstdio>

#include "app/app_globals.h"
#include "app/ui/program_run.h"
#include "app/ui/qt_translations.h"
#include "frame/instance_check.h"
#include "frame/ui/exit_signals.h"
#include "platform/posix_api.h"
#include "platform/ui/qt_user_notifier.h"
#include "platform/write_journal.h"
#include "utilities/user_notifier.h"

namespace {

// True when this process should end at once: its paths went to the running
// instance, or the user chose to switch to it.
bool HandOverToRunningInstance(varnel::AppGlobals& app) {
    varnel::MessageChannel& channel = *app.gInstanceChannel;
    // Without the lock two starts may both decide to run; each still works.
    if (auto locked = channel.LockStarts(); !locked) {
        std::fprintf(stderr, "varnel: 实例通道不可用: %s %s\n", locked.error().message.c_str(),
                     locked.error().path.c_str());
    }
    const auto decision =
        varnel::CheckSingleInstance(app.gCommandLineArgs, varnel::SystemPosix().Getcwd(), channel);
    channel.UnlockStarts();
    return decision == varnel::StartUpDecision::Exit;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Varnel");
    varnel::InstallQtTranslations(QLocale::system());
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
    if (HandOverToRunningInstance(app)) return 0;
    // Undo data a crashed or killed run of the program left behind.
    app.gUndoSpool.RemoveLeftovers();

    // Writes a killed run left half done are put right before any run can start;
    // the notice says which, once the window is there.
    const std::string recovered = varnel::JournalReplayNotice(varnel::ReplayWriteJournal());
    if (!recovered.empty()) {
        QTimer::singleShot(0, &application, [recovered] { varnel::ShowTrayNotice(recovered); });
    }

    return varnel::RunProgram(app, notifier, exitSignals);
}
