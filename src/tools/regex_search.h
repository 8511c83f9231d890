// The regular-expression tester's work: a search that keeps every match with its
// groups for the result table, the summary above that table, the rows' texts for
// the clipboard, and a replacement. Each call compiles its own RegexObject with the
// tasks' engine options, so what the tester shows is what a run does, and it never
// touches the expressions of running tasks. A pattern that does not compile, or a
// match that runs into the engine's limits, is a failed search with the engine's
// reason, never a hang; a caller's keepGoing stops one between attempts. Pure; any
// thread.
#pragma once

#include <expected>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "utilities/error.h"
#include "utilities/regex_object.h"

namespace varnel {

struct RegexSearch {
    RegexObject regex;   // holds the matches; its getters give their texts on demand
    int matchCount = 0;
    int groupCount = 0;  // groups of the pattern; 0 when nothing matched
    std::optional<Error> error;
};

// keepGoing (may be empty) is asked between match attempts; false ends the search
// as failed with ECANCELED.
RegexSearch SearchWithRegex(std::string_view pattern, std::string_view text, RegexFlags flags,
                            std::function<bool()> keepGoing = {});
// The search or replacement was ended by its keepGoing, not by the engine.
bool WasCutShort(const std::optional<Error>& error);

// How long the tester lets one search or replacement run before it stops it and
// says so: an ordinary pattern answers in milliseconds; one that backtracks without
// end would otherwise keep a core busy for minutes.
inline constexpr int kRegexTesterBudgetMs = 5000;
// Why a tester search or replacement ended early: its budget ran out, or 停止.
std::string RegexBudgetExceededText(int budgetMs = kRegexTesterBudgetMs);
inline constexpr const char* kRegexStoppedText = "匹配已停止";

struct SearchSummary {
    std::string text;
    bool failed = false;  // nothing matched, or the search failed: shown in red
};
SearchSummary SummarizeSearch(const RegexSearch& search);

// The cells of result row `match` (1-based): "(" match ")", the match text, then
// the text of each group.
std::vector<std::string> MatchRowCells(const RegexSearch& search, int match);
// The rows (1-based, in the order given) as the clipboard takes them: each row's
// cells joined by ";", rows joined by line breaks.
std::string MatchRowsText(const RegexSearch& search, const std::vector<int>& matches);

std::expected<std::string, Error> ReplaceWithRegex(std::string_view pattern, std::string_view replacement,
                                                   std::string_view text, RegexFlags flags,
                                                   std::function<bool()> keepGoing = {});

}  // namespace varnel
