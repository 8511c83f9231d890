#include "utilities/char_forms.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <vector>

#include "utilities/chinese_numerals.h"
#include "utilities/time_format.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

constexpr char32_t kIdeographicSpace = 0x3000;
constexpr char32_t kFullWidthOffset = 0xFF01 - 0x21;

Error NumberTooLarge(std::string_view run) {
    return Error{Error::kConversion, "数字太大，无法转换：" + std::string(run), {}};
}

// What a Chinese numeral character stands for.
struct Numeral {
    enum class Kind { Digit, Place, Unit } kind;
    std::uint64_t value;
};

std::optional<Numeral> NumeralOf(char32_t c) {
    using K = Numeral::Kind;
    switch (c) {
        case U'零': case U'〇': return Numeral{K::Digit, 0};
        case U'一': case U'壹': return Numeral{K::Digit, 1};
        case U'二': case U'两': case U'贰': return Numeral{K::Digit, 2};
        case U'三': case U'叁': return Numeral{K::Digit, 3};
        case U'四': case U'肆': return Numeral{K::Digit, 4};
        case U'五': case U'伍': return Numeral{K::Digit, 5};
        case U'六': case U'陆': return Numeral{K::Digit, 6};
        case U'七': case U'柒': return Numeral{K::Digit, 7};
        case U'八': case U'捌': return Numeral{K::Digit, 8};
        case U'九': case U'玖': return Numeral{K::Digit, 9};
        case U'十': case U'拾': return Numeral{K::Place, 10};
        case U'百': case U'佰': return Numeral{K::Place, 100};
        case U'千': case U'仟': return Numeral{K::Place, 1000};
        case U'万': return Numeral{K::Unit, 10000};
        case U'亿': return Numeral{K::Unit, 100000000};
        default: return std::nullopt;
    }
}

bool Add(std::uint64_t& to, std::uint64_t value) { return !__builtin_add_overflow(to, value, &to); }
bool Multiply(std::uint64_t& to, std::uint64_t by) { return !__builtin_mul_overflow(to, by, &to); }

// The value of a run of numerals that holds place words or units. Terms are the
// finished parts of the number, largest first (三亿 五千万 …); a unit takes the small
// number before it together with the smaller terms before that (一万二千亿 is 12000
// times 亿), and a unit right after another one multiplies the last term (万亿). A
// larger term that a unit overtakes was a count of that unit as well: in
// 九百亿三千万亿 the 九百亿 is 九百亿亿.
//
// A single last digit right after a place word or unit is the short form of the
// next place down: 一万五 is 15000, 三千二 3200, 二百五 250 (二十五 stays 25, and
// after a 零 the digit is a unit: 两千零五 is 2005).
std::optional<std::uint64_t> ReadNumber(const std::vector<Numeral>& run) {
    std::vector<std::uint64_t> terms;
    std::uint64_t small = 0;                // below 万: the place values read so far
    std::optional<std::uint64_t> pending;   // digits not yet given a place
    int pendingDigits = 0;                  // how many digits `pending` holds
    bool zeroSincePlace = false;            // a 零 since the last place word or unit
    std::uint64_t lastScale = 0;            // the value of that place word or unit
    bool afterUnit = false;
    for (const Numeral& n : run) {
        switch (n.kind) {
            case Numeral::Kind::Digit:
                // A zero between places only marks the gap (一千零五).
                if (n.value == 0 && !pending) {
                    zeroSincePlace = true;
                    break;
                }
                if (!pending) pending = 0;
                if (!Multiply(*pending, 10) || !Add(*pending, n.value)) return std::nullopt;
                ++pendingDigits;
                break;
            case Numeral::Kind::Place: {
                std::uint64_t value = pending.value_or(1);
                if (!Multiply(value, n.value) || !Add(small, value)) return std::nullopt;
                lastScale = n.value;
                break;
            }
            case Numeral::Kind::Unit: {
                std::uint64_t value = small;
                if (!Add(value, pending.value_or(0))) return std::nullopt;
                if (value == 0 && !pending && afterUnit) {
                    value = terms.back();
                    terms.pop_back();
                    if (!Multiply(lastScale, n.value)) return std::nullopt;
                } else {
                    if (value == 0 && !pending) value = 1;
                    while (!terms.empty() && terms.back() < n.value) {
                        if (!Add(value, terms.back())) return std::nullopt;
                        terms.pop_back();
                    }
                    lastScale = n.value;
                }
                if (!Multiply(value, n.value)) return std::nullopt;
                for (auto term = terms.rbegin(); term != terms.rend() && *term <= value; ++term) {
                    if (!Multiply(*term, n.value)) return std::nullopt;
                }
                terms.push_back(value);
                small = 0;
                break;
            }
        }
        if (n.kind != Numeral::Kind::Digit) {
            pending.reset();
            pendingDigits = 0;
            zeroSincePlace = false;
        }
        afterUnit = n.kind == Numeral::Kind::Unit;
    }
    if (pending && pendingDigits == 1 && !zeroSincePlace && lastScale >= 100) {
        if (!Multiply(*pending, lastScale / 10)) return std::nullopt;
    }
    std::uint64_t total = small;
    if (!Add(total, pending.value_or(0))) return std::nullopt;
    for (std::uint64_t term : terms) {
        if (!Add(total, term)) return std::nullopt;
    }
    return total;
}

