// Conversions between UTF-8 (how this program holds text) and the legacy code
// pages it meets in files, through ICU converters. Safe on any thread.
#pragma once

#include <expected>
#include <optional>
#include <string>
#include <string_view>

#include "utilities/error.h"

struct UConverter;

namespace varnel {

inline constexpr const char* kCodecGbk = "windows-936-2000";

// Bytes in `codec` to UTF-8. Strict: an invalid or unmappable byte fails the whole
// conversion. Lenient: such bytes become U+FFFD (for reading, never for writing back).
enum class CodecMode { Strict, Lenient };
std::expected<std::string, Error> DecodeFromCodec(std::string_view bytes, const char* codec,
                                                  CodecMode mode = CodecMode::Strict);
// UTF-8 to bytes in `codec`; a character the code page cannot hold fails the conversion.
std::expected<std::string, Error> EncodeToCodec(std::string_view utf8, const char* codec);

// EncodeToCodec for many texts: the converter is opened once. One thread at a time.
class CodecEncoder {
public:
    explicit CodecEncoder(const char* codec);
    ~CodecEncoder();
    CodecEncoder(const CodecEncoder&) = delete;
    CodecEncoder& operator=(const CodecEncoder&) = delete;

    std::expected<std::string, Error> Encode(std::string_view utf8);

private:
    const char* m_codec;
    UConverter* m_converter = nullptr;
    std::optional<Error> m_openError;
    std::u16string m_wide;
};

// A text file's bytes as UTF-8: a UTF-8 BOM is dropped; valid UTF-8 is taken as it
// is; anything else is read as GBK (so files written by older tools still load).
std::string DecodeTextFile(std::string_view bytes);

}  // namespace varnel
