#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/file_io.h"
#include "support/faulty_posix.h"
#include "support/temp_dir.h"
#include "utilities/codec.h"
#include "platform/marked_text_editor.h"

namespace varnel {
namespace {

using testing::FaultyPosix;
using testing::TempDir;
using namespace std::string_literals;

std::string Gbk(std::string_view text) { return EncodeToCodec(text, kCodecGbk).value(); }

ino_t Inode(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_ino;
}

TEST(MarkedText, FindsTheFirstStretchBetweenMarkers) {
    struct Case {
        const char* content;
        const char* start;
        std::optional<const char*> end;
        bool ignoreCase;
        const char* expected;
    };
    const Case cases[] = {
        {"a<t>x</t>b", "<t>", "</t>", false, "x"},
        {"<t>one</t><t>two</t>", "<t>", "</t>", false, "one"},
        {"#a#b#", "#", std::nullopt, false, "a"},  // the start marker also ends it
        {"<t>x", "<t>", "</t>", false, ""},
        {"</t>x<t>y", "<t>", "</t>", false, ""},   // an end marker only before the start
        {"<t></t>", "<t>", "</t>", false, ""},
        {"<TITLE>x</Title>", "<title>", "</title>", true, "x"},
        {"<TITLE>x</TITLE>", "<title>", "</title>", false, ""},
        {"<t>中文</t>", "<t>", "</t>", false, "中文"},
        {"ax", "", "x", false, ""},                 // an empty marker finds nothing
        {"ax", "a", "", false, ""},
    };
    const MarkedTextEditor editor;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        const TextMarkers markers{c.start, c.end, c.ignoreCase};
        EXPECT_EQ(editor.GetMarkedText(c.content, markers), c.expected);
    }
}

TEST(MarkedText, ReplacesInMemory) {
    const MarkedTextEditor editor;
    std::string content = "<t>one</t><t>two</t>";
    ASSERT_TRUE(editor.ReplaceMarkedText(content, "first", {"<t>", "</t>"}));
    EXPECT_EQ(content, "<t>first</t><t>two</t>");
    ASSERT_TRUE(editor.ReplaceMarkedText(content, "", {"<T>", "</T>", true}));
    EXPECT_EQ(content, "<t></t><t>two</t>");
    EXPECT_FALSE(editor.ReplaceMarkedText(content, "x", {"<t>", "</u>"}));
    EXPECT_EQ(content, "<t></t><t>two</t>");
}

// A page with a BOM, CR LF line ends, a NUL byte, a second title and no final line end.
const std::string kPrefix = "\xEF\xBB\xBF<html>\r\n<head>\0\t<title>"s;
const std::string kSuffix = "</title>\r\n<title>second</title>\r\n</head>"s;

TEST(MarkedTextFile, ReplacementKeepsEveryByteAround) {
    TempDir dir;
    const std::string page = dir / "page.html";
    dir.Write("page.html", kPrefix + "Old title" + kSuffix);
    const MarkedTextEditor editor;
    EXPECT_EQ(editor.GetPageTitle(page), "Old title");

    for (const std::string title : {"A much longer title than before, 中文 too", "", "x"}) {
        SCOPED_TRACE(title);
        ASSERT_TRUE(editor.SetPageTitle(page, title));
        EXPECT_EQ(dir.Read("page.html"), kPrefix + title + kSuffix);
        EXPECT_EQ(editor.GetPageTitle(page), title);
    }

    std::string content;
    ASSERT_TRUE(editor.ReplaceMarkedTextInFile(page, "New", {"<title>", "</title>"}, &content));
    EXPECT_EQ(content, kPrefix.substr(3) + "New" + kSuffix);  // as text: the BOM is dropped
    EXPECT_EQ(editor.GetMarkedTextInFile(page, {"<head>", "<title>"}), "\0\t"s);
}

TEST(MarkedTextFile, AMissOrRefusalLeavesTheFileUntouched) {
    TempDir dir;
    const std::string page = dir / "page.html";
    const std::string original = "<html><TITLE>Upper</TITLE><title>open only</html>\n";
    dir.Write("page.html", original);
    const ino_t inode = Inode(page);
    const MarkedTextEditor editor;

    EXPECT_EQ(editor.GetPageTitle(page), "");  // tags are matched exactly as written
    const auto missing = editor.SetPageTitle(page, "New");
    ASSERT_FALSE(missing.has_value());
    EXPECT_EQ(missing.error().path, page);
    EXPECT_FALSE(editor.ReplaceMarkedTextInFile(page, "x", {"", "</html>"}).has_value());
    // Not valid UTF-8: the file would stop being UTF-8.
    EXPECT_FALSE(editor.ReplaceMarkedTextInFile(page, "\xFF", {"<TITLE>", "</TITLE>"}).has_value());

    FaultyPosix os;
    os.Fail(FaultyPosix::Call::Write, ENOSPC);
    const auto full = editor.ReplaceMarkedTextInFile(page, "x", {"<TITLE>", "</TITLE>"}, nullptr, os);
    ASSERT_FALSE(full.has_value());
    EXPECT_EQ(full.error().code, ENOSPC);

    EXPECT_EQ(dir.Read("page.html"), original);
    EXPECT_EQ(Inode(page), inode);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

    EXPECT_EQ(editor.GetPageTitle(dir / "absent.html"), "");
    EXPECT_FALSE(editor.SetPageTitle(dir / "absent.html", "x").has_value());
    EXPECT_FALSE(PathExists(dir / "absent.html"));
}

TEST(MarkedTextFile, GbkFileIsSearchedByCharacterAndKeepsItsEncoding) {
    TempDir dir;
    const std::string path = dir / "gbk.txt";
    // The trail bytes of 乕 and 乚 are "[" and "]", and that of 乤 is "a": none of
    // them is a marker.
    dir.Write("gbk.txt", Gbk("乕乚[旧文本]乤:a值a尾\r\n【甲】"));
    const MarkedTextEditor editor;

    std::string content;
    EXPECT_EQ(editor.GetMarkedTextInFile(path, {"[", "]"}, &content), "旧文本");
    EXPECT_EQ(content, "乕乚[旧文本]乤:a值a尾\r\n【甲】");
    EXPECT_EQ(editor.GetMarkedTextInFile(path, {"A", std::nullopt, true}), "值");
    EXPECT_EQ(editor.GetMarkedTextInFile(path, {"【", "】"}), "甲");

    ASSERT_TRUE(editor.ReplaceMarkedTextInFile(path, "新", {"[", "]"}, &content));
    EXPECT_EQ(dir.Read("gbk.txt"), Gbk("乕乚[新]乤:a值a尾\r\n【甲】"));
    EXPECT_EQ(content, "乕乚[新]乤:a值a尾\r\n【甲】");
    ASSERT_TRUE(editor.ReplaceMarkedTextInFile(path, "乙", {"【", "】"}));
    EXPECT_EQ(dir.Read("gbk.txt"), Gbk("乕乚[新]乤:a值a尾\r\n【乙】"));

    // GBK cannot hold the emoji; a marker it cannot hold is simply not there.
    const auto refused = editor.ReplaceMarkedTextInFile(path, "😀", {"[", "]"});
    ASSERT_FALSE(refused.has_value());
    EXPECT_EQ(refused.error().code, Error::kConversion);
    EXPECT_FALSE(editor.ReplaceMarkedTextInFile(path, "x", {"😀", "]"}).has_value());
    EXPECT_EQ(dir.Read("gbk.txt"), Gbk("乕乚[新]乤:a值a尾\r\n【乙】"));
}

}  // namespace
}  // namespace varnel
