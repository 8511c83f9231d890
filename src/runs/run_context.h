// One batch run as its task sees it: the mode, the task and the toolbar's choices
// as they were when the run started (its runner gets the panel's parameters of
// that moment beside it), the checkpoint after
// each row, and (in an execute run) the undo record and the failures. Every run has
// its own context, fixed at its start: a change of a panel or of the toolbar
// during the run never reaches it. Owned by the run's thread while the run lasts;
// the dispatcher reads it on the UI thread only after that thread has finished.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

#include "naming/meta_settings.h"
#include "utilities/run_control.h"
#include "runs/run_rows.h"
#include "runs/undo_record.h"
#include "runs/undo_spool.h"

namespace varnel {

// What a run does with its rows.
enum class RunMode : int { Execute = 0, FullPreview = 1, AutoPreview = 2 };

TaskKind TaskKindOf(RunMode mode);

// The part of a name a rename task changes (the 全部 / 前缀 / 后缀 choice).
enum class NameScope : int { Whole = 1, Main = 2, Extension = 3 };

// The batch task area's choices, read on the UI thread when a run starts.
struct RunSettings {
    NameScope nameScope = NameScope::Whole;
    // Results go to copies in transferFolder (a folder path).
    bool transferMode = false;
    std::string transferFolder;
    // Meta-variables in the results are expanded (启用元符), with these parameters.
    bool metaSymbols = true;
    MetaSettings meta;
    // Rows an auto-preview covers; row 1 is always covered.
    int autoPreviewLimit = 20;
};

class RunContext {
public:
    // A run over a task's rows. `spool` keeps large undo data (nullptr: none; a
    // task that needs it fails its rows).
    RunContext(RunMode mode, int task, RunSettings settings, RunControl& control, UndoSpool* spool = nullptr);
    RunContext(const RunContext&) = delete;
    RunContext& operator=(const RunContext&) = delete;

    RunMode Mode() const { return m_mode; }
    bool IsExecute() const { return m_mode == RunMode::Execute; }
    int Task() const { return m_task; }
    const RunSettings& Settings() const { return m_settings; }

    // The 1-based row the task is at (also shown by the progress bar).
    void SetCurrentRow(std::int64_t row);
    std::int64_t CurrentRow() const { return m_currentRow; }

    // The checkpoint after each row; true: leave the row loop. An execute run waits
    // here while paused and stops after the stop button; an auto-preview stops
    // once its limit of rows is done; a full preview runs to its last row. Every
    // run stops when the program closes.
    bool ShouldStopRun();
    // The checkpoint inside a long row: false to give up.
    bool PollTaskContinue();

    // Execute runs: the changes made so far, for undo.
    UndoRecord& Record() { return m_record; }
    UndoSpool* Spool() const { return m_spool; }
    // Execute runs: a row that failed, by its full path, and why when that is known
    // (what the system refused). Previews log nothing.
    void LogFailure(std::string path, std::string reason = {});
    const std::vector<std::string>& FailedPaths() const { return m_failedPaths; }
    // One per failed path, in the same order; "" where no reason is known.
    const std::vector<std::string>& FailureReasons() const { return m_failureReasons; }

    // The status line's run text (shown on the UI thread).
    void SetRunStatusText(const std::string& text);
    // What the task has to say of its whole run ("新建 3 项"), shown after the run's
    // time when the run ends.
    void SetRunSummary(std::string text) { m_summary = std::move(text); }
    const std::string& RunSummary() const { return m_summary; }
    // Whether the user's stop ended the run, and how many rows were done by then.
    bool Stopped() const { return m_stopped; }
    std::int64_t RowsDone() const { return m_rowsDone; }

    // For the dispatcher: the closing program's stop, where status texts go, and
    // the results once the run's thread has finished.
    void SetStopToken(std::stop_token stop) { m_stop = std::move(stop); }
    void SetStatusSink(std::function<void(std::string)> sink) { m_statusSink = std::move(sink); }
    std::chrono::steady_clock::time_point StartTime() const { return m_start; }
    UndoRecord TakeRecord() { return std::move(m_record); }
    std::vector<std::string> TakeFailedPaths() { return std::move(m_failedPaths); }
    std::vector<std::string> TakeFailureReasons() { return std::move(m_failureReasons); }

private:
    RunMode m_mode;
    int m_task;
    RunSettings m_settings;
    RunControl& m_control;
    UndoSpool* m_spool;
    std::stop_token m_stop;
    std::function<void(std::string)> m_statusSink;
    std::chrono::steady_clock::time_point m_start;
    std::int64_t m_currentRow = 0;
    bool m_stopped = false;
    std::int64_t m_rowsDone = 0;
    std::string m_summary;
    UndoRecord m_record;
    std::vector<std::string> m_failedPaths;
    std::vector<std::string> m_failureReasons;
};

// The row loop every task follows: each run row in order (0-based index), the
// current row set before the work and the checkpoint after it.
template <typename Work>
void ForEachRunRow(RunContext& run, const RunRows& rows, Work&& work) {
    for (std::size_t index = 0; index < rows.Count(); ++index) {
        run.SetCurrentRow(static_cast<std::int64_t>(index) + 1);
        work(index);
        if (run.ShouldStopRun()) break;
    }
}

}  // namespace varnel
