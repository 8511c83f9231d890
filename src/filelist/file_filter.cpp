#include "filelist/file_filter.h"

#include <algorithm>
#include <string>

#include <unicode/uchar.h>

#include "utilities/char_forms.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

bool PlainMatch(std::string_view text, std::string_view pattern, bool ignoreCase, bool wholeMatch) {
    if (!ignoreCase) return wholeMatch ? text == pattern : text.find(pattern) != std::string_view::npos;
    const std::string foldedText = FoldCase(text);
    const std::string foldedPattern = FoldCase(pattern);
    return wholeMatch ? foldedText == foldedPattern : foldedText.find(foldedPattern) != std::string::npos;
}

}  // namespace

bool IsPlainEngine(int engine) {
    return engine != static_cast<int>(FilterEngine::Wildcard) && engine != static_cast<int>(FilterEngine::Regex);
}

std::string FoldCase(std::string_view text) {
    std::string folded;
    folded.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Step step = DecodeUtf8At(text, pos);
        if (!step.valid) {
            folded += text[pos];
        } else if (step.codePoint < 0x80) {
            folded += LowerAsciiChar(text[pos]);
        } else {
            AppendUtf8(folded, static_cast<char32_t>(u_foldCase(static_cast<UChar32>(step.codePoint),
                                                                U_FOLD_CASE_DEFAULT)));
        }
        pos += step.length;
    }
    return folded;
}

std::string ConvertWildcardToRegex(std::string_view text) {
    // A run of "*" and "?" written out one by one (".*.*", ".?.?.?") makes the engine
    // try every way of sharing the name among them, which for a long run exceeds its
    // limits. Collapsed, it matches the same names with the same first match: a run
    // holding a "*" takes any text, as ".*"; k "?" take up to k characters, as
    // ".{0,k}". Runs are collapsed only where nothing around them can bind to their
    // characters; an escape, a class, a group, a brace or a possessive "+" may, so a
    // text using any of those is converted character by character.
    constexpr std::size_t kLongestBrace = 1000;
    const bool collapse = text.find_first_of("\\[](){}+") == std::string_view::npos;
    std::string pattern;
    pattern.reserve(text.size() * 2);
    for (std::size_t pos = 0; pos < text.size();) {
        const char c = text[pos];
        if (c != '*' && c != '?') {
            if (c == '.') pattern += '\\';
            pattern += c;
            ++pos;
            continue;
        }
        const std::size_t runEnd = std::min(text.find_first_not_of("*?", pos), text.size());
        const std::string_view run = text.substr(pos, runEnd - pos);
        pos = runEnd;
        if (!collapse) {
            for (char w : run) pattern += w == '*' ? ".*" : ".?";
        } else if (run.find('*') != std::string_view::npos) {
            pattern += ".*";
        } else if (run.size() == 1) {
            pattern += ".?";
        } else {
            for (std::size_t left = run.size(); left > 0;) {
                const std::size_t take = std::min(left, kLongestBrace);
                pattern += ".{0," + std::to_string(take) + "}";
                left -= take;
            }
        }
    }
    return pattern;
}

std::expected<void, Error> FilterPatternCache::CompilePattern(std::string_view pattern, bool ignoreCase,
                                                              bool wholeMatch, bool wildcard) {
    m_wholeMatch = wholeMatch;
    if (m_tried && pattern == m_pattern && ignoreCase == m_ignoreCase && wildcard == m_wildcard) {
        if (m_error) return std::unexpected(*m_error);
        return {};
    }
    m_tried = true;
    m_pattern = std::string(pattern);
    m_ignoreCase = ignoreCase;
    m_wildcard = wildcard;
    m_error.reset();
    const std::string compiled = wildcard ? ConvertWildcardToRegex(pattern) : std::string(pattern);
    // Only the first match is ever looked at, so neither multi-line nor global.
    auto result = m_regex.Compile(compiled, RegexFlags{ignoreCase, false, false});
    if (!result) m_error = result.error();
    return result;
}

std::expected<bool, Error> FilterPatternCache::MatchCompiled(std::string_view text,
                                                             std::optional<bool> wholeMatch) {
    if (m_pattern.empty() || m_error || !m_regex.IsCompiled()) return false;
    const auto found = m_regex.FirstMatch(text);
    if (!found) return std::unexpected(found.error());
    if (!*found) return false;
    if (wholeMatch.value_or(m_wholeMatch)) return (*found)->first == 0 && (*found)->second == text.size();
    return true;
}

std::expected<bool, Error> FileFilter::MatchText(std::string_view text, const NameFilter& filter) {
    if (!filter.enabled) return true;
    bool result = false;
    if (IsPlainEngine(filter.engine)) {
        result = PlainMatch(text, filter.pattern, filter.ignoreCase, filter.wholeMatch);
    } else {
        const bool wildcard = filter.engine == static_cast<int>(FilterEngine::Wildcard);
        // A pattern that does not compile matches nothing (Validate reports it before
        // a load); a match the engine could not finish is an error, never a "no".
        if (m_cache.CompilePattern(filter.pattern, filter.ignoreCase, filter.wholeMatch, wildcard)) {
            const auto matched = m_cache.MatchCompiled(text, filter.wholeMatch);
            if (!matched) return std::unexpected(matched.error());
            result = *matched;
        }
    }
    return result != filter.invert;
}

std::expected<void, Error> FileFilter::Validate(const NameFilter& filter) {
    if (!filter.enabled || filter.pattern.empty()) return {};
    if (IsPlainEngine(filter.engine)) return {};
    FilterPatternCache probe;
    return probe.CompilePattern(filter.pattern, filter.ignoreCase, filter.wholeMatch,
                                filter.engine == static_cast<int>(FilterEngine::Wildcard));
}

}  // namespace varnel
