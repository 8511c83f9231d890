#include "frame/ui/main_window.h"
#include "tools/ui/tool_windows.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <filesystem>
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "app/app_globals.h"
#include "dirtree/ui/directory_tree_model.h"
#include "dirtree/ui/directory_tree_view.h"
#include "filelist/ui/extended_filter_window.h"
#include "filelist/ui/file_list_panel.h"
#include "filelist/ui/file_list_view.h"
#include "filelist/ui/filter_bar.h"
#include "frame/ui/about_window.h"
#include "frame/ui/main_menus.h"
#include "frame/ui/main_status_bar.h"
#include "frame/ui/main_toolbar.h"
#include "frame/ui/menu_checks.h"
#include "frame/ui/splitter_bar.h"
#include "platform/ui/qt_user_notifier.h"
#include "renames/ui/common_rename_panel.h"
#include "runs/ui/batch_task_area.h"
#include "runs/ui/control_panel.h"
#include "runs/ui/run_progress_bar.h"
#include "runs/ui/task_box.h"
#include "settings/ini_document.h"
#include "support/notice_recorder.h"
#include "support/qt_app.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "tools/ui/list_report_commands.h"

namespace varnel {
namespace {

using testing::NoticeRecorder;
using testing::ScopedEnv;
using testing::TempDir;

constexpr int kWaitMs = 20000;

// A window over a temporary home: its settings, tree file and send-to entry stay
// in the folder; notices are recorded.
struct MainWindowTest : ::testing::Test {
    MainWindowTest() {
        testing::TestApplication();
        env.Set("HOME", dir.Path());
        env.Set("XDG_CONFIG_HOME", dir / "config");
        env.Set("XDG_DATA_HOME", dir / "data");
        env.Set("XDG_CACHE_HOME", dir / "cache");
        std::filesystem::create_directories(dir / "files");
        app = std::make_unique<AppGlobals>();
        window = std::make_unique<MainWindow>(*app, notifier);
        window->Tree().RebuildTree();
        window->Tree().SetAltQuery([this] { return altHeld; });
        window->resize(1000, 700);
    }
    ~MainWindowTest() override {
        window.reset();
        app.reset();
    }

    std::string Folder(const std::string& name, int files = 1) {
        const std::string folder = dir / ("files/" + name);
        std::filesystem::create_directories(folder);
        for (int i = 0; i < files; ++i) dir.Write("files/" + name + "/" + name + std::to_string(i) + ".txt", "x");
        return folder;
    }
    QAction* Item(const char* caption) { return window->Menus().Item(caption); }
    // Runs `start` and waits for the list load it begins to end.
    bool Loads(const std::function<void()>& start) {
        QSignalSpy finished(&window->FileList(), &FileListPanel::loadFinished);
        start();
        return finished.count() > 0 || finished.wait(kWaitMs);
    }
    bool LoadFolder(const std::string& folder) {
        EXPECT_TRUE(window->Tree().GoToPath(folder, true));
        return Loads([this] { window->ReadTreeIntoList(); });
    }
    std::vector<std::string> ListedNames() {
        std::vector<std::string> names;
        for (std::size_t row = 0; row < app->gListRows.RowCount(); ++row) names.push_back(app->gListRows.Name(row));
        return names;
    }
    QModelIndex TreeIndex(const std::string& path) {
        window->Tree().GoToPath(path, true, true);
        return window->Tree().currentIndex();
    }

