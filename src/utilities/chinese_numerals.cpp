#include "utilities/chinese_numerals.h"

#include <array>
#include <cmath>

namespace varnel {

namespace {

constexpr std::array<std::string_view, 10> kPlainDigits = {"〇", "一", "二", "三", "四",
                                                            "五", "六", "七", "八", "九"};
constexpr std::array<std::string_view, 10> kCapitalDigits = {"零", "壹", "贰", "叁", "肆",
                                                              "伍", "陆", "柒", "捌", "玖"};
constexpr std::string_view kZero = "零";

struct Numerals {
    const std::array<std::string_view, 10>& digits;
    std::array<std::string_view, 4> places;  // units, tens, hundreds, thousands
};

const Numerals& NumeralsFor(bool simplified) {
    static const Numerals plain{kPlainDigits, {"", "十", "百", "千"}};
    static const Numerals capital{kCapitalDigits, {"", "拾", "佰", "仟"}};
    return simplified ? plain : capital;
}

std::string_view DigitText(const Numerals& n, int digit) {
    return digit == 0 ? kZero : n.digits[static_cast<std::size_t>(digit)];
}

// 0 < section < 10000, written with its place words; inner zeros as one 零.
std::string SectionText(const Numerals& n, int section) {
    std::string text;
    bool pendingZero = false;
    for (int place = 3; place >= 0; --place) {
        const int divisor = place == 3 ? 1000 : place == 2 ? 100 : place == 1 ? 10 : 1;
        const int digit = section / divisor % 10;
        if (digit == 0) {
            pendingZero = !text.empty();
            continue;
        }
        if (pendingZero) text += kZero;
        pendingZero = false;
        text += DigitText(n, digit);
        text += n.places[static_cast<std::size_t>(place)];
    }
    return text;
}

// The whole part of a non-negative number; "" for 0. Numbers are read in groups of
// 亿 and, inside each, of 万: the part above 亿 is itself a number with 万 and 千
// (一万零一亿, 二万三千亿), never "万亿". A lower part with fewer digits than its
// place holds reads with one 零 in front (一亿零一万, 一万零五).
std::string WholeText(const Numerals& n, std::uint64_t value) {
    if (value < 10000) return value == 0 ? std::string() : SectionText(n, static_cast<int>(value));
    constexpr std::uint64_t kYi = 100000000;
    const bool yi = value >= kYi;
    const std::uint64_t unit = yi ? kYi : 10000;
    const std::uint64_t low = value % unit;
    std::string text = WholeText(n, value / unit);
    text += yi ? "亿" : "万";
    if (low > 0 && low < unit / 10) text += kZero;
    text += WholeText(n, low);
    return text;
}

}  // namespace

std::string NumberToChineseNumerals(std::int64_t value, bool simplified) {
    if (value == 0) return std::string(kZero);
    const Numerals& n = NumeralsFor(simplified);
    const std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value)
                                              : static_cast<std::uint64_t>(value);
    std::string text = WholeText(n, magnitude);
    constexpr std::string_view kOneTen = "一十";
    if (simplified && text.starts_with(kOneTen)) text.erase(0, kOneTen.size() - std::string_view("十").size());
    return value < 0 ? "负" + text : text;
}

std::string NumberToChineseAmount(double value, bool simplified) {
    const Numerals& n = NumeralsFor(simplified);
    if (!std::isfinite(value)) return {};
    const bool negative = value < 0;
    const double fen = std::round(std::fabs(value) * 100);
    if (fen >= 1.8e19) return {};  // beyond what a 64-bit count of fen holds
    const auto totalFen = static_cast<std::uint64_t>(fen);
    const std::uint64_t whole = totalFen / 100;
    const int jiao = static_cast<int>(totalFen / 10 % 10);
    const int cents = static_cast<int>(totalFen % 10);

    std::string text = negative && totalFen > 0 ? "负" : "";
    if (whole > 0) text += WholeText(n, whole) + "元";
    if (jiao == 0 && cents == 0) {
        return whole == 0 ? text + "零元整" : text + "整";
    }
    if (jiao > 0) {
        text += n.digits[static_cast<std::size_t>(jiao)];
        text += "角";
    } else if (whole > 0) {
        text += kZero;
    }
    if (cents > 0) {
        text += n.digits[static_cast<std::size_t>(cents)];
        text += "分";
    }
    return text;
}

std::string_view ChineseDigit(int digit, bool capital, bool zeroAsLing) {
    if (digit < 0 || digit > 9) return {};
    if (capital) return kCapitalDigits[static_cast<std::size_t>(digit)];
    if (digit == 0 && zeroAsLing) return kZero;
    return kPlainDigits[static_cast<std::size_t>(digit)];
}

}  // namespace varnel
