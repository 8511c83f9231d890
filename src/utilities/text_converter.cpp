#include "utilities/text_converter.h"

#include <algorithm>

#include "utilities/char_forms.h"
#include "utilities/chinese_script.h"
#include "utilities/codec.h"
#include "utilities/path_routines.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

constexpr const char* kCodecBig5 = "windows-950-2000";
constexpr const char* kCodecUtf16Le = "UTF-16LE";
constexpr const char* kCodecUtf8 = "UTF-8";

constexpr std::string_view kHexDigits = "0123456789ABCDEF";
constexpr std::string_view kBase64Alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The byte written by the two hex digits at pos, or -1.
int HexByteAt(std::string_view text, std::size_t pos) {
    if (pos + 1 >= text.size()) return -1;
    const int high = HexValue(text[pos]);
    const int low = HexValue(text[pos + 1]);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

int Base64Value(char c) {
    const auto pos = kBase64Alphabet.find(c);
    return pos == std::string_view::npos ? -1 : static_cast<int>(pos);
}

Error InvalidBase64() { return Error{Error::kConversion, "不是有效的 Base64 文本", {}}; }

// Bytes in one codec to bytes in another, through UTF-8; strict both ways.
std::expected<std::string, Error> Recode(std::string_view bytes, const char* from, const char* to) {
    auto text = DecodeFromCodec(bytes, from);
    if (!text || std::string_view(to) == kCodecUtf8) return text;
    return EncodeToCodec(*text, to);
}

// The bytes being converted and the encoding they are known to be in. Native is
// what a name or a file holds as it stands: UTF-8 when valid, else taken as GBK.
enum class Held { Native, Gbk, Utf16Le };
struct HeldText {
    std::string bytes;
    Held held = Held::Native;
};

// The codec the characters of the text are read and written back in; nullptr when
// the bytes are worked on as they are (valid UTF-8, or neither UTF-8 nor GBK).
const char* CharacterCodec(const HeldText& text) {
    switch (text.held) {
        case Held::Gbk: return kCodecGbk;
        case Held::Utf16Le: return kCodecUtf16Le;
        case Held::Native: break;
    }
    if (IsValidUtf8(text.bytes)) return nullptr;
    // Taken as GBK only when the bytes come back unchanged from a round trip, so
    // writing the characters back can never alter bytes that were not converted.
    auto decoded = DecodeFromCodec(text.bytes, kCodecGbk);
    if (!decoded) return nullptr;
    auto encoded = EncodeToCodec(*decoded, kCodecGbk);
    return encoded && *encoded == text.bytes ? kCodecGbk : nullptr;
}

// Runs a rewrite of the characters, keeping the text's encoding. A text that the
// rewrite leaves as it is keeps its bytes.
template <typename Rewrite>
std::expected<void, Error> RewriteCharacters(HeldText& text, Rewrite&& rewrite) {
    const char* codec = CharacterCodec(text);
    if (codec == nullptr) {
        std::expected<std::string, Error> out = rewrite(std::string_view(text.bytes));
        if (!out) return std::unexpected(out.error());
        text.bytes = std::move(*out);
        return {};
    }
    auto characters = DecodeFromCodec(text.bytes, codec);
    if (!characters) return std::unexpected(characters.error());
    std::expected<std::string, Error> out = rewrite(std::string_view(*characters));
    if (!out) return std::unexpected(out.error());
    if (*out == *characters) return {};
    auto encoded = EncodeToCodec(*out, codec);
    if (!encoded) return std::unexpected(encoded.error());
    text.bytes = std::move(*encoded);
    if (text.held == Held::Native) text.held = Held::Gbk;
    return {};
}

// The text as GBK bytes, for the conversions that read GBK.
std::expected<std::string, Error> GbkBytesOf(const HeldText& text) {
    switch (text.held) {
        case Held::Gbk: return text.bytes;
        case Held::Utf16Le: return TextConverter::ConvertUtf16ToAnsi(text.bytes);
        case Held::Native: break;
    }
    if (IsValidUtf8(text.bytes)) return TextConverter::ConvertUtf8ToAnsi(text.bytes);
    return text.bytes;
}

std::expected<void, Error> ApplyCodec(HeldText& text, CodecConversion codec) {
    using C = CodecConversion;
    std::expected<std::string, Error> out;
    Held held = Held::Native;
    const std::string_view in = text.bytes;
    switch (codec) {
        case C::None: return {};
        case C::AnsiToUnicode: out = TextConverter::ConvertAnsiToUtf16(in); held = Held::Utf16Le; break;
        case C::AnsiToUtf8: out = TextConverter::ConvertAnsiToUtf8(in); break;
        case C::UnicodeToAnsi: out = TextConverter::ConvertUtf16ToAnsi(in); held = Held::Gbk; break;
        case C::UnicodeToUtf8: out = TextConverter::ConvertUtf16ToUtf8(in); break;
        case C::Utf8ToAnsi: out = TextConverter::ConvertUtf8ToAnsi(in); held = Held::Gbk; break;
        case C::Utf8ToUnicode: out = TextConverter::ConvertUtf8ToUtf16(in); held = Held::Utf16Le; break;
        case C::EncodeBase64: out = TextConverter::EncodeBase64(in); break;
        case C::DecodeBase64: out = TextConverter::DecodeBase64(in); break;
        case C::EncodeQuotedPrintable: out = TextConverter::EncodeHexEscapes(in); break;
        case C::DecodeQuotedPrintable: out = TextConverter::DecodeHexEscapes(in); break;
        case C::EncodeUrl: out = TextConverter::UrlEncodeAll(in); break;
        case C::DecodeUrl: out = TextConverter::UrlDecode(in); break;
    }
    if (!out) return std::unexpected(out.error());
    text.bytes = std::move(*out);
    text.held = held;
    return {};
}

std::expected<void, Error> ApplyDigits(HeldText& text, DigitConversion digits) {
    using D = DigitConversion;
    if (digits == D::None) return {};
    return RewriteCharacters(text, [digits](std::string_view s) {
        if (digits == D::NumeralsToDigits) return ChineseNumeralsToDigits(s);
        const bool amount = digits == D::ToAmount || digits == D::ToCapitalAmount;
        const bool capital = digits == D::ToCapitalNumerals || digits == D::ToCapitalAmount;
        return DigitsToChineseNumerals(s, amount, capital);
    });
}

std::expected<void, Error> ApplyLetters(HeldText& text, LetterConversion letters) {
    using L = LetterConversion;
    if (letters == L::None) return {};
    return RewriteCharacters(text, [letters](std::string_view s) -> std::expected<std::string, Error> {
        switch (letters) {
            case L::Upper: return ToUpperAscii(s);
            case L::Lower: return ToLowerAscii(s);
            case L::FirstLetterUpper: return CapitalizeFirstLetter(s);
            case L::WordsUpper: return CapitalizeWords(s, false);
            case L::WordsUpperRestLower: return CapitalizeWords(s, true);
            case L::None: break;
        }
        return std::string(s);
    });
}

std::expected<void, Error> ApplyWidth(HeldText& text, WidthConversion width) {
    if (width == WidthConversion::None) return {};
    return RewriteCharacters(text, [width](std::string_view s) -> std::expected<std::string, Error> {
        return width == WidthConversion::HalfToFull ? ToFullWidth(s) : ToHalfWidth(s);
    });
}

std::expected<void, Error> ApplyScript(HeldText& text, ScriptConversion script) {
    using S = ScriptConversion;
    std::expected<std::string, Error> out;
    switch (script) {
        case S::None: return {};
        case S::TraditionalToSimplified:
            return RewriteCharacters(text, TextConverter::ConvertToSimplified);
        case S::SimplifiedToTraditional:
            return RewriteCharacters(text, TextConverter::ConvertToTraditional);
        case S::Big5ToGbkTraditional: out = TextConverter::ConvertBig5ToGbk(text.bytes); break;
        case S::Big5ToGbkSimplified: out = TextConverter::ConvertBig5ToGbkSimplified(text.bytes); break;
        case S::GbkTraditionalToBig5:
        case S::GbkSimplifiedToBig5: {
            auto gbk = GbkBytesOf(text);
            if (!gbk) return std::unexpected(gbk.error());
            out = script == S::GbkTraditionalToBig5 ? TextConverter::ConvertGbkToBig5(*gbk)
                                                    : TextConverter::ConvertGbkSimplifiedToBig5(*gbk);
            break;
        }
    }
    if (!out) return std::unexpected(out.error());
    text.bytes = std::move(*out);
    // Big5 bytes have no character step after them; GBK ones are GBK.
    text.held = script == S::Big5ToGbkTraditional || script == S::Big5ToGbkSimplified ? Held::Gbk
                                                                                       : Held::Native;
    return {};
}

std::expected<std::string, Error> ConvertPart(std::string_view part, const ConvertOptions& options) {
    HeldText text{std::string(part), Held::Native};
    std::expected<void, Error> done = ApplyCodec(text, options.codec);
    if (done) done = ApplyDigits(text, options.digits);
    if (done) done = ApplyLetters(text, options.letters);
    if (done) done = ApplyWidth(text, options.width);
    if (done) done = ApplyScript(text, options.tradSimp);
    if (!done) return std::unexpected(done.error());
    return std::move(text.bytes);
}

template <typename Enum>
bool InRange(Enum value, Enum last) {
    const auto n = static_cast<std::int32_t>(value);
    return n >= 0 && n <= static_cast<std::int32_t>(last);
}

bool ValidOptions(const ConvertOptions& o) {
    return InRange(o.scope, ConvertScope::Extension) && InRange(o.codec, CodecConversion::DecodeUrl) &&
           InRange(o.digits, DigitConversion::NumeralsToDigits) &&
           InRange(o.letters, LetterConversion::WordsUpperRestLower) &&
           InRange(o.tradSimp, ScriptConversion::SimplifiedToTraditional) &&
           InRange(o.width, WidthConversion::FullToHalf);
}

}  // namespace

