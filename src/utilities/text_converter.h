// The text converter shared by the convert tasks for names, file contents and tag
// texts: codecs (GBK, Big5, UTF-8, UTF-16LE), Base64, quoted-printable and URL
// escapes, Chinese numerals, letter case, character width, simplified and
// traditional Chinese.
//
// Texts are byte strings with a length: a zero byte is an ordinary byte, and a
// result may be bytes that are not UTF-8 (a name is kept byte for byte). A
// conversion either succeeds whole or fails with an Error: nothing is cut short and
// no character is replaced by "?". Safe on any thread.
#pragma once

#include <cstdint>
#include <expected>
#include <string>
#include <string_view>

#include "utilities/error.h"

namespace varnel {

// Which part of the text is converted. WholeText is what the content and tag
// convert tasks pass; the others are the rename task's name part.
enum class ConvertScope : std::int32_t { WholeText = 0, WholeName = 1, MainName = 2, Extension = 3 };

// "Ansi" is GBK bytes, "Unicode" UTF-16LE bytes, "Utf8" UTF-8 bytes.
enum class CodecConversion : std::int32_t {
    None = 0,
    AnsiToUnicode = 1,
    AnsiToUtf8 = 2,
    UnicodeToAnsi = 3,
    UnicodeToUtf8 = 4,
    Utf8ToAnsi = 5,
    Utf8ToUnicode = 6,
    EncodeBase64 = 7,
    DecodeBase64 = 8,
    EncodeQuotedPrintable = 9,
    DecodeQuotedPrintable = 10,
    EncodeUrl = 11,
    DecodeUrl = 12,
};

enum class DigitConversion : std::int32_t {
    None = 0,
    ToNumerals = 1,
    ToCapitalNumerals = 2,
    ToAmount = 3,
    ToCapitalAmount = 4,
    NumeralsToDigits = 5,
};

enum class LetterConversion : std::int32_t {
    None = 0,
    Upper = 1,
    Lower = 2,
    FirstLetterUpper = 3,
    WordsUpper = 4,
    WordsUpperRestLower = 5,
};

// "GBK" names the text itself: 5 and 6 convert its characters and keep its
// encoding; 3 and 4 write it as Big5 bytes; 1 and 2 read Big5 bytes and give GBK
// bytes, as the codec step's "Ansi".
enum class ScriptConversion : std::int32_t {
    None = 0,
    Big5ToGbkTraditional = 1,
    Big5ToGbkSimplified = 2,
    GbkTraditionalToBig5 = 3,
    GbkSimplifiedToBig5 = 4,
    TraditionalToSimplified = 5,
    SimplifiedToTraditional = 6,
};

enum class WidthConversion : std::int32_t { None = 0, HalfToFull = 1, FullToHalf = 2 };

// The part to convert and the five steps; None skips a step. The tasks fill each
// step from its combo box: the selected index minus one, 0 for the caption item.
struct ConvertOptions {
    ConvertScope scope = ConvertScope::WholeText;
    CodecConversion codec = CodecConversion::None;
    DigitConversion digits = DigitConversion::None;
    LetterConversion letters = LetterConversion::None;
    ScriptConversion tradSimp = ScriptConversion::None;
    WidthConversion width = WidthConversion::None;

    bool operator==(const ConvertOptions&) const = default;
};

// A combo box's option value: the index minus one, 0 for the title item.
inline int ConvertOptionOfIndex(int index) { return index < 1 ? 0 : index - 1; }

// Converts the chosen part of `text` with the steps in the order codec, digits,
// letters, width, tradSimp, and puts a name back together: main name, a "." when
// the name had one or the new extension is not empty, the extension.
//
// The character steps (digits, letters, width, simplified/traditional) work on the
// characters in the encoding the text is in: the one the codec step produced, else
// UTF-8 when the bytes are valid UTF-8, else GBK; bytes that are neither are kept
// as they are. A step that cannot be made fails the whole conversion; an option
// value outside its list fails with kInvalidInput.
std::expected<std::string, Error> ConvertText(std::string_view text, const ConvertOptions& options);

// The single conversions the steps are made of. A = GBK bytes, U = UTF-16LE bytes,
// 8 = UTF-8 bytes, B = Big5 bytes; "text" is UTF-8 whose invalid bytes are kept.
class TextConverter final {
public:
    // Every byte as a prefix and two upper-case hex digits: "=" (quoted-printable)
    // or "%" with percent.
    static std::string EncodeHexEscapes(std::string_view bytes, bool percent = false);
    // Quoted-printable decoding: "=" and two hex digits of either case give a byte,
    // "=" before a line break or the end of the data (after optional blanks) is a
    // soft line break and removed with it, every other byte is copied.
    static std::string DecodeHexEscapes(std::string_view text);
    // Every byte, letters and digits included, as "%" and two upper-case hex digits.
    static std::string UrlEncodeAll(std::string_view bytes);
    // "%" and two hex digits give a byte; anything else, a lone "%" too, is copied.
    static std::string UrlDecode(std::string_view text);
    // RFC 4648 Base64 with padding and no line breaks.
    static std::string EncodeBase64(std::string_view bytes);
    // Blanks and line breaks are skipped; any other character outside the alphabet,
    // a missing pad or data after the pad fails.
    static std::expected<std::string, Error> DecodeBase64(std::string_view text);

    static std::expected<std::string, Error> ConvertAnsiToUtf16(std::string_view bytes);  // A -> U
    static std::expected<std::string, Error> ConvertUtf16ToAnsi(std::string_view bytes);  // U -> A
    static std::expected<std::string, Error> ConvertUtf8ToUtf16(std::string_view bytes);  // 8 -> U
    static std::expected<std::string, Error> ConvertUtf16ToUtf8(std::string_view bytes);  // U -> 8
    static std::expected<std::string, Error> ConvertAnsiToUtf8(std::string_view bytes);   // A -> 8
    static std::expected<std::string, Error> ConvertUtf8ToAnsi(std::string_view bytes);   // 8 -> A

    // Simplified to traditional Chinese and back (text -> text), by words: 头发 ->
    // 頭髮, 干部 -> 幹部. Fails when the conversion tables cannot be loaded.
    static std::expected<std::string, Error> ConvertToTraditional(std::string_view text);
    static std::expected<std::string, Error> ConvertToSimplified(std::string_view text);
    // B -> A, the characters as they are or simplified (read as Taiwan's forms).
    static std::expected<std::string, Error> ConvertBig5ToGbk(std::string_view bytes);
    static std::expected<std::string, Error> ConvertBig5ToGbkSimplified(std::string_view bytes);
    // A -> B, the characters as they are or made traditional first, in Taiwan's
    // forms, which Big5 holds (為, not the standard 爲).
    static std::expected<std::string, Error> ConvertGbkToBig5(std::string_view bytes);
    static std::expected<std::string, Error> ConvertGbkSimplifiedToBig5(std::string_view bytes);
};

}  // namespace varnel
