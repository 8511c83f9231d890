#include "renames/extract_runners.h"

#include <optional>
#include <string>

#include "renames/rename_task.h"
#include "utilities/path_routines.h"

namespace varnel {

namespace {

// The row loop with the run's name part: make(full path, params) gives the new name,
// the result template expanded for the row.
template <typename Params, typename Make>
void RunOnFullPaths(RunContext& run, RunRows& rows, const Params& given, Make&& make) {
    Params params = given;
    params.scope = NamePartOf(run.Settings().nameScope);
    // An unused template is not expanded: its expansion could only fail the row.
    if (!params.useTemplate) params.pattern.clear();
    RunRenameTaskWithTexts(
        run, rows, params,
        [&](std::size_t row, const std::string& name, const Params& p) { return make(rows.Folder(row) + name, p); },
        SystemPosix(), &Params::pattern);
}

}  // namespace

CachedRegex& ExtractRegexCache() {
    static CachedRegex cache;
    return cache;
}

void RunExtractElementTask(RunContext& run, RunRows& rows, const ElementExtractParams& params) {
    RunOnFullPaths(run, rows, params, [](const std::string& path, const ElementExtractParams& p) {
        return MakeElementName(path, p);
    });
}

void RunExtractPositionTask(RunContext& run, RunRows& rows, const PositionExtractParams& params) {
    RunOnFullPaths(run, rows, params, [](const std::string& path, const PositionExtractParams& p) {
        return MakePositionName(path, p);
    });
}

void RunExtractLineTask(RunContext& run, RunRows& rows, const LineExtractParams& params) {
    RunOnFullPaths(run, rows, params,
                   [](const std::string& path, const LineExtractParams& p) { return MakeLineName(path, p); });
}

void RunRegexExtractTask(RunContext& run, RunRows& rows, const RegexExtractParams& params) {
    std::optional<RegexObject> regex;
    if (!params.expression.empty()) {
        if (auto compiled = ExtractRegexCache().Get(params.expression, RegexExtractFlags(params))) {
            regex = std::move(*compiled);
        }
    }
    RunOnFullPaths(run, rows, params,
                   [&](const std::string& path, const RegexExtractParams& p) -> std::expected<std::string, Error> {
                       if (!regex) return GetFileNameOfPath(path);
                       return MakeRegexExtractName(path, p, *regex);
                   });
}

}  // namespace varnel
