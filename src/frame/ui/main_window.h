// The main window: start-up steps once it exists, its settings, and the one exit
// path that closing the window, the 退出 command and a termination signal share.
#pragma once

#include <QMainWindow>

#include "frame/app_globals.h"

namespace varnel {

class ControlPanel;
class FileListPanel;
class FilterBar;

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(AppGlobals& app, QWidget* parent = nullptr);

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

    AppGlobals& m_app;
    FilterBar* m_filterBar = nullptr;
    FileListPanel* m_fileList = nullptr;
    ControlPanel* m_controlPanel = nullptr;
    bool m_closeAccepted = false;
};

}  // namespace varnel