std::expected<std::string, Error> ConvertText(std::string_view text, const ConvertOptions& options) {
    if (!ValidOptions(options)) {
        return std::unexpected(Error{Error::kInvalidInput, "转换选项无效", {}});
    }
    if (options.scope == ConvertScope::WholeText || options.scope == ConvertScope::WholeName) {
        return ConvertPart(text, options);
    }
    auto parts = SplitMainAndExtension(text);
    if (!parts) return std::string(text);
    const std::string_view name = text.substr(text.rfind('/') + 1);
    const std::string_view folder = text.substr(0, text.size() - name.size());
    const bool hadDot = name.size() > parts->main.size() + parts->extension.size();

    auto& converted = options.scope == ConvertScope::MainName ? parts->main : parts->extension;
    auto result = ConvertPart(converted, options);
    if (!result) return std::unexpected(result.error());
    converted = std::move(*result);

    std::string out(folder);
    out += parts->main;
    if (hadDot || !parts->extension.empty()) out += '.';
    out += parts->extension;
    return out;
}

std::string TextConverter::EncodeHexEscapes(std::string_view bytes, bool percent) {
    std::string out;
    out.reserve(bytes.size() * 3);
    for (unsigned char byte : bytes) {
        out += percent ? '%' : '=';
        out += kHexDigits[byte >> 4];
        out += kHexDigits[byte & 0x0F];
    }
    return out;
}

