#include "utilities/regex_pattern.h"

#include <algorithm>

#include "utilities/utf8_text.h"

namespace varnel {

namespace {

// One item of a character class: a character, or a set of them (\w, [:alpha:]).
struct ClassItem {
    std::size_t length = 1;
    bool isSet = false;
};

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The engine's escapes that stand for a set of characters.
bool IsSetEscape(char c) { return std::string_view("dDsSwWhHvVpP").find(c) != std::string_view::npos; }

// "\Q" at pos: literal text up to and with "\E", or to the end of the pattern.
std::size_t QuotedLength(std::string_view p, std::size_t pos) {
    const std::size_t end = p.find("\\E", pos + 2);
    return end == std::string_view::npos ? p.size() - pos : end + 2 - pos;
}

// The length of the escape at pos (p[pos] is the backslash), and whether it is a set.
ClassItem ReadEscape(std::string_view p, std::size_t pos) {
    if (pos + 1 >= p.size()) return {1, false};
    const char c = p[pos + 1];
    if (c == 'Q') return {QuotedLength(p, pos), false};
    if (c == 'c' && pos + 2 < p.size()) return {3, false};  // a control character: \cX
    if (!IsSetEscape(c)) return {2, false};
    if ((c == 'p' || c == 'P') && pos + 2 < p.size()) {
        if (p[pos + 2] != '{') return {3, true};  // a one-letter property: \pL
        const std::size_t close = p.find('}', pos + 3);
        return {close == std::string_view::npos ? p.size() - pos : close + 1 - pos, true};
    }
    return {2, true};
}

ClassItem ReadClassItem(std::string_view p, std::size_t pos) {
    if (p[pos] == '\\') return ReadEscape(p, pos);
    // A named class such as [:alpha:] or [:^digit:].
    if (p[pos] == '[' && pos + 1 < p.size() && p[pos + 1] == ':') {
        std::size_t end = pos + 2;
        if (end < p.size() && p[end] == '^') ++end;
        while (end < p.size() && IsLetter(p[end])) ++end;
        if (p.substr(end).starts_with(":]")) return {end + 2 - pos, true};
    }
    return {DecodeUtf8At(p, pos).length, false};
}

class Preparer {
public:
    explicit Preparer(std::string_view pattern) : p(pattern) { out.text.reserve(p.size() + 4); }

    PreparedPattern Run() && {
        while (pos < p.size()) {
            if (p[pos] == '\\') {
                Copy(ReadEscape(p, pos).length);
            } else if (p[pos] == '[') {
                Class();
            } else if (p.substr(pos).starts_with("(?#")) {
                const std::size_t close = p.find(')', pos);
                Copy(close == std::string_view::npos ? p.size() - pos : close + 1 - pos);
            } else {
                Copy(1);
            }
        }
        return std::move(out);
    }

private:
    void Copy(std::size_t length) {
        length = std::min(length, p.size() - pos);
        out.text.append(p.substr(pos, length));
        pos += length;
    }

    void InsertBackslash() {
        out.insertedAt.push_back(out.text.size());
        out.text += '\\';
    }

    bool RangeHyphenAt(std::size_t at) const {
        return at + 1 < p.size() && p[at] == '-' && p[at + 1] != ']';
    }

    // A class read as ECMAScript reads it: an item, then optionally "-" and a second
    // item that makes a range; a set on either side makes the hyphen a literal one.
    // The classes are compiled to allow an empty class, so the first "]" ends one.
    void Class() {
        Copy(1);
        if (pos < p.size() && p[pos] == '^') Copy(1);
        bool afterLiteralHyphen = false;
        while (pos < p.size() && p[pos] != ']') {
            // After "\w-a", a hyphen begins the next item, where the engine would
            // join "a" and what follows into a range.
            if (afterLiteralHyphen && RangeHyphenAt(pos)) InsertBackslash();
            const ClassItem first = ReadClassItem(p, pos);
            Copy(first.length);
            afterLiteralHyphen = false;
            if (!RangeHyphenAt(pos)) continue;
            const ClassItem second = ReadClassItem(p, pos + 1);
            afterLiteralHyphen = first.isSet || second.isSet;
            if (afterLiteralHyphen) InsertBackslash();
            Copy(1 + second.length);
        }
        if (pos < p.size()) Copy(1);
    }

    std::string_view p;
    std::size_t pos = 0;
    PreparedPattern out;
};

}  // namespace

std::size_t PreparedPattern::OriginalOffset(std::size_t offset) const {
    const auto before = std::lower_bound(insertedAt.begin(), insertedAt.end(), offset);
    return offset - static_cast<std::size_t>(before - insertedAt.begin());
}

PreparedPattern PrepareRegexPattern(std::string_view pattern) { return Preparer(pattern).Run(); }

}  // namespace varnel
