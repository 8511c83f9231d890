#include "filelist/list_sorter.h"

#include <algorithm>
#include <string>
#include <vector>

#include <malloc.h>

#include <gtest/gtest.h>

#include "support/child_probe.h"
#include "utilities/codec.h"

namespace varnel {
namespace {

// A list whose names are given; the preview column carries a tag that tells the
// rows apart when their sort keys are equal.
void Fill(RowStore& store, const std::vector<std::string>& names, int column = 0) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::size_t row = store.AppendRow("/d", "row" + std::to_string(i), RowFacts{}, 0);
        store.SetCellText(row, 1, "#" + std::to_string(i));
        if (column != 1) store.SetCellText(row, column, names[i]);
    }
}

std::vector<std::string> Tags(const RowStore& store) {
    std::vector<std::string> tags;
    for (std::size_t row = 0; row < store.RowCount(); ++row) tags.push_back(store.GetCellText(row, ListColumn::Preview));
    return tags;
}

struct SortCase {
    const char* what;
    SortKind kind;
    bool ascending;
    std::vector<std::string> cells;
    std::vector<std::string> expected;  // tags in the sorted order
    int numberIndex = 0;
};

TEST(ListSorter, EachKeyKindOrdersTiesStably) {
    const std::vector<SortCase> cases = {
        {"numbers: text reads as 0, ties keep order", SortKind::Number, true,
         {"abc", "2.7", "-3", "", "10", "2.70"}, {"#2", "#0", "#3", "#1", "#5", "#4"}},
        {"numbers descending keep ties in order", SortKind::Number, false,
         {"abc", "2.7", "-3", "", "10", "2.70"}, {"#4", "#1", "#5", "#0", "#3", "#2"}},
        {"text by bytes", SortKind::Text, true, {"abc", "2.7", "-3", "", "B", "abc"},
         {"#3", "#2", "#1", "#4", "#0", "#5"}},
        {"text descending", SortKind::Text, false, {"abc", "2.7", "-3", "", "B", "abc"},
         {"#0", "#5", "#4", "#1", "#2", "#3"}},
        {"logical: true rows first", SortKind::Logical, true,
         {"假", "真", "TRUE", "0", "", "-1", "false", "abc", "2.5"}, {"#1", "#2", "#5", "#8", "#0", "#3", "#4", "#6", "#7"}},
        {"logical descending: false rows first", SortKind::Logical, false, {"真", "假", "true"},
         {"#1", "#0", "#2"}},
        {"text length in GBK bytes", SortKind::TextLength, true, {"abcd", "中文", "abc", "x", "中"},
         {"#3", "#4", "#2", "#0", "#1"}},
        {"enhanced, rightmost group", SortKind::EnhancedNumber, true, {"第2集-10", "第1集-3", "第3集-2.5"},
         {"#0", "#1", "#2"}, -1},
        {"enhanced, first group", SortKind::EnhancedNumber, true, {"第2集-10", "第1集-3", "第3集-2.5"},
         {"#1", "#0", "#2"}, 1},
        {"enhanced, sum of groups", SortKind::EnhancedNumber, true, {"第2集-10", "第1集-3", "第3集-2.5", "无"},
         {"#0", "#1", "#3", "#2"}, 0},
        {"enhanced, episodes beyond 9", SortKind::EnhancedNumber, true, {"第12集.mp4", "第2集.mp4", "第1集.mp4"},
         {"#2", "#1", "#0"}, 1},
    };
    for (const SortCase& c : cases) {
        SCOPED_TRACE(c.what);
        RowStore store;
        Fill(store, c.cells, 3);
        SortRows(store, 3, c.ascending, c.kind, c.numberIndex);
        EXPECT_EQ(Tags(store), c.expected);
    }
}

