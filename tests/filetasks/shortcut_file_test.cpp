#include "filetasks/shortcut_file.h"

#include <cstdio>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "lnk_fixtures.h"
#include "support/faulty_posix.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::TempDir;
using namespace lnk_fixtures;

bool Contains(const std::string& haystack, const std::string& needle) {
    return haystack.find(needle) != std::string::npos;
}

TEST(ShortcutPaths, ExtensionRules) {
    struct Case {
        const char* in;
        const char* forLink;
        const char* forProperties;
    };
    const Case cases[] = {
        {"/a/b", "/a/b.lnk", "/a/b.lnk"},
        {"/a.b/c", "/a.b/c.lnk", "/a.b/c.lnk"},
        {"/a/b.lnk", "/a/b.lnk", "/a/b.lnk"},
        {"/a/b.txt", "/a/b.txt", "/a/b.txt.lnk"},
        {"/a/page.URL", "/a/page.URL", "/a/page.URL"},
        {"/a/x.Lnk", "/a/x.Lnk", "/a/x.Lnk"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AdjustShortcutPathForLink(c.in), c.forLink) << c.in;
        EXPECT_EQ(AdjustShortcutPathForProperties(c.in), c.forProperties) << c.in;
    }
    EXPECT_EQ(AdjustShortcutPathForLink("  /a/b  "), "/a/b.lnk");
}

TEST(ShortcutRead, FixturesFromOtherWriters) {
    TempDir dir;
    struct Case {
        const char* name;
        std::string bytes;
        const char* target;
    };
    const std::string gbkDescription = "\xD6\xD0\xCE\xC4";  // 中文 in GBK
    const Case cases[] = {
        {"windows.lnk", WindowsLink(), "C:\\Windows\\notepad.exe"},
        {"network.lnk",
         Header(kLinkInfo | kUnicode) + NetworkLinkInfo("\\\\server\\share", "docs\\a.txt") + Terminal(),
         "\\\\server\\share\\docs\\a.txt"},
        {"ansi.lnk",
         Header(kLinkInfo | kName | kArgs) + LocalLinkInfoAnsi("D:\\\xD2\xF4\xC0\xD6.mp3") + U16(4) + gbkDescription +
             U16(2) + "-q" + Terminal(),
         "D:\\音乐.mp3"},
        {"noterminal.lnk", Header(kLinkInfo) + LocalLinkInfoAnsi("/srv/x"), "/srv/x"},
    };
    for (const Case& c : cases) {
        dir.Write(c.name, c.bytes);
        EXPECT_EQ(GetShortcutTarget(dir / c.name), c.target) << c.name;
    }

    ShortcutProperties p;
    std::string path = dir / "windows.lnk";
    ASSERT_TRUE(ReadShortcutProperties(path, p));
    EXPECT_EQ(p.workingDirectory, "C:\\Windows");
    EXPECT_EQ(p.relativePath, "..\\Windows\\notepad.exe");
    EXPECT_EQ(p.iconLocation, "%SystemRoot%\\system32\\shell32.dll,2");
    EXPECT_EQ(p.windowStyle, 3);
    EXPECT_EQ(p.description, "Edit text");
    EXPECT_EQ(p.arguments, "/A x.txt");
    EXPECT_EQ(p.hotkey, "Ctrl+Shift+E");
    EXPECT_EQ(p.fullName, path);

    path = dir / "ansi";  // no extension: ".lnk" is added
    dir.Write("ansi.lnk", cases[2].bytes);
    ASSERT_TRUE(ReadShortcutProperties(path, p));
    EXPECT_EQ(path, dir / "ansi.lnk");
    EXPECT_EQ(p.description, "中文");
    EXPECT_EQ(p.arguments, "-q");
}

TEST(ShortcutRead, NotAShortcutGivesNothing) {
    TempDir dir;
    dir.Write("plain.lnk", "just text, not a link");
    dir.Write("short.lnk", WindowsLink().substr(0, 100));  // cut inside the item list
    std::filesystem::create_directory(dir / "folder.lnk");
    for (const char* name : {"plain.lnk", "short.lnk", "folder.lnk", "missing.lnk"}) {
        EXPECT_EQ(GetShortcutTarget(dir / name), "") << name;
        EXPECT_EQ(ShortcutTargetExists(dir / name), std::nullopt) << name;
    }
}

TEST(ShortcutRead, EmptyTargetLeavesOtherFields) {
    TempDir dir;
    // A link to a virtual item: only an item list, no LinkInfo.
    dir.Write("virtual.lnk", Header(kIdList | kName | kUnicode) + IdList() + WideCounted("Control Panel") + Terminal());
    ShortcutProperties p;
    p.description = "before";
    p.windowStyle = 7;
    std::string path = dir / "virtual.lnk";
    EXPECT_FALSE(ReadShortcutProperties(path, p));
    EXPECT_EQ(p.description, "before");
    EXPECT_EQ(p.windowStyle, 7);
}

