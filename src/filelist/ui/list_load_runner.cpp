#include "filelist/ui/list_load_runner.h"

#include <chrono>
#include <memory>

namespace varnel {

ListLoadRunner::ListLoadRunner(RunControl& control, FileListModel& model, QObject* parent)
    : QObject(parent), m_control(control), m_model(model), m_jobs([this] {
          m_model.SyncRowCount();
          // The last sync, once the load has ended, leaves the status to its result.
          if (m_jobs.IsRunning()) emit progress(m_model.rowCount());
      }) {}

ListLoadRunner::~ListLoadRunner() { StopAndWait(); }

void ListLoadRunner::StopAndWait() {
    if (!m_jobs.IsRunning()) return;
    if (m_control.ActiveKind() == TaskKind::ListLoad) m_control.RequestStop();
    m_jobs.Wait();
}

bool ListLoadRunner::Start(Job job, ListLoadSettings settings, bool append) {
    const TaskKind active = m_control.ActiveKind();
    if (active != TaskKind::None && active != TaskKind::ListLoad) return false;
    // A new load replaces one that is still running; the replaced one reports
    // nothing, its successor owns the list now.
    StopAndWait();
    if (!m_control.TryBegin(TaskKind::ListLoad)) return false;
    if (!append) m_model.ClearRows();

    m_jobs.Start([this, job = std::move(job), settings = std::move(settings)](std::stop_token) mutable
                 -> JobRunner::Publish {
        const auto start = std::chrono::steady_clock::now();
        QString filterProblem;
        auto report = std::make_shared<LoadReport>();
        {
            ListLoad load(m_model.Store(), std::move(settings), m_control, *m_os);
            job(load);
            filterProblem = QString::fromStdString(FilterProblemText(load));
            *report = load.TakeReport();
        }
        // Whole milliseconds, as the load's time is counted.
        const double elapsed = static_cast<double>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
        m_control.End();
        return [this, report, elapsed, filterProblem] {
            m_filterProblem = filterProblem;
            m_report = std::move(*report);
            emit finished(QString::fromStdString(
                LoadStatusText(elapsed, m_model.Store().RowCount(), m_report.failures)));
        };
    });
    return true;
}

}  // namespace varnel
