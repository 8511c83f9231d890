// The main window's folder commands: the directory tree read into the list, the
// folder history (back, forward, up) and the tree selection that loads a folder.
#include "frame/ui/main_window.h"

#include "dirtree/ui/directory_tree_view.h"
#include "filelist/ui/file_list_panel.h"
#include "frame/folder_history.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

constexpr const char* kBusyNotice = "当前有任务在执行！请等待任务完毕或终止任务后再执行本项！";

}  // namespace

bool MainWindow::RefuseWhileBusy() {
    if (m_app.gRunControl.IsActive() && m_app.gRunControl.ActiveKind() != TaskKind::ListLoad) {
        ShowTrayNotice(kBusyNotice);
        return true;
    }
    return false;
}

void MainWindow::ReadTreeIntoList() {
    if (m_tree->IsAltHeld()) return;
    LoadCheckedTreeFolders(false);
}

void MainWindow::LoadCheckedTreeFolders(bool noHistory) {
    if (RefuseWhileBusy()) return;
    const std::vector<std::string> folders = m_tree->CheckedFolderPaths();
    if (!folders.empty()) m_fileList->TraverseFoldersIntoList(folders, noHistory, true);
}

void MainWindow::OnListLoadFinished(bool recordHistory) {
    const auto rows = static_cast<std::int64_t>(m_app.gListRows.RowCount());
    UpdateStatusBar(0, rows, 0, std::nullopt);
    if (!recordHistory || rows == 0) return;
    // A tree node without a folder (我的电脑, the group nodes) is no place to come back to.
    if (auto folder = m_tree->CurrentPath()) {
        varnel::PushNavigationHistory(m_app.gHistoryPaths, m_app.gHistoryIndex, std::move(*folder));
        UpdateHistoryButtons();
    }
}

void MainWindow::UpdateHistoryButtons() {
    const HistoryButtons available = HistoryAvailability(m_app.gHistoryPaths, m_app.gHistoryIndex);
    m_forwardButton->setToolTip(QString::fromUtf8(available.forward ? "前进" : "前进(当前不可用)"));
    m_backButton->setToolTip(QString::fromUtf8(available.back ? "后退" : "后退(当前不可用)"));
}

void MainWindow::NavigateHistory(bool forward) {
    if (RefuseWhileBusy()) return;
    DirectoryTree& tree = *m_app.gDirectoryTree;
    const HistoryStep step = varnel::NavigateHistory(m_app.gHistoryPaths, m_app.gHistoryIndex, forward,
                                                     [&tree](const std::string& folder) { return tree.IsExistingFolder(folder); });
    if (!step.skipped.empty()) {
        std::string notice = "以下文件夹已不存在，已跳过：";
        for (const std::string& folder : step.skipped) notice += "\r\n" + folder;
        ShowTrayNotice(notice);
    }
    if (!step.folder) return;
    UpdateHistoryButtons();
    // The folder becomes the only checked one; it is loaded without entering it again.
    if (!m_tree->GoToPath(*step.folder, true)) return;
    if (m_tree->IsAltHeld()) return;
    LoadCheckedTreeFolders(true);
}

void MainWindow::GoUpOneFolder() {
    const auto current = m_tree->CurrentPath();
    const auto parent = current ? ParentFolderOf(*current) : std::nullopt;
    if (!parent || !m_app.gDirectoryTree->IsExistingFolder(*parent)) return;
    if (!m_tree->GoToPath(*parent, true)) return;
    OnTreeSelectionChanged(0);
}

void MainWindow::UpdateUpButton() {
    const auto current = m_tree->CurrentPath();
    const auto parent = current ? ParentFolderOf(*current) : std::nullopt;
    const bool valid = parent && m_app.gDirectoryTree->IsExistingFolder(*parent);
    m_upButton->setToolTip(QString::fromUtf8(valid ? "向上" : "向上(当前不可用)"));
}

void MainWindow::OnTreeSelectionChanged(int cause) {
    UpdateUpButton();
    if (cause == static_cast<int>(DirectoryTreeView::SelectionCause::Keyboard)) return;
    m_tree->CheckOnlyCurrent();
    if (m_app.gMainSettings.treeSingleClick && !m_tree->IsAltHeld()) ReadTreeIntoList();
}

}  // namespace varnel
