#include "filelist/list_finder.h"

#include <optional>
#include <utility>
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

// A search of every column goes through the rows a block at a time; wherever it
// starts, either way, with any engine and case rule, it finds the row that
// testing each row's joined cells alone finds, never a match that runs from one
// row into the next, across the borders of its blocks and in a list that ends
// inside a block.
TEST(ListFinder, EveryColumnFindsWhatEachRowAloneWouldFind) {
    RowStore store;
    std::vector<std::pair<std::string, std::string>> rows;
    for (int i = 0; i < 2600; ++i) rows.push_back({"file" + std::to_string(i) + ".txt", ""});
    // Every joined row ends in its folder, "/dir/": "dir/am" and "/dir/file77"
    // stand only across two rows (the first across two blocks).
    rows[1023] = {"x", "se"};
    rows[1024] = {"am.txt", ""};
    rows[700] = {"Straße.TXT", "ÄÖ"};
    rows[1500] = {"Mixed.CASE", "needle"};
    rows[2599] = {"needle.last", "pre"};
    Fill(store, rows);
    struct Case {
        int engine;
        std::string keyword;
        bool ignoreCase;
    };
    const std::vector<Case> cases = {
        {0, "needle", false}, {0, "NEEDLE", true},    {0, "dir/am", false},   {0, "/dir/file77", false},
        {0, "strasse", true}, {0, "äö", true},        {0, "file1024", false}, {0, "file25", false},
        {0, "/dir/", false},  {0, "nowhere", false},  {0, "txt/dir/", false}, {1, "*.CASE*", false},
        {1, "*.case*", true}, {2, "^am\\.txt", false}, {2, "needle$", false}, {2, "e\\d{3}", false},
    };
    for (const Case& c : cases) {
        for (const bool upward : {false, true}) {
            for (const std::size_t current : {std::size_t{0}, std::size_t{1022}, std::size_t{1024}, std::size_t{2598}}) {
                SCOPED_TRACE(c.keyword + (upward ? " up from " : " down from ") + std::to_string(current));
                FindOptions options = Options(c.keyword, upward);
                options.engine = c.engine;
                options.ignoreCase = c.ignoreCase;
                FileFilter filter;
                const NameFilter name{true, c.engine, c.keyword, c.ignoreCase, false, false};
                // Each row alone, from the row the search starts at to the end of its direction.
                const std::size_t count = store.RowCount();
                const std::size_t start = upward ? (current > 0 ? current - 1 : count - 1)
                                                 : (current + 1 < count ? current + 1 : 0);
                std::optional<std::size_t> expected;
                for (std::size_t step = 0; step <= (upward ? start : count - 1 - start); ++step) {
                    const std::size_t row = upward ? start - step : start + step;
                    if (*filter.MatchText(JoinRowCells(store, row), name)) {
                        expected = row;
                        break;
                    }
                }
                ListFinder finder;
                const FindOutcome outcome = finder.SearchListForText(store, options, current);
                if (expected) {
                    EXPECT_EQ(outcome.kind, Kind::Found);
                    EXPECT_EQ(outcome.row, *expected);
                } else {
                    EXPECT_EQ(outcome.kind, Kind::NotFound);
                    EXPECT_TRUE(finder.gFindRestart);
                }
            }
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
