#include "filelist/file_filter.h"

#include <unicode/uchar.h>

#include "utilities/char_forms.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (std::size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + to.size())) {
        text.replace(pos, from.size(), to);
    }
}

bool PlainMatch(std::string_view text, std::string_view pattern, bool ignoreCase, bool wholeMatch) {
    if (!ignoreCase) return wholeMatch ? text == pattern : text.find(pattern) != std::string_view::npos;
    const std::string foldedText = FoldCase(text);
    const std::string foldedPattern = FoldCase(pattern);
    return wholeMatch ? foldedText == foldedPattern : foldedText.find(foldedPattern) != std::string::npos;
}

}  // namespace

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
    std::string pattern(text);
    ReplaceAll(pattern, ".", "\\.");
    ReplaceAll(pattern, "*", ".*");
    ReplaceAll(pattern, "?", ".?");
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

bool FilterPatternCache::MatchCompiled(std::string_view text, std::optional<bool> wholeMatch) {
    if (m_pattern.empty() || m_error || !m_regex.IsCompiled()) return false;
    const auto found = m_regex.FirstMatch(text);
    if (!found || !*found) return false;
    if (wholeMatch.value_or(m_wholeMatch)) return (*found)->first == 0 && (*found)->second == text.size();
    return true;
}

bool FileFilter::MatchText(std::string_view text, const NameFilter& filter) {
    if (!filter.enabled) return true;
    bool result = false;
    if (filter.engine != static_cast<int>(FilterEngine::Wildcard) &&
        filter.engine != static_cast<int>(FilterEngine::Regex)) {
        result = PlainMatch(text, filter.pattern, filter.ignoreCase, filter.wholeMatch);
    } else {
        const bool wildcard = filter.engine == static_cast<int>(FilterEngine::Wildcard);
        result = m_cache.CompilePattern(filter.pattern, filter.ignoreCase, filter.wholeMatch, wildcard) &&
                 m_cache.MatchCompiled(text, filter.wholeMatch);
    }
    return result != filter.invert;
}

std::expected<void, Error> FileFilter::Validate(const NameFilter& filter) {
    if (!filter.enabled || filter.pattern.empty()) return {};
    if (filter.engine != static_cast<int>(FilterEngine::Wildcard) &&
        filter.engine != static_cast<int>(FilterEngine::Regex)) {
        return {};
    }
    FilterPatternCache probe;
    return probe.CompilePattern(filter.pattern, filter.ignoreCase, filter.wholeMatch,
                                filter.engine == static_cast<int>(FilterEngine::Wildcard));
}

}  // namespace varnel