    TempDir dir;
    ScopedEnv env;
    NoticeRecorder recorder;
    QtUserNotifier notifier;
    std::unique_ptr<AppGlobals> app;
    std::unique_ptr<MainWindow> window;
    bool altHeld = false;
};

struct DesignedItem {
    const char* menu;
    const char* caption;
    const char* key;
};

// Every item of the menus with its designed key.
const DesignedItem kDesignedItems[] = {
    {"文件", "打开", "Ctrl+O"}, {"文件", "打开上级", "Ctrl+S"}, {"文件", "读目录树", "F5"},
    {"文件", "进入子层", "F6"}, {"文件", "重命名", "F2"}, {"文件", "批量任务...", "Ctrl+P"},
    {"文件", "移动到...", "F7"}, {"文件", "复制到...", "F8"}, {"文件", "删除", "Del"},
    {"文件", "删除(回收站可见)", "Ctrl+H"}, {"文件", "创建快捷方式...", "Ctrl+K"}, {"文件", "新建目录", "Ctrl+N"},
    {"文件", "复制文件路径", "F9"}, {"更多复制", "完整路径", "F9"}, {"更多复制", "文件名称列", "Ctrl+F1"},
    {"更多复制", "预览专区列", "Ctrl+F2"}, {"更多复制", "文件类型列", "Ctrl+F3"},
    {"更多复制", "文件属性列", "Ctrl+F4"}, {"更多复制", "创建时间列", "Ctrl+F5"},
    {"更多复制", "修改时间列", "Ctrl+F6"}, {"更多复制", "访问时间列", "Ctrl+F7"},
    {"更多复制", "所属目录列", "Ctrl+F8"}, {"更多复制", "全部列", "Ctrl+F9"},
    {"更多复制", "快捷方式指向(.Lnk)", "Ctrl+F10"}, {"更多复制", "网页链接(.Url)", "Ctrl+F11"},
    {"更多复制", "网页标题(<title>)", "Ctrl+F12"}, {"更多复制", "高级组合复制...", ""},
    {"文件", "移除列表", "F10"}, {"文件", "清空列表", "Ctrl+Q"}, {"文件", "选定全部", "Ctrl+A"},
    {"文件", "去除选定", "Ctrl+V"}, {"文件", "逆向选定", "Ctrl+E"}, {"文件", "过滤选定", "Ctrl+G"},
    {"更多", "修改网页标题", "F11"}, {"更多", "提取歌词", "F12"}, {"更多", "列表发送到...", ""},
    {"列定义", "预览专区", ""}, {"列定义", "文件大小", ""}, {"列定义", "文件类型", ""},
    {"列定义", "文件属性", ""}, {"列定义", "创建时间", ""}, {"列定义", "修改时间", ""},
    {"列定义", "访问时间", ""}, {"列定义", "所属目录", ""}, {"列宽", "自动调节", ""},
    {"列宽", "立即调节", ""}, {"图标", "内置图标", ""}, {"图标", "系统图标", ""},
    {"图标", "大图标(32x32)", ""}, {"图标", "小图标(16x16)", ""}, {"列定义", "时间列格式...", ""},
    {"视图", "查找...", "Ctrl+F"}, {"视图", "查找下一个", "F3"}, {"视图", "显示工具条", ""},
    {"视图", "显示目录树", ""}, {"视图", "显示状态条", ""}, {"视图", "保持前端", ""},
    {"导入导出", "导入列表_选择文本文件...", ""}, {"导入导出", "导入列表_直接输入文本...", ""},
    {"导入导出", "导出列表...", ""}, {"导入导出", "高级导出列表...", ""}, {"导入导出", "打印列表框...", ""},
    {"设置", "右键 发送到 菜单", ""}, {"文件内容预览", "图像(Gif|Jpg|Bmp|Ico|Cur)", ""},
    {"文件内容预览", "音频(Mp3|Mid|Wav)", ""}, {"文件内容预览", "文本(自定义格式)", ""},
    {"文件内容预览", "定义文本格式...", ""}, {"音频选项", "重复播放", ""}, {"音频选项", "立即停止播放", "F4"},
    {"音乐 Id3 预览", "预览v1", ""}, {"音乐 Id3 预览", "预览v2", ""}, {"音乐 Id3 预览", "互补预览", ""},
    {"音乐 Id3 预览", "自动显示歌词", ""}, {"音乐 Id3 预览", "立即显示歌词", ""},
    {"拖放列表时", "根据遍历设置输入", ""}, {"拖放列表时", "直接输入单层列表", ""},
    {"目录树 触发输入", "单击", ""}, {"目录树 触发输入", "双击", ""},
    {"列表框 双击目录", "资源管理器中打开", ""}, {"列表框 双击目录", "载入子列表", ""},
    {"排序菜单", "按预置型排序", ""}, {"排序菜单", "按数值型排序", ""}, {"排序菜单", "按文本型排序", ""},
    {"排序菜单", "按日期型排序", ""}, {"排序菜单", "按逻辑型排序", ""}, {"排序菜单", "按增强型数值排序", ""},
    {"排序菜单", "设定增强参数", ""}, {"排序菜单", "按文本长度", ""}, {"排序菜单", "按图标排序", ""},
    {"帮助", "检查更新...", ""}, {"帮助", "关于...", ""}, {"帮助", "退出", ""},
};

TEST_F(MainWindowTest, EveryMenuItemCarriesItsCaptionAndKey) {
    std::set<QAction*> designed;
    for (const DesignedItem& d : kDesignedItems) {
        SCOPED_TRACE(d.caption);
        QAction* item = Item(d.caption);
        ASSERT_NE(item, nullptr);
        designed.insert(item);
        EXPECT_TRUE(item->text().startsWith(QString::fromUtf8(d.caption)));
        EXPECT_EQ(MainMenus::ShownKey(*item), QString::fromLatin1(d.key));
        QMenu* menu = window->Menus().Menu(d.menu);
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(menu->actions().contains(item));
    }
    EXPECT_EQ(designed.size(), window->Menus().Items().size());  // nothing beyond the design

    // The bar shows five menus; 文件 is the list's.
    QStringList bar;
    for (QAction* action : window->menuBar()->actions()) bar << action->text();
    EXPECT_EQ(bar, (QStringList{"列定义", "视图", "导入导出", "设置", "帮助"}));
    // F9 acts only on 复制文件路径; 完整路径 shows it in its text.
    EXPECT_TRUE(Item("完整路径")->shortcut().isEmpty());
    EXPECT_EQ(Item("复制文件路径")->shortcut(), QKeySequence(Qt::Key_F9));
}

TEST_F(MainWindowTest, NoTwoActionsShareAKeyAndTheListKeysActOnlyInTheList) {
    // The list's keys live inside the window, so one set of keys covers both contexts.
    std::map<QString, QString> owners;
    for (QAction* item : window->findChildren<QAction*>()) {
        if (item->shortcut().isEmpty()) continue;
        const QString key = item->shortcut().toString();
        EXPECT_FALSE(owners.contains(key)) << key.toStdString() << " on " << item->objectName().toStdString()
                                           << " and " << owners[key].toStdString();
        owners[key] = item->objectName();
    }
    std::vector<QAction*> listItems;
    for (QAction* item : window->FileList().View().actions()) listItems.push_back(item);
    EXPECT_TRUE(std::find(listItems.begin(), listItems.end(), Item("删除")) != listItems.end());
    EXPECT_EQ(Item("删除")->shortcutContext(), Qt::WidgetWithChildrenShortcut);
    EXPECT_EQ(Item("移除列表")->shortcutContext(), Qt::WidgetWithChildrenShortcut);
    EXPECT_EQ(Item("查找...")->shortcutContext(), Qt::WindowShortcut);

    // F10 (移除列表) typed in the filter box leaves the list alone; in the list it removes.
    Folder("a", 3);
    ASSERT_TRUE(LoadFolder(dir / "files/a"));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow();
    QApplication::setActiveWindow(window.get());
    auto* filterText = window->Filters().findChild<QLineEdit*>(QString::fromUtf8("编辑框过滤文本"));
    FileListView& list = window->FileList().View();
    list.selectRow(0);
    filterText->setEnabled(true);
    filterText->setFocus();
    QTest::keyClick(filterText, Qt::Key_F10);
    EXPECT_EQ(app->gListRows.RowCount(), 3u);
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_F10);
    EXPECT_EQ(app->gListRows.RowCount(), 2u);
    EXPECT_EQ(window->StatusPartText(3), QString::fromUtf8("执行完毕"));
}

TEST_F(MainWindowTest, EachListKeyRunsItsCommand) {
    struct KeyCase {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* command;
    };
    const KeyCase kKeys[] = {
        {Qt::Key_O, Qt::ControlModifier, "打开"},          {Qt::Key_S, Qt::ControlModifier, "打开上级"},
        {Qt::Key_P, Qt::ControlModifier, "批量任务..."},   {Qt::Key_H, Qt::ControlModifier, "删除(回收站可见)"},
        {Qt::Key_K, Qt::ControlModifier, "创建快捷方式..."}, {Qt::Key_N, Qt::ControlModifier, "新建目录"},
        {Qt::Key_F1, Qt::ControlModifier, "文件名称列"},   {Qt::Key_F2, Qt::ControlModifier, "预览专区列"},
        {Qt::Key_F3, Qt::ControlModifier, "文件类型列"},   {Qt::Key_F4, Qt::ControlModifier, "文件属性列"},
        {Qt::Key_F5, Qt::ControlModifier, "创建时间列"},   {Qt::Key_F6, Qt::ControlModifier, "修改时间列"},
        {Qt::Key_F7, Qt::ControlModifier, "访问时间列"},   {Qt::Key_F8, Qt::ControlModifier, "所属目录列"},
        {Qt::Key_F9, Qt::ControlModifier, "全部列"},       {Qt::Key_F10, Qt::ControlModifier, "快捷方式指向(.Lnk)"},
        {Qt::Key_F11, Qt::ControlModifier, "网页链接(.Url)"}, {Qt::Key_F12, Qt::ControlModifier, "网页标题(<title>)"},
        {Qt::Key_Q, Qt::ControlModifier, "清空列表"},      {Qt::Key_A, Qt::ControlModifier, "选定全部"},
        {Qt::Key_V, Qt::ControlModifier, "去除选定"},      {Qt::Key_E, Qt::ControlModifier, "逆向选定"},
        {Qt::Key_G, Qt::ControlModifier, "过滤选定"},      {Qt::Key_F5, Qt::NoModifier, "读目录树"},
        {Qt::Key_F6, Qt::NoModifier, "进入子层"},          {Qt::Key_F2, Qt::NoModifier, "重命名"},
        {Qt::Key_F7, Qt::NoModifier, "移动到..."},         {Qt::Key_F8, Qt::NoModifier, "复制到..."},
        {Qt::Key_Delete, Qt::NoModifier, "删除"},          {Qt::Key_F9, Qt::NoModifier, "复制文件路径"},
        {Qt::Key_F10, Qt::NoModifier, "移除列表"},         {Qt::Key_F11, Qt::NoModifier, "修改网页标题"},
        {Qt::Key_F12, Qt::NoModifier, "提取歌词"},         {Qt::Key_Return, Qt::NoModifier, "打开"},
        {Qt::Key_Enter, Qt::KeypadModifier, "打开"},
    };
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QApplication::setActiveWindow(window.get());
    FileListView& list = window->FileList().View();
    list.setFocus();
    // The commands themselves are not run here: only which one a key reaches. Enter
    // reaches 打开 through the list, so the list's own link to the item stays.
    std::vector<QAction*> items;
    for (QAction* item : list.actions()) {
        if (item->menu() != nullptr) continue;
        QObject::disconnect(item, &QAction::triggered, nullptr, nullptr);
        items.push_back(item);
    }
    std::vector<QString> reached;
    for (QAction* item : items) {
        QObject::connect(item, &QAction::triggered, [&reached, item] { reached.push_back(item->objectName()); });
    }
    for (const KeyCase& c : kKeys) {
        SCOPED_TRACE(c.command);
        reached.clear();
        QTest::keyClick(&list, c.key, c.modifiers);
        EXPECT_EQ(reached, std::vector<QString>{QString::fromUtf8(c.command)});
    }
}

TEST_F(MainWindowTest, DesignedChecksAndTheCommandsThatWork) {
    const std::set<std::string> checked = {
        "预览专区", "所属目录", "自动调节", "内置图标", "大图标(32x32)", "显示工具条", "显示目录树",
        "显示状态条", "批量任务...", "图像(Gif|Jpg|Bmp|Ico|Cur)", "音频(Mp3|Mid|Wav)", "文本(自定义格式)",
        "重复播放", "互补预览", "自动显示歌词", "右键 发送到 菜单", "单击", "直接输入单层列表", "载入子列表"};
    for (QAction* item : window->Menus().Items()) {
        const std::string caption = item->objectName().toStdString();
        EXPECT_EQ(item->isChecked(), checked.contains(caption)) << caption;
    }
    // Every command of the menus has its work.
    for (QAction* item : window->Menus().Items()) EXPECT_TRUE(item->isEnabled()) << item->objectName().toStdString();
    for (const char* caption : {"读目录树", "进入子层", "批量任务...", "移除列表", "清空列表", "选定全部", "去除选定",
                                "逆向选定", "过滤选定", "预览专区", "立即调节", "显示目录树", "保持前端",
                                "右键 发送到 菜单", "单击", "关于...", "退出", "时间列格式...", "查找...",
                                "查找下一个", "按预置型排序", "按增强型数值排序", "设定增强参数", "按图标排序",
                                "打开", "打开上级", "移动到...", "复制到...", "删除", "删除(回收站可见)",
                                "创建快捷方式...", "新建目录", "修改网页标题", "重命名", "复制文件路径", "完整路径",
                                "列表发送到...", "导入列表_选择文本文件...", "导出列表...", "高级导出列表...", "高级组合复制...", "提取歌词", "立即显示歌词",
                                "打印列表框...", "检查更新..."}) {
        EXPECT_TRUE(Item(caption)->isEnabled()) << caption;
    }
    // Toolbar buttons follow their menu items.
    EXPECT_TRUE(window->Toolbar().Button(kDeleteSlot)->isEnabled());
    EXPECT_TRUE(window->Toolbar().Button(kRemoveFromListSlot)->isEnabled());

    // A column check shows or hides its column; an exclusive pair keeps one checked.
    Item("文件大小")->trigger();
    EXPECT_TRUE(app->gMainSettings.columnSize);
    EXPECT_TRUE(window->FileList().View().IsColumnShown(2));
    Item("系统图标")->trigger();
    EXPECT_FALSE(app->gMainSettings.builtInIcons);
    EXPECT_FALSE(Item("内置图标")->isChecked());
    Item("系统图标")->trigger();  // choosing the checked one again keeps it
    EXPECT_TRUE(Item("系统图标")->isChecked());
    Item("双击")->trigger();
    EXPECT_FALSE(app->gMainSettings.treeSingleClick);
    EXPECT_TRUE(Item("双击")->isChecked());
}

TEST_F(MainWindowTest, ShowLyricsSaysWhenTheCurrentFileHasNone) {
    // No current row, then a file without a tag: the same message.
    Item("立即显示歌词")->trigger();
    const std::string folder = Folder("songs");
    ASSERT_TRUE(LoadFolder(folder));
    ASSERT_GT(app->gListRows.RowCount(), 0u);
    window->FileList().View().setCurrentIndex(window->FileList().Model().index(0, 0));
    Item("立即显示歌词")->trigger();
    EXPECT_EQ(recorder.Boxes(), (std::vector<std::string>{"该文件没有歌词或不是Mp3文件！", "该文件没有歌词或不是Mp3文件！"}));
    // Tag and shortcut entries of the undo history have their restorers.
    EXPECT_TRUE(app->gUndoFamilies.Has(UndoKind::TagChanges));
    EXPECT_TRUE(app->gUndoFamilies.Has(UndoKind::ShortcutChanges));
}

TEST_F(MainWindowTest, PrintListOpensTheSettingsWindowWithTheListColumns) {
    Item("打印列表框...")->trigger();
    auto* settings = window->Report().SettingsWindow();
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->windowTitle(), "打印预览设置");
    auto* columns = settings->findChild<QListWidget*>("显示列表框");
    ASSERT_NE(columns, nullptr);
    EXPECT_EQ(columns->count(), window->FileList().Model().columnCount());
    EXPECT_EQ(columns->item(0)->text(), window->FileList().Model().headerData(0, Qt::Horizontal, Qt::DisplayRole).toString());
    // The menu item again raises the same window.
    Item("打印列表框...")->trigger();
    EXPECT_EQ(window->Report().SettingsWindow(), settings);
    settings->close();
}

