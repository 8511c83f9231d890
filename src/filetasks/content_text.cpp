#include "filetasks/content_text.h"

#include "utilities/utf8_text.h"

#include <cerrno>

#include "utilities/codec.h"

namespace varnel {

namespace {

constexpr std::string_view kBomUtf8 = "\xEF\xBB\xBF";
constexpr std::string_view kBomUtf16Le = "\xFF\xFE";
constexpr std::string_view kBomUtf16Be = "\xFE\xFF";

std::size_t Utf8LengthAt(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return std::min(length, text.size() - at);
}

}  // namespace

std::expected<DecodedText, Error> DecodeFileText(std::string_view bytes) {
    const auto decode = [](std::string_view body, const char* codec,
                           TextEncoding encoding) -> std::expected<DecodedText, Error> {
        auto text = DecodeFromCodec(body, codec);
        if (!text) return std::unexpected(Error{EILSEQ, "无法识别文件的文本编码", {}});
        return DecodedText{encoding, std::move(*text)};
    };
    // UTF-8 needs no conversion, only the check; a large file is then held once
    // more, not twice more through UTF-16.
    if (bytes.starts_with(kBomUtf8) && IsValidUtf8(bytes.substr(3))) {
        return DecodedText{TextEncoding::Utf8Bom, std::string(bytes.substr(3))};
    }
    if (bytes.starts_with(kBomUtf8)) return decode(bytes.substr(3), "UTF-8", TextEncoding::Utf8Bom);
    if (bytes.starts_with(kBomUtf16Le)) return decode(bytes.substr(2), "UTF-16LE", TextEncoding::Utf16Le);
    if (bytes.starts_with(kBomUtf16Be)) return decode(bytes.substr(2), "UTF-16BE", TextEncoding::Utf16Be);
    if (IsValidUtf8(bytes)) return DecodedText{TextEncoding::Utf8, std::string(bytes)};
    return decode(bytes, kCodecGbk, TextEncoding::Gbk);
}

std::expected<std::string, Error> EncodeFileText(std::string_view utf8, TextEncoding encoding) {
    const auto encode = [&](std::string_view bom, const char* codec) -> std::expected<std::string, Error> {
        if (std::string_view(codec) == "UTF-8" && IsValidUtf8(utf8)) {
            std::string out;
            out.reserve(bom.size() + utf8.size());
            return out.append(bom).append(utf8);
        }
        auto body = EncodeToCodec(utf8, codec);
        if (!body) return std::unexpected(Error{EILSEQ, "文本含有文件编码无法表示的字符", {}});
        return std::string(bom) + *body;
    };
    switch (encoding) {
        case TextEncoding::Utf8: return encode({}, "UTF-8");
        case TextEncoding::Utf8Bom: return encode(kBomUtf8, "UTF-8");
        case TextEncoding::Gbk: return encode({}, kCodecGbk);
        case TextEncoding::Utf16Le: return encode(kBomUtf16Le, "UTF-16LE");
        case TextEncoding::Utf16Be: return encode(kBomUtf16Be, "UTF-16BE");
    }
    return std::unexpected(Error{EINVAL, "未知的文本编码", {}});
}

std::size_t EncodedCharLength(std::size_t utf8Length, TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8:
        case TextEncoding::Utf8Bom: return utf8Length;
        case TextEncoding::Gbk: return utf8Length == 1 ? 1 : utf8Length == 4 ? 4 : 2;
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be: return utf8Length == 4 ? 4 : 2;
    }
    return utf8Length;
}

std::size_t Utf8OffsetOfBytePosition(std::string_view utf8, TextEncoding encoding, std::int64_t bytePosition) {
    std::size_t at = 0;
    std::int64_t bytes = 0;
    while (at < utf8.size()) {
        const std::size_t length = Utf8LengthAt(utf8, at);
        bytes += static_cast<std::int64_t>(EncodedCharLength(length, encoding));
        if (bytes > bytePosition) break;
        at += length;
    }
    return at;
}

std::size_t Utf8OffsetOfCharacter(std::string_view utf8, std::int64_t count) {
    std::size_t at = 0;
    for (std::int64_t i = 1; i < count && at < utf8.size(); ++i) at += Utf8LengthAt(utf8, at);
    return at;
}

std::size_t OffsetOfLine(std::string_view text, std::int64_t line, bool atLineStart) {
    if (line < 1) return 0;
    std::size_t start = 0;
    for (std::int64_t current = 1;; ++current) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (current == line) return atLineStart ? start : (end == std::string_view::npos ? text.size() : end);
        if (end == std::string_view::npos) return text.size();
        start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
        if (start >= text.size()) return text.size();
    }
}

}  // namespace varnel
