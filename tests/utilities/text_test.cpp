#include <clocale>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "utilities/codec.h"
#include "utilities/number_text.h"
#include "utilities/utf8_text.h"

namespace varnel {
namespace {

TEST(Utf8Text, InvalidBytesAreKeptAndCountedOnce) {
    // "a", an invalid byte, "中", a truncated three-byte sequence.
    const std::string text = "a\xFF\xE4\xB8\xAD\xE4\xB8";
    std::string rebuilt;
    int invalid = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Step step = DecodeUtf8At(text, pos);
        if (!step.valid) ++invalid;
        rebuilt.append(text, pos, step.length);
        pos += step.length;
    }
    EXPECT_EQ(rebuilt, text);
    EXPECT_EQ(invalid, 3);
    EXPECT_EQ(CodePointCount(text), 5u);
    EXPECT_EQ(GbkWidth(text), 1u + 1u + 2u + 1u + 1u);
    EXPECT_EQ(ToDisplayText(text), "a\xEF\xBF\xBD中\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Utf8Text, RejectsForbiddenForms) {
    EXPECT_TRUE(IsValidUtf8("plain 中文 😀"));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong "/"
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // a surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
}

TEST(Utf8Text, GbkWidth) {
    EXPECT_EQ(GbkWidth(""), 0u);
    EXPECT_EQ(GbkWidth("abc"), 3u);
    EXPECT_EQ(GbkWidth("中文"), 4u);
    EXPECT_EQ(GbkWidth("é"), 2u);
    EXPECT_EQ(GbkWidth("😀"), 2u);
}

TEST(TextFiles, DecodeUtf8BomAndGbk) {
    EXPECT_EQ(DecodeTextFile("\xEF\xBB\xBF[节]\n键=值"), "[节]\n键=值");
    EXPECT_EQ(DecodeTextFile("[节]\n键=值"), "[节]\n键=值");
    // "中文" in GBK.
    EXPECT_EQ(DecodeTextFile("\xD6\xD0\xCE\xC4"), "中文");
}

TEST(TextFiles, GbkFileMadeByIconv) {
    testing::TempDir dir;
    dir.Write("utf8.txt", "设置=批量更名\n");
    const std::string command = "iconv -f UTF-8 -t GBK '" + (dir / "utf8.txt") + "' > '" +
                                (dir / "gbk.txt") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string gbk = dir.Read("gbk.txt");
    ASSERT_NE(gbk, "设置=批量更名\n");
    EXPECT_EQ(DecodeTextFile(gbk), "设置=批量更名\n");
}

TEST(Codecs, StrictConversionsFailInsteadOfGuessing) {
    EXPECT_EQ(EncodeToCodec("中文", kCodecGbk).value(), "\xD6\xD0\xCE\xC4");
    EXPECT_FALSE(EncodeToCodec("😀", kCodecGbk).has_value());  // GBK cannot hold it
    EXPECT_FALSE(DecodeFromCodec("\xD6", kCodecGbk).has_value());  // a lone lead byte
    EXPECT_EQ(DecodeFromCodec("\xD6", kCodecGbk, CodecMode::Lenient).value(), "\xEF\xBF\xBD");
}

TEST(NumberText, WritesAtMostFifteenSignificantDigitsLocaleFree) {
    struct Case { double value; const char* text; };
    const Case cases[] = {
        {2.5, "2.5"}, {60.0, "60"}, {0.0, "0"}, {-0.0, "0"}, {-3.25, "-3.25"},
        {0.1, "0.1"}, {1e-7, "0.0000001"}, {1e-9, "0.000000001"}, {123456789012.0, "123456789012"},
        {1e21, "1e+21"}, {1e-10, "1e-10"},
        // The noise of the last bits goes; no trailing zeros are left.
        {0.1 + 0.2, "0.3"}, {0.33355179999999995, "0.3335518"}, {1.0 / 3, "0.333333333333333"},
        {-2.0 / 3, "-0.666666666666667"}, {100.0 / 3, "33.3333333333333"}, {1234.5678, "1234.5678"},
        // Fifteen digits of a larger whole number, the rest zeros; a carry may add a digit.
        {123456789012345678.0, "123456789012346000"}, {999999999999999.9, "1000000000000000"},
        {999999999999999999999.0, "1e+21"}, {123456789012345.0, "123456789012345"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(NumberToText(c.value), c.text);
    }
    EXPECT_EQ(NumberToText(std::int64_t{-42}), "-42");
}

TEST(NumberText, GroupsThousands) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "0"}, {999, "999"}, {1000, "1,000"}, {1234567, "1,234,567"}, {-1234, "-1,234"},
        {INT64_MIN, "-9,223,372,036,854,775,808"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(NumberToGroupedText(value), text) << value;
}

TEST(NumberText, ReadsLeadingNumber) {
    struct Case { const char* text; double value; };
    const Case cases[] = {
        {"2.5", 2.5}, {"  60", 60}, {"+7", 7}, {"-1.5e2", -150}, {".5", 0.5},
        {"12abc", 12}, {"abc", 0}, {"", 0}, {"inf", 0}, {"nan", 0}, {"1,5", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_DOUBLE_EQ(TextToNumber(c.text), c.value);
    }
}

TEST(NumberText, RoundTripsUnderCommaDecimalLocale) {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    }
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    EXPECT_STREQ(probe, "1,5");  // the locale really is in force
    for (double value : {1.5, -2.25, 1234.125, 1e-7, 3.0}) {
        EXPECT_EQ(TextToNumber(NumberToText(value)), value);
    }
    EXPECT_EQ(NumberToText(1.5), "1.5");
    std::setlocale(LC_ALL, "C");
}

TEST(NumberText, RoundToDigits) {
    EXPECT_DOUBLE_EQ(RoundToDigits(59.999, 2), 60.0);
    EXPECT_DOUBLE_EQ(RoundToDigits(1.234, 2), 1.23);
    EXPECT_DOUBLE_EQ(RoundToDigits(-1.235, 1), -1.2);
}

}  // namespace
}  // namespace varnel
