#include "filetasks/list_export.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "filetasks/shortcut_file.h"
#include "support/faulty_posix.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::TempDir;
namespace fs = std::filesystem;

TEST(ListExport, ColumnReferencesInOnePass) {
    RowStore rows;
    rows.AppendRow("/d/", "#2.txt", {}, 0);
    rows.SetCellText(0, 1, "P#1");
    struct Case {
        const char* expression;
        int columns;
        const char* line;
    };
    const Case cases[] = {
        {"#9#1", 9, "/d/#2.txt"},
        {"#10", 9, "#2.txt0"},     // no column 10: "#1" then "0"
        {"#10", 10, ""},           // column 10 exists (and is empty)
        {"#1|#2", 9, "#2.txt|P#1"},  // cells put in are never read again
        {"plain", 9, "plain"},
        {"#0 # #x ##1", 9, "#0 # #x ##2.txt"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExpandColumnReferences(c.expression, rows, 0, c.columns), c.line) << c.expression;
    }
    ExportOptions options;
    options.freeColumns = true;
    EXPECT_EQ(BuildExportLine(rows, 0, options), rows.FullPath(0));
    options.starterScript = true;  // a starter ignores the expression
    options.expression = "#1";
    EXPECT_EQ(BuildExportLine(rows, 0, options), "xdg-open '/d/#2.txt'");
}

TEST(ListExport, StarterScriptQuotesEveryName) {
    TempDir dir;
    const std::vector<std::string> names = {"it's a b.txt", "$(touch pwned)", "new\nline", "plain"};
    RowStore rows;
    for (const std::string& name : names) rows.AppendRow(dir.Path(), name, {}, 0);
    ExportOptions options;
    options.starterScript = true;
    const ExportText text = BuildExportText(rows, {0, 1, 2, 3}, options);
    EXPECT_EQ(text.skipped, 0u);
    ASSERT_TRUE(WriteExportFile(dir / "start.sh", text.text, true));
    struct stat info {};
    ASSERT_EQ(::stat((dir / "start.sh").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0755u);
    EXPECT_EQ(std::system(("sh -n '" + dir / "start.sh" + "'").c_str()), 0);

    // Run it with an xdg-open that records its arguments: each path arrives whole.
    fs::create_directory(dir / "bin");
    dir.Write("bin/xdg-open", "#!/bin/sh\nprintf '%s\\0' \"$#\" \"$1\" >> \"$RECORD\"\n");
    fs::permissions(dir / "bin/xdg-open", fs::perms::owner_all);
    const std::string command = "cd '" + dir.Path() + "' && PATH='" + dir / "bin" + "':$PATH RECORD='" +
                                dir / "record" + "' sh ./start.sh";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::string expected;
    for (const std::string& name : names) expected += std::string("1") + '\0' + dir / name + '\0';
    EXPECT_EQ(dir.Read("record"), expected);
    EXPECT_FALSE(fs::exists(dir / "pwned"));
}

TEST(ListExport, LinesAndFailures) {
    TempDir dir;
    RowStore rows;
    rows.AppendRow(dir.Path(), "a.txt", {}, 0);
    rows.AppendRow(dir.Path(), "two\nlines", {}, 0);
    rows.AppendRow(dir.Path(), "b.txt", {}, 0);
    const ExportText text = BuildExportText(rows, {0, 1, 2}, {});
    EXPECT_EQ(text.text, dir / "a.txt\n" + dir / "b.txt\n");
    EXPECT_EQ(text.skipped, 1u);
    EXPECT_EQ(BuildExportText(rows, {}, {}).text, "");  // nothing selected: an empty file

    for (auto call : {testing::FaultyPosix::Call::Write, testing::FaultyPosix::Call::Close}) {
        testing::FaultyPosix os;
        os.Fail(call, ENOSPC);
        EXPECT_FALSE(WriteExportFile(dir / "out.txt", text.text, false, os).has_value());
        EXPECT_FALSE(fs::exists(dir / "out.txt"));
    }
    dir.Write("out.txt", "old");
    testing::FaultyPosix os;
    os.Fail(testing::FaultyPosix::Call::Fsync, EIO);
    EXPECT_FALSE(WriteExportFile(dir / "out.txt", text.text, false, os).has_value());
    EXPECT_EQ(dir.Read("out.txt"), "old");
}

TEST(ListExport, CopyKinds) {
    TempDir dir;
    dir.Write("page.html", "<html><title>标题</title></html>");
    dir.Write("site.url", "[InternetShortcut]\nURL=https://example.org/\n");
    ASSERT_TRUE(CreateLnkShortcut(dir / "go.lnk", "/usr/bin"));
    RowStore rows;
    for (const char* name : {"page.html", "site.url", "go.lnk"}) rows.AppendRow(dir.Path(), name, {}, 0);
    rows.SetCellText(0, 1, "preview");
    EXPECT_EQ(BuildCopyText(rows, {0, 1}, kCopyFullPath), dir / "page.html\n" + dir / "site.url");
    EXPECT_EQ(BuildCopyText(rows, {0}, 2), "preview");
    EXPECT_EQ(BuildCopyText(rows, {0}, 9), dir.Path() + "/");
    EXPECT_EQ(BuildCopyText(rows, {2}, kCopyShortcutTarget), "/usr/bin");
    EXPECT_EQ(BuildCopyText(rows, {1}, kCopyInternetLink), "https://example.org/");
    EXPECT_EQ(BuildCopyText(rows, {0}, kCopyPageTitle), "标题");
    // Rows without a text of that kind leave no blank lines before the first text.
    EXPECT_EQ(BuildCopyText(rows, {0, 1, 2}, kCopyShortcutTarget), "/usr/bin");
    EXPECT_EQ(BuildCopyText(rows, {}, kCopyFullPath), "");
    EXPECT_TRUE(BuildCopyText(rows, {0}, kCopyAllColumns).starts_with("page.html,preview,"));
}

TEST(ListExport, PathListLinesAndMountRelativePaths) {
    EXPECT_EQ(SplitPathListLines("/a\r\n/b\n\n /c \n"), (std::vector<std::string>{"/a", "/b", " /c "}));
    EXPECT_EQ(SplitPathListLines(""), std::vector<std::string>{});
    EXPECT_EQ(PathRelativeToMountPoint("/proc/self/status"), "self/status");
    TempDir dir;
    const std::string relative = PathRelativeToMountPoint(dir.Path());
    EXPECT_FALSE(relative.starts_with('/'));
    EXPECT_TRUE(dir.Path().ends_with(relative));
}

}  // namespace
}  // namespace varnel
