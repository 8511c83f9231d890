#include "naming/content_extract_name.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "platform/marked_text_editor.h"
#include "platform/text_file_stream.h"
#include "utilities/char_text_ops.h"
#include "utilities/codec.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

bool IsControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

// Spaces, tabs, a CR before the line's LF, and the full-width space.
bool IsBlank(char32_t c) { return c == ' ' || c == '\t' || c == '\r' || c == 0x3000; }

// Appends the character unless it is a control character; false when it would take
// the text past kMaxExtractedBytes (it is then left out).
bool AppendClean(std::string& out, std::string_view character, char32_t codePoint) {
    if (IsControl(codePoint)) return true;
    if (out.size() + character.size() > kMaxExtractedBytes) return false;
    out.append(character);
    return true;
}

// The whole text of a small file; nothing for a file that cannot be read or is
// larger than kMaxExtractFileBytes.
std::optional<std::string> ReadSmallTextFile(std::string_view path, PosixApi& os) {
    auto bytes = ReadFileIfAtMost(std::string(path), kMaxExtractFileBytes, os);
    if (!bytes || !*bytes) return std::nullopt;
    return DecodeTextFile(**bytes);
}

std::int64_t SaturatedAdd(std::int64_t a, std::int64_t b) {
    return a > std::numeric_limits<std::int64_t>::max() - b ? std::numeric_limits<std::int64_t>::max() : a + b;
}

std::string TrimBlankEnd(std::string text) {
    while (!text.empty()) {
        std::size_t start = text.size() - 1;
        while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
        if (!IsBlank(DecodeUtf8At(text, start).codePoint)) break;
        text.resize(start);
    }
    return text;
}

// Collects line `target` of a text that comes in pieces: its leading blanks skipped,
// at most kMaxExtractedBytes of it kept, its trailing blanks dropped.
class LineFinder {
public:
    LineFinder(std::int64_t target, bool emptyToNext) : m_target(target), m_emptyToNext(emptyToNext) {}

    // False once the line is found.
    bool Take(std::string_view piece) {
        std::size_t pos = 0;
        while (pos < piece.size()) {
            if (m_line < m_target) {
                const std::size_t end = piece.find('\n', pos);
                if (end == std::string_view::npos) return true;
                ++m_line;
                pos = end + 1;
                continue;
            }
            m_started = true;
            const Utf8Step step = DecodeUtf8At(piece, pos);
            if (piece[pos] == '\n') {
                if (EndLine()) return false;
                ++pos;
                continue;
            }
            if (!m_text.empty() || !IsBlank(step.codePoint)) {
                if (!m_full && !AppendClean(m_text, piece.substr(pos, step.length), step.codePoint)) m_full = true;
            }
            pos += step.length;
        }
        return true;
    }

    // At the end of the text: a last line without a line break counts too.
    std::string Finish() {
        if (!m_found && m_line == m_target && m_started) EndLine();
        return m_found ? m_text : std::string();
    }

private:
    // True when the line just ended is the one wanted.
    bool EndLine() {
        m_text = TrimBlankEnd(std::move(m_text));
        ++m_line;
        m_started = false;
        if (m_text.empty() && m_emptyToNext) {
            ++m_target;
            m_full = false;
            return false;
        }
        m_found = true;
        return true;
    }

    std::int64_t m_target;
    bool m_emptyToNext;
    std::int64_t m_line = 1;
    bool m_started = false;  // a character of the target line has been seen
    bool m_full = false;
    bool m_found = false;
    std::string m_text;
};

}  // namespace

std::string CleanExtractedText(std::string_view text) {
    std::string out;
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Step step = DecodeUtf8At(text, pos);
        if (!step.valid) {
            ++pos;  // never put a stray byte into a name
            continue;
        }
        if (!AppendClean(out, text.substr(pos, step.length), step.codePoint)) break;
        pos += step.length;
    }
    return out;
}

