#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "utilities/text_converter.h"

namespace varnel {
namespace {

using namespace std::string_literals;

// The output of a command-line tool fed with the given bytes.
std::string RunTool(const std::string& command, const std::string& input) {
    testing::TempDir dir;
    dir.Write("in", input);
    const std::string line = command + " < '" + (dir / "in") + "' > '" + (dir / "out") + "'";
    EXPECT_EQ(std::system(line.c_str()), 0) << line;
    return dir.Read("out");
}

std::string Iconv(const std::string& bytes, const std::string& from, const std::string& to) {
    return RunTool("iconv -f " + from + " -t " + to, bytes);
}

std::string EveryByte() {
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    return bytes;
}

std::string Value(const std::expected<std::string, Error>& result) {
    EXPECT_TRUE(result) << (result ? "" : result.error().message);
    return result ? *result : "<failed>";
}

ConvertOptions Letters(ConvertScope scope, LetterConversion letters) {
    ConvertOptions options;
    options.scope = scope;
    options.letters = letters;
    return options;
}

TEST(Base64, MatchesCoreutils) {
    const std::string inputs[] = {"", "a", "ab", "abc", "abcd", "批量更名.txt", "a\0b"s, EveryByte()};
    for (const std::string& input : inputs) {
        const std::string encoded = TextConverter::EncodeBase64(input);
        EXPECT_EQ(encoded, RunTool("base64 -w0", input));
        EXPECT_EQ(Value(TextConverter::DecodeBase64(encoded)), input);
    }
}

TEST(Base64, DecodingSkipsLineBreaksAndRejectsBadText) {
    EXPECT_EQ(Value(TextConverter::DecodeBase64("YWJj\r\nZGVm\nZw==\n")), "abcdefg");
    EXPECT_EQ(Value(TextConverter::DecodeBase64("YWI=")), "ab");
    for (const char* bad : {"YWJ", "YQ=", "Y===", "YQ=a", "YWI=YQ==", "YW!j", "YWJj=", "中文"}) {
        auto out = TextConverter::DecodeBase64(bad);
        ASSERT_FALSE(out) << bad;
        EXPECT_EQ(out.error().code, Error::kConversion);
        EXPECT_EQ(out.error().message, "不是有效的 Base64 文本");
    }
}

TEST(QuotedPrintable, EncodesEveryByte) {
    EXPECT_EQ(TextConverter::EncodeHexEscapes(""), "");
    EXPECT_EQ(TextConverter::EncodeHexEscapes("a\0\xFF="s), "=61=00=FF=3D");
    EXPECT_EQ(TextConverter::EncodeHexEscapes("中", true), "%E4%B8%AD");
    EXPECT_EQ(TextConverter::DecodeHexEscapes(TextConverter::EncodeHexEscapes(EveryByte())), EveryByte());
}

TEST(QuotedPrintable, DecodesAsMailReadersDo) {
    struct Case {
        const char* text;
        std::string expected;
    };
    const Case cases[] = {
        {"=41=4a=4A", "AJJ"},
        {"plain text", "plain text"},
        {"a=\r\nb", "ab"},
        {"a=\nb", "ab"},
        {"a= \t\r\nb", "ab"},
        {"=ZZ=4", "=ZZ=4"},
        // A "=" that ends the data is a soft break on the last line, which needs
        // no line end of its own; blanks after it were added in transport.
        {"100=", "100"},
        {"=", ""},
        {"a=\nb=", "ab"},
        {"abc= \t", "abc"},
        {"x=\r\n", "x"},
        // A lone CR is no line end, and "=" before anything else stays.
        {"a=\rb", "a=\rb"},
        {"a = b=3", "a = b=3"},
        {"=3D=00", "=\0"s},
        {"=E4=B8=AD.txt", "中.txt"},
    };
    for (const Case& c : cases) EXPECT_EQ(TextConverter::DecodeHexEscapes(c.text), c.expected) << c.text;
}

TEST(Url, EncodesEveryByteAndDecodesEitherCase) {
    EXPECT_EQ(TextConverter::UrlEncodeAll("a b/中\n"), "%61%20%62%2F%E4%B8%AD%0A");
    EXPECT_EQ(TextConverter::UrlDecode(TextConverter::UrlEncodeAll(EveryByte())), EveryByte());
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"%e4%B8%ad", "中"},
        {"a+b", "a+b"},
        {"100%", "100%"},
        {"%4", "%4"},
        {"%G1%%41", "%G1%A"},
    };
    for (const Case& c : cases) EXPECT_EQ(TextConverter::UrlDecode(c.text), c.expected) << c.text;
}

