// The file list as the main window holds it: the view over the rows, and the ways
// of filling it (paths, folder walks, drops) as loads on a worker, with the filter
// bar's current values taken when each load starts. UI thread only.
#pragma once

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "filelist/ui/file_list_model.h"
#include "filelist/ui/file_list_view.h"
#include "filelist/ui/filter_bar.h"
#include "filelist/ui/list_load_runner.h"
#include "filelist/list_globals.h"
#include "filelist/list_sorter.h"
#include "utilities/ui/ui_job_runner.h"

namespace varnel {

class FileListPanel final : public QWidget {
    Q_OBJECT
public:
    FileListPanel(ListGlobals& app, FilterBar& filterBar, QWidget* parent = nullptr);
    ~FileListPanel() override;

    FileListModel& Model() { return m_model; }
    FileListView& View() { return *m_view; }
    ListLoadRunner& Runner() { return m_runner; }

    // Every path becomes one row (folders are not entered). False when refused.
    // A run that lists what it made passes its own summary as `status`: the load
    // then ends with that on the status line rather than its own timing.
    bool LoadPathsIntoList(std::vector<std::string> paths, bool bypassFilters, std::string status = {});
    // The lines of a path list: those naming an existing path become rows, through
    // the filters. False when refused.
    bool ImportPathList(std::vector<std::string> lines);
    // Walks the folders with the walk options of the filter bar. A walk made by
    // stepping through the folder history is not entered into it again. Unless
    // keepTreeSelection (a walk of the tree's own checked folders), the tree then
    // shows the first folder (showInTree).
    bool TraverseFoldersIntoList(std::vector<std::string> folders, bool noHistory = false,
                                 bool keepTreeSelection = false);
    // One dropped path; the drop loads once its last path has arrived.
    void OnPathDropped(const std::string& folder, const std::string& name, std::size_t pathLength,
                       std::size_t total);
    // The selected folders are walked in place of the list.
    void EnterSelectedFolders();

    // Selects the rows whose names pass the filter bar's filter and, while they are
    // active, the extended filters (read from disk now); unselects the others.
    void SelectRowsByFilters();
    // Counts the files and folders under folder with the walk options, on a worker,
    // and tells the result in a notice. Refused while another task runs.
    bool ShowFolderStatistics(const std::string& folder);
    // The extended filters as the window shows them, asked at the start of each load.
    void SetExtendedFilterSource(std::function<ExtendedFilterState()> source) {
        m_extendedSource = std::move(source);
    }

    // Shows and hides the columns as the main settings say; icons likewise. A column
    // shown now fills for the rows already listed: from the facts they hold, or read
    // on a worker for the rows that lack them (after a load that is running).
    void ApplyColumnChecks();

    // The command of each sort menu entry: the rows by the column of the last header
    // click (gSortColumn), in the direction opposite to the last sort. The selected
    // rows, the current row and the focus stay with their files. Refused while a
    // task runs. A large list is sorted on a worker (the window keeps answering, the
    // status says so) and its new order applied when ready; it is held meanwhile.
    void SortFileList(SortKind kind, int numericSortGroup);
    // A sort is under way on its worker.
    bool Sorting() const { return m_sorting; }
    // Searches the list with the options (FindInList): the hit becomes the current
    // and selected row; a tray notice tells the outcome.
    void FindInList(const FindOptions& options);

    // Where a load asks whether Ctrl is held (the keyboard; tests give their own).
    void SetModifierSource(std::function<Qt::KeyboardModifiers()> source) { m_modifiers = std::move(source); }
    // Ctrl is held now: a load keeps the rows already listed.
    bool ControlHeld() const { return m_modifiers().testFlag(Qt::ControlModifier); }
    // What a load started now reads from the window: the shown columns and the filters.
    ListLoadSettings CurrentLoadSettings() const;

    // Why the last load did not start ("" when it did).
    const QString& LastRefusal() const { return m_refusal; }

signals:
    void statusMessage(QString text);
    // The directory tree is to show this folder: the one a load walked or dropped
    // from. Sent before loadFinished, so the folder history records it.
    void showInTree(QString folder);
    // A load has ended (after its status message); recordHistory is false for a
    // walk made by stepping through the folder history.
    void loadFinished(bool recordHistory);
    // A double click while 资源管理器中打开 is chosen: the selected rows are to be opened.
    void openRequested();
    // A column title was clicked (gSortColumn is set): the sort menu is to pop up at `at`.
    void sortMenuRequested(int column, QPoint at);

private:
    // How a load starts and what its end does besides the status.
    struct LoadStart {
        bool filtersUsed = true;
        bool recordHistory = true;
        bool followWalk = false;  // the tree goes to the first folder walked
        std::string treeFolder;   // or to this folder
        bool keepRows = false;    // rows stay whatever the Ctrl key
        std::string status;       // shown when the load ends instead of its own text
    };
    bool Start(ListLoadRunner::Job job, LoadStart how);
    void LoadFinished(const QString& status);
    // Fills the shown columns for the rows listed before they were shown.
    void FillShownColumns();
    // After the rows took their new order: the columns fitted, the current row shown.
    void SortApplied();

    ListGlobals& m_app;
    // The status line shows a failed edit's message.
    bool m_editStatusShown = false;
    FilterBar& m_filterBar;
    FileListModel m_model;
    FileListView* m_view;
    ListLoadRunner m_runner;
    std::vector<std::string> m_droppedPaths;
    QString m_refusal;
    // Of the load started last: a newer load replaces a running one, so the next
    // end to arrive is that load's.
    LoadStart m_current;
    bool m_fillPending = false;
    std::string m_dropFolder;
    std::function<Qt::KeyboardModifiers()> m_modifiers;
    std::function<ExtendedFilterState()> m_extendedSource;
    UiJobRunner m_statistics;
    UiJobRunner m_sort;
    bool m_sorting = false;
};

}  // namespace varnel
