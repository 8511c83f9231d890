// Runs an undo replay as the one task of the program, on a worker thread, so that a
// large undo leaves the window responsive. The restored paths go into the list in
// their record's order (the list's filters decide), the view learns of them every
// 100 ms, and the result arrives queued on the UI thread. The worker ends the task itself, so a
// closing program may wait for the task to end on the UI thread. A replay's result is
// never lost: one still queued when the next undo starts is shown first.
#pragma once

#include <QObject>

#include <functional>

#include "filelist/list_load.h"
#include "filelist/ui/file_list_model.h"
#include "utilities/run_control.h"
#include "runs/undo_replay.h"
#include "utilities/ui/ui_job_runner.h"

namespace varnel {

class UndoRunner final : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(UndoRecord record, UndoOutcome outcome)>;

    UndoRunner(RunControl& control, FileListModel& model, QObject* parent = nullptr);
    // Waits for a replay still running; its result is dropped.
    ~UndoRunner() override;

    // Replays `record` on a worker. The caller has begun the undo task; the worker
    // ends it. Unless append, the list is emptied first. `done` gets the replayed
    // record (a split's entries edited) and the outcome, on the UI thread.
    void Start(UndoRecord record, ListLoadSettings settings, bool append, UndoHooks hooks, Done done);
    bool IsRunning() const { return m_jobs.IsRunning(); }

private:
    RunControl& m_control;
    FileListModel& m_model;
    UiJobRunner m_jobs;
};

}  // namespace varnel
