#include "renames/char_rename_runners.h"

#include "naming/convert_name.h"
#include "renames/rename_task.h"

namespace varnel {

namespace {

ConvertScope ConvertScopeOf(NameScope scope) {
    switch (scope) {
        case NameScope::Whole: return ConvertScope::WholeName;
        case NameScope::Main: return ConvertScope::MainName;
        case NameScope::Extension: return ConvertScope::Extension;
    }
    return ConvertScope::WholeName;
}

}  // namespace

void RunConvertTask(RunContext& run, RunRows& rows, const ConvertOptions& given) {
    ConvertOptions options = given;
    options.scope = ConvertScopeOf(run.Settings().nameScope);
    RunRenameTask(run, rows, [&](std::size_t, const std::string& name) { return MakeConvertedName(name, options); });
}

void RunClearCharactersTask(RunContext& run, RunRows& rows, const ClearCharsParams& given) {
    ClearCharsParams params = given;
    params.scope = NamePartOf(run.Settings().nameScope);
    const CharClearer clearer(params);
    RunRenameTask(run, rows, [&](std::size_t, const std::string& name) { return clearer.MakeName(name); });
}

void RunPinyinTask(RunContext& run, RunRows& rows, const PinyinParams& given) {
    PinyinParams params = given;
    params.scope = NamePartOf(run.Settings().nameScope);
    if (!params.useTemplate) params.pattern.clear();  // unused: not expanded
    RunRenameTaskWithTexts(
        run, rows, params,
        [](std::size_t, const std::string& name, const PinyinParams& p) { return MakePinyinName(name, p); },
        SystemPosix(), &PinyinParams::separator, &PinyinParams::pattern);
}

}  // namespace varnel
