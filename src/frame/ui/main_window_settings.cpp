// The main window's settings: its sections loaded into the window (the filters, the
// menu checks, the widths, the tree's folder, the task box, the placement) and
// collected back from it before they are saved.
#include "frame/ui/main_window.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

#include "dirtree/ui/directory_tree_view.h"
#include "filelist/ui/file_list_panel.h"
#include "filelist/ui/filter_bar.h"
#include "filetasks/ui/list_export_dialog.h"
#include "frame/send_to_shortcut.h"
#include "frame/task_box_expansion.h"
#include "platform/xdg_paths.h"
#include "runs/ui/batch_task_area.h"
#include "runs/ui/task_box.h"
#include "settings/main_settings.h"
#include "settings/settings_binder.h"
#include "settings/window_geometry.h"

namespace varnel {

namespace {

// The task box's items in tree order, numbered from 0 as the settings number them.
std::vector<QTreeWidgetItem*> ItemsInOrder(const QTreeWidget& tree) {
    std::vector<QTreeWidgetItem*> items;
    std::vector<QTreeWidgetItem*> pending;
    for (int i = tree.topLevelItemCount() - 1; i >= 0; --i) pending.push_back(tree.topLevelItem(i));
    while (!pending.empty()) {
        QTreeWidgetItem* item = pending.back();
        pending.pop_back();
        items.push_back(item);
        for (int i = item->childCount() - 1; i >= 0; --i) pending.push_back(item->child(i));
    }
    return items;
}

}  // namespace

std::expected<void, Error> MainWindow::LoadOrSaveMainSettings(bool save) {
    if (save) {
        // The batch task area and its panels first, then the open dialogs, then the
        // window's own sections.
        m_batchArea->SaveSettings();
        if (m_listExport != nullptr) m_listExport->SaveSettings();
        CollectSettings();
    }
    auto result = varnel::LoadOrSaveMainSettings(*m_app.gSettings, m_app.gMainSettings, save);
    if (!save) ApplyLoadedSettings();
    return result;
}

void MainWindow::ApplyLoadedSettings() {
    const MainSettings& s = m_app.gMainSettings;
    m_filterBar->ShowSettings(s);
    ShowMenuChecks();
    m_fileList->ApplyColumnChecks();
    m_treeWidth = SettingsBinder::ToInteger<int>(std::max(0.0, s.treeWidth));
    m_taskBoxWidth = SettingsBinder::ToInteger<int>(std::max(0.0, s.taskBoxWidth));
    m_tree->SetLoadOnDoubleClick(!s.treeSingleClick);
    if (!s.treePath.empty()) m_tree->GoToPath(s.treePath, true, true);
    ApplyTaskBoxSettings();
    ApplyStayOnTop();
    if (s.windowState == StoredWindowState::Normal) {
        WindowRect stored{static_cast<int>(s.windowLeft), static_cast<int>(s.windowTop),
                          static_cast<int>(s.windowWidth), static_cast<int>(s.windowHeight)};
        WindowRect available;
        const QScreen* screen = QGuiApplication::screenAt(QPoint(stored.x, stored.y));
        if (screen == nullptr) screen = QGuiApplication::primaryScreen();
        if (screen != nullptr) {
            const QRect area = screen->availableGeometry();
            available = {area.x(), area.y(), area.width(), area.height()};
        }
        const WindowRect r = ClampWindowGeometry(stored, available, kMinimumWidth, kMinimumHeight);
        setGeometry(r.x, r.y, r.width, r.height);
    }
    if (auto shortcut = SetSendToShortcut(s.sendToMenu, ProgramPath(), UserSendToFolders());
        !shortcut) {
        ReportProblem("无法设置发送到菜单", shortcut.error());
    }
    ApplyBatchTaskAreaVisibility();
    LayOutMainWindow();
}

void MainWindow::ApplyTaskBoxSettings() {
    const MainSettings& s = m_app.gMainSettings;
    const std::vector<QTreeWidgetItem*> items = ItemsInOrder(*m_taskBox);
    // The batch task area takes the current task when it comes up.
    const QSignalBlocker quiet(m_taskBox);
    for (const auto& [item, expanded] : ParseTaskBoxExpansion(s.taskBoxExpansion)) {
        if (static_cast<std::size_t>(item) < items.size()) items[static_cast<std::size_t>(item)]->setExpanded(expanded);
    }
    const auto current = SettingsBinder::ToInteger<long long>(s.taskBoxCurrent);
    if (current >= 0 && static_cast<std::size_t>(current) < items.size()) {
        m_taskBox->setCurrentItem(items[static_cast<std::size_t>(current)]);
    }
}

void MainWindow::CollectTaskBoxSettings() {
    MainSettings& s = m_app.gMainSettings;
    const std::vector<QTreeWidgetItem*> items = ItemsInOrder(*m_taskBox);
    std::vector<std::pair<int, bool>> groups;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] == m_taskBox->currentItem()) s.taskBoxCurrent = static_cast<double>(i);
        if (items[i]->childCount() > 0) groups.emplace_back(static_cast<int>(i), items[i]->isExpanded());
    }
    s.taskBoxExpansion = FormatTaskBoxExpansion(groups);
}

void MainWindow::CollectSettings() {
    MainSettings& s = m_app.gMainSettings;
    m_filterBar->CollectSettings(s);
    s.treeWidth = m_treeWidth;
    s.taskBoxWidth = m_taskBoxWidth;
    CollectTaskBoxSettings();
    s.treePath = m_tree->CurrentPath().value_or(std::string());
    s.windowState = isMaximized()   ? StoredWindowState::Maximised
                    : isMinimized() ? StoredWindowState::Minimised
                                    : StoredWindowState::Normal;
    // While maximised or minimised the normal geometry is what comes back later.
    const QRect normal = s.windowState == StoredWindowState::Normal ? geometry() : normalGeometry();
    s.windowLeft = normal.x();
    s.windowTop = normal.y();
    s.windowWidth = normal.width();
    s.windowHeight = normal.height();
}

}  // namespace varnel