TEST(Codecs, MatchIconv) {
    const std::string utf8 = "批量更名 abc ①\0😀"s;
    const std::string gbkText = "批量更名 abc ①";  // GBK has no emoji
    const std::string gbk = Iconv(gbkText, "UTF-8", "GBK");
    const std::string utf16 = Iconv(utf8, "UTF-8", "UTF-16LE");
    ASSERT_FALSE(gbk.empty());
    ASSERT_EQ(utf16.size(), 2 * 11u + 4u);

    EXPECT_EQ(Value(TextConverter::ConvertUtf8ToAnsi(gbkText)), gbk);
    EXPECT_EQ(Value(TextConverter::ConvertAnsiToUtf8(gbk)), gbkText);
    EXPECT_EQ(Value(TextConverter::ConvertUtf8ToUtf16(utf8)), utf16);
    EXPECT_EQ(Value(TextConverter::ConvertUtf16ToUtf8(utf16)), utf8);
    const std::string gbkAsUtf16 = Iconv(gbk, "GBK", "UTF-16LE");
    EXPECT_EQ(Value(TextConverter::ConvertAnsiToUtf16(gbk)), gbkAsUtf16);
    EXPECT_EQ(Value(TextConverter::ConvertUtf16ToAnsi(gbkAsUtf16)), gbk);
}

TEST(Codecs, Big5MatchesIconv) {
    const std::string big5 = Iconv("繁體中文 abc", "UTF-8", "BIG5");
    const std::string gbkTraditional = Iconv("繁體中文 abc", "UTF-8", "GBK");
    const std::string gbkSimplified = Iconv("繁体中文 abc", "UTF-8", "GBK");
    EXPECT_EQ(Value(TextConverter::ConvertBig5ToGbk(big5)), gbkTraditional);
    EXPECT_EQ(Value(TextConverter::ConvertBig5ToGbkSimplified(big5)), gbkSimplified);
    EXPECT_EQ(Value(TextConverter::ConvertGbkToBig5(gbkTraditional)), big5);
    EXPECT_EQ(Value(TextConverter::ConvertGbkSimplifiedToBig5(gbkSimplified)), big5);
}

TEST(Codecs, InvalidInputAndUnmappableCharactersFail) {
    struct Case {
        const char* what;
        std::expected<std::string, Error> result;
    };
    const Case cases[] = {
        {"odd UTF-16 length", TextConverter::ConvertUtf16ToAnsi("a\0b"s)},
        {"lone surrogate", TextConverter::ConvertUtf16ToUtf8("\x00\xD8" "a\0"s)},
        {"invalid UTF-8", TextConverter::ConvertUtf8ToAnsi("a\xFF")},
        {"surrogate in UTF-8", TextConverter::ConvertUtf8ToUtf16("\xED\xA0\x80")},
        {"emoji to GBK", TextConverter::ConvertUtf8ToAnsi("😀")},
        {"truncated GBK", TextConverter::ConvertAnsiToUtf8("a\xD6")},
        {"simplified to Big5", TextConverter::ConvertGbkToBig5(Iconv("简", "UTF-8", "GBK"))},
    };
    for (const Case& c : cases) {
        ASSERT_FALSE(c.result) << c.what;
        EXPECT_EQ(c.result.error().code, Error::kConversion) << c.what;
    }
}

TEST(Script, SimplifiedAndTraditional) {
    EXPECT_EQ(Value(TextConverter::ConvertToTraditional("简体中文 发展 abc")), "簡體中文 發展 abc");
    EXPECT_EQ(Value(TextConverter::ConvertToSimplified("簡體中文 發展 abc")), "简体中文 发展 abc");
    // Invalid bytes stay where they are.
    EXPECT_EQ(Value(TextConverter::ConvertToTraditional("简\xFF体")), "簡\xFF體");
}

