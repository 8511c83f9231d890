// The content replace task (批量内容替换): in every listed file, replace a text by
// another (a given number of occurrences, letter case optionally ignored) or the
// matches of a regular expression. The replacement may hold meta-variables,
// expanded per file. Runs on the run's own thread.
#pragma once

#include <expected>
#include <string>
#include <string_view>

#include "platform/posix_api.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"
#include "utilities/error.h"
#include "utilities/regex_object.h"

namespace varnel {

struct ContentReplaceParams {
    std::string findText;
    std::string replaceText;  // may hold meta-variables
    int count = -1;           // occurrences to replace; -1: all
    bool ignoreCase = false;
    bool multiline = false;
    bool globalMatch = false;
    bool useRegex = false;
};

// The count box's text as a count: the number with its fraction cut off; below 1,
// or not a number: -1 (all).
int ReplaceCountFromText(std::string_view text);

// `text` with the first `count` occurrences of `find` (all for -1) replaced,
// searched from the start; ignoreCase folds the ASCII letters only. An empty
// `find` replaces nothing.
std::string ReplaceSubText(std::string_view text, std::string_view find, std::string_view replacement, int count,
                           bool ignoreCase);

// The expression of the content tasks, compiled once per pattern and flags and
// shared with the other tasks that replace by expression.
std::expected<RegexObject, Error> GetCachedContentRegex(std::string_view pattern, bool ignoreCase, bool multiline,
                                                         bool global);
// How many times the shared expression was compiled.
int ContentRegexCompileCount();

// One file's text with the replacement made; the replacement already expanded.
std::expected<std::string, Error> ReplaceTextInFile(std::string_view text, const ContentReplaceParams& params,
                                                    std::string_view replacement);

// The runner.
void RunContentReplaceTask(RunContext& run, RunRows& rows, const ContentReplaceParams& params,
                           PosixApi& os = SystemPosix());

}  // namespace varnel
