// Where the file operation tasks enter their panels and runners into the batch
// task area.
#pragma once

#include <functional>

#include "filelist/row_store.h"

namespace varnel {

class BatchTaskArea;

// Shows a hidden column of the list, as its column menu item does.
using ShowListColumn = std::function<void(ListColumn)>;

// Registers the file operation tasks whose panels and runners exist.
void RegisterFileTasks(BatchTaskArea& area, ShowListColumn showColumn = {});
// The tasks that change file properties (times, attributes, shortcut fields), with
// the undo writer of shortcut entries; RegisterFileTasks calls it. A times or
// attributes run shows the columns it fills through showColumn.
void RegisterPropertyTasks(BatchTaskArea& area, ShowListColumn showColumn = {});

}  // namespace varnel
