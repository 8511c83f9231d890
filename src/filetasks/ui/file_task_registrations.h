// Where the file operation tasks enter their panels and runners into the batch
// task area.
#pragma once

namespace varnel {

class BatchTaskArea;

// Registers the file operation tasks whose panels and runners exist.
void RegisterFileTasks(BatchTaskArea& area);
// The tasks that change file properties (times, attributes, shortcut fields), with
// the undo writer of shortcut entries; RegisterFileTasks calls it.
void RegisterPropertyTasks(BatchTaskArea& area);

}  // namespace varnel
