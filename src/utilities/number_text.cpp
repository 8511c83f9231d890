#include "utilities/number_text.h"

#include <array>
#include <charconv>
#include <algorithm>
#include <cmath>

namespace varnel {

std::string NumberToText(double value) {
    if (value == 0.0) return "0";  // also -0.0
    std::array<char, 512> buffer{};
    if (std::isfinite(value)) {
        // Rounded to 15 significant digits first: every such decimal reads back as a
        // double whose shortest text is those digits, without the noise of the last
        // bits (0.33355179999999995 is written 0.3335518).
        const auto rounded =
            std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::scientific, 14);
        (void)std::from_chars(buffer.data(), rounded.ptr, value);
    }
    const double magnitude = std::fabs(value);
    const auto format = (std::isfinite(value) && magnitude >= 1e-9 && magnitude < 1e21)
                            ? std::chars_format::fixed
                            : std::chars_format::general;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format);
    return std::string(buffer.data(), result.ptr);
}

std::string NumberToText(std::int64_t value) {
    std::array<char, 24> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

namespace {

// A "," between groups of three digits of the whole part of a number text.
std::string GroupWholePart(const std::string& text) {
    const std::size_t signLength = text.starts_with('-') ? 1 : 0;
    const std::size_t point = std::min(text.find('.'), text.size());
    std::string grouped = text.substr(0, signLength);
    const std::size_t count = point - signLength;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0 && (count - i) % 3 == 0) grouped += ',';
        grouped += text[signLength + i];
    }
    return grouped + text.substr(point);
}

}  // namespace

std::string NumberToGroupedText(std::int64_t value) { return GroupWholePart(NumberToText(value)); }

std::string NumberToGroupedText(double value, int decimals, bool separators) {
    double rounded = RoundToDigits(value, decimals);
    if (!std::isfinite(rounded) || rounded == 0.0) rounded = 0.0;  // no "-0"
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), rounded,
                                      std::chars_format::fixed, decimals > 0 ? decimals : 0);
    std::string text(buffer.data(), result.ptr);
    return separators ? GroupWholePart(text) : text;
}

double TextToNumber(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // from_chars would also take "inf" and "nan"; only digits or a point may start a number.
    if (pos >= text.size() || !(std::isdigit(static_cast<unsigned char>(text[pos])) ||
                                text[pos] == '.')) {
        return 0.0;
    }
    double value = 0.0;
    const auto result = std::from_chars(text.data() + pos, text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        value = HUGE_VAL;  // from_chars leaves the value untouched on overflow or underflow
        const std::string_view digits = text.substr(pos, result.ptr - (text.data() + pos));
        const auto e = digits.find_first_of("eE");
        if (e != std::string_view::npos && e + 1 < digits.size() && digits[e + 1] == '-') value = 0.0;
    } else if (result.ec != std::errc()) {
        return 0.0;
    }
    return negative ? -value : value;
}

double RoundToDigits(double value, int digits) {
    const double scale = std::pow(10.0, digits);
    return std::round(value * scale) / scale;
}

}  // namespace varnel