TEST(ListSorter, EnhancedNumberKeyPicksTheGroup) {
    EXPECT_EQ(ListSorter::GetEnhancedNumberKey("第2集-10", -1), -10);
    EXPECT_EQ(ListSorter::GetEnhancedNumberKey("第2集-10", 1), 2);
    EXPECT_EQ(ListSorter::GetEnhancedNumberKey("第2集-10", 0), -8);
    EXPECT_EQ(ListSorter::GetEnhancedNumberKey("第2集-10", 2), -10);
    EXPECT_EQ(ListSorter::GetEnhancedNumberKey("第2集-10", 3), -8);  // beyond the count: the sum
    EXPECT_EQ(ListSorter::GetEnhancedNumberKey("v1.25-x.5", 1), 1.25);
    EXPECT_EQ(ListSorter::GetEnhancedNumberKey("v1.25-x.5", -1), 5);  // ".5" is not a number; "5" is
    EXPECT_EQ(ListSorter::GetEnhancedNumberKey("a-b-", -1), 0);
    EXPECT_EQ(ListSorter::GetEnhancedNumberKey("", 1), 0);
    EXPECT_DOUBLE_EQ(ListSorter::GetEnhancedNumberKey("1.2.3", 0), 4.2);
}

TEST(ListSorter, ChineseNamesFollowGbkOrderNotUtf8) {
    // 张 (U+5F20, GBK D5C5), 李 (U+674E, GBK C0EE), 阿 (U+963F, GBK B0A2): by pinyin
    // a, li, zhang in GBK; by code point 张 < 李 < 阿.
    RowStore store;
    Fill(store, {"张三", "李四", "阿五", "abc", "😀"}, 0);
    SortRows(store, 0, true, SortKind::Text, 0);
    EXPECT_EQ(Tags(store), (std::vector<std::string>{"#3", "#2", "#1", "#0", "#4"}));

    TextSortKeys keys;
    EXPECT_EQ(keys.KeyOf("阿"), *EncodeToCodec("阿", kCodecGbk));
    // A character GBK lacks sorts after all it holds, and its key stays distinct.
    EXPECT_EQ(keys.KeyOf("a😀"), std::string("a\xFF") + "😀");
    EXPECT_NE(keys.KeyOf("😀"), keys.KeyOf("😁"));
    EXPECT_EQ(keys.KeyOf("a\x80z"), "a\xFF\x80z");  // an invalid byte likewise
}

TEST(ListSorter, TimeColumnsSortByStoredTimeWithNoDataFirst) {
    RowStore store;
    store.SetFormatters({nullptr, nullptr, nullptr,
                         // Written day first, so the text order differs from the time order.
                         [](double when) { return std::to_string(static_cast<int>(when) % 7) + "-" + std::to_string(when); }});
    const ColumnMask modified = ColumnBit(ListColumn::Modified);
    const std::vector<double> times = {45003, kNoTime, 45001, 45010, kNoTime};
    for (std::size_t i = 0; i < times.size(); ++i) {
        store.AppendRow("/d", "r" + std::to_string(i), RowFacts{.modified = times[i], .statRead = true}, modified);
        store.SetCellText(i, 1, "#" + std::to_string(i));
    }
    SortRows(store, 6, true, SortKind::Preset, 0);
    EXPECT_EQ(Tags(store), (std::vector<std::string>{"#1", "#4", "#2", "#0", "#3"}));
    SortRows(store, 6, false, SortKind::Date, 0);
    EXPECT_EQ(Tags(store), (std::vector<std::string>{"#3", "#0", "#2", "#1", "#4"}));
}

TEST(ListSorter, PresetSizeUsesTheRowValueAndIconsSortByIndex) {
    RowStore store;
    const std::int64_t big = 5'000'000'000;  // beyond 32 bits
    const std::vector<std::int64_t> sizes = {big, 10, big + 1, 10};
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        store.AppendRow("/d", "r", RowFacts{.size = sizes[i], .statRead = true}, ColumnBit(ListColumn::Size),
                        static_cast<std::uint16_t>(3 - i));
        store.SetCellText(i, 1, "#" + std::to_string(i));
    }
    SortRows(store, 2, true, SortKind::Preset, 0);
    EXPECT_EQ(Tags(store), (std::vector<std::string>{"#1", "#3", "#0", "#2"}));
    SortRows(store, 0, true, SortKind::Icon, 0);
    EXPECT_EQ(Tags(store), (std::vector<std::string>{"#3", "#2", "#1", "#0"}));
}