TEST_F(MainWindowTest, TheToolbarHasItsTwentyFiveSlots) {
    MainToolbar& bar = window->Toolbar();
    const std::set<int> separators = {1, 4, 9, 12, 15, 20, 22};
    const std::set<int> dropDowns = {2, 7, 13, 14, 21};
    for (int index = 0; index < MainToolbar::kSlotCount; ++index) {
        SCOPED_TRACE(index);
        if (separators.contains(index)) {
            EXPECT_EQ(MainToolbar::SlotStyle(index), MainToolbar::Style::Separator);
            EXPECT_TRUE(bar.Slot(index)->isSeparator());
            EXPECT_EQ(bar.Button(index), nullptr);
            continue;
        }
        ASSERT_NE(bar.Button(index), nullptr);
        EXPECT_EQ(MainToolbar::SlotStyle(index),
                  dropDowns.contains(index) ? MainToolbar::Style::DropDown : MainToolbar::Style::Button);
        EXPECT_FALSE(bar.Button(index)->toolTip().isEmpty());
    }
    EXPECT_EQ(bar.actions().size(), MainToolbar::kSlotCount);
    EXPECT_EQ(bar.Button(kReadTreeSlot)->toolTip(), QString::fromUtf8("读勾选目录的子列表(目录树中)。点击小箭头可统计文件和文件夹数目"));
    EXPECT_EQ(bar.Button(kExitSlot)->toolTip(), QString::fromUtf8("退出Varnel更名！"));

    // Button 13 removes the selected rows; its arrow empties the list.
    Folder("a", 3);
    ASSERT_TRUE(LoadFolder(dir / "files/a"));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->FileList().View().selectRow(1);
    QTest::mouseClick(bar.Button(kRemoveFromListSlot), Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_EQ(app->gListRows.RowCount(), 2u);
    auto* arrow = static_cast<DropDownToolButton*>(bar.Button(kRemoveFromListSlot));
    QTest::mousePress(arrow, Qt::LeftButton, {}, arrow->ArrowRect().center());
    EXPECT_EQ(app->gListRows.RowCount(), 0u);

    // Button 0 shows and hides the batch task area and carries its state.
    EXPECT_TRUE(bar.Button(kBatchAreaSlot)->isChecked());
    QTest::mouseClick(bar.Button(kBatchAreaSlot), Qt::LeftButton);
    EXPECT_FALSE(app->gMainSettings.showBatchTaskArea);
    EXPECT_FALSE(bar.Button(kBatchAreaSlot)->isChecked());
    EXPECT_FALSE(Item("批量任务...")->isChecked());
    EXPECT_FALSE(window->BatchArea().isVisible());
    EXPECT_FALSE(window->Tasks().isVisible());
    Item("批量任务...")->trigger();
    EXPECT_TRUE(bar.Button(kBatchAreaSlot)->isChecked());
    EXPECT_TRUE(window->BatchArea().isVisible());

    // Button 23 opens the about window; a click on it closes it.
    QTest::mouseClick(bar.Button(kAboutSlot), Qt::LeftButton);
    ASSERT_NE(window->About(), nullptr);
    QPointer<AboutWindow> about = window->About();
    EXPECT_TRUE(about->isVisible());
    EXPECT_TRUE(about->findChild<QLabel*>(QString::fromUtf8("名称"))->text().contains(QString::fromUtf8("v5.03")));
    QTest::mouseClick(about, Qt::LeftButton, {}, QPoint(2, 2));
    QApplication::processEvents();
    EXPECT_TRUE(about.isNull() || !about->isVisible());
}

TEST_F(MainWindowTest, TheViewChecksMoveTheListAndTheSplittersResizeTheColumns) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QRect before = window->FileList().geometry();
    EXPECT_GT(before.left(), 0);
    Item("显示目录树")->trigger();
    EXPECT_EQ(window->FileList().geometry().left(), 0);
    EXPECT_FALSE(window->Tree().isVisible());
    EXPECT_EQ(window->Toolbar().geometry().left(), 0);
    Item("显示工具条")->trigger();
    EXPECT_FALSE(window->Toolbar().isVisible());
    EXPECT_LT(window->FileList().geometry().top(), before.top());
    const int listBottom = window->FileList().geometry().bottom();
    Item("显示状态条")->trigger();
    EXPECT_FALSE(window->Status().isVisible());
    EXPECT_GT(window->FileList().geometry().bottom(), listBottom);
    for (const char* caption : {"显示目录树", "显示工具条", "显示状态条"}) Item(caption)->trigger();
    EXPECT_EQ(window->FileList().geometry(), before);

    // Dragging the tree's splitter gives the tree the new width.
    auto* splitter = window->findChild<SplitterBar*>(QString::fromUtf8("分隔条目录树"));
    ASSERT_NE(splitter, nullptr);
    const QPoint grab(2, 10);
    QTest::mousePress(splitter, Qt::LeftButton, {}, grab);
    QMouseEvent move(QEvent::MouseMove, QPointF(grab + QPoint(60, 0)), splitter->mapToGlobal(QPointF(grab + QPoint(60, 0))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(splitter, &move);
    QTest::mouseRelease(splitter, Qt::LeftButton, {}, grab + QPoint(60, 0));
    EXPECT_EQ(window->Tree().width(), 220 + 60);
    EXPECT_EQ(window->FileList().geometry().left(), 220 + 60 + SplitterBar::kWidth);

    // The control panel sits in the middle of the list.
    EXPECT_EQ(window->Controls().parentWidget(), &window->FileList());
    const QRect panel = window->Controls().geometry();
    EXPECT_NEAR(panel.center().x(), window->FileList().width() / 2, 1);
    EXPECT_NEAR(panel.center().y(), window->FileList().height() / 2, 1);
}

TEST_F(MainWindowTest, StatusPartsFollowTheirTextsAndTheProgressBarCoversTheMessage) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->UpdateStatusBar(5, 1234, 1234567, "共计一百条");
    MainStatusBar& bar = window->Status();
    EXPECT_EQ(bar.PartText(0), "5");
    EXPECT_EQ(bar.PartText(1), "1234");
    EXPECT_EQ(bar.PartText(2), "1,234,567");
    EXPECT_EQ(bar.PartRect(0).width(), 36);
    EXPECT_EQ(bar.PartRect(1).width(), 54);
    EXPECT_EQ(bar.PartRect(2).width(), 84);
    const int messageWidth = bar.PartRect(3).width();
    window->UpdateStatusBar({}, {}, {}, "一条更长更长更长更长更长更长的中文消息");
    EXPECT_EQ(bar.PartRect(3).width(), messageWidth);  // the message part is never sized
    EXPECT_EQ(bar.PartText(0), "5");                   // parts not given stay
    auto* progress = window->findChild<RunProgressBar*>();
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->parentWidget(), &bar);
    EXPECT_EQ(progress->geometry(), bar.PartRect(3));

    // A click on the bar shows the message as a notice.
    QTest::mouseClick(&bar, Qt::LeftButton, {}, bar.PartRect(3).center());
    ASSERT_FALSE(recorder.Notices().empty());
    EXPECT_EQ(recorder.Notices().back(), "一条更长更长更长更长更长更长的中文消息");
}

