#include "id3/id3_text.h"

#include <algorithm>
#include <cmath>

#include "utilities/codec.h"
#include "utilities/number_text.h"

namespace varnel {

namespace {

constexpr const char* kCodecLatin1 = "ISO-8859-1";

// Whether a decoded text holds a private-use character: bytes that GBK maps there
// (a lone 0x80 or 0xFF, the user-defined areas) are no text anyone wrote in GBK.
bool HasPrivateUse(std::string_view utf8) {
    // U+E000 to U+F8FF are EE 80 80 to EF A3 BF in UTF-8.
    for (std::size_t i = 0; i + 2 < utf8.size(); ++i) {
        const auto a = static_cast<unsigned char>(utf8[i]);
        const auto b = static_cast<unsigned char>(utf8[i + 1]);
        if (a == 0xEE || (a == 0xEF && b <= 0xA3)) return true;
    }
    return false;
}

}  // namespace

bool IsAsciiText(std::string_view text) {
    return std::ranges::all_of(text, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string DecodeSingleByteText(std::string_view bytes) {
    // ASCII reads the same in GBK, Latin-1 and UTF-8: no converter needed.
    if (IsAsciiText(bytes)) return std::string(bytes);
    if (auto gbk = DecodeFromCodec(bytes, kCodecGbk); gbk && !HasPrivateUse(*gbk)) return std::move(*gbk);
    return DecodeFromCodec(bytes, kCodecLatin1, CodecMode::Lenient).value_or(std::string());
}

std::optional<std::string> EncodeGbk(std::string_view utf8) {
    auto gbk = EncodeToCodec(utf8, kCodecGbk);
    if (!gbk) return std::nullopt;
    return std::move(*gbk);
}

std::optional<std::string> SingleByteForm(std::string_view utf8) {
    if (auto gbk = EncodeGbk(utf8)) return gbk;
    auto latin1 = EncodeToCodec(utf8, kCodecLatin1);
    if (!latin1) return std::nullopt;
    return std::move(*latin1);
}

long LeadingWholeNumber(std::string_view text) {
    const double value = TextToNumber(text);
    if (!(value > 0)) return 0;
    if (value >= 2147483647.0) return 2147483647L;
    return static_cast<long>(std::floor(value));
}

std::string FormatTagEntries(std::initializer_list<std::pair<const char*, std::string_view>> entries,
                             std::string_view separator) {
    std::string text;
    for (const auto& [label, value] : entries) {
        if (value.empty()) continue;
        if (!text.empty()) text += ' ';
        text.append(label).append(separator).append(value);
    }
    return text;
}

}  // namespace varnel
