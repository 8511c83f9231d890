#include "naming/list_font_name.h"

#include <gtest/gtest.h>

#include "support/command_output.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

TEST(NameList, LinesOfATypedList) {
    struct Case {
        const char* text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"one", {"one"}},
        {"one\ntwo\nthree", {"one", "two", "three"}},
        {"one\r\ntwo\r\n", {"one", "two"}},  // a final break starts no empty entry
        {"one\n\nthree\n\n", {"one", "", "three", ""}},
        {"\n", {""}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitNameList(c.text), c.lines) << c.text;
}

NameListParams ListParams(NamePart scope, const char* pattern = nullptr) {
    NameListParams p;
    p.scope = scope;
    if (pattern != nullptr) {
        p.useTemplate = true;
        p.pattern = pattern;
    }
    return p;
}

TEST(NameList, EntriesReplaceTheChosenPart) {
    struct Case {
        const char* name;
        const char* entry;
        NameListParams params;
        const char* expected;
    };
    const Case cases[] = {
        {"song.mp3", "Chapter 1", ListParams(NamePart::MainName), "Chapter 1.mp3"},
        {"song.mp3", "Chapter 1", ListParams(NamePart::WholeName), "Chapter 1"},
        {"song.mp3", "ogg", ListParams(NamePart::Extension), "song.ogg"},
        {"readme", "txt", ListParams(NamePart::Extension), "readme.txt"},
        {"song.mp3", "Song", ListParams(NamePart::MainName, "[?]-?"), "[Song]-Song.mp3"},
        {"song.mp3", "Song", ListParams(NamePart::MainName, ""), "Song.mp3"},  // empty template acts as "?"
        {"song.mp3", "中文 名", ListParams(NamePart::WholeName, "#序号_?"), "#序号_中文 名"},
        // An empty line leaves the name as it was, in every part and with a template.
        {"song.mp3", "", ListParams(NamePart::WholeName), "song.mp3"},
        {"song.mp3", "", ListParams(NamePart::MainName), "song.mp3"},
        {"song.mp3", "", ListParams(NamePart::Extension), "song.mp3"},
        {"song.mp3", "", ListParams(NamePart::MainName, "x?"), "song.mp3"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MakeListName(c.name, c.entry, c.params), c.expected) << c.name << " / " << c.entry;
    }
}

using testing::CommandOutput;

// The first family name fontconfig reads from the file (fc-scan lists them all,
// comma-separated).
std::string FontconfigFamily(const std::string& path) {
    const std::string families = CommandOutput("fc-scan --format '%{family}' '" + path + "'");
    return families.substr(0, families.find(','));
}

TEST(FontName, DejaVuFacesInEachPart) {
    const std::string folder = "/usr/share/fonts/truetype/dejavu/";
    for (const char* file : {"DejaVuSans.ttf", "DejaVuSansMono-Bold.ttf", "DejaVuSerif.ttf"}) {
        const std::string path = folder + file;
        const std::string family = FontconfigFamily(path);
        ASSERT_FALSE(family.empty()) << "fonts-dejavu-core and fontconfig are needed";
        FontNameParams p;
        p.scope = NamePart::WholeName;
        EXPECT_EQ(MakeFontName(path, p), family);
        p.scope = NamePart::MainName;
        EXPECT_EQ(MakeFontName(path, p), family + ".ttf");
        p.useTemplate = true;
        p.pattern = "?-font";
        EXPECT_EQ(MakeFontName(path, p), family + "-font.ttf");
    }
}

TEST(FontName, AFileThatIsNoFontKeepsItsName) {
    testing::TempDir dir;
    dir.Write("fake.ttf", "not a font at all");
    dir.Write("empty.otf", "");
    FontNameParams p;
    for (NamePart scope : {NamePart::WholeName, NamePart::MainName, NamePart::Extension}) {
        p.scope = scope;
        EXPECT_EQ(MakeFontName(dir / "fake.ttf", p), "fake.ttf");
        EXPECT_EQ(MakeFontName(dir / "empty.otf", p), "empty.otf");
        EXPECT_EQ(MakeFontName(dir / "missing.ttf", p), "missing.ttf");
    }
}

}  // namespace
}  // namespace varnel
