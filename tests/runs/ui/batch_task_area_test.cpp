#include "runs/ui/batch_task_area.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidgetItemIterator>

#include <filesystem>

#include <gtest/gtest.h>

#include "app/app_globals.h"
#include "filelist/ui/file_list_panel.h"
#include "frame/ui/main_window.h"
#include "naming/ui/meta_symbol_menu.h"
#include "platform/ui/qt_user_notifier.h"
#include "renames/ui/common_rename_panel.h"
#include "renames/ui/rename_task_registrations.h"
#include "runs/ui/run_progress_bar.h"
#include "runs/ui/task_box.h"
#include "settings/ui/notice_popup.h"
#include "support/gate.h"
#include "support/notice_recorder.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::Gate;
using testing::NoticeRecorder;
using testing::TempDir;

constexpr int kWaitMs = 10000;

// A panel with one text box: its text is the run's parameter and its setting.
class TextPanel final : public TypedTaskPanel<std::string> {
public:
    explicit TextPanel(QWidget* parent) : TypedTaskPanel(parent), edit(new QLineEdit(this)) {
        connect(edit, &QLineEdit::textChanged, this, &TaskPanel::parametersChanged);
    }
    void LoadOrSaveSettings(SettingsStore& store, bool save) override {
        if (save) {
            store.WriteText("文本", edit->text().toStdString());
        } else {
            edit->setText(QString::fromStdString(store.ReadText("文本", edit->text().toStdString())));
        }
    }
    std::optional<std::string> MakeParams(RunMode) override { return edit->text().toStdString(); }

    QLineEdit* edit;
};

// The area with the list and task box it works with, on a settings file of its own.
struct Area {
    explicit Area(const std::string& settingsFile) : list(app, filters), area(app, list, box) {
        testing::TestApplication();
        app.gSettings->SetFile(settingsFile);
        area.SetServices({[this] { return pickedFolder; },
                          [this](InputDialogParams) { return typedLimit; }});
    }
    void Choose(const QStringList& captions) {
        QTreeWidgetItem* item = box.FindItem(captions);
        ASSERT_NE(item, nullptr) << captions.join('>').toStdString();
        box.setCurrentItem(item);
    }
    bool Enabled(int button) const { return area.ToolbarButton(button)->isEnabled(); }
    // Runners that do nothing, for tasks that only need to be available.
    void RunnersFor(std::initializer_list<int> tasks) {
        for (int task : tasks) area.RegisterTask<std::string>(task, {}, [](RunContext&, RunRows&, const std::string&) {});
    }

    AppGlobals app;
    FilterBar filters;
    FileListPanel list;
    TaskBox box;
    BatchTaskArea area;
    std::string pickedFolder;
    InputDialogResult typedLimit;
};

