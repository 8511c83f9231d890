// The program-wide state of the batch runs, on top of the naming globals
// (NamingGlobals): the chosen task, the task runners and the undo history. Part of
// the application object (AppGlobals). UI thread only.
#pragma once

#include <vector>

#include "naming/naming_globals.h"
#include "runs/task_table.h"
#include "runs/undo_families.h"
#include "runs/undo_record.h"
#include "runs/undo_spool.h"

namespace varnel {

struct RunGlobals : NamingGlobals {
    // The chosen task, the rows an auto-preview covers, and whether code is filling
    // panel controls (their change events then ask for no preview).
    int gCurrentTask = 0;
    int gAutoPreviewLimit = 20;
    bool gPanelLoading = false;
    // The runners of the batch tasks.
    TaskRegistry gTaskRegistry;
    // Undo: where large undo data is kept, the last execute run's record, and the
    // kept records, oldest first.
    UndoSpool gUndoSpool{UndoSpool::DefaultFolder()};
    UndoRecord gCurrentUndoRecord;
    std::vector<UndoRecord> gUndoHistory;
    // The record the undo manager works on (0-based), -1 for none; kept between its
    // openings and clamped to the history before each use.
    int gSelectedUndoIndex = -1;
    // How the task families' own undo kinds are undone and shown, entered beside
    // their runners; an undo passes a copy to the replay.
    UndoFamilyRegistry gUndoFamilies;
};

}  // namespace varnel
