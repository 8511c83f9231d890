// A job runner for a window's long jobs (list loads, undo, folder statistics): the
// job runs on a worker thread, the view is synced every 100 ms while it runs and
// once more just before its result is published on the UI thread. UI thread only.
#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

#include "utilities/job_runner.h"

namespace varnel {

class UiJobRunner final : public QObject {
public:
    // `sync` (may be empty) brings the view up to date with what the job did so far.
    explicit UiJobRunner(std::function<void()> sync = {}, QObject* parent = nullptr);

    // See JobRunner: a job still running is cancelled and waited for, its result
    // dropped; the sync starts.
    void Start(JobRunner::Work work);
    bool IsRunning() const { return m_jobs.IsRunning(); }
    void Cancel() { m_jobs.Cancel(); }
    // Waits for the job's thread and syncs the view; its result is published as queued.
    void Wait();
    // Waits for the job and publishes its result now, if it has one still to come.
    void FinishNow() { m_jobs.FinishNow(); }

private:
    void StopSync();

    std::function<void()> m_sync;
    QTimer m_timer;
    JobRunner m_jobs;
};

}  // namespace varnel
