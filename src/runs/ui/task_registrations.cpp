#include "runs/ui/task_registrations.h"

#include "naming/common_name.h"
#include "naming/text_rename_runners.h"
#include "naming/ui/common_rename_panel.h"
#include "naming/ui/delete_insert_panels.h"
#include "naming/ui/replace_panels.h"
#include "runs/ui/batch_task_area.h"

namespace varnel {

void RegisterBatchTasks(BatchTaskArea& area, AppGlobals& app) {
    (void)app;
    // Renaming.
    area.RegisterTask({1, [&area](QWidget* parent) { return new CommonRenamePanel(&area.MetaSymbols(), parent); },
                       RunCommonRenameTask});
    area.RegisterTask(
        {2, [&area](QWidget* parent) { return new ReplacePanel(&area.MetaSymbols(), parent); }, RunReplaceTask});
    area.RegisterTask({3, [&area](QWidget* parent) { return new RegexRenamePanel(&area.MetaSymbols(), parent); },
                       RunRegexReplaceTask});
    area.RegisterTask(
        {4, [&area](QWidget* parent) { return new DeletePanel(&area.MetaSymbols(), parent); }, RunDeleteTextTask});
    area.RegisterTask(
        {7, [&area](QWidget* parent) { return new InsertPanel(&area.MetaSymbols(), parent); }, RunInsertTextTask});
}

}  // namespace varnel