TEST(ShortcutWrite, PropertyChangeKeepsEveryOtherPartByteForByte) {
    TempDir dir;
    dir.Write("w.lnk", WindowsLink());
    std::string path = dir / "w.lnk";
    ShortcutProperties p;
    ASSERT_TRUE(ReadShortcutProperties(path, p));
    p.description = "新的说明";
    p.windowStyle = 0;
    ASSERT_TRUE(WriteShortcutProperties(path, p));
    const std::string after = dir.Read("w.lnk");
    for (const std::string& part :
         {IdList(), LocalLinkInfoAnsi("C:\\Windows\\notepad.exe"), TrackerBlock(), PropertyStoreBlock(), UnknownBlock()}) {
        EXPECT_TRUE(Contains(after, part));
    }
    ShortcutProperties again;
    ASSERT_TRUE(ReadShortcutProperties(path, again));
    EXPECT_EQ(again.description, "新的说明");
    EXPECT_EQ(again.windowStyle, 1);  // 0 would hide the window
    EXPECT_EQ(again.hotkey, "Ctrl+Shift+E");
    EXPECT_EQ(again.targetPath, "C:\\Windows\\notepad.exe");

    // A new target drops the item list and the tracker; the other blocks stay.
    again.targetPath = dir / "new target.txt";
    ASSERT_TRUE(WriteShortcutProperties(path, again));
    const std::string moved = dir.Read("w.lnk");
    EXPECT_FALSE(Contains(moved, IdList()));
    EXPECT_FALSE(Contains(moved, TrackerBlock()));
    EXPECT_TRUE(Contains(moved, PropertyStoreBlock()));
    EXPECT_TRUE(Contains(moved, UnknownBlock()));
    EXPECT_EQ(GetShortcutTarget(path), dir / "new target.txt");
    EXPECT_EQ(ShortcutTargetExists(path), false);
    dir.Write("new target.txt", "x");
    EXPECT_EQ(ShortcutTargetExists(path), true);
}

TEST(ShortcutWrite, RoundTripOfOwnFiles) {
    TempDir dir;
    ShortcutProperties p;
    p.targetPath = dir / "音乐 文件.mp3";
    p.workingDirectory = dir.Path();
    p.relativePath = ".\\音乐 文件.mp3";
    p.iconLocation = "";
    p.windowStyle = 7;
    p.description = "说明 \"quoted\"";
    p.arguments = "--one 'two'";
    p.hotkey = "Alt+Ctrl+F5";
    std::string path = dir / "new";
    ASSERT_TRUE(WriteShortcutProperties(path, p));
    EXPECT_EQ(path, dir / "new.lnk");
    ShortcutProperties r;
    ASSERT_TRUE(ReadShortcutProperties(path, r));
    EXPECT_EQ(r.targetPath, p.targetPath);
    EXPECT_EQ(r.workingDirectory, p.workingDirectory);
    EXPECT_EQ(r.relativePath, p.relativePath);
    EXPECT_EQ(r.iconLocation, p.targetPath + ",0");
    EXPECT_EQ(r.windowStyle, 7);
    EXPECT_EQ(r.description, p.description);
    EXPECT_EQ(r.arguments, p.arguments);
    EXPECT_EQ(r.hotkey, "Alt+Ctrl+F5");
    EXPECT_EQ(r.fullName, path);

    // Created without the optional texts: only target and show command.
    ASSERT_TRUE(CreateLnkShortcut(dir / "made", dir.Path()));
    ShortcutProperties m;
    std::string made = dir / "made.lnk";
    ASSERT_TRUE(ReadShortcutProperties(made, m));
    EXPECT_EQ(m.targetPath, dir.Path());
    EXPECT_EQ(m.description, "");
    EXPECT_EQ(m.arguments, "");
    EXPECT_EQ(m.workingDirectory, "");
    EXPECT_EQ(m.iconLocation, ",0");
    EXPECT_EQ(m.windowStyle, 1);
}

TEST(ShortcutWrite, CreateNeverReplacesAndFailedWritesLeaveNoFile) {
    TempDir dir;
    dir.Write("taken.lnk", "mine");
    EXPECT_FALSE(CreateLnkShortcut(dir / "taken.lnk", "/bin"));
    EXPECT_EQ(dir.Read("taken.lnk"), "mine");

    for (auto call : {testing::FaultyPosix::Call::Write, testing::FaultyPosix::Call::Fsync,
                      testing::FaultyPosix::Call::Close}) {
        testing::FaultyPosix os;
        os.Fail(call, ENOSPC);
        EXPECT_FALSE(CreateLnkShortcut(dir / "full.lnk", "/bin", nullptr, nullptr, nullptr, os));
        std::size_t entries = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
            (void)entry;
            ++entries;
        }
        EXPECT_EQ(entries, 1u);  // only taken.lnk: no half file, no temporary left
    }
    // A property write that fails keeps the old file whole.
    dir.Write("w.lnk", WindowsLink());
    testing::FaultyPosix os;
    os.Fail(testing::FaultyPosix::Call::Write, ENOSPC);
    ShortcutProperties p;
    std::string path = dir / "w.lnk";
    ASSERT_TRUE(ReadShortcutProperties(path, p));
    p.description = "changed";
    EXPECT_FALSE(WriteShortcutProperties(path, p, os));
    EXPECT_EQ(dir.Read("w.lnk"), WindowsLink());
}

