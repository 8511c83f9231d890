// The program's run from the main window's start-up to the exit routine, left
// through each way of closing it. The sanitizer build runs this too: a component
// freed while the window still watches it shows up there.
#include "app/ui/program_run.h"

#include <QApplication>
#include <QTimer>
#include <QToolButton>

#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "frame/ui/exit_signals.h"
#include "frame/ui/main_menus.h"
#include "frame/ui/main_toolbar.h"
#include "frame/ui/main_window.h"
#include "settings/ini_document.h"
#include "support/notice_recorder.h"
#include "support/qt_app.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "platform/ui/qt_user_notifier.h"

namespace varnel {
namespace {

using testing::ScopedEnv;
using testing::TempDir;

MainWindow* ShownMainWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<MainWindow*>(widget); window != nullptr && window->isVisible()) return window;
    }
    return nullptr;
}

TEST(RunProgram, EveryWayOutClosesTheWindowThenFreesTheGlobals) {
    testing::TestApplication();
    struct Case {
        const char* name;
        std::function<void(MainWindow&, ExitSignalWatcher&)> leave;
        bool saves;
    };
    const Case cases[] = {
        {"退出", [](MainWindow& w, ExitSignalWatcher&) { w.Menus().Item("退出")->trigger(); }, true},
        {"toolbar", [](MainWindow& w, ExitSignalWatcher&) { w.Toolbar().Button(kExitSlot)->click(); }, true},
        {"close box", [](MainWindow& w, ExitSignalWatcher&) { w.close(); }, true},
        {"signal", [](MainWindow&, ExitSignalWatcher& s) { emit s.exitRequested(); }, true},
        {"other instance", [](MainWindow& w, ExitSignalWatcher&) { w.ExitWithoutSaving(); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        ScopedEnv env;
        env.Set("HOME", dir.Path());
        env.Set("XDG_CONFIG_HOME", dir / "config");
        env.Set("XDG_DATA_HOME", dir / "data");
        env.Set("XDG_CACHE_HOME", dir / "cache");
        dir.Write("报告.txt", "x");
        testing::NoticeRecorder notices;
        QtUserNotifier notifier;
        notifier.SetDesktopNotificationsEnabled(false);
        ExitSignalWatcher exitSignals;
        AppGlobals app;
        app.gCommandLineArgs = {dir / "报告.txt"};

        bool left = false;
        QTimer::singleShot(0, [&] {
            MainWindow* window = ShownMainWindow();
            if (window == nullptr) {
                QApplication::quit();
                return;
            }
            c.leave(*window, exitSignals);
            left = true;
        });
        EXPECT_EQ(RunProgram(app, notifier, exitSignals), 0);
        // The closed last window may have left a request to quit for the next event
        // loop; the program has none, the later tests do.
        QCoreApplication::removePostedEvents(QCoreApplication::instance(), QEvent::Quit);
        EXPECT_TRUE(left);
        EXPECT_EQ(ShownMainWindow(), nullptr);
        // The exit routine ran, after the window had gone.
        EXPECT_EQ(app.gDirectoryTree, nullptr);
        EXPECT_EQ(app.gSettings, nullptr);
        const std::string settings = dir / "config/Varnel/Varnel更名.ini";
        ASSERT_EQ(std::filesystem::exists(settings), c.saves);
        if (c.saves) {
            const IniDocument document = IniDocument::Parse(dir.Read("config/Varnel/Varnel更名.ini"));
            EXPECT_TRUE(document.Get("批量任务区", "自动预览").has_value());
        }
    }
}

}  // namespace
}  // namespace varnel
