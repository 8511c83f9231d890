// The main window's menu switches and toolbar: each check item bound to its setting
// and what its change needs, every command item connected to its work (the rest
// disabled), and the toolbar buttons mirroring their menu items.
#include "frame/ui/main_window.h"

#include <algorithm>

#include "dirtree/ui/directory_tree_view.h"
#include "filelist/ui/file_list_panel.h"
#include "filetasks/ui/list_export_commands.h"
#include "frame/send_to_shortcut.h"
#include "frame/ui/main_menus.h"
#include "frame/ui/main_toolbar.h"
#include "platform/xdg_paths.h"
#include "settings/main_settings.h"
#include "tools/ui/update_checker.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

// The menu checks: each is a field of the main settings, shown by its item (and
// by the other item of an exclusive pair, which shows the opposite).
struct CheckBinding {
    const char* caption;
    bool MainSettings::*field;
    const char* opposite;
};

constexpr CheckBinding kCheckBindings[] = {
    {"预览专区", &MainSettings::columnPreview, nullptr},
    {"文件大小", &MainSettings::columnSize, nullptr},
    {"文件类型", &MainSettings::columnType, nullptr},
    {"文件属性", &MainSettings::columnAttributes, nullptr},
    {"创建时间", &MainSettings::columnCreated, nullptr},
    {"修改时间", &MainSettings::columnModified, nullptr},
    {"访问时间", &MainSettings::columnAccessed, nullptr},
    {"所属目录", &MainSettings::columnFolder, nullptr},
    {"自动调节", &MainSettings::autoFitColumns, nullptr},
    {"内置图标", &MainSettings::builtInIcons, "系统图标"},
    {"大图标(32x32)", &MainSettings::largeIcons, "小图标(16x16)"},
    {"显示工具条", &MainSettings::showToolbar, nullptr},
    {"显示目录树", &MainSettings::showTree, nullptr},
    {"显示状态条", &MainSettings::showStatusBar, nullptr},
    {"保持前端", &MainSettings::stayOnTop, nullptr},
    {"批量任务...", &MainSettings::showBatchTaskArea, nullptr},
    {"图像(Gif|Jpg|Bmp|Ico|Cur)", &MainSettings::previewImages, nullptr},
    {"音频(Mp3|Mid|Wav)", &MainSettings::previewAudio, nullptr},
    {"文本(自定义格式)", &MainSettings::previewText, nullptr},
    {"重复播放", &MainSettings::repeatPlayback, nullptr},
    {"预览v1", &MainSettings::id3PreviewV1, nullptr},
    {"预览v2", &MainSettings::id3PreviewV2, nullptr},
    {"互补预览", &MainSettings::id3Complementary, nullptr},
    {"自动显示歌词", &MainSettings::id3AutoLyrics, nullptr},
    {"右键 发送到 菜单", &MainSettings::sendToMenu, nullptr},
    {"单击", &MainSettings::treeSingleClick, "双击"},
    {"根据遍历设置输入", &MainSettings::dropByWalkSettings, "直接输入单层列表"},
    {"资源管理器中打开", &MainSettings::doubleClickOpensFolder, "载入子列表"},
};

}  // namespace