std::string TextConverter::DecodeHexEscapes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        if (text[pos] != '=') {
            out += text[pos++];
            continue;
        }
        if (const int byte = HexByteAt(text, pos + 1); byte >= 0) {
            out += static_cast<char>(byte);
            pos += 3;
            continue;
        }
        // A soft line break: "=", blanks the sender may have left, then CR LF, LF or
        // the end of the data (the last line needs no line end of its own).
        std::size_t next = pos + 1;
        while (next < text.size() && (text[next] == ' ' || text[next] == '\t')) ++next;
        if (next == text.size()) {
            pos = next;
        } else if (text.substr(next).starts_with("\r\n")) {
            pos = next + 2;
        } else if (text.substr(next).starts_with("\n")) {
            pos = next + 1;
        } else {
            out += text[pos++];
        }
    }
    return out;
}

std::string TextConverter::UrlEncodeAll(std::string_view bytes) { return EncodeHexEscapes(bytes, true); }

std::string TextConverter::UrlDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const int byte = text[pos] == '%' ? HexByteAt(text, pos + 1) : -1;
        if (byte >= 0) {
            out += static_cast<char>(byte);
            pos += 3;
        } else {
            out += text[pos++];
        }
    }
    return out;
}

std::string TextConverter::EncodeBase64(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t pos = 0; pos < bytes.size(); pos += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - pos);
        std::uint32_t group = 0;
        for (std::size_t i = 0; i < 3; ++i) {
            group = group << 8 | (i < count ? static_cast<unsigned char>(bytes[pos + i]) : 0u);
        }
        for (std::size_t i = 0; i < 4; ++i) {
            out += i <= count ? kBase64Alphabet[group >> (18 - 6 * i) & 0x3F] : '=';
        }
    }
    return out;
}