std::string MakeElementName(std::string_view path, const ElementExtractParams& params, PosixApi& os) {
    std::string found;
    if (!params.element1.empty() && !params.element2.empty()) {
        if (std::optional<std::string> content = ReadSmallTextFile(path, os)) {
            const TextMarkers markers{params.element1, params.element2, !params.caseSensitive};
            found = CleanExtractedText(MarkedTextEditor().GetMarkedText(*content, markers));
        }
    }
    return PutTextInNamePart(path, params.scope, found, params.useTemplate, params.pattern);
}

std::string MakePositionName(std::string_view path, const PositionExtractParams& params, PosixApi& os) {
    const std::int64_t count = params.endIsCount ? params.end : params.end - params.start + 1;
    std::string found;
    if (count >= 1) {
        // The units before the stretch and the unit where it ends; a width position
        // inside a character moves to that character's start.
        const std::int64_t from = std::max<std::int64_t>(params.start, 1) - 1;
        const std::int64_t to = SaturatedAdd(from, count);
        std::int64_t done = 0;
        (void)ReadTextFileWhile(
            std::string(path),
            [&](std::string_view piece) {
                for (std::size_t pos = 0; pos < piece.size();) {
                    const Utf8Step step = DecodeUtf8At(piece, pos);
                    const std::int64_t units = params.byBytes ? static_cast<std::int64_t>(GbkWidth(step.codePoint)) : 1;
                    if (done + units > to) return false;
                    if (done + units > from &&
                        !AppendClean(found, piece.substr(pos, step.length), step.codePoint)) {
                        return false;
                    }
                    done += units;
                    pos += step.length;
                }
                return true;
            },
            os);
    }
    return PutTextInNamePart(path, params.scope, found, params.useTemplate, params.pattern);
}

std::string MakeLineName(std::string_view path, const LineExtractParams& params, PosixApi& os) {
    LineFinder finder(std::max<std::int64_t>(params.line, 1), params.emptyToNext);
    const bool read =
        ReadTextFileWhile(std::string(path), [&](std::string_view piece) { return finder.Take(piece); }, os)
            .has_value();
    std::string found = read ? finder.Finish() : std::string();
    if (params.cut) {
        const CharTextOps ops;
        switch (params.direction) {
            case CutDirection::Left: found = ops.TakeLeft(found, params.cutCount, params.cutByBytes); break;
            case CutDirection::Middle:
                found = ops.TakeMiddle(found, params.cutStart, params.cutCount, params.cutByBytes);
                break;
            case CutDirection::Right: found = ops.TakeRight(found, params.cutCount, params.cutByBytes); break;
        }
    }
    return PutTextInNamePart(path, params.scope, found, params.useTemplate, params.pattern);
}

RegexFlags RegexExtractFlags(const RegexExtractParams& params) {
    return RegexFlags{params.ignoreCase, params.multiline, params.global};
}

std::expected<std::string, Error> MakeRegexExtractName(std::string_view path, const RegexExtractParams& params,
                                                       RegexObject& regex, PosixApi& os) {
    const std::string unchanged = PutTextInNamePart(path, params.scope, {}, false, {});
    const std::optional<std::string> content = ReadSmallTextFile(path, os);
    if (!content) return unchanged;
    auto matches = regex.FindMatches(*content);
    if (!matches) return std::unexpected(std::move(matches.error()));
    // Without global matching only the first match exists.
    const std::int64_t matchIndex = params.global ? std::max<std::int64_t>(params.matchIndex, 1) : 1;
    if (*matches < matchIndex) return unchanged;
    const int match = static_cast<int>(matchIndex);
    std::string found;
    if (params.takeSubmatch) {
        const std::int64_t group = std::max<std::int64_t>(params.submatchIndex, 1);
        if (regex.GetSubmatchCount() < group) return unchanged;
        found = regex.GetSubmatchText(match, static_cast<int>(group));
    } else {
        found = regex.GetMatchText(match);
    }
    return PutTextInNamePart(path, params.scope, CleanExtractedText(found), params.useTemplate, params.pattern);
}

}  // namespace varnel
