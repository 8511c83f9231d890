#include "filetasks/ui/list_export_commands.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "filelist/ui/filter_bar.h"
#include "filetasks/list_export.h"
#include "utilities/file_uri.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::TempDir;
namespace fs = std::filesystem;

struct ListTextFixture : ::testing::Test {
    ListTextFixture()
        : panel(globals, filterBar), defaults(ListExportCommands::DefaultServices(nullptr)),
          commands(globals, panel, Services()) {}

    ListExportCommands::Services Services() {
        ListExportCommands::Services s = defaults;
        s.status = [this](const std::string& message) { statuses.push_back(message); };
        s.notice = [this](const std::string& text) { notices.push_back(text); };
        s.setClipboard = [this](const std::string& text, const std::vector<std::string>& uris) {
            clipboard = text;
            clipboardUris = uris;
            return true;
        };
        s.chooseExportFile = [this] { return chosenFile; };
        s.chooseImportFile = [this] { return chosenFile; };
        s.chooseProgram = [this] { return chosenFile; };
        return s;
    }
    void AddRows(const std::vector<std::string>& names, bool select) {
        for (const std::string& name : names) globals.gListRows.AppendRow(dir.Path(), name, {}, 0);
        panel.Model().SyncRowCount();
        if (!select) return;
        for (int row = 0; row < panel.Model().rowCount(); ++row) {
            panel.View().selectionModel()->select(panel.Model().index(row, 0),
                                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }

    ListGlobals globals;
    FilterBar filterBar;
    FileListPanel panel;
    ListExportCommands::Services defaults;
    ListExportCommands commands;
    TempDir dir;
    std::vector<std::string> statuses, notices;
    std::string clipboard = "untouched";
    std::vector<std::string> clipboardUris;
    std::string chosenFile;
};

TEST_F(ListTextFixture, SendToGivesOneArgumentPerPathWithoutAShell) {
    const std::vector<std::string> names = {"a b.txt", "it's \"q\".txt", "$(touch pwned)", "x;y", "bad\xFF\xFE.txt",
                                            "-n"};
    for (const std::string& name : names) dir.Write(name, "x");
    AddRows(names, true);
    dir.Write("record.sh", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$0.out\"\n");
    fs::permissions(dir / "record.sh", fs::perms::owner_all);
    chosenFile = dir / "record.sh";
    commands.SendListToProgram();
    std::string expected;
    for (const std::string& name : names) expected += dir / name + '\0';
    for (int i = 0; i < 100 && dir.Read("record.sh.out") != expected; ++i) {
        QTest::qWait(50);
    }
    EXPECT_EQ(dir.Read("record.sh.out"), expected);
    EXPECT_FALSE(fs::exists(dir / "pwned"));
    EXPECT_TRUE(notices.empty());

    // A program that cannot start is named with the reason.
    dir.Write("not-a-program", "data");
    chosenFile = dir / "not-a-program";
    commands.SendListToProgram();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_TRUE(notices[0].starts_with("无法启动程序：") && notices[0].size() > std::string("无法启动程序：").size())
        << notices[0];
}

TEST_F(ListTextFixture, PathCopiesOfferEachPathAsAFileUri) {
    const std::vector<std::string> names = {"bad\xFF\xFE.txt", "中 文.txt"};
    AddRows(names, true);
    commands.CopyListTextToClipboard(kCopyFullPath);
    EXPECT_EQ(clipboard, dir / names[0] + "\n" + dir / names[1]);
    ASSERT_EQ(clipboardUris.size(), 2u);
    for (std::size_t i = 0; i < names.size(); ++i) EXPECT_EQ(PathOfFileUri(clipboardUris[i]), dir / names[i]);
    commands.CopyListTextToClipboard(1);  // names are no paths: text alone
    EXPECT_TRUE(clipboardUris.empty());

    // The desktop clipboard carries the URI list beside the text.
    ASSERT_TRUE(defaults.setClipboard("text", {FileUriOfPath(dir / names[0])}));
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text(), QStringLiteral("text"));
    EXPECT_EQ(data->data(QStringLiteral("text/uri-list")).toStdString(), FileUriOfPath(dir / names[0]) + "\r\n");
}

TEST_F(ListTextFixture, CopyRemembersItsKindAndExportWritesEveryRow) {
    AddRows({"a.txt", "b.txt"}, false);
    commands.CopyListTextToClipboard(1);  // nothing selected: an empty text, still reported
    EXPECT_EQ(clipboard, "");
    EXPECT_EQ(globals.gMainSettings.lastCopyKind, 1);
    EXPECT_EQ(statuses.back(), "列表文本已复制，您可以到任何编辑区粘贴，或另存为文本文件！");
    panel.View().selectionModel()->select(panel.Model().index(1, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    commands.CopyListTextToClipboard(-1);
    EXPECT_TRUE(clipboard.starts_with("b.txt,")) << clipboard;
    EXPECT_EQ(globals.gMainSettings.lastCopyKind, -1);

    chosenFile = dir / "list.txt";
    commands.ExportPathList();
    EXPECT_EQ(dir.Read("list.txt"), dir / "a.txt\n" + dir / "b.txt\n");
    EXPECT_EQ(notices, (std::vector<std::string>{"导出列表成功！"}));
    chosenFile = dir / "no-such-folder/list.txt";
    commands.ExportPathList();
    EXPECT_TRUE(notices.back().starts_with("导出列表失败！")) << notices.back();
}

// One name that is not UTF-8 does not turn the whole list into GBK; the line
// naming nothing is told in the status.
TEST_F(ListTextFixture, ImportLoadsEveryLineByItsOwnBytesAndCountsTheMissing) {
    for (const char* name : {"one.txt", "caf\xE9.txt", "中文.txt"}) dir.Write(name, "1");
    dir.Write("paths.txt", dir / "one.txt\r\n" + dir / "caf\xE9.txt\n" + dir / "中文.txt\n" + dir / "missing.txt\n\n");
    chosenFile = dir / "paths.txt";
    QSignalSpy finished(&panel.Runner(), &ListLoadRunner::finished);
    commands.ImportPathListFromFile();
    ASSERT_TRUE(finished.wait(10000));
    ASSERT_EQ(globals.gListRows.RowCount(), 3u);
    EXPECT_EQ(globals.gListRows.FullPath(0), dir / "one.txt");
    EXPECT_EQ(globals.gListRows.FullPath(1), dir / "caf\xE9.txt");
    EXPECT_EQ(globals.gListRows.FullPath(2), dir / "中文.txt");
    const std::string status = finished.at(0).at(0).toString().toStdString();
    EXPECT_TRUE(status.starts_with("无法载入 " + dir / "missing.txt")) << status;
}

}  // namespace
}  // namespace varnel