// A run with place words or units is read as a number, one without them digit by
// digit; false when the number does not fit.
bool AppendRunValue(std::string& out, const std::vector<Numeral>& run) {
    bool hasPlaces = false;
    for (const Numeral& n : run) hasPlaces = hasPlaces || n.kind != Numeral::Kind::Digit;
    if (!hasPlaces) {
        for (const Numeral& n : run) out += static_cast<char>('0' + n.value);
        return true;
    }
    const auto value = ReadNumber(run);
    if (!value) return false;
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, *value);
    out.append(buffer, result.ptr);
    return true;
}

}  // namespace

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAsciiChar(x) == LowerAsciiChar(y);
           });
}

std::string ToUpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = UpperAscii(c);
    return out;
}

std::string ToLowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = LowerAsciiChar(c);
    return out;
}

// Bytes of UTF-8 sequences and invalid bytes are all >= 0x80, so working on the
// ASCII bytes alone never touches a character that is not an ASCII letter.
std::string CapitalizeFirstLetter(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (IsAsciiLetter(c)) {
            c = UpperAscii(c);
            break;
        }
    }
    return out;
}

std::string CapitalizeWords(std::string_view text, bool lowerRest) {
    std::string out(text);
    bool inWord = false;
    for (char& c : out) {
        if (!IsAsciiLetter(c)) {
            inWord = false;
        } else if (!inWord) {
            c = UpperAscii(c);
            inWord = true;
        } else if (lowerRest) {
            c = LowerAsciiChar(c);
        }
    }
    return out;
}

std::string ToFullWidth(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (char c : text) {
        if (c == ' ') {
            AppendUtf8(out, kIdeographicSpace);
        } else if (c > ' ' && c <= '~') {
            AppendUtf8(out, static_cast<char32_t>(c) + kFullWidthOffset);
        } else {
            out += c;
        }
    }
    return out;
}

std::string ToHalfWidth(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Step step = DecodeUtf8At(text, pos);
        const char32_t c = step.codePoint;
        if (step.valid && c == kIdeographicSpace) {
            out += ' ';
        } else if (step.valid && c >= 0xFF01 && c <= 0xFF5E) {
            out += static_cast<char>(c - kFullWidthOffset);
        } else {
            out.append(text, pos, step.length);
        }
        pos += step.length;
    }
    return out;
}

std::expected<std::string, Error> ReplaceDigitRuns(std::string_view text,
                                                   const DigitRunConverter& convert) {
    std::string out;
    out.reserve(text.size() * 3);
    for (std::size_t pos = 0; pos < text.size();) {
        if (!IsAsciiDigit(text[pos])) {
            out += text[pos++];
            continue;
        }
        std::size_t end = pos;
        while (end < text.size() && IsAsciiDigit(text[end])) ++end;
        auto converted = convert(text.substr(pos, end - pos));
        if (!converted) return converted;
        out += *converted;
        pos = end;
    }
    return out;
}

std::expected<std::string, Error> DigitsToChineseNumerals(std::string_view text, bool amount,
                                                          bool traditional) {
    if (!amount) return ConvertDigitsToChinese(text, false, traditional, false);
    return ReplaceDigitRuns(text, [traditional](std::string_view run) -> std::expected<std::string, Error> {
        // The amount is written from a double counted in fen: exact only while the
        // fen fit in its 53-bit mantissa.
        constexpr std::uint64_t kLargestExactAmount = (std::uint64_t{1} << 53) / 100;
        std::uint64_t value = 0;
        const auto parsed = std::from_chars(run.data(), run.data() + run.size(), value);
        if (parsed.ec != std::errc() || value > kLargestExactAmount) {
            return std::unexpected(NumberTooLarge(run));
        }
        return NumberToChineseAmount(static_cast<double>(value), !traditional);
    });
}

std::expected<std::string, Error> ChineseNumeralsToDigits(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::vector<Numeral> run;
    std::size_t runStart = 0;
    for (std::size_t pos = 0;;) {
        const bool atEnd = pos >= text.size();
        const Utf8Step step = atEnd ? Utf8Step{} : DecodeUtf8At(text, pos);
        const auto numeral = !atEnd && step.valid ? NumeralOf(step.codePoint) : std::nullopt;
        if (numeral) {
            if (run.empty()) runStart = pos;
            run.push_back(*numeral);
            pos += step.length;
            continue;
        }
        if (!run.empty()) {
            if (!AppendRunValue(out, run)) {
                return std::unexpected(NumberTooLarge(text.substr(runStart, pos - runStart)));
            }
            run.clear();
        }
        if (atEnd) break;
        out.append(text, pos, step.length);
        pos += step.length;
    }
    return out;
}

}  // namespace varnel