TEST_F(MainWindowTest, TheRowCountFollowsTheListAfterAnUndo) {
    window->OnMainWindowCreated();
    const std::string folder = Folder("u", 2);
    ASSERT_TRUE(LoadFolder(folder));
    BatchTaskArea& area = window->BatchArea();
    area.findChild<QAction*>("自动预览")->setChecked(false);
    auto* panel = qobject_cast<CommonRenamePanel*>(area.CurrentPanel());
    ASSERT_NE(panel, nullptr);
    panel->findChild<QLineEdit*>("编辑框零位数")->setText("0");
    panel->findChild<QLineEdit*>("编辑框新主名")->setText("x");
    QSignalSpy finished(&area, &BatchTaskArea::runFinished);
    area.OnBatchToolbarButton(kExecuteButton);
    ASSERT_TRUE(finished.wait(kWaitMs));
    ASSERT_EQ(ListedNames(), (std::vector<std::string>{"x1.txt", "x2.txt"}));

    // A third file joins the list; the undo then lists only the two files it restored.
    dir.Write("files/u/late.txt", "x");
    ASSERT_TRUE(LoadFolder(folder));
    EXPECT_EQ(window->StatusPartText(1), "3");
    QSignalSpy undone(&area, &BatchTaskArea::undoFinished);
    ASSERT_TRUE(area.UndoBatchRun());
    ASSERT_TRUE(undone.wait(kWaitMs));
    EXPECT_EQ(ListedNames(), (std::vector<std::string>{"u0.txt", "u1.txt"}));
    EXPECT_EQ(window->StatusPartText(1), "2");
}

