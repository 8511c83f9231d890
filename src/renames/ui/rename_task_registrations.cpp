#include "renames/ui/rename_task_registrations.h"

#include "naming/common_name.h"
#include "renames/char_rename_runners.h"
#include "renames/extract_runners.h"
#include "renames/list_font_runners.h"
#include "renames/rename_task.h"
#include "renames/text_rename_runners.h"
#include "renames/ui/char_rename_panels.h"
#include "renames/ui/common_rename_panel.h"
#include "renames/ui/delete_insert_panels.h"
#include "renames/ui/extract_element_panel.h"
#include "renames/ui/extract_panels.h"
#include "renames/ui/list_font_panels.h"
#include "renames/ui/replace_panels.h"
#include "runs/ui/batch_task_area.h"

namespace varnel {

void RegisterRenameTasks(BatchTaskArea& area) {
    // Renaming.
    area.RegisterTask<CommonRenameParams>(
        kTaskCommonRename, [&area](QWidget* parent) { return new CommonRenamePanel(&area.MetaSymbols(), parent); },
        RunCommonRenameTask);
    area.RegisterTask<ReplaceParams>(
        kTaskReplace, [&area](QWidget* parent) { return new ReplacePanel(&area.MetaSymbols(), parent); },
        RunReplaceTask);
    area.RegisterTask<RegexReplaceParams>(
        kTaskRegexRename, [&area](QWidget* parent) { return new RegexRenamePanel(&area.MetaSymbols(), parent, &area.RegexTester()); },
        RunRegexReplaceTask);
    area.RegisterTask<DeleteParams>(
        kTaskDelete, [&area](QWidget* parent) { return new DeletePanel(&area.MetaSymbols(), parent); },
        RunDeleteTextTask);
    area.RegisterTask<ConvertOptions>(
        kTaskConvert, [](QWidget* parent) { return new ConvertPanel(parent); }, RunConvertTask);
    area.RegisterTask<ClearCharsParams>(
        kTaskClearChars,
        [&area](QWidget* parent) {
            auto* panel = new ClearCharsPanel(parent);
            QObject::connect(panel, &ClearCharsPanel::statusMessage, &area, &BatchTaskArea::statusMessage);
            return panel;
        },
        RunClearCharactersTask);
    area.RegisterTask<PinyinParams>(
        kTaskPinyinCase, [&area](QWidget* parent) { return new PinyinCasePanel(&area.MetaSymbols(), parent); },
        RunPinyinTask);
    area.RegisterTask<InsertParams>(
        kTaskInsert, [&area](QWidget* parent) { return new InsertPanel(&area.MetaSymbols(), parent); },
        RunInsertTextTask);
    area.RegisterTask<ElementExtractParams>(
        kTaskExtractElement,
        [&area](QWidget* parent) { return new ExtractElementPanel(&area.MetaSymbols(), parent); },
        RunExtractElementTask);
    area.RegisterTask<PositionExtractParams>(
        kTaskExtractPosition,
        [&area](QWidget* parent) { return new ExtractPositionPanel(&area.MetaSymbols(), parent); },
        RunExtractPositionTask);
    area.RegisterTask<LineExtractParams>(
        kTaskExtractLine, [&area](QWidget* parent) { return new ExtractLinePanel(&area.MetaSymbols(), parent); },
        RunExtractLineTask);
    area.RegisterTask<RegexExtractParams>(
        kTaskRegexExtract, [&area](QWidget* parent) { return new RegexExtractPanel(&area.MetaSymbols(), parent); },
        RunRegexExtractTask);
    area.RegisterTask<NameListParams>(
        kTaskNameList, [&area](QWidget* parent) { return new NameListPanel(&area.MetaSymbols(), parent); },
        RunNameListTask);
    area.RegisterTask<FontNameParams>(
        kTaskFontName, [&area](QWidget* parent) { return new FontNamePanel(&area.MetaSymbols(), parent); },
        RunFontNameTask);
}

}  // namespace varnel
