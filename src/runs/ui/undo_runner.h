// Runs an undo replay as the one task of the program, on a worker thread, so that a
// large undo leaves the window responsive. The restored paths go into the list in
// their record's order (the list's filters decide), the view learns of them every
// 100 ms, and the result arrives queued on the UI thread. The worker ends the task itself, so a
// closing program may wait for the task to end on the UI thread.
#pragma once

#include <QObject>
#include <QTimer>

#include <functional>
#include <thread>

#include "filelist/list_load.h"
#include "filelist/ui/file_list_model.h"
#include "utilities/run_control.h"
#include "runs/undo_replay.h"

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
    bool IsRunning() const { return m_worker.joinable(); }

private:
    RunControl& m_control;
    FileListModel& m_model;
    QTimer m_progress;
    std::jthread m_worker;
    unsigned m_generation = 0;  // which replay a queued result belongs to
};

}  // namespace varnel
