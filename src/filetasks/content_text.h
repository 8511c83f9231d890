// A text file's bytes in its own encoding (UTF-8 with or without BOM, GBK, UTF-16
// with or without BOM) and back: the content tasks edit the text as UTF-8 and write it in the
// encoding the file had, failing rather than writing a character the encoding
// cannot hold. Line ends and positions are measured in the file's own terms. No
// state; safe on any thread.
#pragma once

#include <cstddef>
#include <expected>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "utilities/codec.h"
#include "utilities/error.h"

namespace varnel {

enum class TextEncoding { Utf8, Utf8Bom, Gbk, Utf16Le, Utf16Be, Utf16LeNoBom, Utf16BeNoBom };

struct DecodedText {
    TextEncoding encoding = TextEncoding::Utf8;
    std::string text;  // UTF-8, without the BOM
};

// A BOM decides; then NUL bytes: UTF-16 without BOM where they stand in alternate
// places (DetectUtf16WithoutBom), else the file is no text and fails; then valid
// UTF-8 (which plain ASCII is); anything else is GBK. A file that is none of them
// (a broken UTF-16 file) fails.
std::expected<DecodedText, Error> DecodeFileText(std::string_view bytes);

// UTF-16 without a BOM: an even length, NUL bytes mostly in the high-byte places of
// one byte order (the ASCII letters, digits, spaces and line ends of a text), no
// NUL character, and whole characters in that order. Nothing for anything else.
std::optional<TextEncoding> DetectUtf16WithoutBom(std::string_view bytes);
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

// Where an edit puts the new bytes of a file, in order, as it makes them.
class ContentSink {
public:
    virtual ~ContentSink() = default;
    virtual std::expected<void, Error> Write(std::string_view bytes) = 0;
    // Everything of the source before `at` is dealt with (its memory may go).
    virtual void Consumed(const char* /*at*/) {}
};

// A sink that keeps the bytes.
class StringSink : public ContentSink {
public:
    std::expected<void, Error> Write(std::string_view bytes) override {
        bytes_.append(bytes);
        return {};
    }
    std::string& Bytes() { return bytes_; }

private:
    std::string bytes_;
};

// Writes UTF-8 text to a sink in a file's encoding: its BOM first, then the text
// appended piece by piece, encoded in chunks. A piece of `source` (the text being
// edited, which is known to be whole characters) goes through as it is when the
// encoding is UTF-8 and tells the sink how far the edit has come. A character the
// encoding cannot hold fails the append.
class TextWriter {
public:
    TextWriter(ContentSink& sink, TextEncoding encoding, std::string_view source);
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    std::expected<void, Error> Append(std::string_view utf8);
    // Writes what is still held; call once, after the last Append.
    std::expected<void, Error> Finish();

private:
    std::expected<void, Error> Encode(std::size_t upTo);

    ContentSink& m_sink;
    TextEncoding m_encoding;
    std::string_view m_source;
    std::optional<CodecEncoder> m_encoder;
    std::string m_pending;  // text not encoded yet (encodings other than UTF-8)
    std::optional<Error> m_failure;
};

// Edits a file's text: the text (UTF-8, the file's body without its BOM, a view of
// `bytes` themselves when the file is UTF-8), its encoding and the writer of the
// new content; false: nothing to do.
using TextEdit = std::function<std::expected<bool, Error>(std::string_view text, TextEncoding encoding, TextWriter& out)>;
// Decodes `bytes`, has `edit` write the new text to `sink` in the same encoding.
// A UTF-8 file is checked and edited where it lies, without a copy; other
// encodings are decoded whole first.
std::expected<bool, Error> EditFileText(std::string_view bytes, ContentSink& sink, const TextEdit& edit);

}  // namespace varnel
