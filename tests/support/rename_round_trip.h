// A fixture for the round trip of a rename task through the run dispatcher: files in
// a temporary folder, one list row each, and a copy of the folder aside; preview
// must touch nothing, execute gives the names, undo brings the copy back byte for
// byte. Register the task's runner in `tasks` before running it.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "runs/run_dispatcher.h"
#include "runs/undo_replay.h"
#include "support/notice_recorder.h"
#include "support/pumping_run_host.h"
#include "support/temp_dir.h"
#include "support/tree_state.h"

namespace varnel::testing {

struct RenameRoundTrip : ::testing::Test {
    RenameRoundTrip() { std::filesystem::create_directories(work); }

    // One file per name, with a row each; the first file gets its own mode.
    void Prepare(const std::vector<std::string>& names) {
        for (const std::string& name : names) {
            store.AppendRow(work + "/", name, {}, 0);
            std::ofstream(work + "/" + name) << "bytes of " << name;
        }
        ::chmod((work + "/" + names[0]).c_str(), 0600);
    }

    void Run(int task, TaskParameters parameters, bool execute) { host.Run(dispatcher, task, std::move(parameters), execute); }
    std::vector<std::string> Column(ListColumn column) { return ColumnCells(store, column); }

    // Undoes the newest run and expects the folder as the copy aside holds it.
    void UndoAndCompare() {
        auto record = TakeUndoRecord(history);
        ASSERT_TRUE(record.has_value());
        EXPECT_TRUE(ReplayUndoRecord(*record, {}).failedPaths.empty());
        ExpectSameTree(dir / "before", work);
    }

    void PreviewExecuteUndo(int task, const TaskParameters& parameters, const std::vector<std::string>& previews,
                            const std::vector<std::string>& names) {
        CopyTreeAside(work, dir / "before");
        Run(task, parameters, false);
        EXPECT_EQ(Column(ListColumn::Preview), previews);
        ExpectSameTree(dir / "before", work);
        Run(task, parameters, true);
        EXPECT_EQ(Column(ListColumn::Name), names);
        EXPECT_TRUE(dispatcher.LastFailures().empty());
        for (const std::string& name : names) EXPECT_TRUE(std::filesystem::exists(work + "/" + name)) << name;
        UndoAndCompare();
    }

    NoticeRecorder notices;
    TempDir dir;
    const std::string work = dir / "work";
    RunControl control;
    RowStore store;
    TaskRegistry tasks;
    UndoRecord current;
    std::vector<UndoRecord> history;
    PumpingRunHost host;
    RunDispatcher dispatcher{{control, store, tasks, nullptr, current, history}, host};
};

}  // namespace varnel::testing
