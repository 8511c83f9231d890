#include "filetasks/content_convert.h"

#include <gtest/gtest.h>

#include "content_run.h"
#include "filetasks/content_text.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

std::string In(std::string_view utf8, TextEncoding encoding) { return *EncodeFileText(utf8, encoding); }

TEST(ContentConvert, CharacterStepsKeepEachFilesEncoding) {
    ConvertOptions upper;
    upper.letters = LetterConversion::Upper;
    ConvertOptions simplified;
    simplified.tradSimp = ScriptConversion::TraditionalToSimplified;
    for (const TextEncoding e : {TextEncoding::Utf8, TextEncoding::Utf8Bom, TextEncoding::Gbk, TextEncoding::Utf16Le,
                                 TextEncoding::Utf16Be, TextEncoding::Utf16LeNoBom, TextEncoding::Utf16BeNoBom}) {
        EXPECT_EQ(ConvertTextOfFile(In("abc 甲\r\n", e), upper), In("ABC 甲\r\n", e)) << int(e);
        EXPECT_EQ(ConvertTextOfFile(In("abc", e), ConvertOptions{}), In("abc", e)) << int(e);
    }
    EXPECT_EQ(ConvertTextOfFile(In("漢語", TextEncoding::Utf16Le), simplified), In("汉语", TextEncoding::Utf16Le));
}

TEST(ContentConvert, EncodingStepsHandleBomsAndRefuseLosses) {
    struct Case {
        CodecConversion codec;
        std::string before;
        std::optional<std::string> after;  // nothing: the conversion fails
    };
    const Case cases[] = {
        {CodecConversion::AnsiToUtf8, In("甲乙", TextEncoding::Gbk), "甲乙"},
        {CodecConversion::Utf8ToAnsi, "\xEF\xBB\xBF甲", In("甲", TextEncoding::Gbk)},
        {CodecConversion::Utf8ToUnicode, "甲a", In("甲a", TextEncoding::Utf16Le)},
        {CodecConversion::UnicodeToUtf8, In("甲a", TextEncoding::Utf16Le), "甲a"},
        {CodecConversion::Utf8ToAnsi, "😀", std::nullopt},
        {CodecConversion::DecodeBase64, "YQBi", std::nullopt},  // "a\0b": a NUL in a text file
        // UTF-16 read as ANSI or UTF-8 would be NUL-laden nonsense.
        {CodecConversion::AnsiToUtf8, In("甲a", TextEncoding::Utf16Le), std::nullopt},
        {CodecConversion::AnsiToUtf8, In("甲a", TextEncoding::Utf16Be), std::nullopt},
        {CodecConversion::Utf8ToAnsi, In("ab\r\n", TextEncoding::Utf16LeNoBom), std::nullopt},
        {CodecConversion::AnsiToUnicode, In("ab", TextEncoding::Utf16Le), std::nullopt},
        {CodecConversion::Utf8ToUnicode, In("ab", TextEncoding::Utf16BeNoBom), std::nullopt},
    };
    for (const Case& c : cases) {
        ConvertOptions options;
        options.codec = c.codec;
        auto result = ConvertTextOfFile(c.before, options);
        EXPECT_EQ(result.has_value(), c.after.has_value()) << int(c.codec);
        if (result && c.after) {
            EXPECT_EQ(*result, *c.after) << int(c.codec);
        }
    }
}

TEST(ContentConvert, RunnerConvertsEveryListedFileAndFailedRowsStayUntouched) {
    testing::TempDir dir;
    dir.Write("a.txt", "abc");
    dir.Write("b.txt", "😀 x");
    testing::ContentRun run(dir);
    run.AddRow(dir.Path(), "a.txt");
    run.AddRow(dir.Path(), "b.txt");
    ConvertOptions options;
    options.codec = CodecConversion::Utf8ToAnsi;
    options.letters = LetterConversion::Upper;
    RunRows rows = run.Rows();
    RunContentConvertTask(*run.run, rows, options);
    EXPECT_EQ(dir.Read("a.txt"), "ABC");
    EXPECT_EQ(dir.Read("b.txt"), "😀 x");
    EXPECT_EQ(run.Status(0), "√");
    EXPECT_TRUE(run.Status(1).starts_with("×"));
    EXPECT_EQ(ConvertOptionOfIndex(0), 0);
    EXPECT_EQ(ConvertOptionOfIndex(1), 0);  // the separator line converts nothing
    EXPECT_EQ(ConvertOptionOfIndex(3), 2);
}

}  // namespace
}  // namespace varnel
