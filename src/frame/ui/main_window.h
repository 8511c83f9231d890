// The main window: the filter row, the directory tree, the toolbar, the file list,
// the task box with the batch task area, the status bar and the menus; its layout,
// its folder history, its start-up steps once it exists, its settings, and the one
// exit path that closing the window, the 退出 command and a termination signal
// share. UI thread only. The window's command groups (list, folder, menu and
// toolbar, tool commands) are defined in main_window_*_commands.cpp beside it, its
// settings in main_window_settings.cpp.
#pragma once

#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QToolButton>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "frame/frame_globals.h"
#include "frame/main_layout.h"
#include "frame/ui/about_window.h"
#include "frame/ui/find_in_list_dialog.h"
#include "frame/ui/sort_options_dialog.h"
#include "frame/ui/time_format_dialog.h"

namespace varnel {

class AboutWindow;
class BatchTaskArea;
class ControlPanel;
class DirectoryTreeView;
class ExtendedFilterWindow;
class FileListPanel;
class FilterBar;
class MainMenus;
class MainStatusBar;
class MainToolbar;
class ListExportCommands;
class ListReportCommands;
class ListExportDialog;
class ContentPreview;
class PowerMenu;
class RowActionCommands;
class QtUserNotifier;
class RunProgressBar;
class SplitterBar;
class TaskBox;
class ToolWindows;
class TrayIcon;
class UpdateChecker;

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    // The notifier shows the program's message boxes and notices; the window gives
    // it its status bar and tray icon. It must outlive the window.
    MainWindow(FrameGlobals& app, QtUserNotifier& notifier, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The start-up sequence once the window exists, in its fixed order.
    void OnMainWindowCreated();
    // Shows the window in the state its settings asked for.
    void ShowAsLoaded();

    // 退出: the same question as closing while a run is active, then save and exit.
    void ExitFromMenu();
    // SIGTERM or SIGINT: no question; a run stops at its next row, then save and exit.
    void ExitOnSignal();
    // Another instance asked this one to end: no question; a run stops at its next
    // row, then exit without saving.
    void ExitWithoutSaving();

    // Loads (save false) or saves the main window's sections. Saving writes the file.
    std::expected<void, Error> LoadOrSaveMainSettings(bool save);

    // Places every part for the window's size and the visibility checks.
    void LayOutMainWindow();
    // Changes the given status parts only: 0 current row, 1 row count, 2 byte size
    // (thousands grouped), 3 message. Parts 0 to 2 then take their texts' widths.
    void UpdateStatusBar(std::optional<std::int64_t> currentRow, std::optional<std::int64_t> rowCount,
                         std::optional<std::int64_t> byteSize, std::optional<std::string> message);
    void ResizeStatusParts();
    QString StatusPartText(int part) const;
    // The status message as a notice (a click on the status bar).
    void ShowStatusMessageAsNotice();

    // 批量任务...: shows or hides the batch task area beside the list.
    void ToggleBatchTaskArea();
    void ApplyBatchTaskAreaVisibility();

    // 读目录树: the tree's checked folders walked into the list, unless Alt is held;
    // refused with a notice while another task runs.
    void ReadTreeIntoList();
    // Folder history: back (forward false) or forward, and one folder up.
    void NavigateHistory(bool forward);
    void GoUpOneFolder();
    void UpdateHistoryButtons();
    // The tree's current node changed: cause 0 unknown, 1 mouse, 2 keyboard.
    void OnTreeSelectionChanged(int cause);

    // A toolbar slot's click, or the click on its arrow.
    void OnToolbarButton(int index, bool arrow);

    FileListPanel& FileList() { return *m_fileList; }
    ListReportCommands& Report() { return *m_report; }
    FilterBar& Filters() { return *m_filterBar; }
    DirectoryTreeView& Tree() { return *m_tree; }
    BatchTaskArea& BatchArea() { return *m_batchArea; }
    TaskBox& Tasks() { return *m_taskBox; }
    MainMenus& Menus() { return *m_menus; }
    MainToolbar& Toolbar() { return *m_toolbar; }
    // The regular-expression tester and the list merge tool.
    ToolWindows& Tools() { return *m_tools; }
    MainStatusBar& Status() { return *m_statusBar; }
    ControlPanel& Controls() { return *m_controlPanel; }
    QToolButton* UpButton() const { return m_upButton; }
    QToolButton* BackButton() const { return m_backButton; }
    QToolButton* ForwardButton() const { return m_forwardButton; }
    // The extended filters' window, made the first time 更多过滤 is checked.
    ExtendedFilterWindow* ExtendedFilters() const { return m_extendedFilters; }
    // The 帮助 menu, also the tray icon's right-click menu.
    QMenu* HelpMenu() const;
    // The tray icon once the window is created; nullptr before.
    TrayIcon* Tray() const { return m_trayIcon.get(); }
    // The 关闭电脑 submenu of the 帮助 menu.
    PowerMenu& Power() { return *m_powerMenu; }
    // The about window while it is open.
    AboutWindow* About() const { return m_about; }
    // 立即显示歌词: the current row's lyrics in a notice, or why there are none.
    void ShowLyricsOfCurrentRow();
    // 提取歌词: the lyrics of the selected rows saved as text files into a chosen folder.
    void SaveLyricsOfSelectedRows();
    void ShowAboutWindow();
    // 查找...: shows the find dialog, made the first time, or hides it.
    void ToggleFindWindow();
    // 查找下一个: the find dialog without a keyword, else the search with the kept options.
    void FindNextInList();
    // The dialogs of the list's order, search and time format while they exist.
    FindInListDialog* FindDialog() const { return m_findDialog; }
    TimeFormatDialog* TimeFormatWindow() const { return m_timeFormatDialog; }
    SortOptionsDialog* SortOptions() const { return m_sortOptions; }

    // The placement the last layout computed.
    const MainLayout& LastLayout() const { return m_layout; }

    static std::string Caption();
    // Asked before the program closes, or the session ends, while a run is active.
    static constexpr const char* kRunningTaskWarning =
        "当前有任务在执行，您确定要强制退出吗？强制退出可能导致未能预料的后果，"
        "比如当你正在改名时强制退出那就可能导致正在操作的文档损坏或丢失。";

signals:
    // The update check is due (时钟检查更新, once, ten seconds after start-up).
    void updateCheckDue();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr int kMinimumWidth = 480;
    static constexpr int kMinimumHeight = 320;
    // A problem nobody is asked about (start-up, a signal's exit), written to stderr.
    static void ReportProblem(const char* what, const Error& error);
    std::vector<std::size_t> SelectedRowsOrSayNone();
    enum class ExitRequest { Frame, Menu, Signal, OtherInstance };
    // True when the program may go: no run, or the user agreed and the run stopped.
    bool OnMainWindowCloseQuery(ExitRequest request);
    void SaveForExit(ExitRequest request);
    void StopRunningTask();
    void ApplyLoadedSettings();
    void CollectSettings();
    void ShowExtendedFilters(bool shown);

    void CreateNavigationButtons(QWidget* parent);
    void CreateMenus();
    void ConnectMenuCommands();
    void ConnectToolbar();
    void ConnectRowActions(const std::function<void(const char*, std::function<void()>)>& command);
    void ConnectListTextCommands(const std::function<void(const char*, std::function<void()>)>& command);
    // The preview of the current row and the menu switches that steer it.
    void ConnectContentPreview(const std::function<void(const char*, std::function<void()>)>& command);
    // Shows a hidden list column (its setting, its menu check, the view), as its
    // column menu item does; a shown one stays as it is.
    void ShowListColumn(ListColumn column);
    // The row preview (for tests).
    ContentPreview& Preview() const { return *m_preview; }
    // Opens the export dialog (one per window, kept between openings).
    void ShowListExportDialog();
    void RegisterMainWindowTips();
    // The menu checks as the settings hold them.
    void ShowMenuChecks();
    void ApplyStayOnTop();
    void SetSendToMenu(bool enabled);
    // Refused with a notice while a task other than a list load runs.
    bool RefuseWhileBusy();
    void LoadCheckedTreeFolders(bool noHistory);
    void OnListLoadFinished(bool recordHistory);
    void RemoveSelectedRows();
    void ClearList();
    // The list order, search and time format commands and the column-title sort menu.
    void ConnectListOrderCommands(const std::function<void(const char*, std::function<void()>)>& command);
    void ShowTimeFormatDialog();
    void ShowSortOptions();
    void UpdateUpButton();
    void ApplyTaskBoxSettings();
    void CollectTaskBoxSettings();

    FrameGlobals& m_app;
    QWidget* m_client = nullptr;
    QWidget* m_navigation = nullptr;
    QToolButton* m_upButton = nullptr;
    QToolButton* m_backButton = nullptr;
    QToolButton* m_forwardButton = nullptr;
    FilterBar* m_filterBar = nullptr;
    DirectoryTreeView* m_tree = nullptr;
    SplitterBar* m_treeSplitter = nullptr;
    MainToolbar* m_toolbar = nullptr;
    FileListPanel* m_fileList = nullptr;
    TaskBox* m_taskBox = nullptr;
    SplitterBar* m_taskSplitter = nullptr;
    BatchTaskArea* m_batchArea = nullptr;
    ControlPanel* m_controlPanel = nullptr;
    MainStatusBar* m_statusBar = nullptr;
    RunProgressBar* m_progressBar = nullptr;
    ExtendedFilterWindow* m_extendedFilters = nullptr;
    MainMenus* m_menus = nullptr;
    QtUserNotifier& m_notifier;
    PowerMenu* m_powerMenu = nullptr;
    RowActionCommands* m_rowActions = nullptr;
    ListExportCommands* m_listText = nullptr;
    ListReportCommands* m_report = nullptr;
    ToolWindows* m_tools = nullptr;
    ListExportDialog* m_listExport = nullptr;
    ContentPreview* m_preview = nullptr;
    // Reads the chosen row's tags into the tag write panel.
    std::function<void()> m_loadTagEditor;
    QPointer<AboutWindow> m_about;
    QPointer<FindInListDialog> m_findDialog;
    QPointer<TimeFormatDialog> m_timeFormatDialog;
    QPointer<SortOptionsDialog> m_sortOptions;
    std::unique_ptr<TrayIcon> m_trayIcon;
    QTimer m_updateCheckClock;
    UpdateChecker* m_updateChecker = nullptr;
    MainLayout m_layout;
    int m_treeWidth = 220;
    int m_taskBoxWidth = 190;
    bool m_closeAccepted = false;
};

}  // namespace varnel
