#include "tools/regex_search.h"

#include <cerrno>

namespace varnel {

RegexSearch SearchWithRegex(std::string_view pattern, std::string_view text, RegexFlags flags,
                            std::function<bool()> keepGoing) {
    RegexSearch search;
    flags.stoppable = static_cast<bool>(keepGoing);
    if (auto compiled = search.regex.Compile(pattern, flags); !compiled) {
        search.error = compiled.error();
        return search;
    }
    search.regex.SetKeepGoing(std::move(keepGoing));
    auto found = search.regex.FindMatches(text);
    search.regex.SetKeepGoing({});  // what it asks may not outlive the search
    if (!found) {
        search.error = found.error();
        return search;
    }
    search.matchCount = *found;
    search.groupCount = search.regex.GetSubmatchCount();
    return search;
}

SearchSummary SummarizeSearch(const RegexSearch& search) {
    if (search.error) return {"搜索结果 - " + search.error->message, true};
    if (search.matchCount == 0) return {"搜索结果 - 完全没有匹配项目", true};
    return {"搜索结果 - 匹配数量:" + std::to_string(search.matchCount) + ",子匹配数量:" +
                std::to_string(search.groupCount),
            false};
}

std::vector<std::string> MatchRowCells(const RegexSearch& search, int match) {
    std::vector<std::string> cells;
    cells.reserve(static_cast<std::size_t>(search.groupCount) + 2);
    cells.push_back("(" + std::to_string(match) + ")");
    cells.push_back(search.regex.GetMatchText(match));
    for (int group = 1; group <= search.groupCount; ++group) {
        cells.push_back(search.regex.GetSubmatchText(match, group));
    }
    return cells;
}

std::string MatchRowsText(const RegexSearch& search, const std::vector<int>& matches) {
    std::string out;
    for (const int match : matches) {
        if (match < 1 || match > search.matchCount) continue;
        if (!out.empty()) out += '\n';
        bool first = true;
        for (const std::string& cell : MatchRowCells(search, match)) {
            if (!first) out += ';';
            out += cell;
            first = false;
        }
    }
    return out;
}

bool WasCutShort(const std::optional<Error>& error) { return error && error->code == ECANCELED; }

std::string RegexBudgetExceededText(int budgetMs) {
    const std::string limit = budgetMs % 1000 == 0 ? std::to_string(budgetMs / 1000) + " 秒"
                                                   : std::to_string(budgetMs) + " 毫秒";
    return "匹配超过 " + limit + "仍未完成，已停止：表达式回溯过多，请简化表达式或缩短文本";
}

std::expected<std::string, Error> ReplaceWithRegex(std::string_view pattern, std::string_view replacement,
                                                   std::string_view text, RegexFlags flags,
                                                   std::function<bool()> keepGoing) {
    RegexObject regex;
    flags.stoppable = static_cast<bool>(keepGoing);
    if (auto compiled = regex.Compile(pattern, flags); !compiled) return std::unexpected(compiled.error());
    regex.SetKeepGoing(std::move(keepGoing));
    return regex.ReplaceMatches(text, replacement);
}

}  // namespace varnel
