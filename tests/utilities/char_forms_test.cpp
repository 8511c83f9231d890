#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "utilities/char_forms.h"
#include "utilities/chinese_numerals.h"

namespace varnel {
namespace {

TEST(LetterCase, EveryModeOnOneText) {
    const std::string text = "hELLO wORLD-x2 it's 中文abc";
    EXPECT_EQ(ToUpperAscii(text), "HELLO WORLD-X2 IT'S 中文ABC");
    EXPECT_EQ(ToLowerAscii(text), "hello world-x2 it's 中文abc");
    EXPECT_EQ(CapitalizeFirstLetter(text), "HELLO wORLD-x2 it's 中文abc");
    EXPECT_EQ(CapitalizeWords(text, false), "HELLO WORLD-X2 It'S 中文Abc");
    EXPECT_EQ(CapitalizeWords(text, true), "Hello World-X2 It'S 中文Abc");
}

TEST(LetterCase, FirstLetterAfterOtherCharactersAndNone) {
    EXPECT_EQ(CapitalizeFirstLetter("12 中文 abc def"), "12 中文 Abc def");
    EXPECT_EQ(CapitalizeFirstLetter("中文 123"), "中文 123");
    EXPECT_EQ(CapitalizeWords("", true), "");
}

TEST(LetterCase, InvalidBytesAreKeptAndEndWords) {
    EXPECT_EQ(ToUpperAscii("a\xFF" "b"), "A\xFF" "B");
    EXPECT_EQ(CapitalizeWords("ab\xFF" "cd", true), "Ab\xFF" "Cd");
}

TEST(Width, AsciiRangeBothWays) {
    const std::string half = "Ab 1!~{}";
    const std::string full = "Ａｂ　１！～｛｝";
    EXPECT_EQ(ToFullWidth(half), full);
    EXPECT_EQ(ToHalfWidth(full), half);
    // Characters outside the range, control bytes and invalid bytes are kept.
    EXPECT_EQ(ToFullWidth("中\t\xFF"), "中\t\xFF");
    EXPECT_EQ(ToHalfWidth("中。\xFF"), "中。\xFF");

    std::string everyAscii;
    for (char c = ' '; c <= '~'; ++c) everyAscii += c;
    EXPECT_EQ(ToHalfWidth(ToFullWidth(everyAscii)), everyAscii);
}

TEST(DigitsToNumerals, EachRunInPlace) {
    struct Case {
        const char* text;
        bool amount;
        bool traditional;
        const char* expected;
    };
    const Case cases[] = {
        {"第12集", false, false, "第十二集"},
        {"第12集", false, true, "第壹拾贰集"},
        {"a1b22c0", false, false, "a一b二十二c零"},
        {"2006", false, false, "二千零六"},
        {"007", false, false, "七"},
        {"123", true, false, "一百二十三元整"},
        {"123", true, true, "壹佰贰拾叁元整"},
        {"价1.05", true, true, "价壹元整.伍元整"},
        // The placeholder the numbers used to be routed through is ordinary text.
        {"*l*z*1*l*z*", false, false, "*l*z*一*l*z*"},
        {"no digits", true, false, "no digits"},
        {"IMG_1700000000123.jpg", false, false, "IMG_一万七千亿零一百二十三.jpg"},
        {"1000100000000", true, true, "壹万零壹亿元整"},
        {"1000100000000", true, false, "一万零一亿元整"},
    };
    for (const Case& c : cases) {
        auto out = DigitsToChineseNumerals(c.text, c.amount, c.traditional);
        ASSERT_TRUE(out) << c.text;
        EXPECT_EQ(*out, c.expected) << c.text;
    }
}

TEST(DigitsToNumerals, LongRuns) {
    // Too long for a number: written digit by digit.
    auto plain = DigitsToChineseNumerals("123456789012345678901", false, false);
    ASSERT_TRUE(plain);
    EXPECT_EQ(*plain, "一二三四五六七八九〇一二三四五六七八九〇一");
    // An amount cannot be: it fails rather than writing a wrong amount.
    auto amount = DigitsToChineseNumerals("x12345678901234567", true, false);
    ASSERT_FALSE(amount);
    EXPECT_EQ(amount.error().code, Error::kConversion);
    EXPECT_NE(amount.error().message.find("12345678901234567"), std::string::npos);
    EXPECT_TRUE(DigitsToChineseNumerals("90071992547409", true, false));
}

TEST(NumeralsToDigits, ReadsNumbers) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"三", "3"},
        {"二十三", "23"},
        {"一百", "100"},
        {"十", "10"},
        {"十一", "11"},
        {"百", "100"},
        {"一百零五", "105"},
        {"一千零一十", "1010"},
        {"两千零五", "2005"},
        {"十万", "100000"},
        {"一万五千", "15000"},
        {"三亿五千万", "350000000"},
        {"一万二千亿", "1200000000000"},
        {"一万亿", "1000000000000"},
        {"一亿亿", "10000000000000000"},
        {"一万零一亿", "1000100000000"},
        {"二万三千亿", "2300000000000"},
        {"一万亿零一万", "1000000010000"},
        {"一亿五千万亿", "15000000000000000"},
        // The short forms: a last digit right after a place word counts one place down.
        {"一万五", "15000"},
        {"三千二", "3200"},
        {"二百五", "250"},
        {"两百五", "250"},
        {"一亿五", "150000000"},
        {"一万二千五", "12500"},
        {"一万零五百", "10500"},
        {"两千零五", "2005"},
        {"一千零一十", "1010"},
        {"二十五", "25"},
        {"三千二百五", "3250"},
        {"二〇〇六", "2006"},
        {"零", "0"},
        {"两", "2"},
        {"壹佰贰拾叁元整", "123元整"},
        {"第二〇〇六年十二月三十一日", "第2006年12月31日"},
        {"no numerals 中文", "no numerals 中文"},
        {"\xFF" "十\xFF", "\xFF" "10\xFF"},
    };
    for (const Case& c : cases) {
        auto out = ChineseNumeralsToDigits(c.text);
        ASSERT_TRUE(out) << c.text;
        EXPECT_EQ(*out, c.expected) << c.text;
    }
}

