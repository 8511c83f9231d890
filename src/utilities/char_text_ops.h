// Counting, cutting and searching a UTF-8 text either in characters or in widths
// (the GBK byte widths users count in: ASCII 1, every other character 2). A width
// position that falls inside a character moves to that character's start, so a
// cut never splits one. An invalid byte counts as one character of width 1. Cut
// counts below 1 give the empty text, counts past the length the whole text.
// Pure; safe on any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace varnel {

std::int64_t CharCount(std::string_view text);
// The first n, the last n, and n from the 1-based start (a start below 1 counts
// from the first character), in characters.
std::string LeftChars(std::string_view text, std::int64_t n);
std::string RightChars(std::string_view text, std::int64_t n);
std::string MidChars(std::string_view text, std::int64_t start, std::int64_t n);

// The 1-based character position of the first (last) occurrence of sought; nothing
// for an empty sought text or none found. ignoreCase: ASCII letters match either case.
std::optional<std::int64_t> FindCharPosition(std::string_view text, std::string_view sought, bool ignoreCase);
std::optional<std::int64_t> FindLastCharPosition(std::string_view text, std::string_view sought, bool ignoreCase);

// The same cuts counted either way: byBytes counts widths, otherwise characters.
class CharTextOps {
public:
    std::int64_t CountLength(std::string_view text, bool byBytes) const;
    std::string TakeLeft(std::string_view text, std::int64_t n, bool byBytes) const;
    std::string TakeRight(std::string_view text, std::int64_t n, bool byBytes) const;
    std::string TakeMiddle(std::string_view text, std::int64_t start, std::int64_t n, bool byBytes) const;
};

}  // namespace varnel