TEST(BatchTaskArea, ChoosingTasksDocksTheirPanelsAndHidesTheOthers) {
    TempDir dir;
    dir.Write("s.ini", "[批量常用]\n文本=来自设置\n");
    Area a(dir / "s.ini");
    int made = 0;
    TextPanel* common = nullptr;
    for (int task : {kTaskCommonRename, kTaskReplace}) {
        a.area.RegisterTask<std::string>(task,
                                         [&made, &common, task](QWidget* parent) {
                                             ++made;
                                             auto* panel = new TextPanel(parent);
                                             if (task == kTaskCommonRename) common = panel;
                                             return panel;
                                         },
                                         [](RunContext&, RunRows&, const std::string&) {});
    }
    a.RunnersFor({kTaskSplit, kTaskPathTransfer});
    a.area.BatchTaskAreaCreated();
    EXPECT_EQ(a.app.gCurrentTask, kTaskCommonRename);  // the first item when none was current
    ASSERT_NE(common, nullptr);
    EXPECT_EQ(a.area.CurrentPanel(), common);
    EXPECT_TRUE(a.area.isAncestorOf(common));
    EXPECT_FALSE(common->isHidden());
    // Filling the panel from its section asked for no preview; a user's change does.
    EXPECT_EQ(common->edit->text(), "来自设置");
    EXPECT_FALSE(a.area.Dispatcher().IsRunning());
    EXPECT_FALSE(a.app.gPanelLoading);
    QSignalSpy finished(&a.area, &BatchTaskArea::runFinished);
    common->edit->setText("新");
    EXPECT_EQ(a.area.Dispatcher().RunningMode(), RunMode::AutoPreview);
    ASSERT_TRUE(finished.wait(kWaitMs));

    a.Choose({"文件改名", "替换"});
    EXPECT_EQ(a.app.gCurrentTask, kTaskReplace);
    EXPECT_TRUE(common->isHidden());
    a.Choose({"文件改名", "常用"});
    EXPECT_FALSE(common->isHidden());
    EXPECT_TRUE(a.area.LoadedPanel(kTaskReplace)->isHidden());
    EXPECT_EQ(made, 2);

    // A group shows the task it carries; a task with a runner but no panel shows an empty page.
    a.Choose({"综合任务"});
    EXPECT_EQ(a.app.gCurrentTask, kTaskSplit);
    EXPECT_EQ(a.area.CurrentPanel()->objectName(), "SplitPanel");
    EXPECT_FALSE(a.Enabled(kPreviewButton) || a.Enabled(kNameScopeButton) || a.Enabled(kTransferButton));
    EXPECT_TRUE(a.Enabled(kExecuteButton));
    a.Choose({"综合任务", "路径"});
    EXPECT_TRUE(a.Enabled(kPreviewButton));
    EXPECT_FALSE(a.Enabled(kNameScopeButton) || a.Enabled(kTransferButton));
    a.Choose({"文件改名"});
    EXPECT_EQ(a.area.CurrentPanel(), common);
    EXPECT_TRUE(a.Enabled(kPreviewButton) && a.Enabled(kNameScopeButton) && a.Enabled(kTransferButton));

    // A panel may change its flags while shown.
    common->SetFlags("真");
    EXPECT_FALSE(a.Enabled(kPreviewButton));
    EXPECT_EQ(made, 2);
}

TEST(BatchTaskArea, TasksWithoutARunnerAreDisabledAndNeverRun) {
    NoticeRecorder notices;
    TempDir dir;
    Area a(dir / "s.ini");
    // Nothing registered: every item is disabled and says why.
    for (QTreeWidgetItemIterator it(&a.box); *it != nullptr; ++it) {
        SCOPED_TRACE((*it)->text(0).toStdString());
        EXPECT_TRUE((*it)->isDisabled());
        EXPECT_EQ((*it)->toolTip(0), kTaskNotAvailableText);
    }
    a.RunnersFor({kTaskCommonRename, kTaskFileTimes});
    struct Case {
        QStringList item;
        bool enabled;
        bool saysNotAvailable;
    };
    const Case cases[] = {
        {{"文件改名"}, true, false},
        {{"文件改名", "常用"}, true, false},
        {{"文件改名", "替换"}, false, true},
        {{"文件改名", "提取"}, false, true},
        {{"文件改名", "提取", "元素区间"}, false, true},
        // The group carries the split task, which cannot run, but holds one that can.
        {{"综合任务"}, true, true},
        {{"综合任务", "时间"}, true, false},
        {{"综合任务", "属性"}, false, true},
        {{"内容编辑"}, false, true},
        {{"更多扩展", "下载"}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item.join('>').toStdString());
        QTreeWidgetItem* item = a.box.FindItem(c.item);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(!item->isDisabled(), c.enabled);
        EXPECT_EQ(item->toolTip(0) == kTaskNotAvailableText, c.saysNotAvailable);
    }
    a.area.BatchTaskAreaCreated();

    // Reached anyway (the group), the task says it is not available and cannot run.
    TempDir files;
    files.Write("a.txt", "a");
    a.app.gListRows.AppendRow(files.Path(), "a.txt", {}, 0);
    a.Choose({"综合任务"});
    EXPECT_EQ(a.app.gCurrentTask, kTaskSplit);
    auto* page = qobject_cast<QLabel*>(a.area.CurrentPanel());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->text(), kTaskNotAvailableText);
    EXPECT_FALSE(a.Enabled(kPreviewButton) || a.Enabled(kExecuteButton));
    QSignalSpy status(&a.area, &BatchTaskArea::statusMessage);
    QSignalSpy finished(&a.area, &BatchTaskArea::runFinished);
    a.area.OnBatchToolbarButton(kPreviewButton);
    a.area.OnBatchToolbarButton(kExecuteButton);
    a.area.RequestAutoPreview();
    EXPECT_FALSE(a.area.Dispatcher().IsRunning());
    EXPECT_FALSE(a.app.gRunControl.IsActive());
    QTest::qWait(50);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_EQ(status.count(), 0);  // no "全部预览完成", no "执行完成"
    EXPECT_EQ(notices.Notices(), (std::vector<std::string>(2, kTaskNotAvailableText)));
    EXPECT_TRUE(a.area.isEnabled());
    EXPECT_TRUE(a.app.gUndoHistory.empty());
    EXPECT_EQ(a.app.gListRows.GetCellText(0, ListColumn::Preview), "");
    EXPECT_EQ(files.Read("a.txt"), "a");

    // A task that can run gets both buttons back.
    a.Choose({"综合任务", "时间"});
    EXPECT_TRUE(a.Enabled(kExecuteButton));
    // A stored choice of a task that cannot run falls back to the first task.
    {
        const QSignalBlocker quiet(&a.box);
        a.box.FindItem({"文件改名", "替换"})->setDisabled(false);
        a.box.setCurrentItem(a.box.FindItem({"文件改名", "替换"}));
        a.box.FindItem({"文件改名", "替换"})->setDisabled(true);
    }
    a.area.SwitchBatchPanel();
    EXPECT_EQ(a.app.gCurrentTask, kTaskCommonRename);
}