TEST_F(MainWindowTest, TheExtendedFilterWindowOpensCentredOnTheMainWindow) {
    window->OnMainWindowCreated();
    window->setGeometry(120, 90, 560, 600);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->Filters().MoreFiltersBox()->setChecked(true);
    auto* filters = window->findChild<ExtendedFilterWindow*>();
    ASSERT_NE(filters, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(filters));
    EXPECT_NEAR(filters->frameGeometry().center().x(), window->frameGeometry().center().x(), 2);
    EXPECT_NEAR(filters->frameGeometry().center().y(), window->frameGeometry().center().y(), 2);
    EXPECT_TRUE(window->screen()->availableGeometry().contains(filters->frameGeometry()));
}

TEST_F(MainWindowTest, FolderHistoryGoesBackAndAFreshLoadAppends) {
    for (const char* name : {"a", "b", "c", "d"}) Folder(name);
    for (const char* name : {"a", "b", "c"}) ASSERT_TRUE(LoadFolder(dir / ("files/" + std::string(name))));
    EXPECT_EQ(app->gHistoryPaths,
              (std::vector<std::string>{dir / "files/a", dir / "files/b", dir / "files/c"}));
    EXPECT_EQ(window->BackButton()->toolTip(), QString::fromUtf8("后退"));
    EXPECT_EQ(window->ForwardButton()->toolTip(), QString::fromUtf8("前进(当前不可用)"));

    ASSERT_TRUE(Loads([this] { window->NavigateHistory(false); }));
    ASSERT_TRUE(Loads([this] { window->NavigateHistory(false); }));
    EXPECT_EQ(app->gHistoryIndex, 1);
    EXPECT_EQ(ListedNames(), (std::vector<std::string>{"a0.txt"}));
    EXPECT_EQ(window->Tree().CurrentPath(), dir / "files/a");
    EXPECT_EQ(app->gHistoryPaths.size(), 3u);  // history loads are not entered again
    EXPECT_EQ(window->ForwardButton()->toolTip(), QString::fromUtf8("前进"));
    EXPECT_EQ(window->BackButton()->toolTip(), QString::fromUtf8("后退(当前不可用)"));
    window->NavigateHistory(false);  // out of range: nothing
    EXPECT_EQ(app->gHistoryIndex, 1);

    ASSERT_TRUE(LoadFolder(dir / "files/d"));
    EXPECT_EQ(app->gHistoryPaths.size(), 4u);
    EXPECT_EQ(app->gHistoryIndex, 4);
    EXPECT_EQ(window->ForwardButton()->toolTip(), QString::fromUtf8("前进(当前不可用)"));

    // A folder that is gone is stepped over, and said so.
    std::filesystem::remove_all(dir / "files/c");
    ASSERT_TRUE(Loads([this] { window->NavigateHistory(false); }));
    EXPECT_EQ(window->Tree().CurrentPath(), dir / "files/b");
    EXPECT_EQ(app->gHistoryIndex, 2);
    ASSERT_FALSE(recorder.Notices().empty());
    EXPECT_NE(recorder.Notices().back().find(dir / "files/c"), std::string::npos);
}

