#include "runs/run_context.h"

namespace varnel {

TaskKind TaskKindOf(RunMode mode) {
    switch (mode) {
        case RunMode::Execute: return TaskKind::Execute;
        case RunMode::FullPreview: return TaskKind::Preview;
        case RunMode::AutoPreview: return TaskKind::AutoPreview;
    }
    return TaskKind::Execute;
}

RunContext::RunContext(RunMode mode, int task, RunSettings settings, RunControl& control, UndoSpool* spool)
    : m_mode(mode),
      m_task(task),
      m_settings(std::move(settings)),
      m_control(control),
      m_spool(spool),
      m_start(std::chrono::steady_clock::now()) {
    m_record.copyFlag = m_settings.transferMode;
}

void RunContext::SetCurrentRow(std::int64_t row) {
    m_currentRow = row;
    m_control.currentRow = row;
}

bool RunContext::ShouldStopRun() {
    if (m_stop.stop_requested()) return true;
    switch (m_mode) {
        case RunMode::Execute:
            if (m_control.PollTaskContinue()) return false;
            // Stopped after the current row was done.
            if (!m_stopped) m_rowsDone = m_currentRow;
            m_stopped = true;
            return true;
        case RunMode::AutoPreview: return m_currentRow >= m_settings.autoPreviewLimit;
        case RunMode::FullPreview: return false;
    }
    return false;
}

bool RunContext::PollTaskContinue() {
    if (m_stop.stop_requested()) return false;
    if (m_mode != RunMode::Execute || m_control.PollTaskContinue()) return true;
    // Stopped inside the current row, which is given up.
    if (!m_stopped) m_rowsDone = m_currentRow > 0 ? m_currentRow - 1 : 0;
    m_stopped = true;
    return false;
}

void RunContext::LogFailure(std::string path, std::string reason) {
    if (m_mode != RunMode::Execute) return;
    m_failedPaths.push_back(std::move(path));
    m_failureReasons.push_back(std::move(reason));
}

void RunContext::SetRunStatusText(const std::string& text) {
    if (m_statusSink) m_statusSink(text);
}

}  // namespace varnel
