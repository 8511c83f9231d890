#include "filetasks/ui/file_task_registrations.h"

#include "filetasks/attributes_task.h"
#include "filetasks/content_convert.h"
#include "filetasks/content_insert.h"
#include "filetasks/content_replace.h"
#include "filetasks/shortcut_task.h"
#include "filetasks/download_task.h"
#include "filetasks/split_task.h"
#include "filetasks/ui/attributes_panel.h"
#include "filetasks/ui/content_convert_panel.h"
#include "filetasks/ui/content_insert_panel.h"
#include "filetasks/ui/content_replace_panel.h"
#include "filetasks/ui/file_times_panel.h"
#include "filetasks/ui/shortcut_properties_panel.h"
#include "filetasks/ui/download_panel.h"
#include "filetasks/ui/path_task_registrations.h"
#include "filetasks/ui/split_panel.h"
#include "filetasks/ui/write_element_panel.h"
#include "filetasks/file_times_task.h"
#include "filetasks/write_element.h"
#include "filelist/ui/file_list_panel.h"
#include "runs/ui/batch_task_area.h"

#include <memory>
#include <mutex>

namespace varnel {

namespace {

// A runner over the system's file calls.
template <typename Params, void (*Run)(RunContext&, RunRows&, const Params&, PosixApi&)>
void RunOnSystem(RunContext& run, RunRows& rows, const Params& params) {
    Run(run, rows, params, SystemPosix());
}

// The pieces of the last split run that asked for them, handed from the run's
// thread to the list when the run has finished.
struct SplitPieces {
    std::mutex mutex;
    std::vector<std::string> paths;
    bool pending = false;
};

// The file of the list's current row; "" when there is none.
std::string CurrentRowPath(BatchTaskArea& area) {
    const QModelIndex current = area.List().View().currentIndex();
    if (!current.isValid()) return {};
    return area.Globals().gListRows.FullPath(static_cast<std::size_t>(current.row()));
}
// What the last download run leaves for the list, handed over the same way.
struct DownloadHandOver {
    std::mutex mutex;
    DownloadListing listing;
    bool pending = false;
};

}  // namespace

void RegisterFileTasks(BatchTaskArea& area, ShowListColumn showColumn) {
    area.RegisterTask<ContentInsertParams>(
        kTaskContentInsert, [&area](QWidget* parent) { return new ContentInsertPanel(&area.MetaSymbols(), parent); },
        RunOnSystem<ContentInsertParams, RunContentInsertTask>);
    area.RegisterTask<ContentReplaceParams>(
        kTaskContentReplace, [&area](QWidget* parent) { return new ContentReplacePanel(&area.MetaSymbols(), parent, {}, &area.RegexTester()); },
        RunOnSystem<ContentReplaceParams, RunContentReplaceTask>);
    area.RegisterTask<ConvertOptions>(
        kTaskContentConvert, [](QWidget* parent) { return new ContentConvertPanel(parent); },
        RunOnSystem<ConvertOptions, RunContentConvertTask>);
    auto pieces = std::make_shared<SplitPieces>();
    area.RegisterTask<SplitParams>(
        kTaskSplit, [&area](QWidget* parent) { return new SplitPanel(&area.MetaSymbols(), parent); },
        [pieces](RunContext& run, RunRows& rows, const SplitParams& params) {
            std::vector<std::string> written;
            RunFileSplitTask(run, rows, params, params.loadParts ? &written : nullptr);
            if (!params.loadParts || !run.IsExecute()) return;
            std::lock_guard lock(pieces->mutex);
            pieces->paths = std::move(written);
            pieces->pending = true;
        });
    // The list then shows the pieces instead of the split files.
    QObject::connect(&area, &BatchTaskArea::runFinished, &area, [&area, pieces] {
        std::vector<std::string> paths;
        {
            std::lock_guard lock(pieces->mutex);
            if (!pieces->pending) return;
            pieces->pending = false;
            paths = std::move(pieces->paths);
        }
        area.List().Model().ClearRows();
        area.List().LoadPathsIntoList(std::move(paths), true);
    });
    area.RegisterTask<WriteElementParams>(
        kTaskWriteElement, [&area](QWidget* parent) { return new WriteElementPanel(&area.MetaSymbols(), parent); },
        RunOnSystem<WriteElementParams, RunWriteElementTask>);
    auto downloads = std::make_shared<DownloadHandOver>();
    area.RegisterTask<DownloadParams>(
        kTaskDownload, [](QWidget* parent) { return new DownloadPanel(parent); },
        [downloads](RunContext& run, RunRows& rows, const DownloadParams& params) {
            DownloadListing listing;
            RunDownloadTask(run, rows, params, &listing);
            std::lock_guard lock(downloads->mutex);
            downloads->listing = std::move(listing);
            downloads->pending = true;
        });
    // The list shows what the run made (or would fetch) instead of its rows.
    QObject::connect(&area, &BatchTaskArea::runFinished, &area, [&area, downloads] {
        DownloadListing listing;
        {
            std::lock_guard lock(downloads->mutex);
            if (!downloads->pending) return;
            downloads->pending = false;
            listing = std::move(downloads->listing);
        }
        ShowDownloadListing(area.List(), std::move(listing), area.LastRunStatus());
    });
    RegisterPathTasks(area);
    RegisterPropertyTasks(area, std::move(showColumn));
}

void RegisterPropertyTasks(BatchTaskArea& area, ShowListColumn showColumn) {
    area.RegisterTask<FileTimesParams>(
        kTaskFileTimes,
        [&area, showColumn](QWidget* parent) {
            auto* panel =
                new FileTimesPanel(&area.Globals().gListTimeFormat, [&area] { return CurrentRowPath(area); }, parent);
            panel->SetShowColumn(showColumn);
            return panel;
        },
        RunOnSystem<FileTimesParams, RunFileTimesTask>);
    area.RegisterTask<AttributesParams>(
        kTaskAttributes,
        [showColumn](QWidget* parent) {
            auto* panel = new AttributesPanel(parent);
            panel->SetShowColumn(showColumn);
            return panel;
        },
        RunOnSystem<AttributesParams, RunAttributesTask>);
    area.RegisterTask<ShortcutTaskParams>(
        kTaskShortcutProperties,
        [&area](QWidget* parent) { return new ShortcutPropertiesPanel(&area.MetaSymbols(), parent); },
        RunOnSystem<ShortcutTaskParams, RunShortcutPropertiesTask>);
    // The toolbar's 撤销 and the undo manager put changed shortcuts back through this.
    RegisterShortcutUndoKind(area.Globals().gUndoFamilies);
}

}  // namespace varnel
