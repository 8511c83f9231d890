// A text file's bytes in its own encoding (UTF-8 with or without BOM, GBK, UTF-16
// with BOM) and back: the content tasks edit the text as UTF-8 and write it in the
// encoding the file had, failing rather than writing a character the encoding
// cannot hold. Line ends and positions are measured in the file's own terms. No
// state; safe on any thread.
#pragma once

#include <cstddef>
#include <expected>
#include <string>
#include <string_view>

#include "utilities/error.h"

namespace varnel {

enum class TextEncoding { Utf8, Utf8Bom, Gbk, Utf16Le, Utf16Be };

struct DecodedText {
    TextEncoding encoding = TextEncoding::Utf8;
    std::string text;  // UTF-8, without the BOM
};

// A BOM decides; then valid UTF-8 (which plain ASCII is); anything else is GBK. A
// file that is none of them (a binary, a broken UTF-16 file) fails.
std::expected<DecodedText, Error> DecodeFileText(std::string_view bytes);
// The text in `encoding`, BOM included; a character the encoding cannot hold fails.
std::expected<std::string, Error> EncodeFileText(std::string_view utf8, TextEncoding encoding);

// How many bytes a UTF-8 character (given by its UTF-8 length) takes in `encoding`.
std::size_t EncodedCharLength(std::size_t utf8Length, TextEncoding encoding);
// The UTF-8 offset of the place `bytePosition` bytes into the file's body (after
// its BOM), clamped to the text and moved back to the start of the character it
// would split.
std::size_t Utf8OffsetOfBytePosition(std::string_view utf8, TextEncoding encoding, std::int64_t bytePosition);
// The UTF-8 offset before the `count`-th character (0 and below: the start; past
// the end: the end).
std::size_t Utf8OffsetOfCharacter(std::string_view utf8, std::int64_t count);

// Where line `line` (1-based) starts, or where its line end starts (atLineStart
// false), in the text; CR LF, LF and a lone CR each end a line. A line below 1 is
// the start; one past the last line is the end.
std::size_t OffsetOfLine(std::string_view text, std::int64_t line, bool atLineStart);

}  // namespace varnel
