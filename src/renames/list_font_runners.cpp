#include "renames/list_font_runners.h"

#include <algorithm>
#include <string>
#include <vector>

#include "renames/rename_task.h"
#include "runs/rename_step.h"
#include "runs/user_text.h"

namespace varnel {

void RunNameListTask(RunContext& run, RunRows& rows, const NameListParams& given) {
    NameListParams params = given;
    params.scope = NamePartOf(run.Settings().nameScope);
    if (!params.useTemplate) params.pattern.clear();  // unused: not expanded
    const std::vector<std::string> lines = SplitNameList(params.names);
    const std::size_t count = std::min(rows.Count(), lines.size());
    RenameStep step(run, rows);
    const UserTextExpander user(run);
    NameListParams expanded;
    for (std::size_t row = 0; row < count; ++row) {
        run.SetCurrentRow(static_cast<std::int64_t>(row) + 1);
        const std::string name = rows.Name(row);
        if (!name.empty()) {
            // The listed name and the result template are typed: they are expanded, the old name is not.
            const auto pathOf = [&] { return rows.Folder(row) + name; };
            auto line = user.Expand(lines[row], user.Needed(lines[row]) ? pathOf() : std::string(), row);
            auto forRow = user.ForRow(params, expanded, pathOf, row, &NameListParams::pattern);
            if (!line || !forRow) {
                step.FailRow(row, pathOf(), FailureReason(!line ? line.error() : forRow.error()));
            } else {
                std::string newName = MakeListName(name, *line, **forRow);
                step.ApplyMadeNameToRow(row, name, newName);
            }
        }
        if (run.ShouldStopRun()) break;
    }
}

void RunFontNameTask(RunContext& run, RunRows& rows, const FontNameParams& given) {
    FontNameParams params = given;
    params.scope = NamePartOf(run.Settings().nameScope);
    if (!params.useTemplate) params.pattern.clear();  // unused: not expanded
    RunRenameTaskWithTexts(
        run, rows, params,
        [&](std::size_t row, const std::string& name, const FontNameParams& p) {
            return MakeFontName(rows.Folder(row) + name, p);
        },
        SystemPosix(), &FontNameParams::pattern);
}

}  // namespace varnel
