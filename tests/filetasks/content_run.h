// A content task run over files of a temporary folder, for the content task tests:
// the list's rows, the run's context with its undo spool, and the undo afterwards.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "filelist/row_store.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"
#include "runs/task_table.h"
#include "runs/undo_replay.h"
#include "runs/undo_spool.h"
#include "support/temp_dir.h"

namespace varnel::testing {

struct ContentRun {
    explicit ContentRun(const TempDir& dir, RunMode mode = RunMode::Execute, RunSettings settings = {})
        : spool(dir / ".spool") {
        control.TryBegin(TaskKindOf(mode));
        run = std::make_unique<RunContext>(mode, kTaskContentReplace, std::move(settings), control, &spool);
    }
    void AddRow(const std::string& folder, const std::string& name) { store.AppendRow(folder, name, {}, 0); }
    RunRows Rows() { return RunRows(store, store.RowIds()); }
    std::string Status(std::size_t row) const { return store.GetCellText(row, ListColumn::Preview); }
    UndoOutcome Undo() {
        UndoRecord record = run->TakeRecord();
        return ReplayUndoRecord(record, {});
    }

    UndoSpool spool;
    RowStore store;
    RunControl control;
    std::unique_ptr<RunContext> run;
};

}  // namespace varnel::testing
