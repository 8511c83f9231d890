// The run dispatcher: starts the full preview, execute and auto-preview runs of
// the chosen task, one task at a time, each on a worker thread with its own fixed
// RunContext, and publishes each run's result (status text, undo record, failures)
// on the UI thread in one step before the task ends, so nothing can begin in
// between. Every method is called on the UI thread; the host it reports to is the
// batch task area (tests give their own).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "filelist/row_store.h"
#include "runs/run_context.h"
#include "utilities/job_runner.h"
#include "utilities/run_control.h"
#include "runs/run_rows.h"
#include "runs/task_table.h"
#include "runs/undo_record.h"
#include "runs/undo_spool.h"

namespace varnel {

// What a run takes from the window when it starts.
struct RunRequest {
    int task = 0;
    RunSettings settings;
    // The chosen panel's parameter struct (empty for a task without a panel).
    TaskParameters parameters;
};

// A finished run, as the window shows it.
struct RunOutcome {
    RunMode mode = RunMode::Execute;
    int task = 0;
    std::string statusText;  // "" leaves the status line as it is
    bool fitColumns = false;
    bool recordKept = false;
    // Execute runs: the full paths of the failed rows, in the order they failed.
    std::vector<std::string> failedPaths;
    // Why each of them failed ("" where that is not known).
    std::vector<std::string> failureReasons;
    // The program is closing: nothing needs showing.
    bool closing = false;
};

// What the dispatcher asks of the window.
class RunHost {
public:
    virtual ~RunHost() = default;
    // Any thread: runs `work` on the UI thread later, after what is queued already.
    virtual void PostToUiThread(std::function<void()> work) = 0;
    // The run's inputs, read now. Nothing: no run (the panel has said why).
    virtual std::optional<RunRequest> CollectRunRequest(RunMode mode) = 0;
    virtual bool AutoPreviewEnabled() const = 0;
    // True while code fills panel controls: their change events ask for nothing.
    virtual bool PanelLoading() const = 0;
    // The run has begun (an execute run locks the area and shows its progress).
    virtual void RunStarted(RunMode mode, std::size_t rowCount) = 0;
    // A status text the running task sets.
    virtual void ShowRunStatus(const std::string& text) = 0;
    // The finished run; the task ends right after.
    virtual void PublishRun(const RunOutcome& outcome) = 0;
};

// What all runs of the program share.
struct RunEnvironment {
    RunControl& control;
    RowStore& rows;
    const TaskRegistry& tasks;
    UndoSpool* spool;
    UndoRecord& currentRecord;         // the last execute run's record
    std::vector<UndoRecord>& history;  // the kept records, oldest first
};

class RunDispatcher {
public:
    RunDispatcher(RunEnvironment environment, RunHost& host);
    // A run still going is stopped and waited for; its result is dropped.
    ~RunDispatcher();
    RunDispatcher(const RunDispatcher&) = delete;
    RunDispatcher& operator=(const RunDispatcher&) = delete;

    // 预览 and 执行: refused with the busy notice while any task is active, and with
    // the not-available notice for a task without a runner (an auto-preview of it
    // is refused quietly).
    bool StartPreviewRun();
    bool StartExecuteRun();
    // A panel parameter or a toolbar choice changed. Runs an auto-preview when it is
    // on and no panel is loading. During a batch run the request waits, and however
    // many came, one auto-preview follows the run's end with the parameters of that
    // moment. During another kind of task it is dropped.
    void RequestAutoPreview();

    bool IsRunning() const { return m_context != nullptr; }
    std::optional<RunMode> RunningMode() const;
    // The failures of the last execute run, kept until the next one.
    const std::vector<std::string>& LastFailures() const { return m_lastFailures; }

    // For the closing program: the run stops at its next row (a full preview too),
    // its thread is waited for, and its result is kept without notices. A question
    // the run asks must already get its answer without the user (the notifier's
    // StopAsking), or this waits for the user.
    void StopAndWait();

private:
    bool Start(RunMode mode);
    void FinishBatchRun(bool closing);

    RunEnvironment m_env;
    RunHost& m_host;
    std::unique_ptr<RunContext> m_context;
    std::unique_ptr<RunRows> m_rows;
    bool m_autoPreviewPending = false;
    std::vector<std::string> m_lastFailures;
    // Last: it goes first, waiting for a run still going while the rest is alive.
    JobRunner m_jobs;
};

// The run's fixed context: the mode, the request's task and settings, and for an
// execute run an empty record whose copyFlag is the transfer mode.
std::unique_ptr<RunContext> PrepareRunParameters(RunMode mode, RunRequest request, RunControl& control,
                                                 UndoSpool* spool);
// Runs the task's runner over the rows with the panel's parameters; no runner: nothing.
void RunBatchTask(RunContext& run, RunRows& rows, const TaskRunner& runner, const TaskParameters& parameters);

// "执行完成，总耗 … 单耗 …"; without rows there is no time per row.
std::string ExecuteStatusText(double elapsedMilliseconds, std::size_t rowCount);
// "执行已停止，完成 done / total 行，总耗 … 单耗 …": the time per row is of the
// rows done; total is left out when the run counted something else than rows.
std::string StoppedStatusText(double elapsedMilliseconds, std::size_t done, std::size_t total);

inline constexpr const char* kFailureNoticeTitle = "失败啦";
inline constexpr const char* kFailureNoticeLink = "立即导入失败列表以重新进行批量操作...";
// The failure notice's text: the possible reasons, then the failed paths, one a
// line, each followed by its own reason where `reasons` holds one.
std::string FailureNoticeMessage(const std::vector<std::string>& failedPaths,
                                 const std::vector<std::string>& reasons = {});

}  // namespace varnel