TEST(BatchTaskArea, ToolCommandsAreUsableOnlyWhileSomethingAnswersThem) {
    TempDir dir;
    Area a(dir / "s.ini");
    QAction* undoManager = a.area.findChild<QAction*>("显示撤销记录...");
    QAction* regexTester = a.area.findChild<QAction*>("正则调试器");
    QAction* listMerge = a.area.findChild<QAction*>("列表合并工具");
    ASSERT_TRUE(undoManager != nullptr && regexTester != nullptr && listMerge != nullptr);
    EXPECT_FALSE(undoManager->isEnabled() || regexTester->isEnabled() || listMerge->isEnabled() || a.Enabled(kToolsButton));

    int testerOpened = 0;
    const auto tester = QObject::connect(&a.area, &BatchTaskArea::regexTesterRequested, [&] { ++testerOpened; });
    QCoreApplication::processEvents();
    ASSERT_TRUE(regexTester->isEnabled() && a.Enabled(kToolsButton));
    EXPECT_FALSE(listMerge->isEnabled() || undoManager->isEnabled());
    a.area.ToolbarButton(kToolsButton)->trigger();
    EXPECT_EQ(testerOpened, 1);
    QObject::connect(&a.area, &BatchTaskArea::undoManagerRequested, [] {});
    QCoreApplication::processEvents();
    EXPECT_TRUE(undoManager->isEnabled());
    QObject::disconnect(tester);
    QCoreApplication::processEvents();
    EXPECT_FALSE(regexTester->isEnabled() || a.Enabled(kToolsButton));
    // The area coming up counts again (a connection made before it).
    a.area.BatchTaskAreaCreated();
    EXPECT_TRUE(undoManager->isEnabled());
    EXPECT_FALSE(regexTester->isEnabled());
}

