#include "naming/content_extract_name.h"

#include <string>

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "utilities/codec.h"

namespace varnel {
namespace {

const std::string kBom = "\xEF\xBB\xBF";

std::string Gbk(const std::string& utf8) { return EncodeToCodec(utf8, kCodecGbk).value(); }

// A fixture file in a temporary folder; its full path.
struct Fixture {
    testing::TempDir dir;
    std::string Put(const std::string& name, const std::string& bytes) {
        dir.Write(name, bytes);
        return dir / name;
    }
};

TEST(ContentExtract, CleaningTheFoundText) {
    struct Case {
        std::string text;
        std::string cleaned;
    };
    const Case cases[] = {
        {"My Page", "My Page"},
        {"\r\n  My\tPage\r\n", "  MyPage"},
        {"a\x7F\xC2\x85" "b\xE2\x80\xA8" "c", "abc"},  // DEL, NEL, line separator
        {"bad\xFFtext", "badtext"},
        {std::string(300, 'x'), std::string(255, 'x')},
    };
    for (const Case& c : cases) EXPECT_EQ(CleanExtractedText(c.text), c.cleaned) << c.text;
    // A cut never splits a character: 85 of 100 three-byte characters fit.
    std::string han;
    for (int i = 0; i < 100; ++i) han += "中";
    const std::string cut = CleanExtractedText("x" + han);
    EXPECT_EQ(cut.size(), 253u);
}

ElementExtractParams Elements(NamePart scope, const char* e1, const char* e2, bool caseSensitive) {
    ElementExtractParams p;
    p.scope = scope;
    p.element1 = e1;
    p.element2 = e2;
    p.caseSensitive = caseSensitive;
    return p;
}

TEST(ContentExtract, ElementsOfPages) {
    struct Case {
        std::string content;
        ElementExtractParams params;
        std::string expected;
    };
    const auto main = NamePart::MainName;
    const Case cases[] = {
        {"<html><head><title>My Page</title></head>", Elements(main, "<title>", "</title>", false), "My Page.htm"},
        {kBom + "<title>中文标题</title>", Elements(main, "<title>", "</title>", false), "中文标题.htm"},
        {Gbk("<title>中文标题</title>"), Elements(main, "<title>", "</title>", false), "中文标题.htm"},
        {kBom + Gbk("<p>前言<title>中文标题</title>"), Elements(main, "<title>", "</title>", false), "中文标题.htm"},
        // Markers in the page's own case; 区分大小写 checked means case-sensitive.
        {"<TITLE>Up</TITLE>", Elements(main, "<title>", "</title>", true), "page.htm"},
        {"<TITLE>Up</TITLE>", Elements(main, "<title>", "</title>", false), "Up.htm"},
        {"<title>Up</title>", Elements(main, "<title>", "</title>", true), "Up.htm"},
        // Nothing found, or an empty stretch, keeps the name (no ".htm" file).
        {"<html>no title</html>", Elements(main, "<title>", "</title>", false), "page.htm"},
        {"<title></title>", Elements(NamePart::WholeName, "<title>", "</title>", false), "page.htm"},
        {"<title>Only a start", Elements(main, "<title>", "</title>", false), "page.htm"},
        {"<title>x</title>", Elements(main, "", "</title>", false), "page.htm"},
        // Line breaks inside the stretch go.
        {"<title>\r\n  Two\r\n  Lines\r\n</title>", Elements(NamePart::WholeName, "<title>", "</title>", false),
         "  Two  Lines"},
        {"[a][b]", Elements(NamePart::Extension, "[", "]", false), "page.a"},
    };
    for (const Case& c : cases) {
        Fixture f;
        EXPECT_EQ(MakeElementName(f.Put("page.htm", c.content), c.params), c.expected) << c.content;
    }
}

TEST(ContentExtract, ElementsThroughTheTemplate) {
    Fixture f;
    ElementExtractParams p = Elements(NamePart::MainName, "<title>", "</title>", false);
    p.useTemplate = true;
    p.pattern = "[?]-?";
    EXPECT_EQ(MakeElementName(f.Put("page.htm", "<title>ab</title>"), p), "[ab]-ab.htm");
    EXPECT_EQ(MakeElementName(f.Put("none.htm", "no title"), p), "none.htm");
    EXPECT_EQ(MakeElementName(f.dir / "missing.htm", p), "missing.htm");
}

RegexExtractParams Regex(const char* expression) {
    RegexExtractParams p;
    p.expression = expression;
    return p;
}

std::string RegexName(const std::string& path, const RegexExtractParams& p) {
    RegexObject regex;
    EXPECT_TRUE(regex.Compile(p.expression, RegexExtractFlags(p)).has_value()) << p.expression;
    return MakeRegexExtractName(path, p, regex).value_or("<error>");
}

// The marker and expression tasks read files up to 513,023 bytes; a larger one
// keeps its name.
TEST(ContentExtract, FilesPastTheSizeLimitKeepTheirNames) {
    Fixture f;
    const std::string head = "<title>Found</title>id=42 ";
    const std::string fits = f.Put("fits.htm", head + std::string(kMaxExtractFileBytes - head.size(), ' '));
    const std::string over = f.Put("over.htm", head + std::string(kMaxExtractFileBytes + 1 - head.size(), ' '));
    const ElementExtractParams element = Elements(NamePart::MainName, "<title>", "</title>", false);
    EXPECT_EQ(MakeElementName(fits, element), "Found.htm");
    EXPECT_EQ(MakeElementName(over, element), "over.htm");
    RegexExtractParams regex = Regex("id=(\\d+)");
    regex.scope = NamePart::MainName;
    EXPECT_EQ(RegexName(fits, regex), "id=42.htm");
    EXPECT_EQ(RegexName(over, regex), "over.htm");
}

TEST(ContentExtract, RegularExpressionMatches) {
    struct Case {
        RegexExtractParams params;
        std::string expected;
    };
    auto with = [](const char* expression, auto&& change) {
        RegexExtractParams p = Regex(expression);
        change(p);
        return p;
    };
    const Case cases[] = {
        {Regex("id=\\d+"), "id=42"},
        {with("id=\\d+", [](auto& p) { p.global = true, p.matchIndex = 2; }), "id=77"},
        // Without global matching only the first match counts, whatever the index.
        {with("id=\\d+", [](auto& p) { p.matchIndex = 5; }), "id=42"},
        {with("id=\\d+", [](auto& p) { p.global = true, p.matchIndex = 3; }), "data.txt"},
        {with("id=\\d+", [](auto& p) { p.global = true, p.matchIndex = 0; }), "id=42"},
        {with("id=(\\d+)", [](auto& p) { p.takeSubmatch = true; }), "42"},
        {with("id=(\\d+)", [](auto& p) { p.global = true, p.matchIndex = 2, p.takeSubmatch = true; }), "77"},
        {with("(id)=(\\d+)", [](auto& p) { p.takeSubmatch = true, p.submatchIndex = 2; }), "42"},
        // A group the expression does not have keeps the name.
        {with("id=\\d+", [](auto& p) { p.takeSubmatch = true; }), "data.txt"},
        {with("(id)=\\d+", [](auto& p) { p.takeSubmatch = true, p.submatchIndex = 2; }), "data.txt"},
        {Regex("NAME=(\\w+)"), "data.txt"},
        {with("NAME=\\w+", [](auto& p) { p.ignoreCase = true; }), "name=Foo"},
        {with("^second.*$", [](auto& p) { p.multiline = true; }), "second line"},
        {Regex("^second.*$"), "data.txt"},
        {Regex("nothing"), "data.txt"},
        {with("\\d+", [](auto& p) { p.useTemplate = true, p.pattern = "No.?"; }), "No.42"},
    };
    Fixture f;
    const std::string path = f.Put("data.txt", "id=42; id=77; name=Foo\r\nsecond line\r\n");
    for (const Case& c : cases) EXPECT_EQ(RegexName(path, c.params), c.expected) << c.params.expression;
}

PositionExtractParams Positions(bool byBytes, std::int64_t start, std::int64_t end, bool endIsCount = false) {
    PositionExtractParams p;
    p.byBytes = byBytes;
    p.start = start;
    p.end = end;
    p.endIsCount = endIsCount;
    return p;
}

TEST(ContentExtract, PositionsInBytesAndCharacters) {
    struct Case {
        std::string content;
        PositionExtractParams params;
        std::string expected;
    };
    const std::string digits = "0123456789abcdef";
    const Case cases[] = {
        {digits, Positions(true, 1, 10), "0123456789"},
        {digits, Positions(true, 1, 10, true), "0123456789"},
        {digits, Positions(true, 11, 3, true), "abc"},
        {digits, Positions(true, 5, 3), "a.txt"},
        {digits, Positions(true, 0, 2), "012"},  // the count is end - start + 1 before the start moves to 1
        {digits, Positions(true, 15, 100), "ef"},
        {digits, Positions(true, 40, 50), "a.txt"},
        // A double-byte character counts 2 in bytes; a position inside one moves to its start.
        {"第一章开始abc", Positions(true, 3, 6), "一章"},
        {"第一章开始abc", Positions(true, 2, 3), "第"},
        {"第一章开始abc", Positions(false, 2, 3), "一章"},
        {"第一章开始abc", Positions(false, 5, 2, true), "始a"},
        {Gbk("第一章开始abc"), Positions(false, 2, 3), "一章"},
        {kBom + "第一章", Positions(false, 1, 1), "第"},
        {"a\r\nb", Positions(true, 1, 4), "ab"},
    };
    for (const Case& c : cases) {
        Fixture f;
        EXPECT_EQ(MakePositionName(f.Put("a.txt", c.content), c.params), c.expected) << c.content;
    }
}

// A character cut by the end of a read chunk comes whole, in either encoding.
TEST(ContentExtract, PositionsPastTheFirstChunk) {
    Fixture f;
    std::string utf8 = "ab";
    for (int i = 0; i < 30000; ++i) utf8 += i % 2 ? "文" : "中";
    // Character 21847 takes bytes 65534 to 65536, across the first 64 KiB chunk.
    EXPECT_EQ(MakePositionName(f.Put("u.txt", utf8), Positions(false, 21846, 3, true)), "文中文");
    std::string han = "a";
    for (int i = 0; i < 40000; ++i) han += i % 2 ? "文" : "中";
    // In GBK character 32769 takes bytes 65535 and 65536.
    EXPECT_EQ(MakePositionName(f.Put("g.txt", Gbk(han)), Positions(false, 32768, 3, true)), "中文中");
}

LineExtractParams Line(std::int64_t line, bool emptyToNext = false) {
    LineExtractParams p;
    p.line = line;
    p.emptyToNext = emptyToNext;
    return p;
}

LineExtractParams Cut(LineExtractParams p, CutDirection direction, bool byBytes, std::int64_t start,
                      std::int64_t count) {
    p.cut = true;
    p.direction = direction;
    p.cutByBytes = byBytes;
    p.cutStart = start;
    p.cutCount = count;
    return p;
}

TEST(ContentExtract, Lines) {
    struct Case {
        std::string content;
        LineExtractParams params;
        std::string expected;
    };
    const std::string book = kBom + "  first line  \r\nsecond\r\n\r\n \t　\r\nfifth\r\n";
    const Case cases[] = {
        {book, Line(0), "first line"},
        {book, Line(1), "first line"},
        {book, Line(2), "second"},
        {book, Line(3), "book.txt"},
        {book, Line(3, true), "fifth"},
        {book, Line(4, true), "fifth"},
        {book, Line(6), "book.txt"},
        {book, Line(6, true), "book.txt"},
        {"\n\n  \nthird", Line(0, true), "third"},
        {"one\nlast", Line(2), "last"},
        {"", Line(1), "book.txt"},
        {Gbk("第一章开始\r\n正文"), Line(2), "正文"},
        {std::string(300, 'x') + "\nnext", Line(1), std::string(255, 'x')},
        {std::string(100000, ' ') + "far\nnext", Line(1), "far"},
        {"第一章开始", Cut(Line(1), CutDirection::Middle, false, 3, 2), "章开"},
        {"第一章开始", Cut(Line(1), CutDirection::Left, true, 0, 4), "第一"},
        {"第一章开始", Cut(Line(1), CutDirection::Right, false, 0, 2), "开始"},
        {"第一章开始", Cut(Line(1), CutDirection::Left, false, 0, 0), "book.txt"},
    };
    for (const Case& c : cases) {
        Fixture f;
        EXPECT_EQ(MakeLineName(f.Put("book.txt", c.content), c.params), c.expected) << c.content.substr(0, 40);
    }
}

TEST(ContentExtract, LinesWithTheNamePartAndTemplate) {
    Fixture f;
    const std::string path = f.Put("book.txt", "Title\n");
    LineExtractParams p = Line(1);
    p.scope = NamePart::MainName;
    EXPECT_EQ(MakeLineName(path, p), "Title.txt");
    p.useTemplate = true;
    p.pattern = "《?》";
    EXPECT_EQ(MakeLineName(path, p), "《Title》.txt");
    EXPECT_EQ(MakeLineName(f.dir / "missing.txt", p), "missing.txt");
}

}  // namespace
}  // namespace varnel
