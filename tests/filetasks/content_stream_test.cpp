// Large contents go through the edits a piece at a time (checked in pieces, encoded
// in chunks, converted some kilobytes of lines at a time, written through a
// buffer): a character or a line across any of those boundaries comes out whole.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "content_run.h"
#include "filetasks/content_convert.h"
#include "filetasks/content_insert.h"
#include "filetasks/content_replace.h"
#include "filetasks/content_rewrite.h"
#include "filetasks/content_text.h"
#include "platform/mapped_file.h"
#include "support/temp_dir.h"
#include "utilities/codec.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

// About 18 MB of lines of five Chinese characters after a two-byte start, so that
// the piece boundaries (64 KB, 1 MB, 16 MB) fall inside characters and lines.
std::string LargeText(std::string_view word) {
    std::string text = "ab";
    const std::string line = "甲乙丙丁戊 " + std::string(word) + "\n";
    text.reserve(2 + line.size() * 900000);
    for (int i = 0; i < 900000; ++i) text += line;
    return text;
}

std::string In(const std::string& utf8, TextEncoding encoding) { return *EncodeFileText(utf8, encoding); }

TEST(ContentStream, ReplaceAndInsertKeepEveryCharacterOfALargeFileInEachEncoding) {
    const std::string before = LargeText("foo");
    const std::string replaced = LargeText("bar");
    std::string inserted = before;
    inserted.insert(OffsetOfLine(before, 800000, true), "新行\n");
    for (const TextEncoding e : {TextEncoding::Utf8, TextEncoding::Utf8Bom, TextEncoding::Gbk, TextEncoding::Utf16Le}) {
        for (const bool regex : {false, e == TextEncoding::Utf8}) {
            testing::TempDir dir;
            dir.Write("big.txt", In(before, e));
            testing::ContentRun run(dir);
            run.AddRow(dir.Path(), "big.txt");
            RunRows rows = run.Rows();
            ContentReplaceParams params;
            params.findText = regex ? "f(o+)" : "foo";
            params.replaceText = "bar";
            params.useRegex = regex;
            params.globalMatch = true;
            RunContentReplaceTask(*run.run, rows, params);
            EXPECT_EQ(run.Status(0), "√") << int(e) << regex;
            EXPECT_TRUE(dir.Read("big.txt") == In(replaced, e)) << int(e) << regex;
            EXPECT_TRUE(run.Undo().failedPaths.empty()) << int(e) << regex;
            EXPECT_TRUE(dir.Read("big.txt") == In(before, e)) << int(e) << regex;
        }
        testing::TempDir dir;
        dir.Write("big.txt", In(before, e));
        testing::ContentRun run(dir);
        run.AddRow(dir.Path(), "big.txt");
        RunRows rows = run.Rows();
        RunContentInsertTask(*run.run, rows, {InsertType::LineStart, 800000, "", "新行\n"});
        EXPECT_TRUE(dir.Read("big.txt") == In(inserted, e)) << int(e);
    }
}

TEST(ContentStream, AnEncodingConversionOfALargeFileGoesByWholeLines) {
    const std::string text = LargeText("foo");
    struct Case {
        CodecConversion codec;
        TextEncoding from;
        std::string after;
    };
    const Case cases[] = {
        {CodecConversion::AnsiToUtf8, TextEncoding::Gbk, text},
        {CodecConversion::UnicodeToUtf8, TextEncoding::Utf16Le, text},
        {CodecConversion::Utf8ToUnicode, TextEncoding::Utf8, In(text, TextEncoding::Utf16Le)},
    };
    for (const Case& c : cases) {
        ConvertOptions options;
        options.codec = c.codec;
        auto converted = ConvertTextOfFile(In(text, c.from), options);
        ASSERT_TRUE(converted) << int(c.codec);
        EXPECT_TRUE(*converted == c.after) << int(c.codec);
    }
}

TEST(ContentStream, AMappedFileReadsAgainWhatItLetGo) {
    testing::TempDir dir;
    const std::string text = LargeText("foo");
    dir.Write("big.txt", text);
    dir.Write("empty.txt", "");
    auto mapped = MappedFile::Open(dir / "big.txt", SystemPosix(), 0);
    ASSERT_TRUE(mapped);
    MappedFile moved = std::move(*mapped);
    ASSERT_TRUE(moved.Bytes() == text);
    moved.ReleaseBefore(moved.Bytes().data() + moved.Bytes().size());
    EXPECT_TRUE(moved.Holds(moved.Bytes().substr(5, 10)));
    EXPECT_TRUE(moved.Bytes() == text);
    auto empty = MappedFile::Open(dir / "empty.txt", SystemPosix(), 0);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->Bytes().empty());
    EXPECT_FALSE(MappedFile::Open(dir.Path(), SystemPosix(), 0));
}

// Another program cuts a file short while it is mapped for an edit: the edit reads
// zeros where the file ended instead of ending this program, and its result is
// thrown away: the file stays as the other program left it, no temporary remains.
TEST(ContentStream, AFileCutShortDuringAnEditIsLeftAlone) {
    testing::TempDir dir;
    const std::string text = LargeText("foo");
    dir.Write("big.txt", text);
    auto mapped = MappedFile::Open(dir / "big.txt", SystemPosix(), 0);
    ASSERT_TRUE(mapped);
    EXPECT_FALSE(mapped->Truncated());
    const std::string_view original = mapped->Bytes();
    UndoSpool spool(dir / "spool");
    for (bool hardLinked : {false, true}) {
        SCOPED_TRACE(hardLinked);
        if (hardLinked) fs::create_hard_link(dir / "big.txt", dir / "other-name.txt");
        const auto rewritten = RewriteFileStreamed(
            dir / "big.txt", original, &*mapped,
            [&](ContentSink& out) -> std::expected<bool, Error> {
                if (::truncate((dir / "big.txt").c_str(), 100) != 0) return std::unexpected(Error{errno, "truncate", {}});
                // Every byte of the old length is touched, past the new end too.
                std::string copy(original);
                if (auto written = out.Write(copy); !written) return std::unexpected(written.error());
                return true;
            },
            &spool);
        ASSERT_FALSE(rewritten.has_value());
        EXPECT_TRUE(mapped->Truncated());
        EXPECT_EQ(dir.Read("big.txt"), text.substr(0, 100));
        EXPECT_EQ(original.substr(0, 100), text.substr(0, 100));
        EXPECT_EQ(original.substr(original.size() - 10), std::string(10, '\0'));
    }
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir.Path())) left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"big.txt", "other-name.txt"}));
}

}  // namespace
}  // namespace varnel