TEST(ListSorter, RowsKeepTheirIdentityCellsAndOverridesThroughASort) {
    RowStore store;
    store.SetFormatters({[](std::int64_t size) { return std::to_string(size); }, nullptr, nullptr, nullptr});
    for (int i = 0; i < 50; ++i) {
        store.AppendRow("/f" + std::to_string(i % 3), "n" + std::to_string(100 - i), RowFacts{.size = i, .statRead = true},
                        ColumnBit(ListColumn::Size), static_cast<std::uint16_t>(i % 4));
    }
    store.SetCellText(7, 4, "override");
    const auto idOf7 = store.IdOf(7);
    SortRows(store, 0, true, SortKind::Text, 0);
    const auto row = store.FindRow(idOf7);
    ASSERT_TRUE(row);
    EXPECT_EQ(store.Name(*row), "n93");
    EXPECT_EQ(store.Folder(*row), "/f1/");
    EXPECT_EQ(store.GetCellText(*row, ListColumn::Size), "7");
    EXPECT_EQ(store.GetCellText(*row, ListColumn::Attributes), "override");
    EXPECT_EQ(store.Icon(*row), 3);
    // A reordering that is not a permutation changes nothing.
    store.ApplyOrder(std::vector<std::uint32_t>(50, 0));
    EXPECT_EQ(store.FindRow(idOf7), row);
}

// Texts that share long beginnings, end inside one another and differ at every
// byte around the pieces a key is compared in: the order is the whole keys' order,
// ties in their present order, both ways.
TEST(ListSorter, LongTextKeysOrderAsWholeKeys) {
    std::vector<std::string> cells;
    const std::string stem = "IMG_2026_summer_";  // longer than two pieces
    for (int i = 0; i < 300; ++i) {
        const int a = (i * 7919) % 13;
        const int b = (i * 104729) % 5;
        std::string cell = stem.substr(0, static_cast<std::size_t>((i * 31) % 17));
        cell += std::string(static_cast<std::size_t>(b), static_cast<char>('a' + a % 3));
        if (i % 4 == 0) cell += "中文";
        if (i % 9 == 0) cell += std::to_string(a);
        cells.push_back(cell);
    }
    for (const bool ascending : {true, false}) {
        SCOPED_TRACE(ascending ? "ascending" : "descending");
        RowStore store;
        Fill(store, cells, 3);
        TextSortKeys keyMaker;
        std::vector<std::size_t> expected(cells.size());
        for (std::size_t i = 0; i < expected.size(); ++i) expected[i] = i;
        std::stable_sort(expected.begin(), expected.end(), [&](std::size_t x, std::size_t y) {
            const std::string kx = keyMaker.KeyOf(cells[x]);
            const std::string ky = keyMaker.KeyOf(cells[y]);
            return ascending ? kx < ky : ky < kx;
        });
        std::vector<std::string> tags;
        for (const std::size_t i : expected) tags.push_back("#" + std::to_string(i));
        SortRows(store, 3, ascending, SortKind::Text, 0);
        EXPECT_EQ(Tags(store), tags);
    }
}

