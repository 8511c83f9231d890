// The batch task area (更名板块), docked below the file list: the chosen task's
// panel and the run toolbar (preview, execute, undo, name scope, transfer mode,
// meta-symbol switch, tools) with their menus, and the settings of section
// "批量任务区". It hosts the run dispatcher: runs start here, and their results are
// shown here. Panels are made when their task is first chosen and only hidden
// when another is chosen. UI thread only.
#pragma once

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "runs/run_globals.h"
#include "settings/ui/text_input_dialog.h"
#include "runs/run_dispatcher.h"
#include "runs/undo_replay.h"
#include "runs/ui/regex_tester_link.h"
#include "runs/ui/task_panel.h"

namespace varnel {

class FileListPanel;
class MetaSymbolMenu;
class RunProgressBar;
class TaskBox;
class UndoRunner;

// The run toolbar's buttons, by their place on it.
enum BatchToolbarButton : int {
    kPreviewButton = 0,  // 预览
    kExecuteButton,      // 执行
    kUndoButton,         // 撤销
    kNameScopeButton,    // 全部 / 前缀 / 后缀
    kTransferButton,     // 转移
    kMetaSymbolsButton,  // 元符
    kToolsButton,        // 工具
    kBatchToolbarButtonCount
};

// The dialogs the area opens; tests give their own.
struct BatchAreaServices {
    // The transfer folder picker: the folder, or "" when cancelled.
    std::function<std::string()> pickTransferFolder;
    std::function<InputDialogResult(InputDialogParams)> askText;
};
BatchAreaServices DefaultBatchAreaServices();

class BatchTaskArea final : public QWidget, private RunHost {
    Q_OBJECT
public:
    BatchTaskArea(RunGlobals& app, FileListPanel& list, TaskBox& taskBox, QWidget* parent = nullptr);
    ~BatchTaskArea() override;

    // Enters a task's panel factory and runner (either may be empty), which agree on
    // the task's parameter struct, given explicitly: RegisterTask<MyParams>(...).
    // False for a number not in the table, or once the task's panel is made (its
    // struct is the one of the runner it came with).
    template <typename Params>
    bool RegisterTask(int number, TypedTaskPanelFactory<Params> createPanel, TypedTaskRunner<Params> runner) {
        if (m_panels.contains(number)) return false;
        if (!m_app.gTaskRegistry.RegisterRunner<Params>(number, std::move(runner))) return false;
        TaskPanelFactory factory;
        if (createPanel) factory = [createPanel = std::move(createPanel)](QWidget* parent) -> TaskPanel* {
            return createPanel(parent);
        };
        return EnterPanelFactory(number, std::move(factory));
    }
    void SetServices(BatchAreaServices services) { m_services = std::move(services); }
    void SetProgressBar(RunProgressBar* bar) { m_progressBar = bar; }

    // The area comes up: the task box's current task, the area's settings and the
    // meta-variables' settings.
    void BatchTaskAreaCreated();
    // Saves the area's section and the section of every panel made so far.
    void SaveSettings();
    void BatchTaskAreaSettings(bool save);

    void SwitchBatchPanel();
    void ApplyPanelToolbarFlags();
    void OnBatchToolbarButton(int index);
    void SetNameScopeWhole();
    void SetNameScopeMain();
    void SetNameScopeExtension();
    void ChooseTransferFolder();
    void ToggleMetaSymbols();
    void ToggleAutoPreview();
    void UseDefaultAutoPreviewLimit();
    void AskAutoPreviewLimit();
    // Panels and toolbar setters call this on every parameter change.
    void RequestAutoPreview();
    // 撤销 is enabled while the undo history holds a record.
    void UpdateUndoButton();
    // Undoes record `recordNumber` of the history (1-based, oldest first; 0 the
    // newest) as a task on a worker: the record leaves the history, the restored
    // paths fill the list (added to it while Ctrl is held), and what could not be
    // undone is shown in a notice. False, changing nothing, for an empty history, a
    // number out of range, or while another task is active (with the busy notice).
    // undoRequested (the 撤销 button) undoes the newest record.
    bool UndoBatchRun(int recordNumber = 0);

    RunDispatcher& Dispatcher() { return m_dispatcher; }
    // The shown panel (an empty page for a task without one).
    QWidget* CurrentPanel() const { return m_currentPanel; }
    QWidget* LoadedPanel(int task) const;
    QToolBar* Toolbar() const { return m_toolbar; }
    // Toolbar buttons by BatchToolbarButton.
    QAction* ToolbarButton(int index) const { return m_buttons.at(static_cast<std::size_t>(index)); }
    // The 元符 menu; panels make their boxes accept meta-variables through it.
    MetaSymbolMenu& MetaSymbols() const { return *m_metaMenu; }
    // The file list the area's runs work on.
    FileListPanel& List() const { return m_list; }
    // The program's state the area works with (registrations plug in their undo
    // writers and read the list's formats here).
    RunGlobals& Globals() const { return m_app; }
    QAction* TransferFolderItem() const { return m_chooseFolder; }
    // The panels' way to the regular-expression tester; the program sets its opener
    // before the first panel is made.
    RegexTesterLink& RegexTester() { return m_regexTester; }

