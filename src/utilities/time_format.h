// A date-time pattern and its options: how the list's time columns and the time
// meta-variables write a date-time.
#pragma once

#include <string>

namespace varnel {

inline constexpr const char* kDefaultTimePattern = "#年/#月/#日 #时:#分:#秒";

struct TimeFormat {
    std::string pattern;             // the rule text; every other text stays as it is
    bool zeroPad = false;            // year to 4 digits, the other parts to 2
    bool toChineseNumerals = false;  // then write the digits as Chinese numerals
    bool traditional = false;        // capital numerals instead of the plain ones
    bool singleCharMode = false;     // digit by digit instead of number by number
    bool zeroHandling = false;       // digit by digit: zero as "零" instead of "〇"
};

}  // namespace varnel