TEST(ShortcutUrl, InternetShortcuts) {
    TempDir dir;
    dir.Write("a.url", "[Other]\r\nURL=wrong\r\n[InternetShortcut]\r\nURL=https://example.org/a?b=1\r\nIconIndex=0\r\n");
    dir.Write("none.url", "[InternetShortcut]\nIconIndex=0\n");
    EXPECT_EQ(GetInternetShortcutUrl(dir / "a.url"), "https://example.org/a?b=1");
    EXPECT_EQ(GetInternetShortcutUrl(dir / "none.url"), "");
    EXPECT_EQ(GetInternetShortcutUrl(dir / "missing.url"), "");

    ShortcutProperties p;
    std::string path = dir / "a.url";
    ASSERT_TRUE(ReadShortcutProperties(path, p));
    EXPECT_EQ(p.targetPath, "https://example.org/a?b=1");
    p.targetPath = "https://example.org/new";
    ASSERT_TRUE(WriteShortcutProperties(path, p));
    EXPECT_EQ(GetInternetShortcutUrl(path), "https://example.org/new");
    EXPECT_TRUE(Contains(dir.Read("a.url"), "IconIndex=0"));
    EXPECT_TRUE(Contains(dir.Read("a.url"), "URL=wrong"));
    p.targetPath = "https://x\nInjected=1";
    EXPECT_FALSE(WriteShortcutProperties(path, p));
}

// An edited Internet shortcut stays in the encoding and line ends it had: a GBK
// file with a Chinese name and CR LF stays GBK with CR LF, not UTF-8 with LF.
TEST(ShortcutUrl, AnEditKeepsTheFilesEncodingAndLineEnds) {
    TempDir dir;
    // "[InternetShortcut]" with a GBK comment "书签" (CA E9 C7 A9).
    const std::string gbkBefore = "[InternetShortcut]\r\n;\xCA\xE9\xC7\xA9\r\nURL=http://a/\r\n";
    const std::string gbkAfter = "[InternetShortcut]\r\n;\xCA\xE9\xC7\xA9\r\nURL=http://b/\r\n";
    const struct {
        const char* name;
        std::string before;
        std::string url;
        std::optional<std::string> after;  // nothing: the write fails and the file stays
    } cases[] = {
        {"gbk.url", gbkBefore, "http://b/", gbkAfter},
        {"u8.url", "[InternetShortcut]\nURL=http://a/\n;书签\n", "http://b/甲", "[InternetShortcut]\nURL=http://b/甲\n;书签\n"},
        {"bom.url", "\xEF\xBB\xBF[InternetShortcut]\r\nURL=x\r\n", "y", "\xEF\xBB\xBF[InternetShortcut]\r\nURL=y\r\n"},
        {"gbk-emoji.url", gbkBefore, "http://b/😀", std::nullopt},
    };
    for (const auto& c : cases) {
        dir.Write(c.name, c.before);
        std::string path = dir / c.name;
        ShortcutProperties p;
        ASSERT_TRUE(ReadShortcutProperties(path, p)) << c.name;
        p.targetPath = c.url;
        EXPECT_EQ(WriteShortcutProperties(path, p), c.after.has_value()) << c.name;
        EXPECT_EQ(dir.Read(c.name), c.after.value_or(c.before)) << c.name;
    }
}

// What exiftool reads from a file we wrote, as "Tag: value" lines.
std::string Exiftool(const std::string& path) {
    const std::string command = "exiftool -S -LocalBasePath -Description -WorkingDirectory -CommandLineArguments "
                                "-IconFileName -RunWindow '" + path + "' 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string out;
    char buffer[512];
    while (pipe && fgets(buffer, sizeof buffer, pipe.get())) out += buffer;
    return out;
}

TEST(ShortcutWrite, ExiftoolReadsWhatWeWrite) {
    if (std::system("command -v exiftool >/dev/null 2>&1") != 0) GTEST_SKIP() << "exiftool is not installed";
    TempDir dir;
    ShortcutProperties p;
    p.targetPath = "/srv/共享/song.mp3";
    p.workingDirectory = "/srv/共享";
    p.windowStyle = 3;
    p.description = "说明";
    p.arguments = "--play";
    std::string path = dir / "x.lnk";
    ASSERT_TRUE(WriteShortcutProperties(path, p));
    const std::string out = Exiftool(path);
    EXPECT_TRUE(Contains(out, "LocalBasePath: /srv/共享/song.mp3")) << out;
    EXPECT_TRUE(Contains(out, "Description: 说明")) << out;
    EXPECT_TRUE(Contains(out, "WorkingDirectory: /srv/共享")) << out;
    EXPECT_TRUE(Contains(out, "CommandLineArguments: --play")) << out;
    EXPECT_TRUE(Contains(out, "IconFileName: /srv/共享/song.mp3")) << out;
    EXPECT_TRUE(Contains(out, "RunWindow: Show Maximized")) << out;
}

}  // namespace
}  // namespace varnel
