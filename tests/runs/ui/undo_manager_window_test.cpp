#include "runs/ui/undo_manager_window.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "app/app_globals.h"
#include "filelist/ui/file_list_panel.h"
#include "filelist/ui/filter_bar.h"
#include "runs/ui/batch_task_area.h"
#include "runs/ui/task_box.h"
#include "support/notice_recorder.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::NoticeRecorder;
using testing::TempDir;

constexpr int kWaitMs = 10000;

// The batch task area over a folder of files, with records of renames done in it.
struct UndoManagerTest : ::testing::Test {
    UndoManagerTest() : list(app, filters), area(app, list, box) {
        testing::TestApplication();
        app.gSettings->SetFile(dir / "s.ini");
        area.BatchTaskAreaCreated();
    }
    // A kept record: each (name now, name before) with the file written under its
    // present name.
    void KeepRenames(std::vector<std::pair<std::string, std::string>> renames) {
        app.gUndoHistory.push_back({});
        for (const auto& [now, before] : renames) {
            dir.Write(now, before);
            app.gUndoHistory.back().renames.push_back(
                {now, before, dir.Path() + "/", false, ReadPathIdentity(dir / now).value_or(PathIdentity{})});
        }
        area.UpdateUndoButton();
    }
    std::unique_ptr<UndoManagerWindow> Open() {
        auto window = std::make_unique<UndoManagerWindow>(app, area);
        window->RecordList().setFocus();
        return window;
    }
    static QStringList Row(const QTreeWidget& records, int row) {
        const QTreeWidgetItem* item = records.topLevelItem(row);
        return {item->text(0), item->text(1), item->text(2)};
    }
    static int CurrentRow(const QTreeWidget& records) {
        return records.indexOfTopLevelItem(records.currentItem());
    }
    template <typename Widget>
    static Widget* Control(const UndoManagerWindow& window, const char* name) {
        return window.findChild<Widget*>(QString::fromUtf8(name));
    }
    bool WaitForUndo(QSignalSpy& undone) { return undone.count() > 0 || undone.wait(kWaitMs); }

    NoticeRecorder notices;
    TempDir dir;
    AppGlobals app;
    FilterBar filters;
    FileListPanel list;
    TaskBox box;
    BatchTaskArea area;
};

TEST_F(UndoManagerTest, ListsTheRecordsAndRestoresAnyOfThem) {
    KeepRenames({{"a1", "a0"}});
    KeepRenames({{"b1", "b0"}, {"c1", "c0"}});
    app.gUndoHistory.push_back({});
    app.gUndoHistory.back().attributeChanges.push_back({dir / "a1", 0x20});
    auto window = Open();
    QTreeWidget& records = window->RecordList();
    ASSERT_EQ(records.topLevelItemCount(), 3);
    EXPECT_EQ(Row(records, 0), (QStringList{"1", "文件改名", "1"}));
    EXPECT_EQ(Row(records, 1), (QStringList{"2", "文件改名", "2"}));
    EXPECT_EQ(Row(records, 2), (QStringList{"3", "文件属性", "1"}));
    EXPECT_EQ(CurrentRow(records), 0);  // the first use opens on the first record
    EXPECT_EQ(window->DetailList().model()->rowCount(), 1);

    // Restoring record 2 undoes that run only; the former record 3 becomes current.
    records.setCurrentItem(records.topLevelItem(1));
    EXPECT_EQ(window->DetailList().model()->rowCount(), 2);
    EXPECT_EQ(window->DetailList().model()->index(1, 1).data().toString(), QStringLiteral("c0"));
    QSignalSpy undone(&area, &BatchTaskArea::undoFinished);
    Control<QPushButton>(*window, "还原")->click();
    ASSERT_TRUE(WaitForUndo(undone));
    EXPECT_EQ(dir.Read("b0"), "b0");
    EXPECT_EQ(dir.Read("c0"), "c0");
    EXPECT_EQ(dir.Read("a1"), "a0");  // record 1 untouched
    ASSERT_EQ(records.topLevelItemCount(), 2);
    EXPECT_EQ(Row(records, 0), (QStringList{"1", "文件改名", "1"}));
    EXPECT_EQ(Row(records, 1), (QStringList{"2", "文件属性", "1"}));
    EXPECT_EQ(CurrentRow(records), 1);
    EXPECT_EQ(app.gSelectedUndoIndex, 1);
    EXPECT_EQ(window->DetailList().model()->index(0, 1).data().toString(), QString::fromStdString(dir / "a1"));
}

TEST_F(UndoManagerTest, RestoringTheOnlyRecordEmptiesTheListAndDisablesUndo) {
    KeepRenames({{"x1", "x0"}});
    EXPECT_TRUE(area.ToolbarButton(kUndoButton)->isEnabled());
    auto window = Open();
    QSignalSpy undone(&area, &BatchTaskArea::undoFinished);
    window->RestoreSelectedUndoRecord();
    ASSERT_TRUE(WaitForUndo(undone));
    EXPECT_EQ(dir.Read("x0"), "x0");
    EXPECT_EQ(window->RecordList().topLevelItemCount(), 0);
    EXPECT_EQ(app.gSelectedUndoIndex, -1);
    EXPECT_FALSE(area.ToolbarButton(kUndoButton)->isEnabled());
    EXPECT_FALSE(window->DetailList().isEnabled());
    for (const char* name : {"还原", "删除", "清空", "上移", "下移"}) {
        EXPECT_FALSE(Control<QPushButton>(*window, name)->isEnabled()) << name;
    }
    window->RestoreSelectedUndoRecord();  // nothing selected: nothing happens
    window->MoveUndoRecord(true);
    EXPECT_TRUE(notices.Notices().empty());
}