TEST(ConvertText, NothingChosenLeavesEveryByte) {
    for (ConvertScope scope : {ConvertScope::WholeText, ConvertScope::WholeName, ConvertScope::MainName,
                               ConvertScope::Extension}) {
        for (const std::string& text : {"a.b.c"s, "a."s, ".cfg"s, ""s, "\xD6\xD0\xFF.t\0xt"s}) {
            ConvertOptions options;
            options.scope = scope;
            EXPECT_EQ(Value(ConvertText(text, options)), text);
        }
    }
}

TEST(ConvertText, ScopesAndReassembly) {
    using S = ConvertScope;
    struct Case {
        const char* name;
        S scope;
        const char* expected;
    };
    const Case cases[] = {
        {"archive.tar.gz", S::WholeName, "ARCHIVE.TAR.GZ"},
        {"archive.tar.gz", S::MainName, "ARCHIVE.TAR.gz"},
        {"archive.tar.gz", S::Extension, "archive.tar.GZ"},
        // A hidden file's leading dot starts no extension.
        {".cfg", S::MainName, ".CFG"},
        {".cfg", S::Extension, ".cfg"},
        {".config.json", S::MainName, ".CONFIG.json"},
        {".config.json", S::Extension, ".config.JSON"},
        {"a.", S::MainName, "A."},
        {"a.", S::Extension, "a."},
        {"readme", S::MainName, "README"},
        {"readme", S::Extension, "readme"},
        {"", S::MainName, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Value(ConvertText(c.name, Letters(c.scope, LetterConversion::Upper))), c.expected)
            << c.name << " scope " << static_cast<int>(c.scope);
    }
}

TEST(ConvertText, LettersTitleCase) {
    EXPECT_EQ(Value(ConvertText("hELLO wORLD-x2", Letters(ConvertScope::WholeName,
                                                          LetterConversion::WordsUpperRestLower))),
              "Hello World-X2");
    EXPECT_EQ(Value(ConvertText("hELLO wORLD-x2.TXT", Letters(ConvertScope::MainName,
                                                              LetterConversion::WordsUpperRestLower))),
              "Hello World-X2.TXT");
}

TEST(ConvertText, CodecResultsKeepZeroBytes) {
    ConvertOptions options;
    options.codec = CodecConversion::AnsiToUnicode;
    options.scope = ConvertScope::WholeName;
    EXPECT_EQ(Value(ConvertText("abc.txt", options)), "a\0b\0c\0.\0t\0x\0t\0"s);
    options.scope = ConvertScope::MainName;
    EXPECT_EQ(Value(ConvertText("abc.txt", options)), "a\0b\0c\0.txt"s);
}

TEST(ConvertText, GbkNamesToUtf8AndBack) {
    const std::string gbkName = "\xD6\xD0\xCE\xC4.txt";  // 中文.txt in GBK
    ConvertOptions options;
    options.scope = ConvertScope::WholeName;
    options.codec = CodecConversion::AnsiToUtf8;
    EXPECT_EQ(Value(ConvertText(gbkName, options)), "中文.txt");
    options.codec = CodecConversion::Utf8ToAnsi;
    EXPECT_EQ(Value(ConvertText("中文.txt", options)), gbkName);
    options.codec = CodecConversion::UnicodeToUtf8;
    EXPECT_EQ(Value(ConvertText("\x2D\x4E\x87\x65"s, options)), "中文");
}

TEST(ConvertText, CodecRunsFirst) {
    ConvertOptions options;
    options.codec = CodecConversion::EncodeUrl;
    options.letters = LetterConversion::Lower;
    EXPECT_EQ(Value(ConvertText("AB中", options)), "%41%42%e4%b8%ad");
    options.letters = LetterConversion::Upper;
    EXPECT_EQ(Value(ConvertText("ab", options)), "%61%62");
}

TEST(ConvertText, CharacterStepsKeepTheCodecsEncoding) {
    ConvertOptions options;
    // Lowering the bytes 2D 4E of 中 in UTF-16LE one by one would make 2D 6E.
    options.codec = CodecConversion::Utf8ToUnicode;
    options.letters = LetterConversion::Lower;
    EXPECT_EQ(Value(ConvertText("AB中", options)), "a\0b\0\x2D\x4E"s);

    options = {};
    options.codec = CodecConversion::Utf8ToAnsi;
    options.width = WidthConversion::HalfToFull;
    options.tradSimp = ScriptConversion::SimplifiedToTraditional;
    EXPECT_EQ(Value(ConvertText("a简", options)), Iconv("ａ簡", "UTF-8", "GBK"));
}

