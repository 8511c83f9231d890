// The main window: start-up steps once it exists, its settings, and the one exit
// path that closing the window, the 退出 command and a termination signal share.
#pragma once

#include <QMainWindow>
#include <QMenu>

#include <memory>

#include "frame/app_globals.h"

namespace varnel {

class BatchTaskArea;
class ControlPanel;
class ExtendedFilterWindow;
class FileListPanel;
class FilterBar;
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

    // Loads (save false) or saves the main window's sections. Saving writes the file.
    std::expected<void, Error> LoadOrSaveMainSettings(bool save);

    FileListPanel& FileList() { return *m_fileList; }
    FilterBar& Filters() { return *m_filterBar; }
    BatchTaskArea& BatchArea() { return *m_batchArea; }
    // The extended filters' window, made the first time 更多过滤 is checked.
    ExtendedFilterWindow* ExtendedFilters() const { return m_extendedFilters; }
    // The 帮助 menu, also the tray icon's right-click menu.
    QMenu* HelpMenu() const { return m_helpMenu; }
    // The tray icon once the window is created; nullptr before.
    TrayIcon* Tray() const { return m_trayIcon.get(); }

    static constexpr const char* kCaption =
        "Varnel更名(Quorva) v5.03 - 多元化批量任务|本地超级搜索|资源综合管理|更多扩展辅助";

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    enum class ExitRequest { Frame, Menu, Signal };
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
    TaskBox* m_taskBox = nullptr;
    BatchTaskArea* m_batchArea = nullptr;
    RunProgressBar* m_progressBar = nullptr;
    ExtendedFilterWindow* m_extendedFilters = nullptr;
    QtUserNotifier& m_notifier;
    QMenu* m_helpMenu = nullptr;
    std::unique_ptr<TrayIcon> m_trayIcon;
    bool m_closeAccepted = false;
};

}  // namespace varnel
