#include "filelist/ui/file_list_panel.h"

#include <QSignalSpy>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "app/app_globals.h"
#include "filelist/list_formatting.h"
#include "utilities/error.h"
#include "support/faulty_posix.h"
#include "support/notice_recorder.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::TempDir;

struct PanelFixture : ::testing::Test {
    PanelFixture() : panel(app, filterBar) {
        std::filesystem::create_directories(dir / "F/sub");
        for (const char* name : {"a.txt", "b.txt", "c.rar", "F/inner.txt", "F/sub/deep.txt"}) dir.Write(name, "x");
        panel.SetModifierSource([this] { return modifiers; });
    }

    // Waits for the load to finish and returns the names listed.
    std::vector<std::string> Rows() {
        QSignalSpy finished(&panel.Runner(), &ListLoadRunner::finished);
        if (panel.Runner().IsRunning()) {
            EXPECT_TRUE(finished.wait(10000));
        }
        std::vector<std::string> names;
        for (int row = 0; row < panel.Model().rowCount(); ++row) {
            names.push_back(panel.Model().data(panel.Model().index(row, 0)).toString().toStdString());
        }
        return names;
    }

    AppGlobals app;
    FilterBar filterBar;
    FileListPanel panel;
    TempDir dir;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

TEST_F(PanelFixture, ADropOfThreePathsListsThreeRows) {
    panel.OnPathDropped(dir.Path() + "/", "a.txt", 0, 3);
    panel.OnPathDropped(dir.Path() + "/", "b.txt", 0, 3);
    EXPECT_FALSE(panel.Runner().IsRunning());  // waits for the last path
    panel.OnPathDropped(dir.Path() + "/", "F", 0, 3);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a.txt", "b.txt", "F"}));

    app.gMainSettings.dropByWalkSettings = true;  // walk mode: files last to first, then folders
    for (const char* name : {"a.txt", "b.txt", "F"}) panel.OnPathDropped(dir.Path() + "/", name, 0, 3);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"b.txt", "a.txt", "inner.txt", "sub"}));
}

TEST_F(PanelFixture, CtrlAppendsInBothIconModes) {
    for (bool builtIn : {true, false}) {
        SCOPED_TRACE(builtIn);
        app.gMainSettings.builtInIcons = builtIn;
        panel.ApplyColumnChecks();
        modifiers = Qt::NoModifier;
        ASSERT_TRUE(panel.LoadPathsIntoList({dir / "a.txt"}, true));
        EXPECT_EQ(Rows().size(), 1u);
        modifiers = Qt::ControlModifier;
        ASSERT_TRUE(panel.LoadPathsIntoList({dir / "b.txt"}, true));
        EXPECT_EQ(Rows(), (std::vector<std::string>{"a.txt", "b.txt"}));
        EXPECT_FALSE(panel.Model().data(panel.Model().index(0, 0), Qt::DecorationRole).isNull());
    }
}

TEST_F(PanelFixture, LoadsAreRefusedWhileABatchTaskRuns) {
    ASSERT_TRUE(app.gRunControl.TryBegin(TaskKind::Execute));
    EXPECT_FALSE(panel.LoadPathsIntoList({dir / "a.txt"}, true));
    EXPECT_FALSE(panel.LastRefusal().isEmpty());
    app.gRunControl.End();
    EXPECT_TRUE(panel.LoadPathsIntoList({dir / "a.txt"}, true));
    Rows();
}

TEST_F(PanelFixture, WalksUseTheFilterBar) {
    MainSettings settings;
    settings.filterEnabled = true;
    settings.filterText = "*.txt";
    settings.walkDepth = "-1";
    filterBar.ShowSettings(settings);
    ASSERT_TRUE(panel.TraverseFoldersIntoList({dir.Path()}));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a.txt", "b.txt", "inner.txt", "deep.txt"}));
}

