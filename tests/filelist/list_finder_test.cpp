#include "filelist/list_finder.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace varnel {
namespace {

// Rows named by `names`, with a preview cell each.
void Fill(RowStore& store, const std::vector<std::pair<std::string, std::string>>& rows) {
    for (const auto& [name, preview] : rows) {
        const std::size_t row = store.AppendRow("/dir", name, RowFacts{}, 0);
        store.SetCellText(row, 1, preview);
    }
}

FindOptions Options(std::string keyword, bool upward = false) {
    FindOptions options;
    options.keyword = std::move(keyword);
    options.column = -1;
    options.upward = upward;
    return options;
}

using Kind = FindOutcome::Kind;

TEST(ListFinder, StartRowFollowsTheDirectionAndWrapsAtTheEnds) {
    RowStore store;
    Fill(store, {{"hit0", ""}, {"x", ""}, {"hit2", ""}, {"x", ""}, {"hit4", ""}});
    struct Case {
        const char* what;
        bool upward;
        std::optional<std::size_t> current;
        std::size_t expected;
    };
    const std::vector<Case> cases = {
        {"down from the first row", false, 0, 2},
        {"down from the last row starts at row 0", false, 4, 0},
        {"down with no current row", false, std::nullopt, 0},
        {"up from the last row", true, 4, 2},
        {"up from the first row starts at the last", true, 0, 4},
        {"up with no current row", true, std::nullopt, 4},
        {"down from a row beyond the list", false, 9, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ListFinder finder;
        const FindOutcome outcome = finder.SearchListForText(store, Options("hit", c.upward), c.current);
        EXPECT_EQ(outcome.kind, Kind::Found);
        EXPECT_EQ(outcome.row, c.expected);
        EXPECT_FALSE(finder.gFindRestart);
    }
}

TEST(ListFinder, AfterAMissTheNextSearchStartsAtTheEndOfItsOwnDirection) {
    RowStore store;
    Fill(store, {{"hit0", ""}, {"x", ""}, {"x", ""}, {"hit3", ""}, {"x", ""}});
    ListFinder finder;
    // Going down from row 3 finds nothing below it.
    EXPECT_EQ(finder.SearchListForText(store, Options("hit"), 3).kind, Kind::NotFound);
    EXPECT_TRUE(finder.gFindRestart);
    EXPECT_EQ(FindOutcomeNotice({Kind::NotFound, 0, std::nullopt}, Options("hit")), "找不到项目,继续或修改字符串将从头开始查找。");
    // Down again: from the top, row 0 included.
    FindOutcome outcome = finder.SearchListForText(store, Options("hit"), 3);
    EXPECT_EQ(outcome.kind, Kind::Found);
    EXPECT_EQ(outcome.row, 0u);

    // Up from row 2, nothing above: the next search upward starts at the last row.
    EXPECT_EQ(finder.SearchListForText(store, Options("hit3", true), 2).kind, Kind::NotFound);
    outcome = finder.SearchListForText(store, Options("hit3", true), 2);
    EXPECT_EQ(outcome.kind, Kind::Found);
    EXPECT_EQ(outcome.row, 3u);

    // A miss going down, then a search up from a middle row: it starts at the last
    // row, which it would skip going on from the current row.
    Fill(store, {{"last", ""}});
    EXPECT_EQ(finder.SearchListForText(store, Options("hit0"), 3).kind, Kind::NotFound);
    outcome = finder.SearchListForText(store, Options("last", true), 3);
    EXPECT_EQ(outcome.kind, Kind::Found);
    EXPECT_EQ(outcome.row, 5u);
}

TEST(ListFinder, EnginesColumnsAndWholeWord) {
    RowStore store;
    Fill(store, {{"song.mp3", "ab"}, {"photo.JPG", "c"}, {"notes ab", "cd"}, {"abc", "x"}, {"report.txt", "2024"}});
    struct Case {
        const char* what;
        int engine;
        std::string keyword;
        int column;
        bool ignoreCase;
        bool wholeWord;
        std::optional<std::size_t> expected;
    };
    const std::vector<Case> cases = {
        {"plain in all columns", 0, "photo", -1, false, false, 1},
        {"joined cells: a name ending in ab and a preview of c", 0, "ab" "c", -1, false, false, 2},
        {"one column only", 0, "ab", 1, false, false, 0},
        {"one column misses the others", 0, "photo", 1, false, false, std::nullopt},
        {"folder column is part of all columns", 0, "/dir/", -1, false, false, 0},
        {"case matters by default", 0, "jpg", -1, false, false, std::nullopt},
        {"ignore case", 0, "jpg", -1, true, false, 1},
        {"wildcard", 1, "*.txt", 0, false, false, 4},
        {"regular expression", 2, "^\\d{4}$", 1, false, false, 4},
        {"whole word is a whole cell", 0, "abc", -1, false, true, 3},
        {"whole word never spans a cell border", 0, "notes abcd", -1, false, true, std::nullopt},
        {"whole word in one column", 0, "c", 1, false, true, 1},
        {"whole word with a regular expression", 2, "ab.", -1, false, true, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ListFinder finder;
        FindOptions options = Options(c.keyword);
        options.engine = c.engine;
        options.column = c.column;
        options.ignoreCase = c.ignoreCase;
        options.wholeWord = c.wholeWord;
        const FindOutcome outcome = finder.SearchListForText(store, options, std::nullopt);
        if (c.expected) {
            EXPECT_EQ(outcome.kind, Kind::Found);
            EXPECT_EQ(outcome.row, *c.expected);
        } else {
            EXPECT_EQ(outcome.kind, Kind::NotFound);
        }
    }
}

TEST(ListFinder, RefusalsAndErrorsAreNotMisses) {
    RowStore empty;
    ListFinder finder;
    EXPECT_EQ(finder.SearchListForText(empty, Options(""), std::nullopt).kind, Kind::EmptyKeyword);
    EXPECT_EQ(finder.SearchListForText(empty, Options("a"), std::nullopt).kind, Kind::EmptyList);
    EXPECT_FALSE(finder.gFindRestart);

    RowStore store;
    Fill(store, {{"a(b", ""}});
    FindOptions broken = Options("a(b");
    broken.engine = 2;
    const FindOutcome outcome = finder.SearchListForText(store, broken, std::nullopt);
    EXPECT_EQ(outcome.kind, Kind::Failed);
    ASSERT_TRUE(outcome.error);
    EXPECT_NE(FindOutcomeNotice(outcome, broken).find("查找失败"), std::string::npos);
    EXPECT_FALSE(finder.gFindRestart);

    EXPECT_EQ(FindOutcomeNotice({Kind::Found, 41, std::nullopt}, Options("k", true)),
              "查找关键字为：k  已经找到\r\n\r\n位于第 42 条\r\n\r\n继续则查找上一条...");
    EXPECT_EQ(JoinRowCells(store, 0), "a(b/dir/");
}

}  // namespace
}  // namespace varnel
