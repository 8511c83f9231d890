#include "utilities/time_format.h"

#include <gtest/gtest.h>

#include "utilities/chinese_numerals.h"
#include "utilities/ole_date.h"

namespace varnel {
namespace {

double At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return *CivilToOleDate({y, mo, d, h, mi, s, 0});
}

TimeFormat Pattern(const char* pattern, bool zeroPad = true) {
    TimeFormat format;
    format.pattern = pattern;
    format.zeroPad = zeroPad;
    return format;
}

TEST(TimeFormat, FillsEverySymbol) {
    struct Case { double when; const char* pattern; bool pad; const char* expected; };
    const Case cases[] = {
        {At(2024, 3, 5, 9, 7, 2), kDefaultTimePattern, true, "2024/03/05 09:07:02"},
        {At(2024, 3, 5, 9, 7, 2), kDefaultTimePattern, false, "2024/3/5 9:7:2"},
        {At(987, 3, 5), "#年", true, "0987"},
        {At(987, 3, 5), "#年", false, "987"},
        {At(2024, 3, 10), "#星 #中星 #英星 #简星", true, "7 日 sunday sun"},  // a Sunday
        {At(2024, 3, 11), "星期#中星/#星/#简星", true, "星期一/1/mon"},     // a Monday
        {At(2024, 3, 7), "#周", true, "1"},
        {At(2024, 3, 8), "#周", true, "2"},
        {At(2024, 3, 29), "#周", true, "5"},
        {At(2024, 3, 31), "#周", true, "5"},
        {At(2024, 12, 1), "#季", true, "4"},
        {At(2024, 1, 1), "#季", true, "1"},
        {At(2024, 3, 5), "#日-#日", true, "05-05"},  // a symbol used twice
        {At(2024, 3, 5), "no symbols 123", true, "no symbols 123"},
        {0.0, "#年-#月-#日 #星", true, "1899-12-30 6"},  // day 0 was a Saturday
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(FormatDateTimeByRule(c.when, Pattern(c.pattern, c.pad)), c.expected);
    }
}

TEST(TimeFormat, RoundsToTheNearestSecond) {
    // 10:00:01 stored a hair below itself must not show as 10:00:00.
    const double stored = At(2024, 1, 1, 10, 0, 1) - 1e-10;
    EXPECT_EQ(FormatDateTimeByRule(stored, Pattern("#时:#分:#秒")), "10:00:01");
    const double almostMidnight = At(2024, 1, 1, 23, 59, 59) + 0.9 / 86400;
    EXPECT_EQ(FormatDateTimeByRule(almostMidnight, Pattern(kDefaultTimePattern)),
              "2024/01/02 00:00:00");
}

TEST(TimeFormat, ChineseNumeralSteps) {
    struct Case { const char* pattern; bool single; bool traditional; bool zero; const char* expected; };
    const double when = At(2006, 10, 5, 9, 0, 0);
    const Case cases[] = {
        {"#年", true, false, false, "二〇〇六"},
        {"#年", true, false, true, "二零零六"},
        {"#年", true, true, false, "贰零零陆"},
        {"#时", false, false, false, "九"},        // "09" converts as the number 9
        {"#年年#月月", false, false, false, "二千零六年十月"},
        {"#年", false, true, false, "贰仟零陆"},
        {"第3版#日", false, false, false, "第三版五"},  // literal digits convert too
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        TimeFormat format = Pattern(c.pattern);
        format.toChineseNumerals = true;
        format.singleCharMode = c.single;
        format.traditional = c.traditional;
        format.zeroHandling = c.zero;
        EXPECT_EQ(FormatDateTimeByRule(when, format), c.expected);
    }
    // A digit run beyond 64 bits is written digit by digit.
    EXPECT_EQ(ConvertDigitsToChinese("a99999999999999999999b", false, false, false),
              "a九九九九九九九九九九九九九九九九九九九九b");
}

TEST(ChineseNumerals, WholeNumbers) {
    struct Case { long long value; const char* plain; const char* capital; };
    const Case cases[] = {
        {0, "零", "零"},
        {5, "五", "伍"},
        {10, "十", "壹拾"},
        {12, "十二", "壹拾贰"},
        {20, "二十", "贰拾"},
        {105, "一百零五", "壹佰零伍"},
        {1010, "一千零一十", "壹仟零壹拾"},
        {10005, "一万零五", "壹万零伍"},
        {100000, "十万", "壹拾万"},
        {120034, "十二万零三十四", "壹拾贰万零叁拾肆"},
        {100000000, "一亿", "壹亿"},
        {100010000, "一亿零一万", "壹亿零壹万"},
        {100000001, "一亿零一", "壹亿零壹"},
        {110000000, "一亿一千万", "壹亿壹仟万"},
        {10001000, "一千万一千", "壹仟万壹仟"},
        {100000000000, "一千亿", "壹仟亿"},
        // Above 亿 the 万 belongs to the count of 亿, never "万亿" followed by more 亿.
        {1000000000000, "一万亿", "壹万亿"},
        {1000100000000, "一万零一亿", "壹万零壹亿"},
        {2300000000000, "二万三千亿", "贰万叁仟亿"},
        {1000000010000, "一万亿零一万", "壹万亿零壹万"},
        {1000000000001, "一万亿零一", "壹万亿零壹"},
        // Millisecond time stamps, as photo names carry them.
        {1700000000123, "一万七千亿零一百二十三", "壹万柒仟亿零壹佰贰拾叁"},
        {1718000123456, "一万七千一百八十亿零一十二万三千四百五十六",
         "壹万柒仟壹佰捌拾亿零壹拾贰万叁仟肆佰伍拾陆"},
        {9999999999999999, "九千九百九十九万九千九百九十九亿九千九百九十九万九千九百九十九",
         "玖仟玖佰玖拾玖万玖仟玖佰玖拾玖亿玖仟玖佰玖拾玖万玖仟玖佰玖拾玖"},
        {10000000000000000, "一亿亿", "壹亿亿"},
        {-23, "负二十三", "负贰拾叁"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(NumberToChineseNumerals(c.value, true), c.plain);
        EXPECT_EQ(NumberToChineseNumerals(c.value, false), c.capital);
    }
    EXPECT_FALSE(NumberToChineseNumerals(INT64_MIN).empty());
}

TEST(ChineseNumerals, Amounts) {
    struct Case { double value; const char* capital; };
    const Case cases[] = {
        {0, "零元整"}, {123, "壹佰贰拾叁元整"}, {1.05, "壹元零伍分"}, {1.5, "壹元伍角"},
        {0.5, "伍角"}, {0.05, "伍分"}, {10, "壹拾元整"}, {-2.25, "负贰元贰角伍分"},
        {1000100000000, "壹万零壹亿元整"}, {2300000000000.5, "贰万叁仟亿元伍角"},
        {100000001.01, "壹亿零壹元零壹分"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(NumberToChineseAmount(c.value, false), c.capital);
    }
    EXPECT_EQ(NumberToChineseAmount(123, true), "一百二十三元整");
}

TEST(OleDate, DayCountsAndEverySecondOfADay) {
    const CivilTime last = OleDateToCivil(2958465);
    EXPECT_EQ(last.year, 9999);
    EXPECT_EQ(last.month, 12);
    EXPECT_EQ(last.day, 31);
    const CivilTime y2k = OleDateToCivil(36526);
    EXPECT_EQ(y2k.year, 2000);
    EXPECT_EQ(IsoWeekday(OleDateToCivil(0)), 6);
    const double base = At(2024, 2, 29);
    for (int second = 0; second < 86400; ++second) {
        const double when = base + second / 86400.0;
        const CivilTime t = OleDateToCivil(when, CivilRounding::Second);
        ASSERT_EQ(t.hour * 3600 + t.minute * 60 + t.second, second);
        ASSERT_EQ(t.day, 29);
        ASSERT_NEAR(*CivilToOleDate(t), when, 1e-9);
    }
}

}  // namespace
}  // namespace varnel
