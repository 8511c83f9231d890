// The window as the run dispatcher sees it, for the benchmarks that time runs as a
// user waits for them: the list, its listener (the window model's batching) and the
// dispatcher, whose UI thread is the listener's. A benchmark registers its task's
// runner and sets host.task and host.parameters.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <vector>

#include "filelist/row_store.h"
#include "list_listener.h"
#include "peer_timing.h"
#include "runs/run_dispatcher.h"
#include "utilities/run_control.h"

namespace varnel::bench {

struct BenchHost : RunHost {
    explicit BenchHost(ListListener& listener) : ui(listener) {}
    void PostToUiThread(std::function<void()> work) override { ui.Post(std::move(work)); }
    std::optional<RunRequest> CollectRunRequest(RunMode) override {
        RunRequest request;
        request.task = task;
        request.parameters = parameters;
        return request;
    }
    bool AutoPreviewEnabled() const override { return false; }
    bool PanelLoading() const override { return false; }
    void RunStarted(RunMode, std::size_t) override {}
    void ShowRunStatus(const std::string&) override {}
    void PublishRun(const RunOutcome& outcome) override {
        ui.Sync();  // the run's last rows show at its end
        failures = outcome.failedPaths.size();
        published.set_value();
    }

    ListListener& ui;
    int task = 0;
    TaskParameters parameters;
    std::size_t failures = 0;
    std::promise<void> published;
};

struct RunWindow {
    RunControl control;
    RowStore store;
    TaskRegistry tasks;
    UndoRecord current;
    std::vector<UndoRecord> history;
    ListListener listener{store};
    BenchHost host{listener};
    RunDispatcher dispatcher{{control, store, tasks, nullptr, current, history}, host};

    RunWindow() = default;
    RunWindow(const RunWindow&) = delete;
    RunWindow& operator=(const RunWindow&) = delete;
    ~RunWindow() {
        listener.Call([this] { dispatcher.StopAndWait(); });
    }

    // Starts a run on the UI thread and waits until its result is published; the seconds taken.
    double Run(RunMode mode) {
        host.published = {};
        std::future<void> done = host.published.get_future();
        return Seconds([&] {
            listener.Call([&] {
                const bool started =
                    mode == RunMode::Execute ? dispatcher.StartExecuteRun() : dispatcher.StartPreviewRun();
                if (!started) {
                    std::printf("the run did not start\n");
                    std::exit(1);
                }
            });
            done.wait();
        });
    }
};

}  // namespace varnel::bench