TEST_F(MainWindowTest, TreeSelectionsLoadOnlyByMouseAndOnlyWhenAsked) {
    const std::string a = Folder("a");
    const std::string b = Folder("b");
    const std::string c = Folder("c");
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    DirectoryTreeView& tree = window->Tree();
    const QModelIndex indexA = TreeIndex(a);
    const QModelIndex indexC = TreeIndex(c);
    const QModelIndex indexB = TreeIndex(b);  // b current, nothing loaded by the program
    EXPECT_EQ(app->gListRows.RowCount(), 0u);
    const auto clickOn = [&](const QModelIndex& index) {
        tree.scrollTo(index);
        const QRect r = tree.visualRect(index);
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, QPoint(r.right() - 4, r.center().y()));
    };

    // The mouse: the folder becomes the only checked one and is loaded.
    ASSERT_TRUE(Loads([&] { clickOn(indexA); }));
    EXPECT_EQ(tree.CheckedFolderPaths(), (std::vector<std::string>{a}));
    EXPECT_EQ(ListedNames(), (std::vector<std::string>{"a0.txt"}));

    const QSignalSpy finished(&window->FileList(), &FileListPanel::loadFinished);
    // The keyboard: neither the checks nor the list change.
    tree.setFocus();
    QTest::keyClick(&tree, Qt::Key_Down);
    EXPECT_EQ(tree.currentIndex(), indexB);
    EXPECT_EQ(tree.CheckedFolderPaths(), (std::vector<std::string>{a}));

    // The right button chooses nothing.
    tree.scrollTo(indexC);
    QTest::mouseClick(tree.viewport(), Qt::RightButton, {}, tree.visualRect(indexC).center());
    EXPECT_EQ(tree.CheckedFolderPaths(), (std::vector<std::string>{a}));

    // Alt held: checked, not loaded.
    altHeld = true;
    clickOn(indexA);
    clickOn(indexC);
    EXPECT_EQ(tree.CheckedFolderPaths(), (std::vector<std::string>{c}));
    altHeld = false;

    // 双击 chosen: a click checks but loads nothing.
    Item("双击")->trigger();
    clickOn(indexB);
    EXPECT_EQ(tree.CheckedFolderPaths(), (std::vector<std::string>{b}));
    QApplication::processEvents();
    EXPECT_EQ(finished.count(), 0);
    EXPECT_EQ(ListedNames(), (std::vector<std::string>{"a0.txt"}));
}

