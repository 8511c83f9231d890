#include "filetasks/list_export.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "filelist/list_load.h"
#include "filetasks/shortcut_file.h"
#include "support/faulty_posix.h"
#include "support/temp_dir.h"
#include "utilities/codec.h"
#include "utilities/file_uri.h"
#include "utilities/run_control.h"

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

    // Relative paths start from "./", so no tool reads them as options.
    EXPECT_EQ(FormatStarterLine("-n"), "xdg-open './-n'");
    EXPECT_EQ(FormatStarterLine("--help x"), "xdg-open './--help x'");
    EXPECT_EQ(FormatStarterLine(""), "xdg-open '.'");
    EXPECT_EQ(StarterScriptHeader(false), kStarterScriptHeader);
    EXPECT_EQ(StarterScriptHeader(true), std::string(kStarterScriptHeader) + std::string(kStarterScriptToMountRoot));
}

// The rows an import of the list text gives, and what it could not list.
struct Imported {
    std::vector<std::string> paths;
    std::vector<LoadFailure> failures;
};
Imported ImportList(std::string_view listText) {
    RowStore store;
    RunControl control;
    EXPECT_TRUE(control.TryBegin(TaskKind::ListLoad));
    ListLoad load(store, {}, control);
    EXPECT_TRUE(load.ImportPathList(SplitPathListLines(listText)));
    Imported imported;
    for (std::size_t row = 0; row < store.RowCount(); ++row) imported.paths.push_back(store.FullPath(row));
    imported.failures = load.TakeReport().failures;
    return imported;
}

TEST(ListExport, ExportedPathListImportsTheSameRowsByteForByte) {
    TempDir dir;
    const std::vector<std::string> names = {
        "中文名.txt",                // UTF-8
        "\xD6\xD0\xCE\xC4.txt",          // GBK bytes on disk
        "caf\xE9.txt",              // not UTF-8 in any way
        "two\nlines.txt",           // a line break
        "ends in cr\r",             // a carriage return where a line end would be
        " spaced \t",               // blanks kept
        "file:%41",                  // looks like the escape form
        "-n",
    };
    RowStore rows;
    std::vector<std::size_t> all;
    std::vector<std::string> expected;
    for (const std::string& name : names) {
        dir.Write(name, "x");
        all.push_back(rows.RowCount());
        rows.AppendRow(dir.Path(), name, {}, 0);
        expected.push_back(dir / name);
    }
    const ExportText text = BuildExportText(rows, all, {});
    EXPECT_EQ(text.skipped, 0u);
    ASSERT_TRUE(WriteExportFile(dir / "list.txt", text.text, false));
    const Imported back = ImportList(dir.Read("list.txt"));
    EXPECT_EQ(back.paths, expected);
    EXPECT_TRUE(back.failures.empty());
}

TEST(ListExport, OlderGbkListsImportAndLinesNamingNothingAreReported) {
    TempDir dir;
    dir.Write("中文名.txt", "x");
    dir.Write("plain.txt", "x");
    const auto gbkName = EncodeToCodec("中文名.txt", kCodecGbk);
    ASSERT_TRUE(gbkName);
    const std::string gbkPath = dir / *gbkName;
    const std::string list = "\xEF\xBB\xBF" + dir / "plain.txt\r\n" + gbkPath + "\r\n\r\n" + dir / "gone.txt\r\n" +
                             "not a path\n";
    const Imported back = ImportList(list);
    EXPECT_EQ(back.paths, (std::vector<std::string>{dir / "plain.txt", dir / "中文名.txt"}));
    ASSERT_EQ(back.failures.size(), 2u);  // the empty line is no entry
    EXPECT_EQ(back.failures[0].path, dir / "gone.txt");
    EXPECT_EQ(back.failures[0].error, ENOENT);
    EXPECT_EQ(back.failures[1].path, "not a path");

    // A file really spelled with the GBK bytes is the one its line names.
    dir.Write(*gbkName, "y");
    EXPECT_EQ(ImportList(gbkPath + "\n").paths, std::vector<std::string>{gbkPath});
}

TEST(ListExport, LinesAndFailures) {
    TempDir dir;
    RowStore rows;
    rows.AppendRow(dir.Path(), "a.txt", {}, 0);
    rows.AppendRow(dir.Path(), "two\nlines", {}, 0);
    rows.AppendRow(dir.Path(), "b.txt", {}, 0);
    // A path line never breaks: the name with a line break goes as its file URI.
    ExportText text = BuildExportText(rows, {0, 1, 2}, {});
    EXPECT_EQ(text.text, dir / "a.txt\n" + FileUriOfPath(dir / "two\nlines") + "\n" + dir / "b.txt\n");
    EXPECT_TRUE(FileUriOfPath(dir / "two\nlines").ends_with("/two%0Alines"));
    EXPECT_EQ(text.skipped, 0u);
    // A free-column line that would break is left out and counted.
    ExportOptions columns;
    columns.freeColumns = true;
    columns.expression = "[#1]";
    EXPECT_EQ(BuildExportText(rows, {0, 1, 2}, columns).skipped, 1u);
    text = BuildExportText(rows, {0, 2}, {});
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