TEST(BatchTaskArea, SettingsRoundTrip) {
    TempDir dir;
    std::filesystem::create_directories(dir / "out");
    {
        Area a(dir / "s.ini");
        a.RunnersFor({kTaskCommonRename, kTaskPathTransfer});
        a.area.BatchTaskAreaCreated();
        a.area.SetNameScopeExtension();
        a.area.ToggleAutoPreview();
        a.typedLimit = {true, "7"};
        a.area.AskAutoPreviewLimit();
        a.pickedFolder = dir / "out";
        a.area.OnBatchToolbarButton(kTransferButton);  // no folder yet: the picker opens
        a.area.ToggleMetaSymbols();
        // Transfer mode stays the user's choice while a panel disables the button.
        a.Choose({"综合任务", "路径"});
        EXPECT_FALSE(a.area.TransferModeOn());
        a.area.SaveSettings();
        ASSERT_TRUE(a.app.gSettings->Flush().has_value());
    }
    {
        Area b(dir / "s.ini");
        b.area.BatchTaskAreaCreated();
        EXPECT_EQ(b.area.CurrentNameScope(), NameScope::Extension);
        EXPECT_EQ(b.area.ToolbarButton(kNameScopeButton)->text(), "后缀");
        EXPECT_FALSE(b.area.findChild<QAction*>("自动预览")->isChecked());
        EXPECT_EQ(b.app.gAutoPreviewLimit, 7);
        EXPECT_TRUE(b.area.findChild<QAction*>("自定义数目")->isChecked());
        EXPECT_FALSE(b.area.findChild<QAction*>("20 条")->isChecked());
        EXPECT_TRUE(b.area.TransferModeOn());
        EXPECT_EQ(b.area.TransferFolder(), dir / "out/");
        EXPECT_EQ(b.area.TransferFolderItem()->text().toStdString(), dir / "out/");
        EXPECT_TRUE(b.area.TransferFolderItem()->isEnabled());
        EXPECT_FALSE(b.area.findChild<QAction*>("启用元符")->isChecked());
        EXPECT_FALSE(b.area.ToolbarButton(kMetaSymbolsButton)->isChecked());
        EXPECT_FALSE(b.app.gMetaSymbolsEnabled);
        const RunSettings settings = b.area.CurrentRunSettings();
        EXPECT_TRUE(settings.transferMode && !settings.metaSymbols);
        EXPECT_EQ(settings.autoPreviewLimit, 7);
    }
    // A folder deleted since means no folder and no transfer mode.
    std::filesystem::remove(dir / "out");
    Area c(dir / "s.ini");
    c.area.BatchTaskAreaCreated();
    EXPECT_FALSE(c.area.TransferModeOn());
    EXPECT_EQ(c.area.TransferFolder(), "");
    EXPECT_EQ(c.area.TransferFolderItem()->text(), "转移到的目录...");
    EXPECT_FALSE(c.area.TransferFolderItem()->isEnabled());
}

TEST(BatchTaskArea, TransferFolderChoicesScopeCycleAndLimits) {
    NoticeRecorder notices;
    TempDir dir;
    Area a(dir / "s.ini");
    a.area.BatchTaskAreaCreated();
    EXPECT_EQ(a.area.CurrentNameScope(), NameScope::Main);  // the default of a missing section

    a.pickedFolder = "";  // cancelled with no folder chosen: 转移 stays off
    a.area.OnBatchToolbarButton(kTransferButton);
    EXPECT_FALSE(a.area.ToolbarButton(kTransferButton)->isChecked());
    a.pickedFolder = dir / "missing";
    a.area.OnBatchToolbarButton(kTransferButton);
    EXPECT_FALSE(a.area.ToolbarButton(kTransferButton)->isChecked());
    EXPECT_EQ(a.area.TransferFolderItem()->text(), "指定迁移目录...");
    EXPECT_EQ(notices.Notices(), (std::vector<std::string>{"您选择的文件夹无效！"}));
    a.pickedFolder = "/";  // the root is a folder like any other
    a.area.OnBatchToolbarButton(kTransferButton);
    EXPECT_TRUE(a.area.TransferModeOn());
    EXPECT_EQ(a.area.TransferFolderItem()->text(), "/");
    a.area.OnBatchToolbarButton(kTransferButton);
    EXPECT_FALSE(a.area.TransferModeOn());
    EXPECT_FALSE(a.area.TransferFolderItem()->isEnabled());

    std::vector<std::string> cycle;
    for (int i = 0; i < 3; ++i) {
        a.area.OnBatchToolbarButton(kNameScopeButton);
        cycle.push_back(a.area.ToolbarButton(kNameScopeButton)->text().toStdString());
        EXPECT_TRUE(a.area.findChild<QAction*>(QString::fromStdString(cycle.back()))->isChecked());
    }
    EXPECT_EQ(cycle, (std::vector<std::string>{"后缀", "全部", "前缀"}));

    // 启用元符 from the menu and from the button flip the same switch once.
    QAction* metaSwitch = a.area.findChild<QAction*>("启用元符");
    metaSwitch->trigger();
    EXPECT_FALSE(metaSwitch->isChecked() || a.area.ToolbarButton(kMetaSymbolsButton)->isChecked() || a.app.gMetaSymbolsEnabled);
    a.area.ToolbarButton(kMetaSymbolsButton)->trigger();
    EXPECT_TRUE(metaSwitch->isChecked() && a.area.ToolbarButton(kMetaSymbolsButton)->isChecked() && a.app.gMetaSymbolsEnabled);
    // The button's arrow prepares the menu: with no box to insert into, it says so.
    auto* metaButton = qobject_cast<QToolButton*>(a.area.Toolbar()->widgetForAction(a.area.ToolbarButton(kMetaSymbolsButton)));
    ASSERT_NE(metaButton, nullptr);
    a.area.show();
    QTimer::singleShot(0, [] {
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    });
    QTest::mouseClick(metaButton, Qt::LeftButton, {}, QPoint(metaButton->width() - 2, metaButton->height() / 2));
    EXPECT_EQ(notices.Notices().back(), MetaSymbolMenu::kNoTargetNotice);
    EXPECT_TRUE(metaSwitch->isChecked());

    a.typedLimit = {true, "abc"};
    a.area.AskAutoPreviewLimit();
    EXPECT_EQ(a.app.gAutoPreviewLimit, 0);
    a.typedLimit = {false, ""};
    a.area.findChild<QAction*>("20 条")->trigger();
    a.area.findChild<QAction*>("自定义数目")->trigger();  // cancelled: nothing changes
    EXPECT_EQ(a.app.gAutoPreviewLimit, 20);
    EXPECT_TRUE(a.area.findChild<QAction*>("20 条")->isChecked());
    EXPECT_FALSE(a.area.findChild<QAction*>("自定义数目")->isChecked());
}

