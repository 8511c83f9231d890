// The state of the one task the program runs at a time (a list load, a batch run,
// an undo): running, paused or stopping, with the checkpoint every task calls after
// each item. The state is read by the worker and written by the stop and pause
// buttons on the UI thread; pause waits on a condition variable, not a poll.
// A task that is refused changes nothing; the begin helpers below tell the user.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace varnel {

// The values of RunControl::State().
enum TaskState : int { kTaskPaused = 0, kTaskRunning = 1, kTaskIdle = -1 };

enum class TaskKind { None, ListLoad, Statistics, Preview, AutoPreview, Execute, Undo, ListAction };

class RunControl {
public:
    // Begins a task when none is active; false (nothing changes) otherwise.
    bool TryBegin(TaskKind kind);
    // Ends the active task: the state goes back to idle and waiters are woken.
    void End();

    // The stop button: the task ends itself at its next checkpoint.
    void RequestStop();
    // The pause button: pressed pauses, released resumes.
    void SetPaused(bool paused);

    // The checkpoint: true to go on; false once a stop was requested. While paused
    // it waits (without spinning) until resumed or stopped.
    bool PollTaskContinue();

    // Waits until no task is active (for a task that replaces a running one after
    // asking it to stop). Never call it from the task's own thread.
    void WaitUntilIdle();

    int State() const { return m_state.load(); }
    TaskKind ActiveKind() const;
    bool IsActive() const { return ActiveKind() != TaskKind::None; }

    // The 1-based item the running task is at.
    std::atomic<std::int64_t> currentRow{0};

private:
    std::atomic<int> m_state{kTaskIdle};
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    TaskKind m_kind = TaskKind::None;
};

// The notice of a task that cannot begin because another one is active.
inline constexpr const char* kTaskBusyNotice = "抱歉，已有任务在运行，请稍后或停止该任务再执行本项！";

// True when no task is active (running or paused). Otherwise, unless silent, the
// busy notice is shown; false.
bool EnsureNoTaskRunning(const RunControl& control, bool silent = false);

// With end: ends the active task; true. Without: begins a task of `kind` when none
// is active; otherwise shows the busy notice and answers false. A task never starts
// beside another one, so there is no forced begin.
bool BeginOrEndTask(RunControl& control, TaskKind kind, bool end = false);

}  // namespace varnel
