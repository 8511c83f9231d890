#include "runs/ui/task_registrations.h"

#include "runs/ui/batch_task_area.h"

namespace varnel {

void RegisterBatchTasks(BatchTaskArea& area, AppGlobals& app) {
    // One line per subsystem that brings tasks, e.g. RegisterRenameTasks(area, app).
    (void)area;
    (void)app;
}

}  // namespace varnel
