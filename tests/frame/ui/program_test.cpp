// Starts the real program offscreen and ends it the way a session logout does.
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include "frame/ini_document.h"
#include "support/temp_dir.h"

extern char** environ;

namespace varnel {
namespace {

using namespace std::chrono_literals;
using testing::TempDir;

struct Program {
    pid_t pid = -1;
    int status = 0;
};

Program Start(const TempDir& dir, const std::vector<std::string>& arguments) {
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

    Program program;
    EXPECT_EQ(::posix_spawn(&program.pid, VARNEL_PROGRAM, nullptr, nullptr, argvPointers.data(),
                            envPointers.data()),
              0);
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
    // The main window's 50 keys and the batch task area's 6.
    EXPECT_EQ(keys.size(), 56u);
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

}  // namespace
}  // namespace varnel