// The text sort of any column, a short list and one long enough that its first
// pass sorts the row indexes alone: the order is the whole keys' order, ties in
// their present order, both ways. The cells share long beginnings, so that runs
// of equal pieces are sorted again at several depths.
TEST(ListSorter, TextSortOfAnyColumnAndLengthOrdersAsWholeKeys) {
    const std::string stems[] = {"IMG_2026_summer_holiday_", "IMG_2026_", "第", "photo", ""};
    for (const std::size_t count : {std::size_t{2000}, std::size_t{70'000}}) {
        for (const ListColumn column : {ListColumn::Name, ListColumn::Type, ListColumn::Folder}) {
            SCOPED_TRACE(std::to_string(count) + " rows, column " + std::to_string(ColumnIndex(column)));
            std::vector<std::string> cells;
            for (std::size_t i = 0; i < count; ++i) {
                std::string cell = stems[(i * 7) % 5];
                cell += std::to_string((i * 7919) % (count / 3));
                if (i % 4 == 0) cell += "中文";
                if (i % 6 == 0) cell += std::string((i * 31) % 9, 'x');
                cells.push_back(cell);
            }
            for (const bool ascending : {true, false}) {
                RowStore store;
                Fill(store, cells, ColumnIndex(column));
                TextSortKeys keyMaker;
                std::vector<std::string> keys;
                for (std::size_t row = 0; row < count; ++row) keys.push_back(keyMaker.KeyOf(store.GetCellText(row, column)));
                std::vector<std::size_t> expected(count);
                for (std::size_t i = 0; i < count; ++i) expected[i] = i;
                std::stable_sort(expected.begin(), expected.end(), [&](std::size_t x, std::size_t y) {
                    return ascending ? keys[x] < keys[y] : keys[y] < keys[x];
                });
                std::vector<std::string> tags;
                for (const std::size_t i : expected) tags.push_back("#" + std::to_string(i));
                SortRows(store, ColumnIndex(column), ascending, SortKind::Text, 0);
                EXPECT_EQ(Tags(store), tags) << (ascending ? "ascending" : "descending");
            }
        }
    }
}

// Numbers of every sign and size keep their order as keys: negative, -0 and +0
// alike, fractions, huge values, NaN with the lowest.
TEST(ListSorter, NumberKeysKeepTheOrderOfTheValues) {
    RowStore store;
    Fill(store, {"99999999999", "-99999999999", "0", "-0", "0.5", "-0.5", "abc", "-2", "2"}, 3);
    SortRows(store, 3, true, SortKind::Number, 0);
    EXPECT_EQ(Tags(store), (std::vector<std::string>{"#1", "#7", "#5", "#2", "#3", "#6", "#4", "#8", "#0"}));
}

// A million rows: what the sort holds beside the rows stays within 16 bytes a row
// (measured as the peak resident size of a child around the sort alone).
TEST(ListSorter, AMillionRowSortHoldsAtMostSixteenBytesARow) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer's own bookkeeping is no measure of the program's memory";
#endif
    constexpr std::size_t kRows = 1'000'000;
    for (const SortKind kind : {SortKind::Text, SortKind::Number, SortKind::TextLength}) {
        const auto outcome = testing::RunInChild([kind] {
            RowStore store;
            for (std::size_t i = 0; i < kRows; ++i) {
                store.AppendRow("/d/", "file_" + std::to_string((i * 7919) % kRows) + ".txt", RowFacts{}, 0);
            }
            ::malloc_trim(0);
            const long before = testing::ResetPeakResidentKilobytes();
            const auto order = ListSorter::SortOrder(store, 0, true, kind, 0);
            const long peak = testing::PeakResidentKilobytes();
            if (order.size() != kRows) return 2;
            return (peak - before) * 1024 <= static_cast<long>(16 * kRows) ? 0 : 1;
        });
        EXPECT_TRUE(outcome.exited);
        EXPECT_EQ(outcome.exitCode, 0) << static_cast<int>(kind);
    }
}

TEST(ListSorter, PresetKindsAndCaptions) {
    EXPECT_EQ(PresetSortKind(2), SortKind::RowValue);
    for (int column : {5, 6, 7}) EXPECT_EQ(PresetSortKind(column), SortKind::Date);
    for (int column : {0, 1, 3, 4, 8}) EXPECT_EQ(PresetSortKind(column), SortKind::Text);
    EXPECT_EQ(PresetSortCaption(2), "按预置型<字节>排序");
    EXPECT_EQ(PresetSortCaption(6), "按预置型<时间>排序");
    EXPECT_EQ(PresetSortCaption(0), "按预置型<文本>排序");
}

}  // namespace
}  // namespace varnel