TEST(BatchTaskArea, FailedRowsComeBackThroughTheNoticeLink) {
    NoticeRecorder notices;
    TempDir dir;
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) dir.Write(name, "x");
    Area a(dir / "s.ini");
    RunProgressBar bar(a.app.gRunControl);
    a.area.SetProgressBar(&bar);
    a.area.RegisterTask<std::string>(kTaskCommonRename, {}, [](RunContext& run, RunRows& rows, const std::string&) {
                             ForEachRunRow(run, rows, [&](std::size_t index) {
                                 if (index == 0) run.Record().renames.push_back({"新", "a.txt", "/"});
                                 run.LogFailure(rows.FullPath(index));
                             });
                         });
    a.area.BatchTaskAreaCreated();
    QSignalSpy loaded(&a.list.Runner(), &ListLoadRunner::finished);
    ASSERT_TRUE(a.list.LoadPathsIntoList({dir / "a.txt", dir / "b.txt", dir / "c.txt"}, true));
    ASSERT_TRUE(loaded.wait(kWaitMs));

    QSignalSpy finished(&a.area, &BatchTaskArea::runFinished);
    a.area.OnBatchToolbarButton(kExecuteButton);
    EXPECT_FALSE(a.area.isEnabled());
    EXPECT_FALSE(bar.isHidden());
    EXPECT_EQ(bar.maximum(), 3);
    ASSERT_TRUE(finished.wait(kWaitMs));
    EXPECT_TRUE(a.area.isEnabled());
    EXPECT_TRUE(bar.isHidden());
    EXPECT_TRUE(a.Enabled(kUndoButton));  // 撤销: the history holds the run's record
    EXPECT_EQ(a.app.gUndoHistory.size(), 1u);

    ASSERT_TRUE(QTest::qWaitFor([] { return CurrentNoticePopup() != nullptr; }, kWaitMs));
    NoticePopup* popup = CurrentNoticePopup();
    EXPECT_EQ(popup->windowTitle(), "失败啦");
    const std::string paths = (dir / "a.txt") + "\n" + (dir / "b.txt") + "\n" + (dir / "c.txt");
    EXPECT_TRUE(popup->ShownText().contains(QString::fromStdString(paths))) << popup->ShownText().toStdString();
    // The list changes meanwhile; the link loads the failed paths that still exist.
    std::filesystem::remove(dir / "b.txt");
    a.list.Model().ClearRows();
    popup->ActivateLink(1);
    ASSERT_TRUE(loaded.wait(kWaitMs));
    ASSERT_EQ(a.list.Model().rowCount(), 2);
    EXPECT_EQ(a.app.gListRows.FullPath(0), dir / "a.txt");
    EXPECT_EQ(a.app.gListRows.FullPath(1), dir / "c.txt");
    while (NoticePopup* left = CurrentNoticePopup()) left->Finish();
}

