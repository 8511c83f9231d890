#include "runs/ui/task_registrations.h"

#include "naming/common_name.h"
#include "runs/rename_task.h"
#include "runs/ui/common_rename_panel.h"
#include "runs/ui/batch_task_area.h"

namespace varnel {

void RegisterBatchTasks(BatchTaskArea& area, RunGlobals& app) {
    (void)app;
    // Renaming.
    area.RegisterTask({1, [&area](QWidget* parent) { return new CommonRenamePanel(&area.MetaSymbols(), parent); },
                       RunCommonRenameTask});
}

}  // namespace varnel
