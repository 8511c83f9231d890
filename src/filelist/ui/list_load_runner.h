// Runs list loads on a worker thread: one at a time, refused while a batch task
// runs, replacing a load that is still running. The view learns of new rows every
// 100 ms and once more at the end; the result (the status line, and the load's
// report) arrives queued on the UI thread.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>
#include <thread>

#include "filelist/list_load.h"
#include "filelist/ui/file_list_model.h"
#include "utilities/run_control.h"

namespace varnel {

class ListLoadRunner final : public QObject {
    Q_OBJECT
public:
    using Job = std::function<void(ListLoad&)>;

    ListLoadRunner(RunControl& control, FileListModel& model, QObject* parent = nullptr);
    ~ListLoadRunner() override;

    // False while another kind of task runs (nothing changes). Unless append, the
    // list is emptied first.
    bool Start(Job job, ListLoadSettings settings, bool append);
    bool IsRunning() const { return m_worker.joinable(); }
    // What the load that finished last reported (UI thread, after `finished`).
    const LoadReport& LastReport() const { return m_report; }
    // The file system the loads read (tests inject faults through it).
    void SetPosix(PosixApi& os) { m_os = &os; }
    // Stops a running load and waits for its thread (UI thread).
    void StopAndWait();
    // Why the last finished load left names out undecided (FilterProblemText);
    // empty when it did not.
    const QString& FilterProblem() const { return m_filterProblem; }

signals:
    void progress(qint64 rows);
    void finished(QString statusText);

private:
    void Finish(unsigned generation, double elapsedMilliseconds, QString filterProblem);

    RunControl& m_control;
    FileListModel& m_model;
    QTimer m_progress;
    PosixApi* m_os = &SystemPosix();
    std::jthread m_worker;
    LoadReport m_workerReport;  // written by the worker, read after it is joined
    LoadReport m_report;
    unsigned m_generation = 0;  // which load a queued finish belongs to
    QString m_filterProblem;
};

}  // namespace varnel
