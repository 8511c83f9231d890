// Numbers to and from text, never through the C locale (Qt sets one in which 1.5
// would be written "1,5"). Settings files, list cells and messages all use these.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varnel {

// A double in the conventional decimal form: at most 15 significant digits, no
// trailing zeros, "." as the decimal point and no exponent for ordinary
// magnitudes: 2.5 -> "2.5", 60.0 -> "60", -0.0 -> "0", 1e-7 -> "0.0000001",
// 0.1 + 0.2 -> "0.3". Magnitudes from 1e21 up, or below 1e-9, use an exponent
// ("1e+21").
std::string NumberToText(double value);
std::string NumberToText(std::int64_t value);

// Whole number with a "," between groups of three digits: 1234567 -> "1,234,567".
std::string NumberToGroupedText(std::int64_t value);
// A value rounded (half away from zero) to `decimals` places and written with
// max(decimals, 0) of them, the whole part grouped by "," when `separators`:
// (1234.5, 0, true) -> "1,235", (1234.5, 2, false) -> "1234.50", (1234.5, -2, true)
// -> "1,200". A value that is not finite is written "0".
std::string NumberToGroupedText(double value, int decimals, bool separators);

// The leading number of a text, the way a lenient reader takes it: leading blanks
// skipped, an optional sign, digits with an optional fraction and exponent; the
// rest is ignored. A text with no leading number reads as 0.
double TextToNumber(std::string_view text);

// Rounded half away from zero to `digits` decimals.
double RoundToDigits(double value, int digits);

}  // namespace varnel
