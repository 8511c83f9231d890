#include "frame/send_to_shortcut.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::TempDir;

std::string QuoteForShell(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Standard output and error of a shell command.
std::string RunCommand(const std::string& command) {
    std::string output;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return "popen failed";
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
    ::pclose(pipe);
    return output;
}

// A desktop session of its own: system folders holding a stub file manager, and
// empty user folders for the program to write into. GIO reads the types of the
// applications from each applications folder's cache, which desktops refresh
// whenever an entry is added; DefaultFor refreshes both as they would.
struct StubDesktop {
    TempDir dir;
    SendToFolders folders{dir / "data", dir / "config"};

    StubDesktop() {
        std::filesystem::create_directories(dir / "system/applications");
        std::filesystem::create_directories(dir / "system-config");
        dir.Write("system/applications/stub-files.desktop",
                  "[Desktop Entry]\nType=Application\nName=Stub Files\nExec=true %U\n"
                  "MimeType=inode/directory;application/octet-stream;\n");
    }

    void RefreshCaches() const {
        for (const std::string& folder : {dir / "system/applications", folders.dataHome + "/applications"}) {
            if (std::filesystem::exists(folder)) RunCommand("update-desktop-database " + QuoteForShell(folder));
        }
    }

    // What GIO names as the default application of `type` in this session.
    std::string DefaultFor(const std::string& type, bool refresh = true) const {
        if (refresh) RefreshCaches();
        return RunCommand("env -i PATH=\"$PATH\" LANG=C.UTF-8 GIO_USE_VFS=local HOME=" + QuoteForShell(dir / "home") +
                          " XDG_DATA_DIRS=" + QuoteForShell(dir / "system") +
                          " XDG_CONFIG_DIRS=" + QuoteForShell(dir / "system-config") +
                          " XDG_DATA_HOME=" + QuoteForShell(folders.dataHome) +
                          " XDG_CONFIG_HOME=" + QuoteForShell(folders.configHome) + " gio mime " + type);
    }
};

TEST(SendToShortcut, NeverChangesWhatOpensAFolderOrAFile) {
    StubDesktop desktop;
    // GIO passes over an entry whose program does not exist.
    const std::string program = desktop.dir / "varnel";
    desktop.dir.Write("varnel", "#!/bin/sh\n");
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    for (const char* type : {"inode/directory", "application/octet-stream"}) {
        const std::string before = desktop.DefaultFor(type);
        ASSERT_NE(before.find("stub-files.desktop"), std::string::npos) << before;
        ASSERT_TRUE(SetSendToShortcut(true, program, desktop.folders));
        EXPECT_EQ(desktop.DefaultFor(type), before) << type;
        ASSERT_TRUE(SetSendToShortcut(false, "", desktop.folders));
    }
}

TEST(SendToShortcut, AnEarlierEntryStaysNoDefaultInTheDesktopsTypeCache) {
    StubDesktop desktop;
    const std::string program = desktop.dir / "varnel";
    desktop.dir.Write("varnel", "#!/bin/sh\n");
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    const std::string before = desktop.DefaultFor("inode/directory");
    // The launcher of an earlier version, as a desktop indexed it.
    std::filesystem::create_directories(desktop.folders.dataHome + "/applications");
    desktop.dir.Write("data/applications/Varnel更名.desktop",
                      "[Desktop Entry]\nType=Application\nName=Varnel更名\nExec=" + program +
                          " %F\nMimeType=inode/directory;application/octet-stream;\n" + kSendToOwnerMark + "\n");
    ASSERT_NE(desktop.DefaultFor("inode/directory").find("Varnel更名.desktop"), std::string::npos);

    // Written anew, and without the desktop indexing it again, it opens nothing.
    ASSERT_TRUE(SetSendToShortcut(true, program, desktop.folders));
    EXPECT_EQ(desktop.DefaultFor("inode/directory", false), before);
    const std::string cache = desktop.dir.Read("data/applications/mimeinfo.cache");
    EXPECT_EQ(cache.find("Varnel"), std::string::npos);
    EXPECT_NE(cache.find("[MIME Cache]\n"), std::string::npos);
}

TEST(SendToShortcut, WritesEveryFileManagersEntryAndRemovesThem) {
    TempDir dir;
    const SendToFolders folders{dir / "data", dir / "config"};
    const std::vector<SendToFile> files = SendToFiles("/opt/my $app/var\"nel", folders);
    const std::string expectedPaths[] = {
        dir / "data/applications/Varnel更名.desktop", dir / "data/kio/servicemenus/varnel-send-to.desktop",
        dir / "data/nautilus/scripts/Varnel更名",     dir / "config/caja/scripts/Varnel更名",
        dir / "data/nemo/actions/varnel-send-to.nemo_action",
    };
    ASSERT_EQ(files.size(), std::size(expectedPaths));

    ASSERT_TRUE(SetSendToShortcut(true, "/opt/my $app/var\"nel", folders));
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(files[i].path, expectedPaths[i]);
        struct stat info {};
        ASSERT_EQ(::stat(files[i].path.c_str(), &info), 0) << files[i].path;
        EXPECT_EQ(info.st_mode & 0777, files[i].executable ? 0755u : 0644u) << files[i].path;
        const std::string text = dir.Read(files[i].path.substr(dir.Path().size() + 1));
        EXPECT_EQ(text, files[i].text);
        EXPECT_NE(text.find(kSendToOwnerMark), std::string::npos) << files[i].path;
        EXPECT_EQ(text.find("Windows"), std::string::npos) << files[i].path;
    }
    // Only the service menu, which lives outside every applications folder, names types.
    EXPECT_EQ(files[0].text.find("MimeType"), std::string::npos);
    EXPECT_NE(files[0].text.find("Exec=\"/opt/my \\\\$app/var\\\\\"nel\" %F\n"), std::string::npos);
    EXPECT_NE(files[0].text.find("Path=/opt/my $app\n"), std::string::npos);
    EXPECT_NE(files[1].text.find("Exec=\"/opt/my \\\\$app/var\\\\\"nel\" %F\n"), std::string::npos);
    EXPECT_NE(files[4].text.find("Exec='/opt/my $app/var\"nel' %F\n"), std::string::npos);
    EXPECT_TRUE(files[2].executable && files[3].executable && files[1].executable);

    // Writing again is harmless; switching off removes every file.
    ASSERT_TRUE(SetSendToShortcut(true, "/opt/my $app/var\"nel", folders));
    ASSERT_TRUE(SetSendToShortcut(false, "", folders));
    for (const SendToFile& file : files) EXPECT_FALSE(std::filesystem::exists(file.path)) << file.path;
}