// The common panel's new main name, numbered from 1 without zeros.
void NameWith(BatchTaskArea& area, const char* newMain) {
    auto* panel = qobject_cast<CommonRenamePanel*>(area.CurrentPanel());
    ASSERT_NE(panel, nullptr);
    panel->findChild<QLineEdit*>("编辑框零位数")->setText("0");
    panel->findChild<QLineEdit*>("编辑框新主名")->setText(QString::fromUtf8(newMain));
}

std::vector<std::string> ListedNames(RowStore& rows) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < rows.RowCount(); ++i) names.push_back(rows.Name(i));
    return names;
}

TEST(BatchTaskArea, UndoFromTheToolbarRestoresTheNewestRunFirst) {
    NoticeRecorder notices;
    TempDir dir;
    dir.Write("a.txt", "a");
    dir.Write("b.txt", "b");
    Area a(dir / "s.ini");
    RegisterRenameTasks(a.area);
    a.area.BatchTaskAreaCreated();
    a.area.ToggleAutoPreview();
    bool ctrl = false;
    a.list.SetModifierSource([&ctrl] { return ctrl ? Qt::ControlModifier : Qt::NoModifier; });
    QSignalSpy loaded(&a.list.Runner(), &ListLoadRunner::finished);
    ASSERT_TRUE(a.list.LoadPathsIntoList({dir / "a.txt", dir / "b.txt"}, true));
    ASSERT_TRUE(loaded.wait(kWaitMs));

    QSignalSpy finished(&a.area, &BatchTaskArea::runFinished);
    for (const char* newMain : {"x", "y"}) {
        NameWith(a.area, newMain);
        a.area.OnBatchToolbarButton(kExecuteButton);
        ASSERT_TRUE(finished.wait(kWaitMs));
    }
    ASSERT_EQ(a.app.gUndoHistory.size(), 2u);
    EXPECT_EQ(dir.Read("y2.txt"), "b");

    QSignalSpy undone(&a.area, &BatchTaskArea::undoFinished);
    QSignalSpy status(&a.area, &BatchTaskArea::statusMessage);
    a.area.ToolbarButton(kUndoButton)->trigger();
    ASSERT_TRUE(undone.wait(kWaitMs));
    EXPECT_EQ(dir.Read("x1.txt"), "a");
    EXPECT_EQ(dir.Read("x2.txt"), "b");
    // The list shows only the restored files.
    EXPECT_EQ(ListedNames(a.app.gListRows), (std::vector<std::string>{"x1.txt", "x2.txt"}));
    EXPECT_EQ(a.list.Model().rowCount(), 2);
    EXPECT_EQ(status.first().first().toString(), "撤销开始，请稍候... ...");
    EXPECT_EQ(status.last().first().toString(), "撤销更改完成");
    EXPECT_TRUE(a.Enabled(kUndoButton));
    EXPECT_EQ(a.app.gCurrentUndoRecord.renames.size(), 2u);

    ctrl = true;  // the restored files join the listed ones
    a.area.ToolbarButton(kUndoButton)->trigger();
    ASSERT_TRUE(undone.wait(kWaitMs));
    EXPECT_EQ(ListedNames(a.app.gListRows), (std::vector<std::string>{"x1.txt", "x2.txt", "a.txt", "b.txt"}));
    EXPECT_EQ(dir.Read("a.txt"), "a");
    EXPECT_EQ(dir.Read("b.txt"), "b");
    EXPECT_TRUE(a.app.gUndoHistory.empty());
    EXPECT_FALSE(a.Enabled(kUndoButton));
    EXPECT_FALSE(a.area.UndoBatchRun());
    EXPECT_TRUE(notices.Notices().empty());
}