TEST_F(MainWindowTest, UpGoesToTheParentFolderAndLoadsIt) {
    const std::string a = Folder("a");
    window->Tree().GoToPath(a, true);
    EXPECT_EQ(window->UpButton()->toolTip(), QString::fromUtf8("向上"));
    ASSERT_TRUE(Loads([this] { window->GoUpOneFolder(); }));
    EXPECT_EQ(window->Tree().CurrentPath(), dir / "files");
    EXPECT_EQ(window->Tree().CheckedFolderPaths(), (std::vector<std::string>{dir / "files"}));
    EXPECT_EQ(ListedNames(), (std::vector<std::string>{"a"}));

    // From the root there is nowhere to go.
    window->Tree().GoToPath("/", true);
    EXPECT_EQ(window->UpButton()->toolTip(), QString::fromUtf8("向上(当前不可用)"));
    const QSignalSpy finished(&window->FileList(), &FileListPanel::loadFinished);
    window->GoUpOneFolder();
    QApplication::processEvents();
    EXPECT_EQ(finished.count(), 0);
    EXPECT_EQ(window->Tree().CurrentPath(), "/");
}

// The export dialog left open at exit keeps what it shows: the save the exit
// makes holds its section.
TEST_F(MainWindowTest, AnOpenExportDialogIsSavedWithTheSettings) {
    const std::string file = dir / "settings.ini";
    app->gSettings->SetFile(file);
    Item("高级导出列表...")->trigger();
    auto* expression = window->findChild<QLineEdit*>(QString::fromUtf8("编辑框表达式"));
    ASSERT_NE(expression, nullptr);
    expression->setText(QStringLiteral("#1;#9"));
    ASSERT_TRUE(window->LoadOrSaveMainSettings(true));
    EXPECT_EQ(IniDocument::Parse(dir.Read("settings.ini")).Get("高级导出", "重组表达式"), "#1;#9");
}

TEST_F(MainWindowTest, LayoutSettingsAndChecksRoundTripUnderTheirCaptions) {
    const std::string file = dir / "settings.ini";
    app->gSettings->SetFile(file);
    Item("文件大小")->trigger();
    Item("显示状态条")->trigger();
    Item("保持前端")->trigger();
    Item("小图标(16x16)")->trigger();
    QTreeWidgetItem* group = window->Tasks().topLevelItem(1);
    group->setExpanded(false);
    // A task that can run (tasks that cannot are never current).
    window->Tasks().setCurrentItem(window->Tasks().topLevelItem(0)->child(0));
    ASSERT_EQ(window->Tasks().currentItem(), window->Tasks().topLevelItem(0)->child(0));
    ASSERT_TRUE(window->LoadOrSaveMainSettings(true));

    const IniDocument saved = IniDocument::Parse(dir.Read("settings.ini"));
    for (const char* caption : {"文件大小", "显示状态条", "保持前端", "大图标(32x32)", "单击"}) {
        const std::string key = MenuCheckKey(*Item(caption));
        bool found = false;
        for (const char* section : {"列定义", "界面布局", "设置"}) {
            if (auto value = saved.Get(section, key)) {
                found = true;
                EXPECT_EQ(*value, Item(caption)->isChecked() ? "真" : "假") << caption;
            }
        }
        EXPECT_TRUE(found) << caption;
    }

    AppGlobals second;
    second.gSettings->SetFile(file);
    MainWindow reloaded(second, notifier);
    ASSERT_TRUE(reloaded.LoadOrSaveMainSettings(false));
    EXPECT_TRUE(reloaded.Menus().Item("文件大小")->isChecked());
    EXPECT_FALSE(reloaded.Menus().Item("显示状态条")->isChecked());
    EXPECT_TRUE(reloaded.Menus().Item("小图标(16x16)")->isChecked());
    EXPECT_TRUE(reloaded.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(reloaded.Tasks().topLevelItem(1)->isExpanded());
    EXPECT_TRUE(reloaded.Tasks().topLevelItem(0)->isExpanded());
    EXPECT_EQ(reloaded.Tasks().currentItem(), reloaded.Tasks().topLevelItem(0)->child(0));
    EXPECT_FALSE(reloaded.LastLayout().statusBarShown);
}

// Loads that do not start from the tree's checked folders take the tree to the
// folder they list, and the folder history records that folder.
TEST_F(MainWindowTest, TheTreeFollowsDoubleClicksAndDrops) {
    const std::string a = Folder("a");
    const std::string sub = a + "/sub";
    std::filesystem::create_directories(sub);
    dir.Write("files/a/sub/inner.txt", "x");
    const std::string b = Folder("b", 2);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ASSERT_TRUE(LoadFolder(a));
    ASSERT_EQ(ListedNames(), (std::vector<std::string>{"a0.txt", "sub"}));

    // 进入子层 by a double click on the folder's row.
    FileListView& list = window->FileList().View();
    const QRect cell = list.visualRect(window->FileList().Model().index(1, 0));
    ASSERT_TRUE(Loads([&] {
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, cell.center());
    }));
    EXPECT_EQ(ListedNames(), (std::vector<std::string>{"inner.txt"}));
    EXPECT_EQ(window->Tree().CurrentPath(), sub);
    EXPECT_EQ(app->gHistoryPaths, (std::vector<std::string>{a, sub}));

    // A drop listed as it is: the tree shows where it came from.
    ASSERT_TRUE(Loads([&] { window->FileList().OnPathDropped(b + "/", "b0.txt", 0, 1); }));
    EXPECT_EQ(ListedNames(), (std::vector<std::string>{"b0.txt"}));
    EXPECT_EQ(window->Tree().CurrentPath(), b);
    // A drop walked: the tree shows the first folder walked.
    app->gMainSettings.dropByWalkSettings = true;
    ASSERT_TRUE(Loads([&] { window->FileList().OnPathDropped(dir / "files/", "a", 0, 1); }));
    EXPECT_EQ(window->Tree().CurrentPath(), a);
    EXPECT_EQ(app->gHistoryPaths, (std::vector<std::string>{a, sub, b, a}));
}

// Posted layout requests travel up one parent per round of events.
void SettleLayout() {
    for (int round = 0; round < 5; ++round) QApplication::processEvents();
}

