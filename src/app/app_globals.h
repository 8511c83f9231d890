// The program-wide state: one instance of each global component, created at
// start-up in a fixed order and freed at exit in the same order, plus the shared
// globals of the frame. Only the top of the program reaches for it; core routines
// take what they need as parameters.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "dirtree/directory_tree.h"
#include "filelist/extended_filters.h"
#include "filelist/row_store.h"
#include "settings/find_options.h"
#include "settings/main_settings.h"
#include "frame/message_channel.h"
#include "settings/settings_store.h"
#include "naming/meta_settings.h"
#include "utilities/run_control.h"
#include "runs/task_table.h"
#include "runs/undo_record.h"
#include "runs/undo_spool.h"
#include "platform/marked_text_editor.h"
#include "utilities/regex_object.h"
#include "utilities/time_format.h"

namespace varnel {


class AppGlobals {
public:
    AppGlobals();
    ~AppGlobals();  // ExitRoutine
    AppGlobals(const AppGlobals&) = delete;
    AppGlobals& operator=(const AppGlobals&) = delete;

    // Frees the components in their creation order; safe to call twice.
    void ExitRoutine();

    // Global components, in creation order.
    // This process's end of the instance channel; CheckSingleInstance opens it.
    std::unique_ptr<MessageChannel> gInstanceChannel;
    // The directory tree: reads the virtual folders when made, writes them when freed.
    std::unique_ptr<DirectoryTree> gDirectoryTree;
    std::unique_ptr<MarkedTextEditor> gMarkerText;
    std::unique_ptr<SettingsStore> gSettings;
    // The compiled expressions of the meta-variable scanner ("#.*"), the regex rename
    // task (always compiled multi-line), the regex extract task, and the content and
    // shortcut-target replace tasks.
    std::unique_ptr<CachedRegex> gMetaRegex;
    std::unique_ptr<CachedRegex> gRenameRegex;
    std::unique_ptr<CachedRegex> gExtractRegex;
    std::unique_ptr<CachedRegex> gContentRegex;

    // The file list's rows (GetListCellText / SetListCellText work on them).
    RowStore gListRows;
    // The extended filters as the last load read them.
    ExtendedFilterState gExtendedFilter;
    // The one task at a time; its State() is gTaskState, its currentRow gCurrentRow.
    // The mode of a batch run (gRunMode) belongs to that run's own context.
    RunControl gRunControl;
    // The batch runs (UI thread): the chosen task, the rows an auto-preview covers,
    // and whether code is filling panel controls (their change events then ask for
    // no preview).
    int gCurrentTask = 0;
    int gAutoPreviewLimit = 20;
    bool gPanelLoading = false;
    // The runners of the batch tasks.
    TaskRegistry gTaskRegistry;
    // Undo: where large undo data is kept, the last execute run's record, and the
    // kept records, oldest first.
    UndoSpool gUndoSpool{UndoSpool::DefaultFolder()};
    UndoRecord gCurrentUndoRecord;
    std::vector<UndoRecord> gUndoHistory;
    // The main window's folder history: the tree folders of past loads, oldest
    // first, and the 1-based place of the one shown.
    std::vector<std::string> gHistoryPaths;
    int gHistoryIndex = 0;
    std::vector<std::string> gCommandLineArgs;
    MainSettings gMainSettings;
    TimeFormat gListTimeFormat;
    FindOptions gFindOptions;
    // The meta-variables' parameters, edited in place on the UI thread; a run expands
    // with a copy taken at its start.
    MetaSettings gMetaSettings;
    // The 启用元符 switch of the batch task area, read by every expansion.
    std::atomic<bool> gMetaSymbolsEnabled{true};
};

}  // namespace varnel
