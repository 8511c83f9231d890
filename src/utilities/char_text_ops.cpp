#include "utilities/char_text_ops.h"

#include <algorithm>

#include "utilities/char_forms.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

// The units of one character: 1 in characters, its width in widths.
std::int64_t Units(const Utf8Step& step, bool byWidth) {
    if (!byWidth) return 1;
    return step.valid ? static_cast<std::int64_t>(GbkWidth(step.codePoint)) : 1;
}

std::int64_t Length(std::string_view text, bool byWidth) {
    if (byWidth) return static_cast<std::int64_t>(GbkWidth(text));
    return static_cast<std::int64_t>(CodePointCount(text));
}

// The byte offset of the cut `units` units into the text; a cut inside a character
// moves to its start. Past the end: the text's size.
std::size_t CutOffset(std::string_view text, std::int64_t units, bool byWidth) {
    std::size_t pos = 0;
    std::int64_t done = 0;
    while (pos < text.size()) {
        const Utf8Step step = DecodeUtf8At(text, pos);
        const std::int64_t next = done + Units(step, byWidth);
        if (next > units) break;
        done = next;
        pos += step.length;
    }
    return pos;
}

std::string Left(std::string_view text, std::int64_t n, bool byWidth) {
    if (n < 1) return {};
    return std::string(text.substr(0, CutOffset(text, n, byWidth)));
}

std::string Right(std::string_view text, std::int64_t n, bool byWidth) {
    if (n < 1) return {};
    const std::int64_t length = Length(text, byWidth);
    if (n >= length) return std::string(text);
    return std::string(text.substr(CutOffset(text, length - n, byWidth)));
}

std::string Middle(std::string_view text, std::int64_t start, std::int64_t n, bool byWidth) {
    if (n < 1) return {};
    const std::int64_t from = std::max<std::int64_t>(start, 1) - 1;
    const std::size_t begin = CutOffset(text, from, byWidth);
    const std::size_t end = CutOffset(text, from > INT64_MAX - n ? INT64_MAX : from + n, byWidth);
    return std::string(text.substr(begin, end - begin));
}

bool MatchesAt(std::string_view text, std::size_t pos, std::string_view sought, bool ignoreCase) {
    if (text.size() - pos < sought.size()) return false;
    const std::string_view here = text.substr(pos, sought.size());
    return ignoreCase ? EqualsIgnoringAsciiCase(here, sought) : here == sought;
}

// The character positions of the occurrences, only at character starts; the first
// one ends the search unless `last`.
std::optional<std::int64_t> FindAtCharacters(std::string_view text, std::string_view sought, bool ignoreCase,
                                             bool last) {
    if (sought.empty()) return std::nullopt;
    std::optional<std::int64_t> found;
    std::int64_t index = 1;
    for (std::size_t pos = 0; pos < text.size(); ++index) {
        if (MatchesAt(text, pos, sought, ignoreCase)) {
            found = index;
            if (!last) break;
        }
        pos += DecodeUtf8At(text, pos).length;
    }
    return found;
}

}  // namespace

std::int64_t CharCount(std::string_view text) { return Length(text, false); }
std::string LeftChars(std::string_view text, std::int64_t n) { return Left(text, n, false); }
std::string RightChars(std::string_view text, std::int64_t n) { return Right(text, n, false); }
std::string MidChars(std::string_view text, std::int64_t start, std::int64_t n) {
    return Middle(text, start, n, false);
}

std::optional<std::int64_t> FindCharPosition(std::string_view text, std::string_view sought, bool ignoreCase) {
    return FindAtCharacters(text, sought, ignoreCase, false);
}

std::optional<std::int64_t> FindLastCharPosition(std::string_view text, std::string_view sought, bool ignoreCase) {
    return FindAtCharacters(text, sought, ignoreCase, true);
}

std::int64_t CharTextOps::CountLength(std::string_view text, bool byBytes) const { return Length(text, byBytes); }

std::string CharTextOps::TakeLeft(std::string_view text, std::int64_t n, bool byBytes) const {
    return Left(text, n, byBytes);
}

std::string CharTextOps::TakeRight(std::string_view text, std::int64_t n, bool byBytes) const {
    return Right(text, n, byBytes);
}

std::string CharTextOps::TakeMiddle(std::string_view text, std::int64_t start, std::int64_t n, bool byBytes) const {
    return Middle(text, start, n, byBytes);
}

}  // namespace varnel
