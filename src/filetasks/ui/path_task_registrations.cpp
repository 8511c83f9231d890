#include "filetasks/ui/path_task_registrations.h"

#include <memory>
#include <mutex>
#include <optional>
#include <utility>

#include "filelist/ui/file_list_panel.h"
#include "filetasks/create_task.h"
#include "filetasks/path_task.h"
#include "filetasks/ui/create_panel.h"
#include "filetasks/ui/path_transfer_panel.h"
#include "runs/ui/batch_task_area.h"
#include "utilities/path_routines.h"

namespace varnel {

namespace {

// What a run leaves for the list, handed from the run's thread to the UI thread
// when the run has finished; only the last run's counts.
template <typename Result>
class RunHandoff {
public:
    void Put(Result result) {
        std::lock_guard lock(m_mutex);
        m_result = std::move(result);
    }
    std::optional<Result> Take() {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_result, std::nullopt);
    }

private:
    std::mutex m_mutex;
    std::optional<Result> m_result;
};

struct CreateListing {
    bool execute = false;
    std::vector<CreatedListRow> rows;
};

// The rows of a preview: the paths do not exist yet, so the list is told what each is.
void ListPreviewRows(FileListPanel& list, const std::vector<CreatedListRow>& rows) {
    RowStore& store = list.Model().Store();
    for (const CreatedListRow& row : rows) {
        RowFacts facts;
        facts.isFolder = row.isFolder;
        const std::size_t at = store.AppendRow(GetParentOfPath(row.path), GetFileNameOfPath(row.path), facts, 0);
        store.SetCellText(at, ListColumn::Preview, row.path);
    }
    list.Model().SyncRowCount();
}

}  // namespace

void RegisterPathTasks(BatchTaskArea& area) {
    auto madePaths = std::make_shared<RunHandoff<std::vector<std::string>>>();
    area.RegisterTask<PathTaskParams>(
        kTaskPathTransfer, [&area](QWidget* parent) { return new PathTransferPanel(&area.MetaSymbols(), parent); },
        [madePaths](RunContext& run, RunRows& rows, const PathTaskParams& params) {
            std::vector<std::string> made;
            RunPathTask(run, rows, params, &made);
            if (run.IsExecute() && !made.empty()) madePaths->Put(std::move(made));
        });

    auto listing = std::make_shared<RunHandoff<CreateListing>>();
    area.RegisterTask<CreateTaskParams>(
        kTaskCreate, [&area](QWidget* parent) { return new CreatePanel(&area.MetaSymbols(), parent); },
        [listing](RunContext& run, RunRows& rows, const CreateTaskParams& params) {
            CreateOutcome outcome;
            RunCreateTask(run, rows, params, &outcome);
            // A refused run leaves the list as it is.
            if (outcome.ran) listing->Put({run.IsExecute(), std::move(outcome.rows)});
        });

    QObject::connect(&area, &BatchTaskArea::runFinished, &area, [&area, madePaths, listing] {
        FileListPanel& list = area.List();
        if (std::optional<std::vector<std::string>> made = madePaths->Take()) {
            list.LoadPathsIntoList(std::move(*made), true, area.LastRunStatus());
        }
        if (std::optional<CreateListing> created = listing->Take()) {
            list.Model().ClearRows();
            if (!created->execute) return ListPreviewRows(list, created->rows);
            std::vector<std::string> paths;
            paths.reserve(created->rows.size());
            for (CreatedListRow& row : created->rows) paths.push_back(std::move(row.path));
            list.LoadPathsIntoList(std::move(paths), true, area.LastRunStatus());
        }
    });
}

}  // namespace varnel