// A kept record of renames in `folder`: each entry (now, before).
void KeepRenames(AppGlobals& app, const std::string& folder, std::vector<std::pair<const char*, const char*>> renames) {
    app.gUndoHistory.push_back({});
    for (const auto& [now, before] : renames) {
        // As the rename step records it: the renamed file's identity, where there is one.
        app.gUndoHistory.back().renames.push_back(
            {now, before, folder + "/", false, ReadPathIdentity(folder + "/" + now).value_or(PathIdentity{})});
    }
}

TEST(BatchTaskArea, UndoIsRefusedWhileAnotherTaskRunsOrForAMissingRecord) {
    NoticeRecorder notices;
    TempDir dir;
    dir.Write("b", "b");
    Area a(dir / "s.ini");
    a.area.BatchTaskAreaCreated();
    KeepRenames(a.app, dir.Path(), {{"b", "a"}});
    ASSERT_TRUE(a.app.gRunControl.TryBegin(TaskKind::ListLoad));
    EXPECT_FALSE(a.area.UndoBatchRun());
    EXPECT_EQ(notices.Notices(), (std::vector<std::string>{kTaskBusyNotice}));
    a.app.gRunControl.End();
    EXPECT_FALSE(a.area.UndoBatchRun(2));
    EXPECT_FALSE(a.area.UndoBatchRun(-1));
    EXPECT_EQ(a.app.gUndoHistory.size(), 1u);
    EXPECT_TRUE(dir.Read("b") == "b");
}

TEST(BatchTaskArea, WhatCouldNotBeUndoneIsShownWithItsPaths) {
    NoticeRecorder notices;
    TempDir dir;
    dir.Write("kept", "k");
    Area a(dir / "s.ini");
    a.area.BatchTaskAreaCreated();
    KeepRenames(a.app, dir.Path(), {{"kept", "was"}, {"vanished", "old"}});
    QSignalSpy undone(&a.area, &BatchTaskArea::undoFinished);
    QSignalSpy status(&a.area, &BatchTaskArea::statusMessage);
    ASSERT_TRUE(a.area.UndoBatchRun(1));
    ASSERT_TRUE(undone.wait(kWaitMs));
    EXPECT_EQ(dir.Read("was"), "k");
    EXPECT_EQ(status.last().first().toString(), "撤销结束，1 项未能撤销");
    ASSERT_TRUE(QTest::qWaitFor([] { return CurrentNoticePopup() != nullptr; }, kWaitMs));
    NoticePopup* popup = CurrentNoticePopup();
    EXPECT_EQ(popup->windowTitle(), QString::fromUtf8(kUndoFailureTitle));
    EXPECT_TRUE(popup->ShownText().contains(QString::fromStdString(dir / "vanished")));
    while (NoticePopup* left = CurrentNoticePopup()) left->Finish();
}

TEST(RunProgressBar, FollowsTheRunsRowWithAValidRangeForEmptyRuns) {
    testing::TestApplication();
    RunControl control;
    RunProgressBar bar(control);
    EXPECT_EQ(bar.objectName(), "进度条");
    bar.Start(0);
    EXPECT_EQ(bar.minimum(), 1);
    EXPECT_EQ(bar.maximum(), 1);
    bar.Start(30);
    EXPECT_EQ(bar.Clock().interval(), 100);
    EXPECT_TRUE(bar.Clock().isActive());
    control.currentRow = 12;
    bar.UpdateRunProgressBar();
    EXPECT_EQ(bar.value(), 12);
    bar.Stop();
    EXPECT_TRUE(bar.isHidden());
    EXPECT_FALSE(bar.Clock().isActive());
}