    NameScope CurrentNameScope() const { return m_scope; }
    // Button 转移 checked and enabled.
    bool TransferModeOn() const;
    // The chosen transfer folder, a folder path; "" when none is chosen.
    const std::string& TransferFolder() const { return m_transferFolder; }
    // The status text of the last finished execute run ("" before the first), for a
    // task that lists what it made afterwards and keeps the run's summary showing.
    const std::string& LastRunStatus() const { return m_lastRunStatus; }
    RunSettings CurrentRunSettings() const;

signals:
    void statusMessage(QString text);
    // A run's result has been shown and its task has ended.
    void runFinished();
    // An undo's result has been shown.
    void undoFinished();
    void undoRequested();
    void undoManagerRequested();
    void regexTesterRequested();
    void listMergeRequested();

protected:
    // Opening the 元符 menu from its button's arrow prepares it first.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The undo manager, regex tester and list merge items are usable only while
    // something answers their signal (checked when the area comes up, and after
    // each connection to or from them).
    void connectNotify(const QMetaMethod& signal) override;
    void disconnectNotify(const QMetaMethod& signal) override;

private:
    // RunHost
    void PostToUiThread(std::function<void()> work) override;
    std::optional<RunRequest> CollectRunRequest(RunMode mode) override;
    bool AutoPreviewEnabled() const override;
    bool PanelLoading() const override;
    void RunStarted(RunMode mode, std::size_t rowCount) override;
    void ShowRunStatus(const std::string& text) override;
    void PublishRun(const RunOutcome& outcome) override;

    // The panel half of RegisterTask; the task box shows the tasks that can run.
    bool EnterPanelFactory(int number, TaskPanelFactory factory);
    void CreateToolbar();
    void CreateMenus();
    void UpdateToolCommands();
    void ToolCommandsMayHaveChanged(const QMetaMethod& signal);
    QAction* AddMenuItem(QMenu* menu, const char* caption, std::function<void()> handler,
                         bool checkable = false);
    void TaskBoxSelectionChanged();
    QWidget* PanelFor(const TaskDefinition& task);
    std::string FlagsOf(QWidget* panel) const;
    void SetNameScope(NameScope scope);
    void ToggleTransferMode();
    void SetTransferMode(bool on);
    void SetTransferFolder(std::string folder, const char* captionWithout);
    void ShowLimitChecks();
    void ShowRunFailures(std::vector<std::string> failedPaths, const std::vector<std::string>& reasons);
    void FinishUndo(UndoRecord record, const UndoOutcome& outcome);
    // The notice listing failed paths, with the link that loads them into the list.
    void ShowFailureNotice(const char* title, std::string message, std::vector<std::string> failedPaths);

    RunGlobals& m_app;
    FileListPanel& m_list;
    TaskBox& m_taskBox;
    BatchAreaServices m_services;
    RunDispatcher m_dispatcher;
    RunProgressBar* m_progressBar = nullptr;
    UndoRunner* m_undo = nullptr;

    QToolBar* m_toolbar = nullptr;
    std::vector<QAction*> m_buttons;
    QWidget* m_panelHost = nullptr;
    QMenu* m_scopeMenu = nullptr;
    QAction* m_scopeItems[3] = {};
    QMenu* m_undoMenu = nullptr;
    QMenu* m_previewMenu = nullptr;
    QAction* m_autoPreview = nullptr;
    QAction* m_defaultLimit = nullptr;
    QAction* m_customLimit = nullptr;
    QMenu* m_transferMenu = nullptr;
    QAction* m_chooseFolder = nullptr;
    MetaSymbolMenu* m_metaMenu = nullptr;
    QAction* m_metaSwitch = nullptr;
    QMenu* m_toolsMenu = nullptr;
    QAction* m_undoManagerItem = nullptr;
    QAction* m_regexTesterItem = nullptr;
    QAction* m_listMergeItem = nullptr;

    RegexTesterLink m_regexTester;
    std::map<int, TaskPanelFactory> m_factories;
    std::map<int, QWidget*> m_panels;
    QWidget* m_currentPanel = nullptr;
    NameScope m_scope = NameScope::Whole;
    std::string m_transferFolder;
    std::string m_lastRunStatus;
    bool m_customLimitChosen = false;
    bool m_created = false;
};

// The failure notice's link: loads the failed paths that still exist into the list
// (appending while Ctrl is held).
void ReimportFailedPaths(FileListPanel& list, const std::vector<std::string>& failedPaths);

}  // namespace varnel
