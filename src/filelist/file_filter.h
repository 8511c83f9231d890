// The name filter of loads, the list search and the selection by filters: plain
// text, wildcard or regular-expression engines with ignore-case, whole-match and
// invert options. A FileFilter keeps its compiled pattern between calls; give each
// load its own (a compiled filter belongs to one thread at a time).
#pragma once

#include <expected>
#include <optional>
#include <string>
#include <string_view>

#include "utilities/error.h"
#include "utilities/regex_object.h"

namespace varnel {

enum class FilterEngine : int { Plain = 0, Wildcard = 1, Regex = 2 };

// True for the plain text engine, which any engine number other than the
// wildcard's and the regular expression's picks.
bool IsPlainEngine(int engine);

struct NameFilter {
    bool enabled = false;
    int engine = 1;  // FilterEngine: 0 常规, 1 通配符, 2 正则
    std::string pattern;
    bool ignoreCase = false;
    bool wholeMatch = false;
    bool invert = false;
};

// "." becomes "\.", "*" becomes ".*", "?" becomes ".?" (zero or one character);
// nothing else is escaped, so "|" still separates alternatives ("*.rar|*.txt"). Runs
// of "*" and "?" come out collapsed where that keeps the meaning, so that matching
// stays fast however many there are.
std::string ConvertWildcardToRegex(std::string_view text);

// The compiled wildcard or regular expression, kept until the engine, the pattern
// or the case flag changes.
class FilterPatternCache {
public:
    std::expected<void, Error> CompilePattern(std::string_view pattern, bool ignoreCase,
                                              bool wholeMatch, bool wildcard);
    // False without a pattern or when it failed to compile. With whole match the
    // first match must be the whole text. An error when the engine could not finish
    // the match (its limits): the answer is then unknown, not "no".
    [[nodiscard]] std::expected<bool, Error> MatchCompiled(std::string_view text, std::optional<bool> wholeMatch = std::nullopt);
    bool GetIgnoreCase() const { return m_ignoreCase; }
    const std::string& GetPatternText() const { return m_pattern; }

private:
    RegexObject m_regex;
    std::string m_pattern;
    bool m_ignoreCase = false;
    bool m_wholeMatch = false;
    bool m_wildcard = false;
    bool m_tried = false;
    std::optional<Error> m_error;
};

class FileFilter {
public:
    // True when the text passes: a disabled filter passes everything (invert is
    // then not applied); otherwise the engine's answer, inverted by invert. An error
    // when the engine could not decide; the caller reports it to the user. Test the
    // value, not the result itself: a result converts to true whenever it holds one.
    [[nodiscard]] std::expected<bool, Error> MatchText(std::string_view text, const NameFilter& filter);

    // The error of an enabled filter whose pattern does not compile, to show before
    // a load instead of silently matching nothing.
    static std::expected<void, Error> Validate(const NameFilter& filter);

private:
    FilterPatternCache m_cache;
};

// Text with every character case-folded (invalid bytes kept), for comparisons that
// ignore case in any script.
std::string FoldCase(std::string_view text);

}  // namespace varnel
