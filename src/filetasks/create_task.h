// The create task (批量创建): empty files or folders made, or existing paths copied,
// from lists the user types, by one of three methods: every item of one list in
// every folder of another (由此及彼), a list of absolute paths (绝对路径), or a path
// template expanded a given number of times, "*" standing for the running number
// (动态路径). It works on no listed row: the list afterwards shows what was made
// (execute) or would be made (preview). Files are made with O_CREAT|O_EXCL and
// folders with mkdir, so nothing is ever replaced: a path that exists already is
// listed but not recorded, and undo never deletes it. Runs on the run's own thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix_api.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"

namespace varnel {

enum class CreateMethod : int { ThisToThat = 0, AbsolutePaths = 1, DynamicPaths = 2 };

// How many paths a dynamic run makes unless the user agreed to more.
inline constexpr std::int64_t kDynamicLimitCap = 10000;

struct CreateTaskParams {
    CreateMethod method = CreateMethod::ThisToThat;
    bool createFile = true;  // false: folders
    std::vector<std::string> sourceItems;    // 此列表: existing paths to copy, or names
    std::vector<std::string> targetFolders;  // 彼列表
    std::vector<std::string> absolutePaths;
    std::string dynamicTemplate;
    std::int64_t dynamicLimit = 50;
    // The most paths a dynamic run may make; the panel raises it to the limit once
    // the user has agreed to more than kDynamicLimitCap.
    std::int64_t dynamicCap = kDynamicLimitCap;
};

inline constexpr const char* kDynamicLimitTooSmall = "动态上限至少为 1 ，最多无限（只要您机器能装得下）...";
// The question above the cap, and the notice when a run went above it unasked.
std::string DynamicLimitQuestion(std::int64_t limit);
std::string DynamicLimitRefusal(std::int64_t cap);
// The notice of lines that were not absolute paths.
std::string SkippedLinesNotice(std::size_t count);

// The lines of a list as the panel holds it: split at "\r\n" (or "\n").
std::vector<std::string> SplitCreateList(std::string_view text);

// A row the list shows afterwards.
struct CreatedListRow {
    std::string path;
    bool isFolder = false;
};

struct CreateOutcome {
    // False: the parameters refused the run, and the list stays as it is.
    bool ran = false;
    std::vector<CreatedListRow> rows;
    // Lines (and target folders) that were not absolute paths.
    std::size_t skippedLines = 0;
    // Execute runs: the paths made, and those that existed already and were left alone.
    std::size_t made = 0;
    std::size_t existed = 0;
};

// The run's summary for the status line: "新建 3 项", and how many existed already.
std::string CreateSummaryText(std::size_t made, std::size_t existed);

// The worker: makes (execute) or lists (preview) every path of the method. Paths
// that could not be made are logged as the run's failures.
CreateOutcome CreatePaths(RunContext& run, const CreateTaskParams& params, PosixApi& os = SystemPosix());

// The runner: the worker and its notices.
void RunCreateTask(RunContext& run, RunRows& rows, const CreateTaskParams& params, CreateOutcome* outcome = nullptr,
                   PosixApi& os = SystemPosix());

}  // namespace varnel
