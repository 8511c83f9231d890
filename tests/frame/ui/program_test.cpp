// Starts the real program offscreen: ends it the way a session logout does, and
// runs it beside another instance.
#include <QTest>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include "settings/ini_document.h"
#include "app/app_globals.h"
#include "frame/message_channel.h"
#include "frame/ui/instance_messages.h"
#include "frame/ui/main_window.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"
#include "platform/ui/qt_user_notifier.h"

extern char** environ;

namespace varnel {
namespace {

using namespace std::chrono_literals;
using testing::TempDir;

struct Program {
    pid_t pid = -1;
    int status = 0;
};

Program Start(const TempDir& dir, const std::vector<std::string>& arguments, const std::string& folder = {}) {
    std::filesystem::create_directories(dir / "run");
    std::filesystem::permissions(dir / "run", std::filesystem::perms::owner_all);
    std::vector<std::string> environment = {
        "XDG_CONFIG_HOME=" + (dir / "config"), "XDG_DATA_HOME=" + (dir / "data"),
        "XDG_CACHE_HOME=" + (dir / "cache"),   "XDG_RUNTIME_DIR=" + (dir / "run"),
        "HOME=" + dir.Path(),                  "QT_QPA_PLATFORM=offscreen",
    };
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (!entry.starts_with("XDG_") && !entry.starts_with("HOME=") &&
            !entry.starts_with("QT_QPA_PLATFORM=")) {
            environment.push_back(entry);
        }
    }
    std::vector<std::string> argv = {VARNEL_PROGRAM};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> argvPointers;
    for (auto& a : argv) argvPointers.push_back(a.data());
    argvPointers.push_back(nullptr);
    std::vector<char*> envPointers;
    for (auto& e : environment) envPointers.push_back(e.data());
    envPointers.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    if (!folder.empty()) ::posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    Program program;
    EXPECT_EQ(::posix_spawn(&program.pid, VARNEL_PROGRAM, &actions, nullptr, argvPointers.data(),
                            envPointers.data()),
              0);
    ::posix_spawn_file_actions_destroy(&actions);
    return program;
}

bool WaitFor(const std::string& path, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!std::filesystem::exists(path)) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

bool WaitForExit(Program& program, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (::waitpid(program.pid, &program.status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(program.pid, SIGKILL);
            ::waitpid(program.pid, &program.status, 0);
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

TEST(Program, StartsWithAPathAndSavesOnTermination) {
    TempDir dir;
    dir.Write("报告.txt", "x");
    Program program = Start(dir, {dir / "报告.txt"});
    ASSERT_GT(program.pid, 0);
    // The program records where it lives once its window exists.
    ASSERT_TRUE(WaitFor(dir / "config/Varnel/Varnel注册表.ini", 30s));
    std::this_thread::sleep_for(200ms);
    ::kill(program.pid, SIGTERM);
    ASSERT_TRUE(WaitForExit(program, 30s));
    ASSERT_TRUE(WIFEXITED(program.status)) << "ended by signal " << WTERMSIG(program.status);
    EXPECT_EQ(WEXITSTATUS(program.status), 0);

    const auto keys = IniDocument::Parse(dir.Read("config/Varnel/Varnel更名.ini")).KeyList();
    // The main window's 50 keys, the batch task area's 6 and the common rename panel's 18
    // (the task shown at start).
    EXPECT_EQ(keys.size(), 74u);
    const auto registry = IniDocument::Parse(dir.Read("config/Varnel/Varnel注册表.ini"));
    const auto recorded = registry.Get("Varnel软件\\Varnel更名", "运行目录");
    ASSERT_TRUE(recorded.has_value());
    EXPECT_EQ(std::filesystem::canonical(*recorded), std::filesystem::canonical(VARNEL_PROGRAM));
    // The send-to entry is on by design.
    EXPECT_TRUE(std::filesystem::exists(dir / "data/applications/Varnel更名.desktop"));
}

TEST(Program, KeepsSettingsItDoesNotOwn) {
    TempDir dir;
    std::filesystem::create_directories(dir / "config/Varnel");
    dir.Write("config/Varnel/Varnel更名.ini",
              "; written by hand\n[批量替换]\n查找=旧\n[过滤参数]\n过滤文本=*.jpg\n");
    Program program = Start(dir, {});
    ASSERT_TRUE(WaitFor(dir / "config/Varnel/Varnel注册表.ini", 30s));
    std::this_thread::sleep_for(200ms);
    ::kill(program.pid, SIGINT);
    ASSERT_TRUE(WaitForExit(program, 30s));
    EXPECT_TRUE(WIFEXITED(program.status) && WEXITSTATUS(program.status) == 0);
    const std::string text = dir.Read("config/Varnel/Varnel更名.ini");
    const auto document = IniDocument::Parse(text);
    EXPECT_EQ(text.rfind("; written by hand\n", 0), 0u);
    EXPECT_EQ(document.Get("批量替换", "查找"), "旧");
    EXPECT_EQ(document.Get("过滤参数", "过滤文本"), "*.jpg");
}

TEST(Program, ASecondStartHandsItsPathsToTheRunningInstanceAndEnds) {
    QApplication& application = testing::TestApplication();
    (void)application;
    TempDir dir;
    const std::vector<std::string> names = {"相对.txt", "行一\n行二.txt", "\xff\xfe.bin"};
    for (const std::string& name : names) dir.Write(name, "x");
    std::filesystem::create_directories(dir / "run");

    // This test process is the running instance.
    QtUserNotifier notifier;
    notifier.SetDesktopNotificationsEnabled(false);
    notifier.Install();
    AppGlobals app;
    app.gInstanceChannel = std::make_unique<MessageChannel>(dir / "run/Varnel");
    ASSERT_TRUE(app.gInstanceChannel->OpenChannel());
    MainWindow window(app, notifier);
    InstanceMessages messages(app, window);

    // A relative path is taken in the folder the second start was made in.
    Program second = Start(dir, {names[0], dir / names[1], dir / names[2]}, dir.Path());
    ASSERT_GT(second.pid, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ::waitpid(second.pid, &second.status, WNOHANG) != 0; }, 30000));
    ASSERT_TRUE(WIFEXITED(second.status));
    EXPECT_EQ(WEXITSTATUS(second.status), 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "config/Varnel/Varnel注册表.ini"));  // it never made a window

    ASSERT_TRUE(QTest::qWaitFor([&] { return app.gListRows.RowCount() == 3 && !app.gRunControl.IsActive(); }, 30000));
    std::vector<std::string> listed;
    for (std::size_t row = 0; row < app.gListRows.RowCount(); ++row) listed.push_back(app.gListRows.FullPath(row));
    EXPECT_EQ(listed, (std::vector<std::string>{dir / names[0], dir / names[1], dir / names[2]}));
    EXPECT_TRUE(window.isVisible());
}

TEST(Program, TakesOverAStaleSocketAndQuitsWithoutSavingWhenAsked) {
    TempDir dir;
    Program killed = Start(dir, {});
    ASSERT_TRUE(WaitFor(dir / "config/Varnel/Varnel注册表.ini", 30s));
    ::kill(killed.pid, SIGKILL);
    ::waitpid(killed.pid, &killed.status, 0);
    ASSERT_TRUE(std::filesystem::exists(dir / "run/Varnel/instance.sock"));  // left behind

    // Its socket answers nobody, so the next start asks nothing and takes it over.
    Program program = Start(dir, {});
    MessageChannel client(dir / "run/Varnel");
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (!client.SendFrame(FrameType::Probe, {})) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline);
        std::this_thread::sleep_for(50ms);
    }
    ASSERT_TRUE(client.SendFrame(FrameType::Quit, {}));
    EXPECT_TRUE(client.WaitForOwnerToEnd());
    ASSERT_TRUE(WaitForExit(program, 30s));
    ASSERT_TRUE(WIFEXITED(program.status));
    EXPECT_EQ(WEXITSTATUS(program.status), 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "config/Varnel/Varnel更名.ini"));
    EXPECT_FALSE(std::filesystem::exists(dir / "run/Varnel/instance.sock"));
    // The channel is free for the next instance.
    EXPECT_TRUE(client.OpenChannel());
}

}  // namespace
}  // namespace varnel