TEST(SendToShortcut, LeavesAnotherProgramsFileOfTheSameNameAlone) {
    TempDir dir;
    const SendToFolders folders{dir / "data", dir / "config"};
    const std::vector<SendToFile> files = SendToFiles("/usr/bin/varnel", folders);
    const std::string foreign = "[Desktop Entry]\nName=someone else's\n";
    for (const SendToFile& file : files) {
        std::filesystem::create_directories(std::filesystem::path(file.path).parent_path());
        dir.Write(file.path.substr(dir.Path().size() + 1), foreign);
    }
    ASSERT_TRUE(SetSendToShortcut(true, "/usr/bin/varnel", folders));
    ASSERT_TRUE(SetSendToShortcut(false, "", folders));
    for (const SendToFile& file : files) {
        EXPECT_EQ(dir.Read(file.path.substr(dir.Path().size() + 1)), foreign) << file.path;
    }
}

TEST(SendToShortcut, ScriptHandsTheChosenPathsToTheProgramAsAbsolutePaths) {
    TempDir dir;
    // A stand-in program in a folder whose name needs quoting; it lists its arguments.
    const std::string programFolder = dir / "it's $here";
    std::filesystem::create_directories(programFolder);
    std::filesystem::create_directories(dir / "shown");
    const std::string program = programFolder + "/varnel";
    dir.Write("it's $here/varnel", "#!/bin/sh\nfor a do printf '%s\\n' \"$a\"; done > \"$ARGS_OUT\"\n");
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);

    const SendToFolders folders{dir / "data", dir / "config"};
    ASSERT_TRUE(SetSendToShortcut(true, program, folders));
    for (const std::string& script : {dir / "data/nautilus/scripts/Varnel更名", dir / "config/caja/scripts/Varnel更名"}) {
        std::filesystem::remove(dir / "args");
        RunCommand("cd " + QuoteForShell(dir / "shown") + " && ARGS_OUT=" + QuoteForShell(dir / "args") + " " +
                   QuoteForShell(script) + " 'a b.txt' /elsewhere/c \"d'e\"");
        EXPECT_EQ(dir.Read("args"), dir / "shown/a b.txt\n/elsewhere/c\n" + dir / "shown/d'e\n") << script;
    }
}

// The launcher starts the program through GIO even where its path holds "%",
// quotes, "$" and a backslash, and hands it the chosen file.
TEST(SendToShortcut, TheLauncherStartsAProgramWhosePathNeedsEscaping) {
    TempDir dir;
    const std::string folderName = "100% it's $x\\y";
    std::filesystem::create_directories(dir / folderName);
    const std::string program = dir / folderName + "/varnel %F";
    dir.Write(folderName + "/varnel %F", "#!/bin/sh\nfor a do printf '%s\\n' \"$a\"; done > \"$ARGS_OUT.tmp\"\n"
                                         "mv \"$ARGS_OUT.tmp\" \"$ARGS_OUT\"\n");
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    const SendToFolders folders{dir / "data", dir / "config"};
    ASSERT_TRUE(SetSendToShortcut(true, program, folders));
    const std::string launcher = dir / "data/applications/Varnel更名.desktop";
    EXPECT_EQ(RunCommand("desktop-file-validate " + QuoteForShell(launcher)), "");
    EXPECT_NE(dir.Read("data/applications/Varnel更名.desktop").find("/100%% it"), std::string::npos);
    EXPECT_NE(dir.Read("data/nemo/actions/varnel-send-to.nemo_action").find("/100%% it'"), std::string::npos);
    const std::string output =
        RunCommand("env -i PATH=\"$PATH\" LANG=C.UTF-8 GIO_USE_VFS=local HOME=" + QuoteForShell(dir / "home") +
                   " ARGS_OUT=" + QuoteForShell(dir / "args") + " gio launch " + QuoteForShell(launcher) + " " +
                   QuoteForShell(dir / "chosen 50%.txt"));
    EXPECT_EQ(output, "");
    // The program runs detached from gio: wait for what it wrote.
    for (int i = 0; i < 200 && !std::filesystem::exists(dir / "args"); ++i) ::usleep(50000);
    EXPECT_EQ(dir.Read("args"), dir / "chosen 50%.txt\n");
}

TEST(SendToShortcut, AFileThatCannotBeWrittenLeavesNoneBehind) {
    TempDir dir;
    dir.Write("config", "a file where the configuration folder should be");
    const SendToFolders folders{dir / "data", dir / "config"};
    const auto result = SetSendToShortcut(true, "/usr/bin/varnel", folders);
    ASSERT_FALSE(result);
    EXPECT_FALSE(result.error().message.empty());
    for (const SendToFile& file : SendToFiles("/usr/bin/varnel", folders)) {
        EXPECT_FALSE(std::filesystem::exists(file.path)) << file.path;
    }
}

}  // namespace
}  // namespace varnel
