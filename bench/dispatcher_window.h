// The window as the benchmarks see it, without Qt: the row store, the list
// listener with the model's batching, and the run dispatcher with its worker, a
// run started on the listener's UI thread and timed until its result is
// published there; undo replays the newest record as the undo runner does.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <ranges>
#include <string>
#include <thread>
#include <vector>

#include "filelist/list_load.h"
#include "filelist/row_store.h"
#include "list_listener.h"
#include "peer_timing.h"
#include "runs/run_dispatcher.h"
#include "runs/undo_replay.h"
#include "runs/undo_spool.h"
#include "utilities/run_control.h"

namespace varnel::bench {

// The window as the dispatcher sees it: its UI thread is the listener's.
struct BenchHost : RunHost {
    explicit BenchHost(ListListener& listener) : ui(listener) {}
    int task = 0;
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
    TaskParameters parameters;
    std::size_t failures = 0;
    std::promise<void> published;
};

// The list, its listener and the dispatcher, as the window holds them.
struct Window {
    RunControl control;
    RowStore store;
    TaskRegistry tasks;
    UndoRecord current;
    std::vector<UndoRecord> history;
    std::unique_ptr<UndoSpool> spool;
    ListListener listener{store};
    BenchHost host{listener};
    RunDispatcher dispatcher{{control, store, tasks, spool.get(), current, history}, host};

    // `registerTask` registers the runner of `task`, the task every run starts; a
    // spool folder gives the runs an undo spool (content tasks keep old bytes there).
    Window(int task, const std::function<void(TaskRegistry&)>& registerTask, const std::string& spoolFolder = {})
        : spool(spoolFolder.empty() ? nullptr : std::make_unique<UndoSpool>(spoolFolder)) {
        host.task = task;
        registerTask(tasks);
    }
    ~Window() {
        listener.Call([this] { dispatcher.StopAndWait(); });
    }

    // Starts a run on the UI thread and waits until its result is published; the seconds taken.
    double Run(RunMode mode) {
        host.published = {};
        std::future<void> done = host.published.get_future();
        return Seconds([&] {
            listener.Call([&] {
                const bool started = mode == RunMode::Execute ? dispatcher.StartExecuteRun()
                                                                      : dispatcher.StartPreviewRun();
                if (!started) {
                    std::printf("the run did not start\n");
                    std::exit(1);
                }
            });
            done.wait();
        });
    }

    // As the undo runner does it: the list emptied, the replay and the restored
    // paths back into the list on a worker, the count synced every 100 ms and at the end.
    double Undo() {
        std::optional<UndoRecord> record = TakeUndoRecord(history);
        if (!record) {
            std::printf("no undo record\n");
            std::exit(1);
        }
        return Seconds([&] {
            listener.Call([&] {
                control.TryBegin(TaskKind::Undo);
                store.Clear();
                listener.SetTicking(true);
            });
            std::jthread worker([&] {
                std::vector<std::pair<std::string, std::optional<bool>>> restored;
                UndoHooks hooks;
                hooks.readd = [&restored](const std::string& path, std::optional<bool> isFolder) {
                    restored.emplace_back(path, isFolder);
                };
                const UndoOutcome outcome = ReplayUndoRecord(*record, hooks);
                if (!outcome.failedPaths.empty()) {
                    std::printf("%zu undos failed\n", outcome.failedPaths.size());
                    std::exit(1);
                }
                ListLoad load(store, {}, control);
                for (const auto& [path, isFolder] : restored | std::views::reverse) {
                    load.AddPathToFileList(path, {}, false, isFolder);
                }
                control.End();
            });
            worker.join();
            listener.Call([&] {
                listener.SetTicking(false);
                listener.Sync();
            });
        });
    }
};

}  // namespace varnel::bench