TEST(MainWindow, ClosingDuringAPausedExecuteKeepsItsResultWithoutWaitingForever) {
    testing::TestApplication();
    TempDir dir;
    dir.Write("a.txt", "x");
    QtUserNotifier notifier;
    AppGlobals app;
    MainWindow window(app, notifier);
    Gate gate;
    window.BatchArea().RegisterTask<std::string>(kTaskCommonRename, {}, [&gate](RunContext& run, RunRows& rows, const std::string&) {
                                         ForEachRunRow(run, rows, [&](std::size_t index) {
                                             run.Record().renames.push_back({"新", rows.Name(index), "/"});
                                             gate.Arrive();
                                         });
                                     });
    window.BatchArea().BatchTaskAreaCreated();
    app.gListRows.AppendRow(dir.Path(), "a.txt", {}, 0);
    app.gListRows.AppendRow(dir.Path(), "b.txt", {}, 0);
    window.BatchArea().OnBatchToolbarButton(kExecuteButton);
    gate.WaitArrived();
    app.gRunControl.SetPaused(true);
    gate.Open();
    window.ExitOnSignal();
    EXPECT_FALSE(app.gRunControl.IsActive());
    EXPECT_FALSE(window.BatchArea().Dispatcher().IsRunning());
    ASSERT_EQ(app.gUndoHistory.size(), 1u);
    EXPECT_EQ(app.gUndoHistory[0].renames.size(), 1u);
}

TEST(MainWindow, ClosingAsksOnlyWhileFilesMayChange) {
    testing::TestApplication();
    NoticeRecorder recorder;
    recorder.answer = kAnswerCancel;
    QtUserNotifier notifier;
    AppGlobals app;
    MainWindow window(app, notifier);
    Gate gate;
    window.BatchArea().RegisterTask<std::string>(kTaskCommonRename, {}, [&gate](RunContext& run, RunRows&, const std::string&) {
                                         if (run.IsExecute()) gate.Arrive();
                                         while (!run.IsExecute() && !run.ShouldStopRun()) {
                                         }
                                     });
    window.BatchArea().BatchTaskAreaCreated();
    QSignalSpy finished(&window.BatchArea(), &BatchTaskArea::runFinished);

    window.BatchArea().OnBatchToolbarButton(kExecuteButton);
    gate.WaitArrived();
    window.ExitFromMenu();  // asked, and cancelled: the run goes on
    EXPECT_EQ(recorder.Boxes().size(), 1u);
    EXPECT_TRUE(window.BatchArea().Dispatcher().IsRunning());
    gate.Open();
    ASSERT_TRUE(finished.wait(kWaitMs));

    // A full preview that would run on forever is stopped without a question.
    window.BatchArea().OnBatchToolbarButton(kPreviewButton);
    ASSERT_EQ(window.BatchArea().Dispatcher().RunningMode(), RunMode::FullPreview);
    window.ExitFromMenu();
    EXPECT_EQ(recorder.Boxes().size(), 1u);
    EXPECT_FALSE(app.gRunControl.IsActive());
}

}  // namespace
}  // namespace varnel

namespace varnel {
namespace {

// The replace, expression, delete and insert tasks dock their panels; whole-path mode
// takes the name part and transfer buttons away while it is on, also when loaded.
TEST(BatchTaskArea, TextRenameTasksDockTheirPanelsAndWholePathTakesTheScopeButtons) {
    NoticeRecorder notices;
    TempDir dir;
    dir.Write("s.ini", "[批量正则]\n作用于路径=真\n");
    Area a(dir / "s.ini");
    RegisterRenameTasks(a.area);
    a.area.BatchTaskAreaCreated();
    const std::pair<const char*, const char*> tasks[] = {
        {"替换", "ReplacePanel"}, {"正则", "RegexRenamePanel"}, {"删除", "DeletePanel"}, {"插入", "InsertPanel"}};
    for (const auto& [caption, panel] : tasks) {
        a.Choose({"文件改名", QString::fromUtf8(caption)});
        EXPECT_EQ(a.area.CurrentPanel()->objectName().toStdString(), panel);
        const bool wholePath = std::string_view(caption) == "正则";
        EXPECT_EQ(a.Enabled(kNameScopeButton), !wholePath) << caption;
        EXPECT_EQ(a.Enabled(kTransferButton), !wholePath) << caption;
    }
    a.Choose({"文件改名", "替换"});
    auto* wholePath = a.area.CurrentPanel()->findChild<QAbstractButton*>(QString::fromUtf8("选择框替换路径"));
    ASSERT_NE(wholePath, nullptr);
    wholePath->click();
    EXPECT_FALSE(a.Enabled(kNameScopeButton) || a.Enabled(kTransferButton));
    wholePath->click();
    EXPECT_TRUE(a.Enabled(kNameScopeButton) && a.Enabled(kTransferButton));
}

}  // namespace
}  // namespace varnel
