#include <gtest/gtest.h>

#include "naming/char_classes.h"
#include "naming/clear_chars_name.h"
#include "naming/convert_name.h"
#include "naming/meta_random.h"
#include "naming/pinyin_name.h"

namespace varnel {
namespace {

PinyinParams Pinyin(PinyinCase letterCase, const char* separator = "", bool initials = false) {
    PinyinParams p;
    p.letterCase = letterCase;
    p.separator = separator;
    p.initialsOnly = initials;
    return p;
}

TEST(PinyinName, CaseSeparatorAndInitialsRules) {
    using C = PinyinCase;
    struct Case {
        const char* name;
        PinyinParams params;
        const char* expected;
    };
    const Case cases[] = {
        {"中国abc", Pinyin(C::SyllablesUpper, "-"), "Zhong-Guoabc"},
        {"ab中国", Pinyin(C::SyllablesUpper, "-"), "abZhong-Guo"},  // no separator after a non-Chinese character
        {"中国", Pinyin(C::FirstUpper), "Zhongguo"},
        {"1中国", Pinyin(C::FirstUpper), "1zhongguo"},  // the first character is not Chinese
        {"中国 人", Pinyin(C::SyllablesUpper, "_"), "Zhong_Guo Ren"},
        {"中华人民", Pinyin(C::FirstUpper, "", true), "Zhrm"},
        {"中华人民", Pinyin(C::SyllablesUpper, "", true), "ZHRM"},
        {"中华人民", Pinyin(C::AllUpper, "", true), "ZHRM"},
        {"中华人民", Pinyin(C::AllLower, "", true), "zhrm"},
        {"中华人民", Pinyin(C::AllLower, " "), "zhong hua ren min"},
        // Each character is read on its own, by ICU's first reading: 重 zhong, 行 xing, 长 zhang.
        {"重庆", Pinyin(C::SyllablesUpper), "ZhongQing"},
        {"银行", Pinyin(C::SyllablesUpper), "YinXing"},
        {"长安", Pinyin(C::SyllablesUpper), "ZhangAn"},
        // 兙 has no reading: it stays, and counts as no syllable.
        {"兙中", Pinyin(C::SyllablesUpper, "-"), "兙Zhong"},
        {"中兙国", Pinyin(C::SyllablesUpper, "-"), "Zhong兙Guo"},
        // Characters outside GBK's Chinese ranges stay: a full-width digit, an emoji.
        {"１中😀", Pinyin(C::AllLower), "１zhong😀"},
        {"", Pinyin(C::AllLower), ""},
    };
    for (const Case& c : cases) EXPECT_EQ(MakePinyinName(c.name, c.params), c.expected) << c.name;
}

TEST(PinyinName, PartTemplateAndReadings) {
    PinyinParams p = Pinyin(PinyinCase::SyllablesUpper);
    p.scope = NamePart::MainName;
    EXPECT_EQ(MakePinyinName("北京.txt", p), "BeiJing.txt");
    p.useTemplate = true;
    p.pattern = "[?]";
    EXPECT_EQ(MakePinyinName("北京.txt", p), "[BeiJing].txt");
    p.scope = NamePart::Extension;
    p.useTemplate = false;
    EXPECT_EQ(MakePinyinName("a.文本", p), "a.WenBen");
    EXPECT_EQ(GetPinyin(U'绿'), "lu");  // ü without its marks
    EXPECT_EQ(GetPinyin(U'兙'), "");
    EXPECT_TRUE(IsHanziChar("中"));
    EXPECT_TRUE(IsHanziChar("兙"));
    EXPECT_FALSE(IsHanziChar("a"));
    EXPECT_FALSE(IsHanziChar("，"));
    EXPECT_FALSE(IsHanziChar("😀"));
    EXPECT_FALSE(IsHanziChar("中国"));
}

ClearCharsParams Clear(std::initializer_list<const char*> names, NamePart scope = NamePart::MainName) {
    const std::vector<CharClassEntry>& classes = LoadCharClasses();
    std::vector<bool> checks(classes.size(), false);
    for (const char* name : names) {
        for (std::size_t i = 0; i < classes.size(); ++i) {
            if (classes[i].name == name) checks[i] = true;
        }
    }
    ClearCharsParams p = MakeClearCharsParams(classes, checks);
    p.scope = scope;
    return p;
}

TEST(ClearCharsName, CheckedClassesAreRemoved) {
    struct Case {
        const char* name;
        ClearCharsParams params;
        const char* expected;
    };
    const Case cases[] = {
        {"a1b2.txt", Clear({"半角数字"}), "ab.txt"},
        {"a 1 b.txt", Clear({"半角常用符号"}), "a1b.txt"},  // 32 lies in its first range
        {"a-(1).txt", Clear({"半角常用符号", "半角数字"}), "a.txt"},
        // Both whole classes clear everything: the name stays, it does not become ".txt".
        {"中文 a1.txt", Clear({"半角字符(全部)", "全角字符(全部)"}), "中文 a1.txt"},
        {"中文 a1.txt", Clear({"半角字符(全部)", "全角字符(全部)"}, NamePart::WholeName), "中文 a1.txt"},
        {"中文 a1.txt", Clear({"半角字符(全部)"}), "中文.txt"},
        {"中文 a1.txt", Clear({"全角字符(全部)"}), " a1.txt"},
        {"第１章【上】.txt", Clear({"全角数字", "全角常用符号"}), "第章上.txt"},
        {"汉字abc.txt", Clear({"伟大的中华汉字"}), "abc.txt"},
        // Chinese characters whose second byte is below 100 (丂 is 81 40) are in the class too.
        {"丂乕x.txt", Clear({"伟大的中华汉字"}), "x.txt"},
        {"─┌x.txt", Clear({"制表符"}), "x.txt"},
        // An emoji has no GBK code: it is in no class, not even the whole ones.
        {"a😀b.txt", Clear({"半角字符(全部)", "全角字符(全部)"}), "😀.txt"},
        {"a😀b.txt", Clear({"半角小写字母"}), "😀.txt"},
        {"a1b2.txt", Clear({}), "a1b2.txt"},
        {"a.t1t", Clear({"半角数字"}, NamePart::Extension), "a.tt"},
    };
    for (const Case& c : cases) EXPECT_EQ(MakeClearedName(c.name, c.params), c.expected) << c.name;
}

TEST(ClearCharsName, ASingleCodeNamesOneCharacter) {
    ClearCharsParams p;
    p.scope = NamePart::WholeName;
    p.ranges = CharCodeText("中").value();  // D6 D0
    EXPECT_EQ(p.ranges, "214208");
    EXPECT_EQ(MakeClearedName("中国中", p), "国");
    p.ranges = "16986";  // A9 56, written without padding: ￢
    EXPECT_EQ(CharFromCodeText("16986"), "￢");
    EXPECT_EQ(MakeClearedName("a￢b", p), "ab");
    EXPECT_TRUE(IsDoubleByteChar("中"));
    EXPECT_FALSE(IsDoubleByteChar("a"));
    EXPECT_FALSE(IsDoubleByteChar("😀"));
}

TEST(CharClasses, CodesRangesAndSamples) {
    EXPECT_EQ(LoadCharClasses().size(), 34u);
    EXPECT_EQ(LoadCharClasses()[4].ranges, "半角");
    EXPECT_EQ(LoadCharClasses()[33].name, "某心等");
    EXPECT_EQ(CharCodeText("A"), "65");
    EXPECT_EQ(CharCodeText("￢"), "16986");
    EXPECT_EQ(CharCodeText("😀"), std::nullopt);
    EXPECT_EQ(CharFromCodeText("169086"), "￢");  // a padded second byte names the same character
    EXPECT_EQ(CharFromCodeText("65"), "A");
    EXPECT_EQ(CharFromCodeText("999"), "");
    EXPECT_EQ(CharFromCodeText("x"), "");
    EXPECT_TRUE(CodeInRanges("16986", "1,16986"));
    EXPECT_TRUE(CodeInRanges("169086", "16986"));
    EXPECT_FALSE(CodeInRanges("16987", "16986"));
    EXPECT_TRUE(CodeInRanges("12964", "129064-160254"));  // compared as numbers, not as text
    EXPECT_FALSE(CodeInRanges("48", ""));
    EXPECT_TRUE(CodeInRanges("48", "32-47,48-57"));
    EXPECT_EQ(RangesToSampleText("48-57"), "0123456789");
    EXPECT_EQ(RangesToSampleText("65,97-99"), "Aabc");
    EXPECT_EQ(DescribeCharClass("半角数字", "48-57"), "0123456789");
    EXPECT_EQ(DescribeCharClass("半角字符(全部)", "半角"), "半角者，一半也，即相对于全角的一半，占 1 字节的字符也");
    const std::string all = ShowAllCharClasses(LoadCharClasses());
    EXPECT_TRUE(all.starts_with("半角常用符号 >>>  !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~\r\n半角小写字母 >>> abc"))
        << all.substr(0, 120);
    std::string list;
    AppendRangeList(list, "1-2");
    AppendRangeList(list, "");
    AppendRangeList(list, "5");
    EXPECT_EQ(list, "1-2,5");
}

TEST(CharClasses, ClickAndSelectionRules) {
    std::vector<bool> checks(6, false);
    std::size_t anchor = ClickCharClasses(checks, 0, 1, {});
    EXPECT_EQ(checks, std::vector<bool>(6, false));  // a plain click changes no check
    anchor = ClickCharClasses(checks, anchor, 4, {.shift = true});
    EXPECT_EQ(checks, (std::vector<bool>{false, true, true, true, true, false}));
    anchor = ClickCharClasses(checks, anchor, 2, {.alt = true});  // upwards
    EXPECT_EQ(checks, (std::vector<bool>{false, true, false, false, false, false}));
    anchor = ClickCharClasses(checks, anchor, 0, {.shift = true, .alt = true});
    EXPECT_EQ(checks, (std::vector<bool>{true, false, true, false, false, false}));
    anchor = ClickCharClasses(checks, anchor, 5, {.shift = true, .ctrl = true});  // Ctrl: that row only
    EXPECT_EQ(checks, (std::vector<bool>{true, false, true, false, false, true}));
    EXPECT_EQ(anchor, 5u);
    SetAllCharClasses(checks, 0);
    EXPECT_EQ(checks, (std::vector<bool>{false, true, false, true, true, false}));
    SetAllCharClasses(checks, 1);
    EXPECT_EQ(checks, std::vector<bool>(6, true));
    SetAllCharClasses(checks, -1);
    EXPECT_EQ(checks, std::vector<bool>(6, false));

    const std::vector<CharClassEntry>& classes = LoadCharClasses();
    std::vector<bool> all(classes.size(), false);
    all[4] = true;  // 半角字符(全部)
    std::vector<bool> available = CharClassAvailability(classes, all);
    EXPECT_FALSE(available[0]);
    EXPECT_FALSE(available[3]);
    EXPECT_TRUE(available[4]);
    EXPECT_TRUE(available[5]);
    all[9] = true;  // 全角字符(全部)
    available = CharClassAvailability(classes, all);
    EXPECT_FALSE(available[5]);
    EXPECT_FALSE(available[8]);
    EXPECT_TRUE(available[9]);
    EXPECT_FALSE(available[33]);
}

ConvertOptions Convert(CodecConversion codec, ConvertScope scope = ConvertScope::WholeName) {
    ConvertOptions o;
    o.scope = scope;
    o.codec = codec;
    return o;
}

TEST(ConvertName, ASlashBecomesFullWidthAndOnlyTheConvertedPartMustBeText) {
    using S = ConvertScope;
    struct Case {
        const char* name;
        ConvertOptions options;
        const char* made;
    };
    const Case cases[] = {
        {"Ａ／Ｂ.txt", {.scope = S::WholeName, .width = WidthConversion::FullToHalf}, "A／B.txt"},
        {"丯", Convert(CodecConversion::Utf8ToUnicode), "／N"},  // U+4E2F: 2F 4E
        // A Latin-1 main name keeps its bytes while the extension changes, and back.
        {"caf\xE9.TXT", {.scope = S::Extension, .letters = LetterConversion::Lower}, "caf\xE9.txt"},
        {"notes.\xE9t\xE9", {.scope = S::MainName, .letters = LetterConversion::Upper}, "NOTES.\xE9t\xE9"},
    };
    for (const Case& c : cases) EXPECT_EQ(MakeConvertedName(c.name, c.options), c.made) << c.name;
}

TEST(ConvertName, ConversionsAndNamesThatCannotBe) {
    ConvertOptions none;
    none.scope = ConvertScope::MainName;
    EXPECT_EQ(MakeConvertedName("Ab 中.txt", none), "Ab 中.txt");
    ConvertOptions numerals;
    numerals.scope = ConvertScope::MainName;
    numerals.digits = DigitConversion::NumeralsToDigits;
    EXPECT_EQ(MakeConvertedName("第十二章.txt", numerals), "第12章.txt");
    numerals.digits = DigitConversion::ToNumerals;
    EXPECT_EQ(MakeConvertedName("第3集.mp4", numerals), "第三集.mp4");
    ConvertOptions letters;
    letters.scope = ConvertScope::Extension;
    letters.letters = LetterConversion::Upper;
    EXPECT_EQ(MakeConvertedName("a.txt", letters), "a.TXT");
    // GBK bytes are a name this system keeps byte for byte.
    EXPECT_EQ(MakeConvertedName("中文", Convert(CodecConversion::Utf8ToAnsi)), "\xD6\xD0\xCE\xC4");

    struct Refused {
        const char* name;
        ConvertOptions options;
        const char* message;  // nullptr: the converter's own reason
    };
    const Refused refused[] = {
        {"ab.txt", Convert(CodecConversion::AnsiToUnicode, ConvertScope::MainName), kConvertedNameHasNul},
        {"㪁", Convert(CodecConversion::Utf8ToUnicode), kConvertedNameUndecodable},  // U+3A81: 81 3A
        // The part converted must still be text, whatever the rest holds.
        {"\xE9\xE9.㪁", Convert(CodecConversion::Utf8ToUnicode, ConvertScope::Extension), kConvertedNameUndecodable},
        {"中", Convert(CodecConversion::AnsiToUtf8), nullptr},  // E4 B8 AD is no GBK text
    };
    for (const Refused& r : refused) {
        const auto made = MakeConvertedName(r.name, r.options);
        ASSERT_FALSE(made.has_value()) << r.name;
        EXPECT_FALSE(made.error().message.empty());
        if (r.message != nullptr) {
            EXPECT_EQ(made.error().message, r.message) << r.name;
        }
    }
}

}  // namespace
}  // namespace varnel