// A folder that cannot be read and a path that does not exist are told in the
// status line and a notice, with the reason; the missing path is no row.
TEST_F(PanelFixture, WhatCannotBeLoadedIsToldNotListed) {
    testing::NoticeRecorder recorder;
    testing::FaultyPosix os;
    panel.Runner().SetPosix(os);
    const std::string folder = dir / "F";
    const struct {
        const char* what;
        std::function<bool()> start;
        std::vector<std::string> rows;
        std::string failed;
        int error;
    } cases[] = {
        {"refused folder",
         [&] {
             os.FailOn(testing::FaultyPosix::Call::Open, EACCES, folder + "/");
             return panel.TraverseFoldersIntoList({folder});
         },
         {}, folder + "/", EACCES},
        {"missing path",
         [&] {
             os.Fail(testing::FaultyPosix::Call::None, 0);
             return panel.LoadPathsIntoList({dir / "a.txt", dir / "gone.txt"}, true);
         },
         {"a.txt"}, dir / "gone.txt", ENOENT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        recorder.Clear();
        QSignalSpy status(&panel, &FileListPanel::statusMessage);
        ASSERT_TRUE(c.start());
        EXPECT_EQ(Rows(), c.rows);
        const std::string told = c.failed + "：" + SystemErrorReason(c.error);
        ASSERT_FALSE(status.isEmpty());
        const std::string last = status.last()[0].toString().toStdString();
        EXPECT_NE(last.find(told), std::string::npos) << last;
        EXPECT_NE(last.rfind("无法载入", 0), std::string::npos) << last;
        ASSERT_EQ(recorder.Notices().size(), 1u);
        EXPECT_NE(recorder.Notices()[0].find(told), std::string::npos) << recorder.Notices()[0];
    }
}

// A failed edit's message goes when the list changes, unless another message has
// taken its place; a load asked to keep a run's summary ends with that summary.
TEST_F(PanelFixture, AFailedEditsMessageGoesWithTheNextChangeOfTheList) {
    ASSERT_TRUE(panel.LoadPathsIntoList({dir / "a.txt", dir / "b.txt"}, true, "执行完成；新建 2 项"));
    QSignalSpy status(&panel, &FileListPanel::statusMessage);
    ASSERT_EQ(Rows(), (std::vector<std::string>{"a.txt", "b.txt"}));
    ASSERT_FALSE(status.isEmpty());
    EXPECT_EQ(status.last()[0].toString(), QString::fromUtf8("执行完成；新建 2 项"));

    status.clear();
    EXPECT_FALSE(panel.Model().setData(panel.Model().index(0, 0), QString("b.txt"), Qt::EditRole));
    ASSERT_EQ(status.size(), 1);
    EXPECT_TRUE(status.last()[0].toString().startsWith(QString::fromUtf8("重命名失败：")));
    panel.Model().Store().SetCellText(1, ListColumn::Preview, "x");
    panel.Model().FlushChangedCells();
    ASSERT_EQ(status.size(), 2);
    EXPECT_EQ(status.last()[0].toString(), QString());
    panel.Model().Store().SetCellText(0, ListColumn::Preview, "y");
    panel.Model().FlushChangedCells();
    EXPECT_EQ(status.size(), 2);  // said once

    // Another message in between stays.
    EXPECT_FALSE(panel.Model().setData(panel.Model().index(0, 0), QString("b.txt"), Qt::EditRole));
    emit panel.statusMessage(QString::fromUtf8("排序完成"));
    panel.Model().Store().SetCellText(1, ListColumn::Preview, "z");
    panel.Model().FlushChangedCells();
    EXPECT_EQ(status.last()[0].toString(), QString::fromUtf8("排序完成"));
}

// The size column switched on after a load fills for the rows present: at once
// for rows read with their times, on a worker for the rows read without.
TEST_F(PanelFixture, ASizeColumnShownLateFillsForTheListedRows) {
    for (const bool timesShown : {false, true}) {
        SCOPED_TRACE(timesShown);
        app.gMainSettings.columnSize = false;
        app.gMainSettings.columnModified = timesShown;
        panel.ApplyColumnChecks();
        ASSERT_TRUE(panel.TraverseFoldersIntoList({dir.Path()}));
        ASSERT_EQ(Rows(), (std::vector<std::string>{"a.txt", "b.txt", "c.rar", "F"}));
        const auto sizeCell = [&](int row) {
            return panel.Model().data(panel.Model().index(row, 2)).toString().toStdString();
        };
        EXPECT_EQ(sizeCell(0), "");

        app.gMainSettings.columnSize = true;
        panel.ApplyColumnChecks();
        EXPECT_EQ(panel.Runner().IsRunning(), !timesShown);
        Rows();  // waits for the reading, if any
        QCoreApplication::processEvents();
        EXPECT_TRUE(panel.View().IsColumnShown(2));
        for (int row = 0; row < 3; ++row) EXPECT_EQ(sizeCell(row), FormatByteSize(1)) << row;
        EXPECT_EQ(sizeCell(3), FormatByteSize(0));
    }
}

// End and Home, with or without Ctrl, go to the last and the first row and scroll
// the list there; the column the cursor is in stays.
// After a sort the view shows the current row where it went, and the fitted name
// column holds the names shown there, not those that were in view before (a list
// longer than the rows a fit reads beyond those in view).
TEST_F(PanelFixture, TheFittedNameColumnHoldsTheNamesShownAfterASort) {
    const std::string longName = "z" + std::string(120, 'y');
    app.gListRows.AppendRow(dir.Path(), longName, {}, 0);
    for (int i = 0; i < 3000; ++i) app.gListRows.AppendRow(dir.Path(), "a" + std::to_string(i), {}, 0);
    panel.Model().SyncRowCount();
    app.gMainSettings.autoFitColumns = true;
    panel.resize(500, 300);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    FileListView& view = panel.View();
    view.setCurrentIndex(panel.Model().index(1, 0));  // "a0", among the first rows in view
    view.AutoSizeFileListColumns();
    view.setCurrentIndex(panel.Model().index(0, 0));
    view.setColumnWidth(0, 60);
    app.gSortColumn = 0;
    app.gSortAscending = false;  // the sort flips it: ascending, the long name goes last
    panel.SortFileList(SortKind::Text, 0);
    const int row = view.currentIndex().row();
    ASSERT_EQ(panel.Model().data(panel.Model().index(row, 0)).toString().toStdString(), longName);
    const int top = view.rowViewportPosition(row);
    EXPECT_TRUE(top >= 0 && top + view.rowHeight(row) <= view.viewport()->height()) << top;
    EXPECT_GE(view.columnWidth(0), view.fontMetrics().horizontalAdvance(QString::fromStdString(longName)));
}

TEST_F(PanelFixture, EndAndHomeGoToTheLastAndTheFirstRow) {
    for (int i = 0; i < 2000; ++i) app.gListRows.AppendRow(dir.Path(), "f" + std::to_string(i), {}, 0);
    panel.Model().SyncRowCount();
    panel.resize(500, 300);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    FileListView& view = panel.View();
    view.setFocus();
    view.setCurrentIndex(panel.Model().index(3, 0));
    const auto rowShown = [&](int row) {
        const QRect cell = view.visualRect(panel.Model().index(row, 0));
        return cell.isValid() && view.viewport()->rect().contains(cell);
    };
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int row;
    } cases[] = {
        {Qt::Key_End, Qt::NoModifier, 1999},
        {Qt::Key_Home, Qt::NoModifier, 0},
        {Qt::Key_End, Qt::ControlModifier, 1999},
        {Qt::Key_Home, Qt::ControlModifier, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QKeySequence(c.key | c.modifiers).toString().toStdString());
        QTest::keyClick(&view, c.key, c.modifiers);
        EXPECT_EQ(view.currentIndex().row(), c.row);
        EXPECT_EQ(view.currentIndex().column(), 0);
        EXPECT_TRUE(rowShown(c.row));
        // Alone the key selects the row; with Ctrl it moves only the cursor, as in every list.
        if (c.modifiers == Qt::NoModifier) {
            EXPECT_TRUE(view.selectionModel()->isRowSelected(c.row, {}));
        }
    }
}

}  // namespace
}  // namespace varnel
