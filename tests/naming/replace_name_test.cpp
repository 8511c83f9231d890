#include "naming/replace_name.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

ReplaceParams Replace(NamePart scope, const char* find, const char* with, std::int64_t count, bool caseSensitive) {
    ReplaceParams p;
    p.scope = scope;
    p.findText = find;
    p.replacement = with;
    p.count = count;
    p.caseSensitive = caseSensitive;
    return p;
}

TEST(ReplaceName, FindTextCountCaseAndScope) {
    struct Case {
        const char* input;
        ReplaceParams params;
        const char* expected;
    };
    const Case cases[] = {
        {"AaAa.txt", Replace(NamePart::WholeName, "a", "b", 2, false), "bbAa.txt"},
        {"AaAa.txt", Replace(NamePart::WholeName, "a", "b", 2, true), "AbAb.txt"},
        {"AaAa.txt", Replace(NamePart::WholeName, "a", "b", 0, true), "AbAb.txt"},
        {"AaAa.txt", Replace(NamePart::WholeName, "a", "b", -5, true), "AbAb.txt"},
        // The input may be a full path: every name part drops the folder.
        {"/d/aa/x.a", Replace(NamePart::MainName, "x", "y", 0, true), "y.a"},
        {"/d/aa/x.a", Replace(NamePart::Extension, "a", "b", 0, true), "x.b"},
        // Scope 3 without an extension works on the empty text: nothing changes.
        {"readme", Replace(NamePart::Extension, "", "x", 0, true), "readme"},
        {"readme", Replace(NamePart::Extension, "e", "x", 0, true), "readme"},
        // Nothing found, or nothing to find: the name as it was, dot included.
        {"x.", Replace(NamePart::MainName, "q", "z", 0, true), "x."},
        {"abc.txt", Replace(NamePart::WholeName, "", "z", 0, true), "abc.txt"},
        // Removing the whole main name leaves the name alone.
        {"abc.txt", Replace(NamePart::MainName, "abc", "", 0, true), "abc.txt"},
        {"/old/a/x.txt", Replace(NamePart::WholePath, "/old/", "/new/", 0, true), "/new/a/x.txt"},
        {"/keep/x.txt", Replace(NamePart::WholePath, "/old/", "/new/", 0, true), "/keep/x.txt"},
    };
    for (const Case& c : cases) EXPECT_EQ(MakeReplacedName(c.input, c.params), c.expected) << c.input;
}

std::string ApplyPreset(std::size_t index, const char* input) {
    const RegexPreset& preset = LoadRegexPresets().at(index);
    RegexReplaceParams p;
    p.expression = preset.pattern;
    p.replacement = preset.replacement;
    p.ignoreCase = preset.ignoreCase;
    p.global = preset.global;
    RegexObject regex;
    EXPECT_TRUE(regex.Compile(p.expression, RenameRegexFlags(p)).has_value());
    return MakeRegexReplacedName(input, p, regex).value_or("(error)");
}

TEST(RegexReplaceName, BuiltInPresets) {
    ASSERT_EQ(LoadRegexPresets().size(), 2u);
    EXPECT_EQ(LoadRegexPresets()[0].name, "统一音频文件名的中间为“ - ”");
    EXPECT_FALSE(LoadRegexPresets()[0].global);
    EXPECT_TRUE(LoadRegexPresets()[1].global);
    EXPECT_EQ(ApplyPreset(0, "A-B.mp3"), "A - B.mp3");
    EXPECT_EQ(ApplyPreset(0, "A -B-C.mp3"), "A - B-C.mp3");  // only the first match
    EXPECT_EQ(ApplyPreset(1, "helloWorld"), "hello World");
    EXPECT_EQ(ApplyPreset(1, "oneTwoThree"), "one Two Three");
}

TEST(RegexReplaceName, ScopesFlagsAndErrors) {
    RegexReplaceParams p;
    p.expression = "\\d";
    p.replacement = "2";
    p.scope = NamePart::MainName;
    RegexObject regex;
    ASSERT_TRUE(regex.Compile(p.expression, RenameRegexFlags(p)).has_value());
    EXPECT_EQ(MakeRegexReplacedName("111.mp3", p, regex), "211.mp3");
    p.global = true;
    ASSERT_TRUE(regex.Compile(p.expression, RenameRegexFlags(p)).has_value());
    EXPECT_EQ(MakeRegexReplacedName("/x/111.mp3", p, regex), "222.mp3");
    p.scope = NamePart::WholePath;
    EXPECT_EQ(MakeRegexReplacedName("/1/1.a", p, regex), "/2/2.a");
    // A match that runs away fails this name only.
    p.scope = NamePart::WholeName;
    p.expression = "(a+)+$";
    ASSERT_TRUE(regex.Compile(p.expression, RenameRegexFlags(p)).has_value());
    EXPECT_FALSE(MakeRegexReplacedName(std::string(40, 'a') + "!", p, regex).has_value());
    EXPECT_EQ(MakeRegexReplacedName("baa", p, regex), "b2");
}

TEST(RegexReplaceName, PresetTextParsing) {
    const auto presets = ParseRegexPresets("n;;;p;;;r;;;d;;;真;;;否\r\nshort;;;x\r\na;;;b;;;c;;;d;;;假;;;真");
    ASSERT_EQ(presets.size(), 2u);
    EXPECT_TRUE(presets[0].ignoreCase);
    EXPECT_FALSE(presets[0].global);
    EXPECT_EQ(presets[1].name, "a");
    EXPECT_TRUE(presets[1].global);
}

TEST(ReplaceName, WholePathTargets) {
    struct Case {
        const char* path;
        bool usable;
        const char* folder;
        const char* name;
    };
    const Case cases[] = {
        {"/new/a/x.txt", true, "/new/a/", "x.txt"}, {"/x", true, "/", "x"},
        {"new/x", false, "", ""},                    {"/new/", false, "", ""},
        {"", false, "", ""},                         {"/a//x", false, "", ""},
        {"/a/../x", false, "", ""},                  {"/a/.", false, "", ""},
    };
    for (const Case& c : cases) {
        const auto split = SplitFolderAndName(c.path);
        ASSERT_EQ(split.has_value(), c.usable) << c.path;
        if (split) {
            EXPECT_EQ(split->folder, c.folder);
            EXPECT_EQ(split->name, c.name);
        }
    }
}

}  // namespace
}  // namespace varnel
