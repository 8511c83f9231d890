// A date-time pattern and its options: how the list's time columns and the time
// meta-variables write a date-time.
#pragma once

#include <string>
#include <string_view>

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

namespace varnel {

// Fills the pattern's symbols with the parts of a date-time (an OLE day count in
// local time, rounded to the second): #年 #月 #日 #时 #分 #秒, the weekday as #星
// (Monday 1 … Sunday 7), #中星 (一 … 日), #英星 (monday …), #简星 (mon …), the quarter
// #季 and the week of the month #周. With toChineseNumerals the digits of the whole
// result, literal ones included, then become Chinese numerals. Never fails.
std::string FormatDateTimeByRule(double oleDate, const TimeFormat& format);

// The numeral step: each run of ASCII digits as one number with place words, or
// digit by digit with singleCharMode. A run too long for a 64-bit number is
// written digit by digit.
std::string ConvertDigitsToChinese(std::string_view text, bool singleCharMode, bool traditional,
                                   bool zeroHandling);

}  // namespace varnel