TEST(NumeralsToDigits, RoundTripsWithTheNumeralWriter) {
    const std::int64_t values[] = {0,          1,          9,          10,          11,
                                   19,         20,         100,        101,         110,
                                   1000,       1001,       1010,       10000,       10001,
                                   10010,      100000,     1000000,    10000000,    100000000,
                                   100000001,  100010000,  2000000006, 1234567890123,
                                   1000000000000, 10000000000000000,
                                   std::numeric_limits<std::int64_t>::max()};
    for (std::int64_t value : values) {
        for (bool simplified : {true, false}) {
            const std::string numerals = NumberToChineseNumerals(value, simplified);
            auto digits = ChineseNumeralsToDigits(numerals);
            ASSERT_TRUE(digits) << numerals;
            EXPECT_EQ(*digits, std::to_string(value)) << numerals;
        }
    }
}

TEST(NumeralsToDigits, DigitsAndBackKeepNumbers) {
    const std::string text = "第123集-共2006页-0";
    auto numerals = DigitsToChineseNumerals(text, false, false);
    ASSERT_TRUE(numerals);
    auto digits = ChineseNumeralsToDigits(*numerals);
    ASSERT_TRUE(digits);
    EXPECT_EQ(*digits, text);
}

TEST(NumeralsToDigits, ValuePastSixtyFourBitsFails) {
    auto out = ChineseNumeralsToDigits("a九千九百亿亿亿b");
    ASSERT_FALSE(out);
    EXPECT_EQ(out.error().code, Error::kConversion);
    EXPECT_NE(out.error().message.find("九千九百亿亿亿"), std::string::npos);
}

}  // namespace
}  // namespace varnel