TEST(ConvertText, GbkBytesAreConvertedAsGbk) {
    // 0x81 0x61 is one GBK character whose second byte is "a".
    const std::string gbk = "\x81\x61x.txt";
    EXPECT_EQ(Value(ConvertText(gbk, Letters(ConvertScope::WholeName, LetterConversion::Upper))),
              "\x81\x61X.TXT");
    ConvertOptions options;
    options.tradSimp = ScriptConversion::SimplifiedToTraditional;
    EXPECT_EQ(Value(ConvertText(Iconv("简体文件", "UTF-8", "GBK"), options)),
              Iconv("簡體文件", "UTF-8", "GBK"));
    // Bytes that are neither UTF-8 nor GBK: only the valid characters change.
    EXPECT_EQ(Value(ConvertText("ab\xFF", Letters(ConvertScope::WholeName, LetterConversion::Upper))),
              "AB\xFF");
}

TEST(ConvertText, ScriptChoices) {
    using S = ScriptConversion;
    const std::string big5 = Iconv("繁體", "UTF-8", "BIG5");
    struct Case {
        S choice;
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {S::Big5ToGbkTraditional, big5, Iconv("繁體", "UTF-8", "GBK")},
        {S::Big5ToGbkSimplified, big5, Iconv("繁体", "UTF-8", "GBK")},
        {S::GbkTraditionalToBig5, "繁體", big5},
        {S::GbkTraditionalToBig5, Iconv("繁體", "UTF-8", "GBK"), big5},
        {S::GbkSimplifiedToBig5, "繁体", big5},
        {S::TraditionalToSimplified, "簡體中文.txt", "简体中文.txt"},
        {S::SimplifiedToTraditional, "简体中文.txt", "簡體中文.txt"},
    };
    for (const Case& c : cases) {
        ConvertOptions options;
        options.tradSimp = c.choice;
        EXPECT_EQ(Value(ConvertText(c.text, options)), c.expected) << static_cast<int>(c.choice);
    }
}

TEST(ConvertText, DigitsInAName) {
    ConvertOptions options;
    options.scope = ConvertScope::MainName;
    options.digits = DigitConversion::ToCapitalNumerals;
    EXPECT_EQ(Value(ConvertText("第12集.mp4", options)), "第壹拾贰集.mp4");
    options.digits = DigitConversion::NumeralsToDigits;
    EXPECT_EQ(Value(ConvertText("二〇〇六年十二月.txt", options)), "2006年12月.txt");
}

TEST(ConvertText, FailuresAreReported) {
    ConvertOptions toGbk;
    toGbk.codec = CodecConversion::Utf8ToAnsi;
    ConvertOptions fromBase64;
    fromBase64.codec = CodecConversion::DecodeBase64;
    ConvertOptions toBig5;
    toBig5.tradSimp = ScriptConversion::GbkTraditionalToBig5;
    ConvertOptions toGbkMain = toGbk;
    toGbkMain.scope = ConvertScope::MainName;
    struct Case {
        const char* text;
        ConvertOptions options;
    };
    const Case cases[] = {
        {"😀.txt", toGbk},
        {"😀.txt", toGbkMain},
        {"not base64!", fromBase64},
        {"简", toBig5},
    };
    for (const Case& c : cases) {
        auto out = ConvertText(c.text, c.options);
        ASSERT_FALSE(out) << c.text;
        EXPECT_EQ(out.error().code, Error::kConversion) << c.text;
        EXPECT_FALSE(out.error().message.empty());
    }
}

TEST(ConvertText, OptionsOutsideTheirListsAreRefused) {
    ConvertOptions codec;
    codec.codec = static_cast<CodecConversion>(13);
    ConvertOptions scope;
    scope.scope = static_cast<ConvertScope>(4);
    ConvertOptions width;
    width.width = static_cast<WidthConversion>(-1);
    for (const ConvertOptions& options : {codec, scope, width}) {
        auto out = ConvertText("a.txt", options);
        ASSERT_FALSE(out);
        EXPECT_EQ(out.error().code, Error::kInvalidInput);
        EXPECT_EQ(out.error().message, "转换选项无效");
    }
}

}  // namespace
}  // namespace varnel