// The common panel's numbering group comes and goes with a "*" in a custom main
// name; the task area takes the panel's height both ways, so neither group is
// squeezed, the box being typed in stays, and no blank gap is left.
TEST_F(MainWindowTest, TheTaskAreaFollowsThePanelHeightBothWays) {
    window->OnMainWindowCreated();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QWidget* panel = window->BatchArea().CurrentPanel();
    ASSERT_NE(panel, nullptr);
    ASSERT_EQ(panel->objectName(), "CommonRenamePanel");
    auto* type = panel->findChild<QComboBox*>(QString::fromUtf8("组合框修改主名类型"));
    auto* newMain = panel->findChild<QLineEdit*>(QString::fromUtf8("编辑框新主名"));
    auto* numbers = panel->findChild<QGroupBox*>(QString::fromUtf8("分组框编号设置"));
    auto* names = panel->findChild<QGroupBox*>(QString::fromUtf8("分组框文件名设置"));
    ASSERT_TRUE(type && newMain && numbers && names);
    BatchTaskArea& area = window->BatchArea();
    const auto expectFits = [&](const char* when) {
        SCOPED_TRACE(when);
        for (QGroupBox* group : {numbers, names}) {
            if (!group->isHidden()) {
                EXPECT_GE(group->height(), group->sizeHint().height()) << group->title().toStdString();
            }
        }
        EXPECT_TRUE(newMain->isVisible());
        EXPECT_GE(newMain->height(), newMain->minimumSizeHint().height());
        EXPECT_EQ(area.height(), area.Toolbar()->sizeHint().height() + panel->sizeHint().height());
        EXPECT_EQ(window->FileList().geometry().bottom() + 1, area.geometry().top());
        EXPECT_EQ(area.geometry().bottom() + 1, window->Status().geometry().top());
    };

    type->setCurrentIndex(2);
    newMain->setFocus();
    newMain->clear();
    QTest::keyClicks(newMain, "ep");
    SettleLayout();
    ASSERT_TRUE(numbers->isHidden());
    expectFits("no number");
    const int shortArea = area.height();
    const int tallList = window->FileList().height();

    QTest::keyClick(newMain, Qt::Key_Left);
    QTest::keyClicks(newMain, "*");
    SettleLayout();
    ASSERT_FALSE(numbers->isHidden());
    expectFits("numbered");
    EXPECT_GE(area.height(), shortArea + numbers->sizeHint().height());
    EXPECT_EQ(newMain->text(), "e*p");
    EXPECT_TRUE(newMain->hasFocus());

    QTest::keyClick(newMain, Qt::Key_Backspace);
    SettleLayout();
    ASSERT_TRUE(numbers->isHidden());
    expectFits("number removed");
    EXPECT_EQ(area.height(), shortArea);
    EXPECT_EQ(window->FileList().height(), tallList);
}

// Each key typed into the step box starts an auto-preview; none of them may
// rewrite the box, so "-" survives on its way to "-1".
TEST_F(MainWindowTest, ANegativeStepCanBeTypedWhileAutoPreviewRuns) {
    window->OnMainWindowCreated();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ASSERT_TRUE(LoadFolder(Folder("a", 3)));
    QWidget* panel = window->BatchArea().CurrentPanel();
    ASSERT_NE(panel, nullptr);
    auto* step = panel->findChild<QLineEdit*>(QString::fromUtf8("编辑框增量值"));
    ASSERT_NE(step, nullptr);
    QSignalSpy previewed(&window->BatchArea(), &BatchTaskArea::runFinished);
    step->setFocus();
    step->selectAll();
    QTest::keyClicks(step, "-");
    EXPECT_EQ(step->text(), "-");
    QTest::keyClicks(step, "1");
    EXPECT_EQ(step->text(), "-1");
    ASSERT_TRUE(previewed.count() > 0 || previewed.wait(kWaitMs));
    EXPECT_EQ(step->text(), "-1");
}

// The window as the user sees it after loading a folder, kept as a picture in the
// build folder (VARNEL_SCREENSHOT names the file; run under a real X server).
TEST_F(MainWindowTest, Screenshot) {
    const char* target = std::getenv("VARNEL_SCREENSHOT");
    if (target == nullptr) GTEST_SKIP() << "VARNEL_SCREENSHOT is not set";
    const std::string folder = Folder("照片与文档", 0);
    for (const char* name : {"旅行笔记.txt", "report-2024.pdf", "会议纪要 三月.docx", "IMG_0042.jpg", "歌曲.mp3"}) {
        dir.Write("files/照片与文档/" + std::string(name), "content");
    }
    std::filesystem::create_directories(folder + "/子文件夹");
    window->OnMainWindowCreated();
    window->resize(1000, 700);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ASSERT_TRUE(LoadFolder(folder));
    window->FileList().View().selectRow(1);
    QTest::qWait(200);
    const QPixmap picture = window->grab();
    ASSERT_TRUE(picture.save(QString::fromLocal8Bit(target), "PNG"));
}

TEST_F(MainWindowTest, ToolsMenuOpensTheRegexTesterAndTheListMerge) {
    QAction* regexTester = window->BatchArea().findChild<QAction*>(QString::fromUtf8("正则调试器"));
    QAction* listMerge = window->BatchArea().findChild<QAction*>(QString::fromUtf8("列表合并工具"));
    ASSERT_TRUE(regexTester != nullptr && listMerge != nullptr);
    QCoreApplication::processEvents();
    EXPECT_TRUE(regexTester->isEnabled());
    EXPECT_TRUE(listMerge->isEnabled());
    regexTester->trigger();
    ASSERT_NE(window->Tools().RegexTester(), nullptr);
    EXPECT_TRUE(window->Tools().RegexTester()->isVisible());
    listMerge->trigger();
    ASSERT_NE(window->Tools().ListMerge(), nullptr);
    EXPECT_TRUE(window->Tools().ListMerge()->isVisible());
    window->Tools().RegexTester()->close();
    window->Tools().ListMerge()->close();
}

}  // namespace
}  // namespace varnel
