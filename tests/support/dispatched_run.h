// What a core test needs to run a task through the run dispatcher: the list's
// rows, the task registry, the undo history and the pumping host, as the window
// holds them, and the undo of the last execute run.
#pragma once

#include <vector>

#include <gtest/gtest.h>

#include "filelist/row_store.h"
#include "runs/run_dispatcher.h"
#include "runs/undo_replay.h"
#include "support/pumping_run_host.h"
#include "utilities/run_control.h"

namespace varnel::testing {

struct DispatchedRun {
    // A preview or execute run of task with these parameters, waited for.
    void Run(int task, TaskParameters parameters, bool execute) {
        host.Run(dispatcher, task, std::move(parameters), execute);
    }
    // Undoes the newest kept record; false when there was none or anything failed.
    bool UndoLast() {
        auto record = TakeUndoRecord(history);
        return record.has_value() && ReplayUndoRecord(*record, {}).failedPaths.empty();
    }

    RunControl control;
    RowStore store;
    TaskRegistry tasks;
    UndoRecord current;
    std::vector<UndoRecord> history;
    PumpingRunHost host;
    RunDispatcher dispatcher{{control, store, tasks, nullptr, current, history}, host};
};

}  // namespace varnel::testing
