#include "runs/run_dispatcher.h"

#include <algorithm>
#include <chrono>

#include "utilities/path_routines.h"
#include "utilities/user_notifier.h"

namespace varnel {

std::unique_ptr<RunContext> PrepareRunParameters(RunMode mode, RunRequest request, RunControl& control,
                                                 UndoSpool* spool) {
    return std::make_unique<RunContext>(mode, request.task, std::move(request.settings), control, spool);
}

void RunBatchTask(RunContext& run, RunRows& rows, const TaskRunner& runner, const TaskParameters& parameters) {
    if (runner) runner(run, rows, parameters);
}

std::string ExecuteStatusText(double elapsedMilliseconds, std::size_t rowCount) {
    std::string text = "执行完成，总耗 " + FormatDuration(elapsedMilliseconds);
    if (rowCount > 0) text += " 单耗 " + FormatPerRowDuration(elapsedMilliseconds / static_cast<double>(rowCount));
    return text;
}

std::string StoppedStatusText(double elapsedMilliseconds, std::size_t done, std::size_t total) {
    std::string text = "执行已停止，完成 " + std::to_string(done);
    if (done <= total) text += " / " + std::to_string(total);
    text += " 行，总耗 " + FormatDuration(elapsedMilliseconds);
    if (done > 0) text += " 单耗 " + FormatPerRowDuration(elapsedMilliseconds / static_cast<double>(done));
    return text;
}

std::string FailureNoticeMessage(const std::vector<std::string>& failedPaths,
                                 const std::vector<std::string>& reasons) {
    std::string message =
        "\n任务失败或部分失败，失败的可能原因：\n\n"
        "1、该文件或目录正被系统或其他程序占用。\n"
        "2、文件已经不存在或被删除。\n"
        "3、新文件名与已经存在的文件或文件夹同名（目标已存在）。\n"
        "4、源文件名或新文件名中包含非法字符\n"
        "5、文件属性为只读\n"
        "6、若操作“时间”栏，则暂不支持对文件夹的修改\n"
        "7、其他有待补充的原因。\n\n"
        "如下列表 " +
        std::to_string(failedPaths.size()) + " 条更改失败（您可以将其导入再行更改）：\n\n";
    for (std::size_t i = 0; i < failedPaths.size(); ++i) {
        if (i > 0) message += '\n';
        message += failedPaths[i];
        if (i < reasons.size() && !reasons[i].empty()) message += "  （" + reasons[i] + "）";
    }
    message += '\n';
    return message;
}

RunDispatcher::RunDispatcher(RunEnvironment environment, RunHost& host)
    : m_env(environment), m_host(host), m_jobs([&host](std::function<void()> work) {
          host.PostToUiThread(std::move(work));
      }) {}

RunDispatcher::~RunDispatcher() {
    if (!m_context) return;
    m_jobs.Cancel();
    m_env.control.RequestStop();
    m_jobs.Drop();
    m_env.control.End();
}

std::optional<RunMode> RunDispatcher::RunningMode() const {
    if (!m_context) return std::nullopt;
    return m_context->Mode();
}

bool RunDispatcher::StartPreviewRun() {
    if (!EnsureNoTaskRunning(m_env.control)) return false;
    return Start(RunMode::FullPreview);
}

bool RunDispatcher::StartExecuteRun() {
    if (!EnsureNoTaskRunning(m_env.control)) return false;
    return Start(RunMode::Execute);
}

void RunDispatcher::RequestAutoPreview() {
    if (!m_host.AutoPreviewEnabled() || m_host.PanelLoading()) return;
    if (m_context) {
        m_autoPreviewPending = true;
        return;
    }
    if (m_env.control.IsActive()) return;
    Start(RunMode::AutoPreview);
}

bool RunDispatcher::Start(RunMode mode) {
    std::optional<RunRequest> request = m_host.CollectRunRequest(mode);
    if (!request) return false;
    // A task that has no runner yet would do nothing and still report success.
    if (!m_env.tasks.HasRunner(request->task)) {
        if (mode != RunMode::AutoPreview) ShowTrayNotice(kTaskNotAvailableText);
        return false;
    }
    if (!m_env.tasks.TakesParameters(request->task, request->parameters)) {
        if (mode != RunMode::AutoPreview) ShowTrayNotice(kTaskParametersMismatchText);
        return false;
    }
    // Auto-previews cover only their first rows, so only those are taken.
    const std::size_t rowLimit =
        mode == RunMode::AutoPreview ? static_cast<std::size_t>(std::max(request->settings.autoPreviewLimit, 1))
                                     : SIZE_MAX;
    if (!m_env.control.TryBegin(TaskKindOf(mode))) {
        if (mode != RunMode::AutoPreview) ShowTrayNotice(kTaskBusyNotice);
        return false;
    }
    TaskRunner runner = m_env.tasks.Runner(request->task);
    TaskParameters parameters = std::move(request->parameters);
    m_context = PrepareRunParameters(mode, std::move(*request), m_env.control, m_env.spool);
    m_rows = std::make_unique<RunRows>(m_env.rows, m_env.rows.RowIds(0, rowLimit));
    // Status texts a run sets after its end (or after the next one began) are stale.
    const unsigned generation = m_jobs.Generation() + 1;
    m_context->SetStatusSink([this, generation](std::string text) {
        m_host.PostToUiThread([this, generation, text = std::move(text)] {
            if (m_jobs.IsCurrent(generation) && m_context) m_host.ShowRunStatus(text);
        });
    });
    m_host.RunStarted(mode, m_rows->Count());

    RunContext* run = m_context.get();
    RunRows* rows = m_rows.get();
    m_jobs.Start([this, run, rows, runner = std::move(runner),
                  parameters = std::move(parameters)](std::stop_token stop) -> JobRunner::Publish {
        run->SetStopToken(std::move(stop));
        RunBatchTask(*run, *rows, runner, parameters);
        return [this] { FinishBatchRun(false); };
    });
    return true;
}

void RunDispatcher::FinishBatchRun(bool closing) {
    if (!m_context) return;
    RunContext& run = *m_context;

    RunOutcome outcome;
    outcome.mode = run.Mode();
    outcome.task = run.Task();
    outcome.closing = closing;
    switch (run.Mode()) {
        case RunMode::AutoPreview:
            // A run that another follows leaves the columns to that one.
            outcome.fitColumns = !m_autoPreviewPending;
            break;
        case RunMode::FullPreview:
            outcome.statusText = "全部预览完成";
            outcome.fitColumns = true;
            break;
        case RunMode::Execute: {
            const double elapsed = std::chrono::duration<double, std::milli>(
                                       std::chrono::steady_clock::now() - run.StartTime())
                                       .count();
            outcome.statusText = run.Stopped() ? StoppedStatusText(elapsed, static_cast<std::size_t>(run.RowsDone()),
                                                                   m_rows->Count())
                                               : ExecuteStatusText(elapsed, m_rows->Count());
            if (!run.RunSummary().empty()) outcome.statusText += "；" + run.RunSummary();
            outcome.fitColumns = true;
            m_env.currentRecord = run.TakeRecord();
            outcome.recordKept = HoldsChange(m_env.currentRecord);
            if (outcome.recordKept) m_env.history.push_back(m_env.currentRecord);
            m_lastFailures = run.TakeFailedPaths();
            outcome.failedPaths = m_lastFailures;
            outcome.failureReasons = run.TakeFailureReasons();
            break;
        }
    }
    m_context.reset();
    m_rows.reset();
    m_host.PublishRun(outcome);
    m_env.control.End();

    if (closing || !m_autoPreviewPending) return;
    m_autoPreviewPending = false;
    RequestAutoPreview();
}

void RunDispatcher::StopAndWait() {
    if (!m_context) return;
    m_jobs.Cancel();
    m_env.control.RequestStop();
    // The queued finish of the run, if any, is dropped: it is finished here.
    m_jobs.Drop();
    FinishBatchRun(true);
}

}  // namespace varnel
