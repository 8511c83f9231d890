// The main window: start-up steps once it exists, its settings, and the one exit
// path that closing the window, the 退出 command and a termination signal share.
#pragma once

#include <QMainWindow>
#include <QSplitter>
#include <QMenu>

#include <memory>

#include "frame/app_globals.h"

namespace varnel {

class BatchTaskArea;
class ControlPanel;
class DirectoryTreeView;
class ExtendedFilterWindow;
class FileListPanel;
class FilterBar;
class PowerMenu;
class QtUserNotifier;
class RunProgressBar;
class TaskBox;
class TrayIcon;

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    // The notifier shows the program's message boxes and notices; the window gives
    // it its status bar and tray icon. It must outlive the window.
    MainWindow(AppGlobals& app, QtUserNotifier& notifier, QWidget* parent = nullptr);
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

    FileListPanel& FileList() { return *m_fileList; }
    FilterBar& Filters() { return *m_filterBar; }
    DirectoryTreeView& Tree() { return *m_tree; }
    // The tree's checked folders walked into the list (读目录树); refused with a
    // notice while another task runs.
    void LoadCheckedTreeFolders();
    BatchTaskArea& BatchArea() { return *m_batchArea; }
    // The extended filters' window, made the first time 更多过滤 is checked.
    ExtendedFilterWindow* ExtendedFilters() const { return m_extendedFilters; }
    // The 帮助 menu, also the tray icon's right-click menu.
    QMenu* HelpMenu() const { return m_helpMenu; }
    // The tray icon once the window is created; nullptr before.
    TrayIcon* Tray() const { return m_trayIcon.get(); }
    // The 关闭电脑 submenu of the 帮助 menu.
    PowerMenu& Power() { return *m_powerMenu; }

    static std::string Caption();
    // Asked before the program closes, or the session ends, while a run is active.
    static constexpr const char* kRunningTaskWarning =
        "当前有任务在执行，您确定要强制退出吗？强制退出可能导致未能预料的后果，"
        "比如当你正在改名时强制退出那就可能导致正在操作的文档损坏或丢失。";

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    enum class ExitRequest { Frame, Menu, Signal, OtherInstance };
    // True when the program may go: no run, or the user agreed and the run stopped.
    bool OnMainWindowCloseQuery(ExitRequest request);
    void SaveForExit(ExitRequest request);
    void StopRunningTask();
    void ApplyLoadedSettings();
    void CollectSettings();
    void CreateHelpMenu();
    void ShowExtendedFilters(bool shown);

    AppGlobals& m_app;
    FilterBar* m_filterBar = nullptr;
    FileListPanel* m_fileList = nullptr;
    ControlPanel* m_controlPanel = nullptr;
    DirectoryTreeView* m_tree = nullptr;
    QSplitter* m_treeSplitter = nullptr;
    TaskBox* m_taskBox = nullptr;
    BatchTaskArea* m_batchArea = nullptr;
    RunProgressBar* m_progressBar = nullptr;
    ExtendedFilterWindow* m_extendedFilters = nullptr;
    QtUserNotifier& m_notifier;
    QMenu* m_helpMenu = nullptr;
    PowerMenu* m_powerMenu = nullptr;
    std::unique_ptr<TrayIcon> m_trayIcon;
    bool m_closeAccepted = false;
};

}  // namespace varnel
