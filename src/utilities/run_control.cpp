#include "utilities/run_control.h"

#include "utilities/user_notifier.h"

namespace varnel {

bool RunControl::TryBegin(TaskKind kind) {
    std::lock_guard lock(m_mutex);
    if (m_kind != TaskKind::None) return false;
    m_kind = kind;
    currentRow = 0;
    m_state = kTaskRunning;
    return true;
}

void RunControl::End() {
    {
        std::lock_guard lock(m_mutex);
        m_kind = TaskKind::None;
        m_state = kTaskIdle;
    }
    m_changed.notify_all();
}

void RunControl::RequestStop() {
    {
        std::lock_guard lock(m_mutex);
        if (m_kind == TaskKind::None) return;
        m_state = kTaskIdle;
    }
    m_changed.notify_all();
}

void RunControl::SetPaused(bool paused) {
    {
        std::lock_guard lock(m_mutex);
        // Only a running task can pause, and only a paused one resume: a stop wins.
        if (m_kind == TaskKind::None) return;
        if (paused && m_state == kTaskRunning) m_state = kTaskPaused;
        if (!paused && m_state == kTaskPaused) m_state = kTaskRunning;
    }
    m_changed.notify_all();
}

bool RunControl::PollTaskContinue() {
    if (m_state.load() == kTaskRunning) return true;
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_state.load() != kTaskPaused; });
    return m_state.load() == kTaskRunning;
}

void RunControl::WaitUntilIdle() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_kind == TaskKind::None; });
}

TaskKind RunControl::ActiveKind() const {
    std::lock_guard lock(m_mutex);
    return m_kind;
}

bool EnsureNoTaskRunning(const RunControl& control, bool silent) {
    if (!control.IsActive()) return true;
    if (!silent) ShowTrayNotice(kTaskBusyNotice);
    return false;
}

bool BeginOrEndTask(RunControl& control, TaskKind kind, bool end) {
    if (end) {
        control.End();
        return true;
    }
    if (control.TryBegin(kind)) return true;
    ShowTrayNotice(kTaskBusyNotice);
    return false;
}

}  // namespace varnel