void MainWindow::ConnectMenuCommands() {
    // A check first changes its setting; what the change needs follows below.
    std::vector<QAction*> wired;
    for (const CheckBinding& binding : kCheckBindings) {
        QAction* item = m_menus->Item(binding.caption);
        QAction* opposite = binding.opposite != nullptr ? m_menus->Item(binding.opposite) : nullptr;
        const auto set = [this, field = binding.field](bool checked) {
            m_app.gMainSettings.*field = checked;
            ShowMenuChecks();
        };
        connect(item, &QAction::triggered, this, [set](bool checked) { set(checked); });
        wired.push_back(item);
        if (opposite != nullptr) {
            connect(opposite, &QAction::triggered, this, [set] { set(false); });
            wired.push_back(opposite);
        }
    }
    for (const char* caption : {"预览专区", "文件大小", "文件类型", "文件属性", "创建时间", "修改时间", "访问时间",
                                "所属目录", "内置图标", "系统图标", "大图标(32x32)", "小图标(16x16)"}) {
        connect(m_menus->Item(caption), &QAction::triggered, this, [this] { m_fileList->ApplyColumnChecks(); });
    }
    for (const char* caption : {"显示工具条", "显示目录树", "显示状态条"}) {
        connect(m_menus->Item(caption), &QAction::triggered, this, &MainWindow::LayOutMainWindow);
    }
    connect(m_menus->Item("保持前端"), &QAction::triggered, this, &MainWindow::ApplyStayOnTop);
    connect(m_menus->Item("批量任务..."), &QAction::triggered, this, [this] {
        ApplyBatchTaskAreaVisibility();
        LayOutMainWindow();
    });
    connect(m_menus->Item("右键 发送到 菜单"), &QAction::triggered, this, [this](bool checked) { SetSendToMenu(checked); });
    for (const char* caption : {"单击", "双击"}) {
        connect(m_menus->Item(caption), &QAction::triggered, this,
                [this] { m_tree->SetLoadOnDoubleClick(!m_app.gMainSettings.treeSingleClick); });
    }

    // Commands whose work exists; every other item stays disabled until its work is built.
    const auto command = [this, &wired](const char* caption, std::function<void()> handler) {
        QAction* item = m_menus->Item(caption);
        connect(item, &QAction::triggered, this, std::move(handler));
        wired.push_back(item);
    };
    FileListView& list = m_fileList->View();
    ConnectRowActions(command);
    ConnectListTextCommands(command);
    command("读目录树", [this] { ReadTreeIntoList(); });
    command("进入子层", [this] { m_fileList->EnterSelectedFolders(); });
    command("移除列表", [this] { RemoveSelectedRows(); });
    command("清空列表", [this] { ClearList(); });
    command("选定全部", [&list] { list.SetListSelection(FileListView::SelectionMode::All); });
    command("去除选定", [&list] { list.SetListSelection(FileListView::SelectionMode::None); });
    command("逆向选定", [&list] { list.SetListSelection(FileListView::SelectionMode::Invert); });
    command("过滤选定", [this] { m_fileList->SelectRowsByFilters(); });
    command("立即调节", [&list] { list.AutoSizeFileListColumns(); });
    ConnectContentPreview(command);
    command("立即显示歌词", [this] { ShowLyricsOfCurrentRow(); });
    command("提取歌词", [this] { SaveLyricsOfSelectedRows(); });
    ConnectListOrderCommands([&command](const char* caption, std::function<void()> handler) { command(caption, handler); });
    command("检查更新...", [this] { m_updateChecker->CheckForUpdate(false); });
    command("关于...", [this] { ShowAboutWindow(); });
    command("退出", [this] { ExitFromMenu(); });
    for (QAction* item : m_menus->Items()) {
        if (std::find(wired.begin(), wired.end(), item) == wired.end()) item->setEnabled(false);
    }
}

void MainWindow::ShowListColumn(ListColumn column) {
    bool MainSettings::*shown = nullptr;
    switch (column) {
        case ListColumn::Attributes: shown = &MainSettings::columnAttributes; break;
        case ListColumn::Created: shown = &MainSettings::columnCreated; break;
        case ListColumn::Modified: shown = &MainSettings::columnModified; break;
        case ListColumn::Accessed: shown = &MainSettings::columnAccessed; break;
        default: return;
    }
    if (m_app.gMainSettings.*shown) return;
    m_app.gMainSettings.*shown = true;
    ShowMenuChecks();
    m_fileList->ApplyColumnChecks();
}

void MainWindow::ConnectToolbar() {
    connect(m_toolbar, &MainToolbar::buttonClicked, this, [this](int index) { OnToolbarButton(index, false); });
    connect(m_toolbar, &MainToolbar::dropDownClicked, this, [this](int index) { OnToolbarButton(index, true); });
    // A button is usable when the menu item of its command is.
    static const std::pair<int, const char*> kMirrors[] = {
        {kBatchAreaSlot, "批量任务..."},
        {kReadTreeSlot, "读目录树"},
        {kEnterFolderSlot, "进入子层"},
        {kMoveToSlot, "移动到..."},
        {kCopyToSlot, "复制到..."},
        {kDeleteSlot, "删除(回收站可见)"},
        {kShortcutSlot, "创建快捷方式..."},
        {kOpenSlot, "打开"},
        {kLocateSlot, "打开上级"},
        {kRemoveFromListSlot, "移除列表"},
        {kCopyListSlot, "复制文件路径"},
        {kSelectAllSlot, "选定全部"},
        {kSelectNoneSlot, "去除选定"},
        {kInvertSelectionSlot, "逆向选定"},
        {kFilterSelectSlot, "过滤选定"},
        {kFindNextSlot, "查找下一个"},
        {kAboutSlot, "关于..."},
        {kExitSlot, "退出"},
    };
    for (const auto& [index, caption] : kMirrors) m_toolbar->Button(index)->setEnabled(m_menus->Item(caption)->isEnabled());
}

