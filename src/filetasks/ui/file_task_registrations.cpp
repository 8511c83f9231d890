#include "filetasks/ui/file_task_registrations.h"

#include "filetasks/content_convert.h"
#include "filetasks/content_insert.h"
#include "filetasks/content_replace.h"
#include "filetasks/split_task.h"
#include "filetasks/ui/content_convert_panel.h"
#include "filetasks/ui/content_insert_panel.h"
#include "filetasks/ui/content_replace_panel.h"
#include "filetasks/ui/path_task_registrations.h"
#include "filetasks/ui/split_panel.h"
#include "filetasks/ui/write_element_panel.h"
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

}  // namespace

void RegisterFileTasks(BatchTaskArea& area) {
    area.RegisterTask<ContentInsertParams>(
        kTaskContentInsert, [&area](QWidget* parent) { return new ContentInsertPanel(&area.MetaSymbols(), parent); },
        RunOnSystem<ContentInsertParams, RunContentInsertTask>);
    area.RegisterTask<ContentReplaceParams>(
        kTaskContentReplace, [&area](QWidget* parent) { return new ContentReplacePanel(&area.MetaSymbols(), parent); },
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
    RegisterPathTasks(area);
}

}  // namespace varnel
