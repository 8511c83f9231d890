// The runners of the replace, regular-expression replace, delete and insert rename
// tasks, and the whole-path step of the first two: their new path moves (or
// copies) the row's file there instead of renaming it in its folder. Runners run
// on the run's own thread.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "naming/delete_insert_name.h"
#include "naming/replace_name.h"
#include "platform/posix_api.h"
#include "runs/recorded_transfer.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"
#include "utilities/regex_object.h"

namespace varnel {

// Why a new path of the whole-path mode is refused (and those of recorded_transfer.h).
inline constexpr const char* kNotAWholePath = "新路径须是以名称结尾的完整路径";

// The replace task's expression, kept between runs and compiled again only when
// the expression or a flag changes.
CachedRegex& RenameRegexCache();

// The whole-path mode's step: a preview shows the new path; an execute run moves
// (or, with copy, copies) the row's file or folder there, creating missing folders,
// and records it for undo. A path the replacement left as it was is left alone. An
// existing target, a folder moved into itself, or a result that is not an absolute
// path ending in a usable name fails the row and nothing moves.
class PathChangeStep {
public:
    // copy is kept in the run's undo record: undo then deletes the copies.
    PathChangeStep(RunContext& run, RunRows& rows, bool copy, PosixApi& os = SystemPosix());
    bool ChangeRowPath(std::size_t row, const std::string& oldPath, const std::string& newPath);

    // The row fails with its reason, shown in its status; an execute run logs it.
    bool FailRow(std::size_t row, const std::string& oldPath, std::string reason);

private:

    RunContext& m_run;
    RunRows& m_rows;
    bool m_copy;
    PosixApi& m_os;
};

void RunReplaceTask(RunContext& run, RunRows& rows, const ReplaceParams& params);
void RunRegexReplaceTask(RunContext& run, RunRows& rows, const RegexReplaceParams& params);
void RunDeleteTextTask(RunContext& run, RunRows& rows, const DeleteParams& params);
void RunInsertTextTask(RunContext& run, RunRows& rows, const InsertParams& params);

}  // namespace varnel