void MainWindow::OnToolbarButton(int index, bool arrow) {
    const auto trigger = [this](const char* caption) {
        QAction* item = m_menus->Item(caption);
        if (item->isEnabled()) item->trigger();
    };
    switch (index) {
    case kBatchAreaSlot: ToggleBatchTaskArea(); break;
    case kReadTreeSlot:
        if (arrow) {
            m_fileList->ShowFolderStatistics(m_tree->CurrentPath().value_or(std::string()));
        } else {
            ReadTreeIntoList();
        }
        break;
    case kEnterFolderSlot: trigger("进入子层"); break;
    case kMoveToSlot: trigger("移动到..."); break;
    case kCopyToSlot: trigger("复制到..."); break;
    case kDeleteSlot: trigger(arrow ? "删除" : "删除(回收站可见)"); break;
    case kShortcutSlot: trigger("创建快捷方式..."); break;
    case kOpenSlot: trigger("打开"); break;
    case kLocateSlot: trigger("打开上级"); break;
    case kRemoveFromListSlot: trigger(arrow ? "清空列表" : "移除列表"); break;
    case kCopyListSlot:
        if (arrow) {
            QToolButton* button = m_toolbar->Button(kCopyListSlot);
            m_menus->Menu("更多复制")->popup(button->mapToGlobal(QPoint(0, button->height())));
        } else if (m_menus->Item("复制文件路径")->isEnabled()) {
            // The button repeats the last kind of copy.
            m_listText->CopyListTextToClipboard(m_app.gMainSettings.lastCopyKind);
        }
        break;
    case kSelectAllSlot: trigger("选定全部"); break;
    case kSelectNoneSlot: trigger("去除选定"); break;
    case kInvertSelectionSlot: trigger("逆向选定"); break;
    case kFilterSelectSlot: trigger("过滤选定"); break;
    case kFindNextSlot: trigger(arrow ? "查找..." : "查找下一个"); break;
    case kAboutSlot: ShowAboutWindow(); break;
    case kExitSlot: ExitFromMenu(); break;
    default: break;
    }
}

void MainWindow::ShowMenuChecks() {
    for (const CheckBinding& binding : kCheckBindings) {
        const bool checked = m_app.gMainSettings.*binding.field;
        QAction* item = m_menus->Item(binding.caption);
        const QSignalBlocker quiet(item);
        item->setChecked(checked);
        if (binding.opposite != nullptr) {
            QAction* opposite = m_menus->Item(binding.opposite);
            const QSignalBlocker quietToo(opposite);
            opposite->setChecked(!checked);
        }
    }
}

void MainWindow::ApplyStayOnTop() {
    const bool on = m_app.gMainSettings.stayOnTop;
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on) return;
    // Changing a flag hides a shown window.
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (shown) show();
}

void MainWindow::SetSendToMenu(bool enabled) {
    auto result = SetSendToShortcut(enabled, ProgramPath(), UserSendToFolders());
    if (result) return;
    m_app.gMainSettings.sendToMenu = !enabled;
    ShowMenuChecks();
    ShowTrayNotice("无法设置发送到菜单：" + result.error().message +
                   (result.error().path.empty() ? std::string() : "\r\n" + result.error().path));
}

void MainWindow::ToggleBatchTaskArea() {
    m_app.gMainSettings.showBatchTaskArea = !m_app.gMainSettings.showBatchTaskArea;
    ShowMenuChecks();
    ApplyBatchTaskAreaVisibility();
    LayOutMainWindow();
}

void MainWindow::ApplyBatchTaskAreaVisibility() {
    // Showing and hiding the area is the layout's.
    m_toolbar->SetToolButtonChecked(kBatchAreaSlot, m_app.gMainSettings.showBatchTaskArea);
}

}  // namespace varnel
