#include "naming/meta_random.h"

#include <set>
#include <string>

#include <gtest/gtest.h>

#include "naming/common_hanzi.h"
#include "utilities/char_forms.h"
#include "utilities/utf8_text.h"

namespace varnel {
namespace {

bool AllOf(std::string_view text, std::string_view allowed) {
    return text.find_first_not_of(allowed) == std::string_view::npos;
}

constexpr std::string_view kDigits = "0123456789";
constexpr std::string_view kLower = "abcdefghijklmnopqrstuvwxyz";
constexpr std::string_view kUpper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";

std::set<std::string> Characters(std::string_view text) {
    std::set<std::string> characters;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = DecodeUtf8At(text, pos).length;
        characters.insert(std::string(text.substr(pos, length)));
        pos += length;
    }
    return characters;
}

TEST(MetaRandom, LengthsAndClasses) {
    MetaRandomEngine engine(42);
    EXPECT_EQ(RandomTextLength(0), 8);
    EXPECT_EQ(RandomTextLength(-4), 8);
    EXPECT_EQ(RandomTextLength(300), 255);

    const std::string digits = RandomDigits(engine, 0, false);
    EXPECT_EQ(digits.size(), 8u);
    EXPECT_TRUE(AllOf(digits, kDigits));
    EXPECT_EQ(RandomDigits(engine, 100000, false).size(), 255u);

    const std::string lower = RandomLowerLetters(engine, 40, false);
    EXPECT_EQ(lower.size(), 40u);
    EXPECT_TRUE(AllOf(lower, kLower));
    const std::string upper = RandomUpperLetters(engine, 40, false);
    EXPECT_TRUE(AllOf(upper, kUpper));

    const std::string letters = RandomLetters(engine, 200, false);
    EXPECT_TRUE(AllOf(letters, std::string(kLower) + std::string(kUpper)));
    EXPECT_NE(letters.find_first_of(kLower), std::string::npos);
    EXPECT_NE(letters.find_first_of(kUpper), std::string::npos);

    const std::string wide = RandomDigits(engine, 5, true);
    EXPECT_EQ(CodePointCount(wide), 5u);
    EXPECT_TRUE(AllOf(ToHalfWidth(wide), kDigits));
    EXPECT_NE(wide, ToHalfWidth(wide));

    const std::string chinese = RandomChineseDigits(engine, 30, false);
    EXPECT_EQ(CodePointCount(chinese), 30u);
    for (const std::string& c : Characters(chinese)) {
        EXPECT_NE(std::string_view("零一二三四五六七八九").find(c), std::string_view::npos) << c;
    }
    for (const std::string& c : Characters(RandomChineseDigits(engine, 30, true))) {
        EXPECT_NE(std::string_view("零壹贰叁肆伍陆柒捌玖").find(c), std::string_view::npos) << c;
    }
}

TEST(MetaRandom, DigitsAndLettersLeaveClassesOut) {
    MetaRandomEngine engine(7);
    const std::string all = std::string(kDigits) + std::string(kLower) + std::string(kUpper);
    struct Case { bool noDigits, noLower, noUpper; std::string allowed; };
    const Case cases[] = {
        {false, false, false, all},
        {true, false, false, std::string(kLower) + std::string(kUpper)},
        {false, true, false, std::string(kDigits) + std::string(kUpper)},
        {false, false, true, std::string(kDigits) + std::string(kLower)},
        {true, true, false, std::string(kUpper)},
        {false, true, true, std::string(kDigits)},
        // With every class left out the last choices still give letters.
        {true, true, true, std::string(kLower) + std::string(kUpper)},
    };
    for (const Case& c : cases) {
        const std::string text = RandomDigitsAndLetters(
            engine, {.length = 200, .noDigits = c.noDigits, .noLowerCase = c.noLower,
                     .noUpperCase = c.noUpper});
        EXPECT_EQ(text.size(), 200u);
        EXPECT_TRUE(AllOf(text, c.allowed)) << text;
    }
}

TEST(MetaRandom, HanziComeFromTheLists) {
    EXPECT_EQ(CodePointCount(CommonHanzi()), 2500u);
    EXPECT_EQ(CodePointCount(LessCommonHanzi()), 1000u);
    EXPECT_TRUE(CommonHanzi().starts_with("一乙二十丁厂七卜人入"));
    EXPECT_TRUE(LessCommonHanzi().starts_with("匕刁丐歹戈夭仑讥冗邓"));
    const auto common = Characters(CommonHanzi());
    const auto less = Characters(LessCommonHanzi());
    EXPECT_EQ(common.size(), 2500u);
    EXPECT_EQ(less.size(), 1000u);

    MetaRandomEngine engine(1);
    const std::string both = RandomHanzi(engine, {.length = 300});
    EXPECT_EQ(CodePointCount(both), 255u);
    bool sawCommon = false;
    bool sawLess = false;
    for (const std::string& c : Characters(both)) {
        sawCommon = sawCommon || common.contains(c);
        sawLess = sawLess || less.contains(c);
        EXPECT_TRUE(common.contains(c) || less.contains(c)) << c;
    }
    EXPECT_TRUE(sawCommon);
    EXPECT_TRUE(sawLess);

    for (const std::string& c : Characters(RandomHanzi(engine, {.length = 100, .noCommon = true}))) {
        EXPECT_TRUE(less.contains(c)) << c;
    }
    for (const std::string& c : Characters(RandomHanzi(engine, {.length = 100, .noLessCommon = true}))) {
        EXPECT_TRUE(common.contains(c)) << c;
    }
    EXPECT_EQ(RandomHanzi(engine, {.length = 5, .noCommon = true, .noLessCommon = true}), "");

    MetaRandomEngine a(9);
    MetaRandomEngine b(9);
    const std::string simplified = RandomHanzi(a, {.length = 200});
    const std::string traditional = RandomHanzi(b, {.length = 200, .traditional = true});
    EXPECT_EQ(CodePointCount(traditional), 200u);
    EXPECT_NE(traditional, simplified);
}

TEST(MetaRandom, ThreadEngineIsSeededOnce) {
    // Two draws in a row on one thread differ: the engine is not reseeded per call.
    const std::string first = RandomDigits(ThreadRandomEngine(), 40, false);
    const std::string second = RandomDigits(ThreadRandomEngine(), 40, false);
    EXPECT_NE(first, second);
}

TEST(MetaRandom, CharFromCodeText) {
    EXPECT_EQ(CharFromCodeText("65"), "A");
    EXPECT_EQ(CharFromCodeText("122"), "z");
    EXPECT_EQ(CharFromCodeText("176161"), "啊");
    EXPECT_EQ(CharFromCodeText("0"), "");
    EXPECT_EQ(CharFromCodeText("abc"), "");
    EXPECT_EQ(CharFromCodeText("300"), "");
    EXPECT_EQ(CharFromCodeText(""), "");
}

}  // namespace
}  // namespace varnel