// The buttons that act on a record work only while there is one; the window says
// what it is.
TEST_F(UndoManagerTest, RecordButtonsFollowWhetherTheHistoryHoldsARecord) {
    const char* const names[] = {"还原", "删除", "清空", "上移", "下移"};
    auto empty = Open();
    EXPECT_EQ(empty->windowTitle(), QString::fromUtf8(kUndoManagerTitle));
    for (const char* name : names) EXPECT_FALSE(Control<QPushButton>(*empty, name)->isEnabled()) << name;
    empty.reset();
    KeepRenames({{"y1", "y0"}});
    auto window = Open();
    for (const char* name : names) EXPECT_TRUE(Control<QPushButton>(*window, name)->isEnabled()) << name;
}

TEST_F(UndoManagerTest, MovesStopAtTheEndsAndTheDetailsFollowTheRecord) {
    KeepRenames({{"a1", "a0"}});
    KeepRenames({{"b1", "b0"}, {"c1", "c0"}});
    auto window = Open();
    QTreeWidget& records = window->RecordList();
    window->MoveUndoRecord(true);
    EXPECT_EQ(notices.Notices().back(), "这是第一个撤销记录，不能上移啦！");
    window->MoveUndoRecord(false);
    EXPECT_EQ(Row(records, 0), (QStringList{"1", "文件改名", "2"}));
    EXPECT_EQ(Row(records, 1), (QStringList{"2", "文件改名", "1"}));
    EXPECT_EQ(CurrentRow(records), 1);
    EXPECT_EQ(app.gUndoHistory[1].renames.size(), 1u);
    EXPECT_EQ(window->DetailList().model()->rowCount(), 1);
    window->MoveUndoRecord(false);
    EXPECT_EQ(notices.Notices().back(), "这是最后一个撤销记录，不能下移啦！");

    // Without 自动显示 the details stay empty and disabled.
    Control<QCheckBox>(*window, "自动显示")->setChecked(false);
    records.setCurrentItem(records.topLevelItem(0));
    EXPECT_EQ(window->DetailList().model()->rowCount(), 0);
    EXPECT_FALSE(window->DetailList().isEnabled());
    EXPECT_FALSE(Control<QPushButton>(*window, "删选")->isEnabled());
}

TEST_F(UndoManagerTest, DeletedEntriesAreNotUndone) {
    KeepRenames({{"n0", "o0"}, {"n1", "o1"}, {"n2", "o2"}, {"n3", "o3"}, {"n4", "o4"}});
    auto window = Open();
    QTableView& details = window->DetailList();
    window->DeleteSelectedUndoEntries();
    EXPECT_EQ(notices.Notices().back(), "请先选定要删除的子列表再执行本动作！");
    details.selectionModel()->select(details.model()->index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    details.selectionModel()->select(details.model()->index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    notices.answer = kAnswerCancel;
    window->DeleteSelectedUndoEntries();
    EXPECT_EQ(app.gUndoHistory[0].renames.size(), 5u);
    notices.answer = kAnswerOk;
    window->DeleteSelectedUndoEntries();
    EXPECT_EQ(notices.Boxes().back(), "您确定要删除选定的子列表吗？");
    EXPECT_EQ(Row(window->RecordList(), 0), (QStringList{"1", "文件改名", "3"}));
    ASSERT_EQ(details.model()->rowCount(), 3);
    EXPECT_EQ(details.model()->index(2, 0).data().toInt(), 3);  // numbered afresh
    EXPECT_EQ(details.model()->index(2, 1).data().toString(), QStringLiteral("o4"));

    QSignalSpy undone(&area, &BatchTaskArea::undoFinished);
    window->RestoreSelectedUndoRecord();
    ASSERT_TRUE(WaitForUndo(undone));
    for (const char* name : {"o0", "o2", "o4", "n1", "n3"}) EXPECT_TRUE(std::filesystem::exists(dir / name)) << name;
}

TEST_F(UndoManagerTest, DeleteAndClearAskFirst) {
    KeepRenames({{"a1", "a0"}});
    KeepRenames({{"b1", "b0"}});
    app.gSelectedUndoIndex = 7;  // left over from a longer history: clamped
    auto window = Open();
    EXPECT_EQ(CurrentRow(window->RecordList()), 1);
    notices.answer = kAnswerCancel;
    window->DeleteSelectedUndoRecord();
    window->ClearUndoHistory();
    EXPECT_EQ(app.gUndoHistory.size(), 2u);
    notices.answer = kAnswerOk;
    window->DeleteSelectedUndoRecord();
    ASSERT_EQ(app.gUndoHistory.size(), 1u);
    EXPECT_EQ(app.gUndoHistory[0].renames[0].newName, "a1");
    EXPECT_EQ(CurrentRow(window->RecordList()), 0);
    window->ClearUndoHistory();
    EXPECT_EQ(notices.Boxes().back(), "您确定要清空全部的撤销记录吗？此举很危险，请三思而后行。");
    EXPECT_TRUE(app.gUndoHistory.empty());
    EXPECT_EQ(window->RecordList().topLevelItemCount(), 0);
    EXPECT_FALSE(area.ToolbarButton(kUndoButton)->isEnabled());
    EXPECT_EQ(dir.Read("a1"), "a0");  // deleting records touches no file
}

}  // namespace
}  // namespace varnel
