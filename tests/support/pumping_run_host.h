// The window's side of the run dispatcher for core tests: the test thread plays the
// UI thread, pumping what runs post to it, and the request is whatever the test set.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "filelist/row_store.h"
#include "runs/run_dispatcher.h"

namespace varnel::testing {

struct PumpingRunHost : RunHost {
    void PostToUiThread(std::function<void()> work) override {
        {
            std::lock_guard lock(mutex);
            queue.push_back(std::move(work));
        }
        posted.notify_all();
    }
    std::optional<RunRequest> CollectRunRequest(RunMode) override {
        RunRequest request;
        request.task = task;
        request.settings = settings;
        request.parameters = parameters;
        return request;
    }
    bool AutoPreviewEnabled() const override { return true; }
    bool PanelLoading() const override { return false; }
    void RunStarted(RunMode, std::size_t) override {}
    void ShowRunStatus(const std::string&) override {}
    void PublishRun(const RunOutcome& outcome) override { outcomes.push_back(outcome); }

    // Runs what was posted until the dispatcher has finished its run.
    void PumpUntilIdle(const RunDispatcher& dispatcher) {
        for (;;) {
            std::function<void()> work;
            {
                std::unique_lock lock(mutex);
                if (queue.empty() && !dispatcher.IsRunning()) return;
                posted.wait(lock, [this] { return !queue.empty(); });
                work = std::move(queue.front());
                queue.pop_front();
            }
            work();
        }
    }

    // Starts a preview or execute run of task with these parameters and waits for it.
    void Run(RunDispatcher& dispatcher, int runTask, TaskParameters runParameters, bool execute) {
        task = runTask;
        parameters = std::move(runParameters);
        ASSERT_TRUE(execute ? dispatcher.StartExecuteRun() : dispatcher.StartPreviewRun());
        PumpUntilIdle(dispatcher);
    }

    std::mutex mutex;
    std::condition_variable posted;
    std::deque<std::function<void()>> queue;
    int task = 0;
    RunSettings settings;
    TaskParameters parameters;
    std::vector<RunOutcome> outcomes;
};

// Every row's cell of one column, top to bottom.
inline std::vector<std::string> ColumnCells(const RowStore& store, ListColumn column) {
    std::vector<std::string> cells;
    for (std::size_t row = 0; row < store.RowCount(); ++row) cells.push_back(store.GetCellText(row, column));
    return cells;
}

}  // namespace varnel::testing
