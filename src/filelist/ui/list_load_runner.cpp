#include "filelist/ui/list_load_runner.h"

#include <QMetaObject>
#include <QPointer>

namespace varnel {

ListLoadRunner::ListLoadRunner(RunControl& control, FileListModel& model, QObject* parent)
    : QObject(parent), m_control(control), m_model(model) {
    m_progress.setInterval(100);
    connect(&m_progress, &QTimer::timeout, this, [this] {
        m_model.SyncRowCount();
        emit progress(m_model.rowCount());
    });
}

ListLoadRunner::~ListLoadRunner() { StopAndWait(); }

void ListLoadRunner::StopAndWait() {
    if (!m_worker.joinable()) return;
    if (m_control.ActiveKind() == TaskKind::ListLoad) m_control.RequestStop();
    m_worker.join();
    m_progress.stop();
    m_model.SyncRowCount();
}

bool ListLoadRunner::Start(Job job, ListLoadSettings settings, bool append) {
    const TaskKind active = m_control.ActiveKind();
    if (active != TaskKind::None && active != TaskKind::ListLoad) return false;
    // A new load replaces one that is still running.
    StopAndWait();
    if (!m_control.TryBegin(TaskKind::ListLoad)) return false;
    if (!append) m_model.ClearRows();

    m_progress.start();
    QPointer<ListLoadRunner> self(this);
    const unsigned generation = ++m_generation;
    m_worker = std::jthread([this, self, generation, job = std::move(job), settings = std::move(settings)]() mutable {
        const auto start = std::chrono::steady_clock::now();
        QString filterProblem;
        {
            ListLoad load(m_model.Store(), std::move(settings), m_control, *m_os);
            job(load);
            filterProblem = QString::fromStdString(FilterProblemText(load));
            m_workerReport = load.TakeReport();
        }
        // Whole milliseconds, as the load's time is counted.
        const double elapsed = static_cast<double>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
        m_control.End();
        QMetaObject::invokeMethod(
            this, [self, generation, elapsed, filterProblem] {
                if (self) self->Finish(generation, elapsed, filterProblem);
            },
            Qt::QueuedConnection);
    });
    return true;
}

void ListLoadRunner::Finish(unsigned generation, double elapsedMilliseconds, QString filterProblem) {
    // A load that was replaced reports nothing: its successor owns the list now.
    if (generation != m_generation) return;
    m_filterProblem = std::move(filterProblem);
    if (m_worker.joinable()) m_worker.join();
    m_progress.stop();
    m_model.SyncRowCount();
    m_report = std::move(m_workerReport);
    m_workerReport = {};
    emit finished(QString::fromStdString(
        LoadStatusText(elapsedMilliseconds, m_model.Store().RowCount(), m_report.failures)));
}

}  // namespace varnel
