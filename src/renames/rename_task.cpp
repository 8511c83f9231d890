#include "renames/rename_task.h"

#include "naming/common_name.h"

namespace varnel {

NamePart NamePartOf(NameScope scope) {
    switch (scope) {
        case NameScope::Whole: return NamePart::WholeName;
        case NameScope::Main: return NamePart::MainName;
        case NameScope::Extension: return NamePart::Extension;
    }
    return NamePart::WholeName;
}

void RunCommonRenameTask(RunContext& run, RunRows& rows, const CommonRenameParams& given) {
    // A text the settings leave unused is not expanded: its expansion could only fail the row.
    CommonRenameParams params = given;
    if (!params.changeMainName || params.type == CommonMainNameType::NumberOldMain) params.newMainName.clear();
    if (!params.changeExtension) params.newExtension.clear();
    if (!params.attach) params.attachedText.clear();
    CommonNumbering numbering(params);
    // The folder is read only when the numbering needs it.
    const bool byFolder = params.changeMainName && params.perFolder;
    RunRenameTaskWithTexts(
        run, rows, params,
        [&](std::size_t row, const std::string& name, const CommonRenameParams& p) {
            return MakeCommonName(name, byFolder ? rows.Folder(row) : std::string(), p, numbering);
        },
        SystemPosix(), &CommonRenameParams::newMainName, &CommonRenameParams::newExtension,
        &CommonRenameParams::attachedText);
}

}  // namespace varnel
