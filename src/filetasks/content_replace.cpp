#include "filetasks/content_replace.h"

#include <limits>

#include "filetasks/content_rewrite.h"
#include "naming/name_parts.h"

namespace varnel {

namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::size_t FindFrom(std::string_view text, std::string_view find, std::size_t from, bool ignoreCase) {
    if (!ignoreCase) return text.find(find, from);
    for (std::size_t at = from; at + find.size() <= text.size(); ++at) {
        std::size_t i = 0;
        while (i < find.size() && FoldAscii(text[at + i]) == FoldAscii(find[i])) ++i;
        if (i == find.size()) return at;
    }
    return std::string_view::npos;
}

CachedRegex& ContentRegex() {
    static CachedRegex regex;
    return regex;
}

}  // namespace

int ReplaceCountFromText(std::string_view text) {
    const auto count = BoxInteger(text, 0, std::numeric_limits<int>::max());
    return count < 1 ? -1 : static_cast<int>(count);
}

namespace {

// Hands `put` the pieces of the replaced text in order: the text between the
// occurrences, with the replacement in place of each.
template <typename Put>
std::expected<void, Error> PutReplacedSubText(std::string_view text, std::string_view find, std::string_view replacement,
                                              int count, bool ignoreCase, Put&& put) {
    std::size_t from = 0;
    for (int done = 0; !find.empty() && (count < 0 || done < count); ++done) {
        const std::size_t at = FindFrom(text, find, from, ignoreCase);
        if (at == std::string_view::npos) break;
        if (auto kept = put(text.substr(from, at - from)); !kept) return kept;
        if (auto replaced = put(replacement); !replaced) return replaced;
        from = at + find.size();
    }
    return put(text.substr(from));
}

}  // namespace

std::string ReplaceSubText(std::string_view text, std::string_view find, std::string_view replacement, int count,
                           bool ignoreCase) {
    std::string out;
    out.reserve(text.size());
    (void)PutReplacedSubText(text, find, replacement, count, ignoreCase, [&out](std::string_view piece) {
        out.append(piece);
        return std::expected<void, Error>{};
    });
    return out;
}

std::expected<RegexObject, Error> GetCachedContentRegex(std::string_view pattern, bool ignoreCase, bool multiline,
                                                         bool global) {
    return ContentRegex().Get(pattern, RegexFlags{ignoreCase, multiline, global});
}

int ContentRegexCompileCount() { return ContentRegex().CompileCount(); }

std::expected<std::string, Error> ReplaceTextInFile(std::string_view text, const ContentReplaceParams& params,
                                                    std::string_view replacement) {
    if (!params.useRegex) return ReplaceSubText(text, params.findText, replacement, params.count, params.ignoreCase);
    auto regex = GetCachedContentRegex(params.findText, params.ignoreCase, params.multiline, params.globalMatch);
    if (!regex) return std::unexpected(regex.error());
    return regex->ReplaceMatches(text, replacement);
}

void RunContentReplaceTask(RunContext& run, RunRows& rows, const ContentReplaceParams& params, PosixApi& os) {
    RunContentRows(
        run, rows,
        [&params](const ContentRow& row, std::string_view bytes, ContentSink& sink) -> std::expected<bool, Error> {
            auto replacement = row.expand(params.replaceText);
            if (!replacement) return std::unexpected(replacement.error());
            return EditFileText(bytes, sink, [&](std::string_view text, TextEncoding, TextWriter& out) -> std::expected<bool, Error> {
                if (!params.useRegex) {
                    // Streamed: the text between the occurrences goes out as it lies.
                    auto put = PutReplacedSubText(text, params.findText, *replacement, params.count, params.ignoreCase,
                                                  [&out](std::string_view piece) { return out.Append(piece); });
                    if (!put) return std::unexpected(put.error());
                    return true;
                }
                // Streamed too: the text between the matches goes out as it lies.
                auto regex = GetCachedContentRegex(params.findText, params.ignoreCase, params.multiline,
                                                   params.globalMatch);
                if (!regex) return std::unexpected(regex.error());
                auto put = regex->ReplaceMatchesInto(text, *replacement,
                                                     [&out](std::string_view piece) { return out.Append(piece); });
                if (!put) return std::unexpected(put.error());
                return true;
            });
        },
        os);
}

}  // namespace varnel
