#include "runs/list_font_runners.h"

#include <algorithm>
#include <string>
#include <vector>

#include "runs/rename_step.h"
#include "runs/rename_task.h"

namespace varnel {

void RunNameListTask(RunContext& run, RunRows& rows, const NameListParams& given) {
    NameListParams params = given;
    params.scope = NamePartOf(run.Settings().nameScope);
    const std::vector<std::string> lines = SplitNameList(params.names);
    const std::size_t count = std::min(rows.Count(), lines.size());
    RenameStep step(run, rows);
    for (std::size_t row = 0; row < count; ++row) {
        run.SetCurrentRow(static_cast<std::int64_t>(row) + 1);
        const std::string name = rows.Name(row);
        if (!name.empty()) {
            std::string newName = MakeListName(name, lines[row], params);
            step.ApplyNewNameToRow(row, name, newName);
        }
        if (run.ShouldStopRun()) break;
    }
}

void RunFontNameTask(RunContext& run, RunRows& rows, const FontNameParams& given) {
    FontNameParams params = given;
    params.scope = NamePartOf(run.Settings().nameScope);
    RunRenameTask(run, rows, [&](std::size_t row, const std::string& name) {
        return MakeFontName(rows.Folder(row) + name, params);
    });
}

}  // namespace varnel
