#include <gtest/gtest.h>

#include <string>

#include "settings/settings_store.h"
#include "support/temp_dir.h"
#include "tools/regex_search.h"
#include "tools/regex_tester_settings.h"
#include "tools/regex_tester_text.h"

namespace varnel {
namespace {

using testing::TempDir;

TEST(TesterText, StoredFormRoundTrips) {
    const std::string texts[] = {
        "a\\nb",             // "\n" written as two characters
        "line1\nline2\n",    // real line breaks
        "x;;;y",             // the settings' own line-break mark
        "\\d+\\\\n\\",       // backslashes, doubled and trailing
        "",
        "中文\\n\n\\",
    };
    for (const std::string& text : texts) {
        const std::string stored = StoreTesterText(text);
        EXPECT_EQ(stored.find('\n'), std::string::npos) << text;
        EXPECT_EQ(LoadTesterText(stored), text) << text;
    }
    EXPECT_EQ(StoreTesterText("a\r\nb\\n"), "a\\nb\\\\n");
    EXPECT_EQ(LoadTesterText("a\\nb\\d"), "a\nb\\d");  // an undoubled "\d" stays
}

TEST(TesterText, SettingsFileRoundTrip) {
    TempDir dir;
    RegexTesterSettings saved;
    saved.searchPattern = "(\\d+)\\n;;;\\";
    saved.searchText = "one\ntwo\\nthree";
    saved.replacePattern = " lead and trail ";
    saved.replacement = "$1\\n";
    saved.replaceText = "a;;;b\n";
    saved.ignoreCase = false;
    saved.multiline = true;
    saved.autoPreview = false;
    saved.searchSplit1 = 120;
    saved.windowState = 3;
    saved.currentPage = 2;
    {
        SettingsStore store;
        store.SetFile(dir / "t.ini");
        LoadOrSaveRegexTesterSettings(store, saved, true);
        ASSERT_TRUE(store.Flush().has_value());
    }
    SettingsStore store;
    store.SetFile(dir / "t.ini");
    RegexTesterSettings loaded;
    LoadOrSaveRegexTesterSettings(store, loaded, false);
    EXPECT_EQ(loaded.searchPattern, saved.searchPattern);
    EXPECT_EQ(loaded.searchText, saved.searchText);
    EXPECT_EQ(loaded.replacePattern, saved.replacePattern);
    EXPECT_EQ(loaded.replacement, saved.replacement);
    EXPECT_EQ(loaded.replaceText, saved.replaceText);
    EXPECT_FALSE(loaded.ignoreCase);
    EXPECT_TRUE(loaded.multiline);
    EXPECT_TRUE(loaded.global);
    EXPECT_FALSE(loaded.autoPreview);
    EXPECT_EQ(loaded.searchSplit1, 120);
    EXPECT_EQ(loaded.windowState, 3);
    EXPECT_FALSE(loaded.HasRectangle());
    EXPECT_EQ(loaded.currentPage, 2);
}

TEST(RegexSearchTest, MatchesWithGroupsAndSummary) {
    const RegexSearch search = SearchWithRegex("(\\w)(\\d)", "a1 b2 c3", RegexFlags{true, false, true});
    ASSERT_FALSE(search.error);
    EXPECT_EQ(search.matchCount, 3);
    EXPECT_EQ(search.groupCount, 2);
    EXPECT_EQ(MatchRowCells(search, 2), (std::vector<std::string>{"(2)", "b2", "b", "2"}));
    EXPECT_EQ(MatchRowsText(search, {1, 3}), "(1);a1;a;1\n(3);c3;c;3");
    const SearchSummary summary = SummarizeSearch(search);
    EXPECT_EQ(summary.text, "搜索结果 - 匹配数量:3,子匹配数量:2");
    EXPECT_FALSE(summary.failed);
}

TEST(RegexSearchTest, EmptyPatternMatchesAtEveryPosition) {
    const RegexSearch search = SearchWithRegex("", "abc", RegexFlags{true, false, true});
    EXPECT_EQ(search.matchCount, 4);
    EXPECT_EQ(SummarizeSearch(search).text, "搜索结果 - 匹配数量:4,子匹配数量:0");
}

TEST(RegexSearchTest, NoMatchBadPatternAndEngineLimitAreShownInRed) {
    const SearchSummary none = SummarizeSearch(SearchWithRegex("z", "abc", {}));
    EXPECT_EQ(none.text, "搜索结果 - 完全没有匹配项目");
    EXPECT_TRUE(none.failed);

    const RegexSearch bad = SearchWithRegex("(a", "abc", {});
    ASSERT_TRUE(bad.error);
    EXPECT_TRUE(SummarizeSearch(bad).failed);
    EXPECT_NE(SummarizeSearch(bad).text.find("正则表达式有误"), std::string::npos);

    // Nested quantifiers on a long text that does not match run into the engine's
    // limit: the search fails with that reason instead of hanging.
    const RegexSearch runaway = SearchWithRegex("(a+)+$", std::string(5000, 'a') + "!", RegexFlags{false, false, true});
    if (runaway.error) {
        EXPECT_NE(SummarizeSearch(runaway).text.find("匹配限度"), std::string::npos);
    } else {
        EXPECT_EQ(runaway.matchCount, 0);
    }
}

TEST(RegexSearchTest, ReplaceUsesTheTasksEngine) {
    EXPECT_EQ(ReplaceWithRegex("(\\d)", "<$1>", "a1b2", RegexFlags{true, false, true}).value(), "a<1>b<2>");
    EXPECT_EQ(ReplaceWithRegex("(\\d)", "<$1>", "a1b2", RegexFlags{true, false, false}).value(), "a<1>b2");
    EXPECT_FALSE(ReplaceWithRegex("[", "", "a", {}).has_value());
}

// A text where every line backtracks for a long time but no single attempt reaches
// the engine's limit: the whole search would run for minutes.
std::string CatastrophicText(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) text += std::string(22, 'a') + "!\n";
    return text;
}

// keepGoing is asked between attempts: a search or replacement it declines ends at
// once as cut short (never as "no match"), and one it lets run is unaffected.
TEST(RegexSearchTest, KeepGoingEndsASearchBetweenAttempts) {
    int asked = 0;
    const RegexSearch stopped = SearchWithRegex("(a+)+$", CatastrophicText(10000), {}, [&asked] { return ++asked < 3; });
    EXPECT_EQ(asked, 3);
    EXPECT_TRUE(WasCutShort(stopped.error));
    EXPECT_EQ(stopped.matchCount, 0);
    EXPECT_TRUE(SummarizeSearch(stopped).failed);

    const auto replaced = ReplaceWithRegex("a", "b", "aaa", {}, [] { return false; });
    ASSERT_FALSE(replaced.has_value());
    EXPECT_TRUE(WasCutShort(replaced.error()));

    const RegexSearch whole = SearchWithRegex("a", "aaa", {}, [] { return true; });
    EXPECT_FALSE(whole.error.has_value());
    EXPECT_EQ(whole.matchCount, 3);
    EXPECT_FALSE(WasCutShort(SearchWithRegex("[", "a", {}).error));
    EXPECT_NE(RegexBudgetExceededText(5000).find("5 秒"), std::string::npos);
    EXPECT_NE(RegexBudgetExceededText(250).find("250 毫秒"), std::string::npos);
}

}  // namespace
}  // namespace varnel
