// Runs list loads on a worker thread: one at a time, refused while a batch task
// runs, replacing a load that is still running. The view learns of new rows every
// 100 ms and once more at the end; the result (the status line, and the load's
// report) arrives queued on the UI thread.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

#include "filelist/list_load.h"
#include "filelist/ui/file_list_model.h"
#include "utilities/run_control.h"
#include "utilities/ui/ui_job_runner.h"

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
    bool IsRunning() const { return m_jobs.IsRunning(); }
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
    RunControl& m_control;
    FileListModel& m_model;
    PosixApi* m_os = &SystemPosix();
    LoadReport m_report;
    QString m_filterProblem;
    UiJobRunner m_jobs;
};

}  // namespace varnel