std::expected<std::string, Error> TextConverter::DecodeBase64(std::string_view text) {
    std::string out;
    out.reserve(text.size() / 4 * 3);
    std::uint32_t group = 0;
    int count = 0;    // characters of the current group
    int padding = 0;  // "=" seen; only more "=" and blanks may follow
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        if (c == '=') {
            if (count < 2) return std::unexpected(InvalidBase64());
            ++padding;
            ++count;
        } else {
            const int value = Base64Value(c);
            if (value < 0 || padding > 0) return std::unexpected(InvalidBase64());
            group = group << 6 | static_cast<std::uint32_t>(value);
            ++count;
        }
        if (count == 4) {
            group <<= 6 * padding;
            out += static_cast<char>(group >> 16 & 0xFF);
            if (padding < 2) out += static_cast<char>(group >> 8 & 0xFF);
            if (padding < 1) out += static_cast<char>(group & 0xFF);
            group = 0;
            count = 0;
            if (padding > 0) padding = 3;  // the text must end here
        }
    }
    if (count != 0) return std::unexpected(InvalidBase64());
    return out;
}

std::expected<std::string, Error> TextConverter::ConvertAnsiToUtf16(std::string_view bytes) {
    return Recode(bytes, kCodecGbk, kCodecUtf16Le);
}

std::expected<std::string, Error> TextConverter::ConvertUtf16ToAnsi(std::string_view bytes) {
    return Recode(bytes, kCodecUtf16Le, kCodecGbk);
}

std::expected<std::string, Error> TextConverter::ConvertUtf8ToUtf16(std::string_view bytes) {
    return Recode(bytes, kCodecUtf8, kCodecUtf16Le);
}

std::expected<std::string, Error> TextConverter::ConvertUtf16ToUtf8(std::string_view bytes) {
    return Recode(bytes, kCodecUtf16Le, kCodecUtf8);
}

std::expected<std::string, Error> TextConverter::ConvertAnsiToUtf8(std::string_view bytes) {
    return Recode(bytes, kCodecGbk, kCodecUtf8);
}

std::expected<std::string, Error> TextConverter::ConvertUtf8ToAnsi(std::string_view bytes) {
    return Recode(bytes, kCodecUtf8, kCodecGbk);
}

std::expected<std::string, Error> TextConverter::ConvertToTraditional(std::string_view text) {
    return ConvertChineseScript(text, ScriptTable::SimplifiedToTraditional);
}

std::expected<std::string, Error> TextConverter::ConvertToSimplified(std::string_view text) {
    return ConvertChineseScript(text, ScriptTable::TraditionalToSimplified);
}

std::expected<std::string, Error> TextConverter::ConvertBig5ToGbk(std::string_view bytes) {
    return Recode(bytes, kCodecBig5, kCodecGbk);
}

std::expected<std::string, Error> TextConverter::ConvertBig5ToGbkSimplified(std::string_view bytes) {
    auto text = DecodeFromCodec(bytes, kCodecBig5);
    if (!text) return text;
    // Big5 text is written in Taiwan's forms (裡, 著急), which that table knows.
    auto simplified = ConvertChineseScript(*text, ScriptTable::TaiwanToSimplified);
    if (!simplified) return simplified;
    return EncodeToCodec(*simplified, kCodecGbk);
}

std::expected<std::string, Error> TextConverter::ConvertGbkToBig5(std::string_view bytes) {
    return Recode(bytes, kCodecGbk, kCodecBig5);
}

std::expected<std::string, Error> TextConverter::ConvertGbkSimplifiedToBig5(std::string_view bytes) {
    auto text = DecodeFromCodec(bytes, kCodecGbk);
    if (!text) return text;
    // Taiwan's forms: the standard ones (爲, 衆, 羣) are not all in Big5.
    auto traditional = ConvertChineseScript(*text, ScriptTable::SimplifiedToTaiwan);
    if (!traditional) return traditional;
    return EncodeToCodec(*traditional, kCodecBig5);
}

}  // namespace varnel
