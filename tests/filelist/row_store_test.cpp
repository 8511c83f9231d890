#include "filelist/row_store.h"

#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace varnel {
namespace {

CellFormatters TestFormatters() {
    return {[](std::int64_t size) { return std::to_string(size) + " B"; },
            [](std::string_view ext) { return ext.empty() ? std::string("无格式文件") : std::string(ext) + " 文件"; },
            [](std::uint32_t attributes) { return "attr" + std::to_string(attributes); },
            [](double when) { return "t" + std::to_string(static_cast<int>(when)); }};
}

std::string JoinedRow(const RowStore& store, std::size_t row) {
    std::string text;
    store.JoinRowCells(row, text);
    return text;
}

TEST(RowStore, CellsFollowTheColumnsFilledAtLoad) {
    RowStore store;
    store.SetFormatters(TestFormatters());
    RowFacts file{.size = 3'221'225'472, .attributes = 0x20, .created = kNoTime, .modified = 45000, .accessed = 45001};
    const ColumnMask all = ColumnBit(ListColumn::Size) | ColumnBit(ListColumn::Type) |
                           ColumnBit(ListColumn::Attributes) | ColumnBit(ListColumn::Created) |
                           ColumnBit(ListColumn::Modified) | ColumnBit(ListColumn::Accessed);
    store.AppendRow("/data", "big.iso", file, all);
    store.AppendRow("/data/", "folder", RowFacts{.isFolder = true}, ColumnBit(ListColumn::Type));
    store.AppendRow("/data", "plain", file, ColumnBit(ListColumn::Accessed));

    EXPECT_EQ(store.GetCellText(0, ListColumn::Name), "big.iso");
    EXPECT_EQ(store.GetCellText(0, ListColumn::Preview), "");
    EXPECT_EQ(store.GetCellText(0, ListColumn::Size), "3221225472 B");  // 3 GiB: sizes are 64-bit
    EXPECT_EQ(store.GetCellText(0, ListColumn::Type), "iso 文件");
    EXPECT_EQ(store.GetCellText(0, ListColumn::Attributes), "attr32");
    EXPECT_EQ(store.GetCellText(0, ListColumn::Created), "无数据");
    EXPECT_EQ(store.GetCellText(0, ListColumn::Modified), "t45000");
    EXPECT_EQ(store.GetCellText(0, ListColumn::Folder), "/data/");
    EXPECT_EQ(store.FullPath(0), "/data/big.iso");
    EXPECT_EQ(store.GetCellText(1, ListColumn::Type), "文件夹");
    // Only the columns shown at load carry text.
    EXPECT_EQ(store.GetCellText(2, ListColumn::Size), "");
    EXPECT_EQ(store.GetCellText(2, ListColumn::Modified), "");
    EXPECT_EQ(store.GetCellText(2, ListColumn::Accessed), "t45001");
    // Outside the list: "".
    EXPECT_EQ(store.GetCellText(3, ListColumn::Name), "");
    EXPECT_EQ(store.GetCellText(0, 9), "");
    EXPECT_EQ(store.GetCellText(0, -1), "");
}

TEST(RowStore, SetCellTextRenamesMovesAndOverrides) {
    RowStore store;
    store.SetFormatters(TestFormatters());
    store.AppendRow("/a", "old.txt", RowFacts{.size = 5}, ColumnBit(ListColumn::Size));
    store.SetCellText(0, ListColumn::Name, "new name.txt");
    store.SetCellText(0, ListColumn::Folder, "/b");
    store.SetCellText(0, ListColumn::Preview, "√");
    store.SetCellText(0, ListColumn::Size, "custom");
    store.SetCellText(7, ListColumn::Preview, "ignored");
    EXPECT_EQ(store.FullPath(0), "/b/new name.txt");
    EXPECT_EQ(store.GetCellText(0, ListColumn::Preview), "√");
    EXPECT_EQ(store.GetCellText(0, ListColumn::Size), "custom");
    store.SetCellText(0, ListColumn::Preview, "");
    EXPECT_EQ(store.GetCellText(0, ListColumn::Preview), "");
}

// The readers of many rows at once give what the one-row readers give, in any
// row order, for every column (stored, formatted, set over a formatted value,
// shown or not), and "" for a row outside the list or a column that is none.
TEST(RowStore, BlockReadersGiveWhatTheRowReadersGive) {
    RowStore store;
    store.SetFormatters(TestFormatters());
    const ColumnMask all = ColumnBit(ListColumn::Size) | ColumnBit(ListColumn::Type) |
                           ColumnBit(ListColumn::Attributes) | ColumnBit(ListColumn::Created) |
                           ColumnBit(ListColumn::Modified) | ColumnBit(ListColumn::Accessed);
    for (int i = 0; i < 9000; ++i) {
        const RowFacts facts{.size = i, .attributes = 0x20, .created = kNoTime, .modified = 45000.0 + i,
                             .isFolder = i % 7 == 0};
        store.AppendRow("/data/" + std::to_string(i % 13), "name" + std::to_string(i) + (i % 3 ? ".txt" : ""),
                        facts, i % 2 ? all : ColumnMask{0});
        if (i % 5 == 0) store.SetCellText(static_cast<std::size_t>(i), ListColumn::Preview, "preview " + std::to_string(i));
        if (i % 11 == 0) store.SetCellText(static_cast<std::size_t>(i), ListColumn::Size, "set " + std::to_string(i));
    }
    std::vector<std::uint32_t> rows;
    for (std::uint32_t i = 0; i < 9000; ++i) rows.push_back((i * 7919) % 9000);  // every row, out of order
    rows.push_back(9000);                                                         // outside the list
    rows.push_back(3);                                                            // twice
    for (int column = -1; column <= kListColumnCount; ++column) {
        SCOPED_TRACE(column);
        std::vector<std::string> seen(rows.size(), "(not visited)");
        std::size_t visits = 0;
        store.VisitCellTexts(rows, column, [&](std::size_t i, std::string_view text) {
            EXPECT_EQ(i, visits++);
            seen[i] = std::string(text);
        });
        ASSERT_EQ(visits, rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(seen[i], store.GetCellText(rows[i], column)) << rows[i];
    }

    for (const auto& [first, count] : {std::pair<std::size_t, std::size_t>{0, 9000}, {8990, 20}, {9000, 2}, {5, 0}}) {
        std::string joined = "kept:";
        std::vector<std::size_t> ends{99};
        store.JoinRowCellsOfBlock(first, count, joined, ends);
        ASSERT_EQ(ends.size(), count + 1);
        std::string expected = "kept:";
        for (std::size_t row = first; row < first + count; ++row) {
            expected += JoinedRow(store, row);
            EXPECT_EQ(ends[row - first + 1], expected.size());
            expected += '\0';
        }
        EXPECT_EQ(joined, expected);
    }
}

TEST(RowStore, IdentitySurvivesDeletions) {
    RowStore store;
    for (int i = 0; i < 10; ++i) store.AppendRow("/f", "n" + std::to_string(i), {}, 0);
    const auto id7 = store.IdOf(7);
    store.DeleteRows({1, 3, 3, 5});
    EXPECT_EQ(store.RowCount(), 7u);
    EXPECT_EQ(store.FindRow(id7, 7), 4u);
    EXPECT_EQ(store.Name(4), "n7");
    const auto id1 = store.IdOf(1);
    store.DeleteRow(1);
    EXPECT_FALSE(store.FindRow(id1).has_value());
    store.Clear();
    EXPECT_EQ(store.RowCount(), 0u);
    EXPECT_EQ(store.IdOf(0), 0u);
}

// Loads of different sizes into one store, each past the size of the store's
// chunks of rows and of names (and one name longer than a whole chunk), emptied in
// between: every load reads back exactly what it put in, through reordering and
// deletions, whatever room an earlier load left behind.
TEST(RowStore, LoadsAgainAfterClearAcrossChunks) {
    RowStore store;
    store.SetFormatters(TestFormatters());
    const std::string huge(1'500'000, 'h');
    const ColumnMask sized = ColumnBit(ListColumn::Size) | ColumnBit(ListColumn::Modified);
    for (const std::size_t count : {40'000u, 17'000u, 60'000u, 5u}) {
        const auto nameOf = [&](std::size_t i) {
            return i == 2 ? huge : "a rather long file name number " + std::to_string(i) + ".txt";
        };
        for (std::size_t i = 0; i < count; ++i) {
            // Even rows carry facts read from disk, odd ones the defaults.
            const RowFacts facts = i % 2 == 0 ? RowFacts{.size = std::int64_t(i) * 3, .modified = double(i), .statRead = true}
                                              : RowFacts{};
            store.AppendRow("/d" + std::to_string(i % 3), nameOf(i), facts, sized);
        }
        ASSERT_EQ(store.RowCount(), count);
        for (std::size_t i = 0; i < count; ++i) {
            ASSERT_EQ(store.FullPath(i), "/d" + std::to_string(i % 3) + "/" + nameOf(i)) << count << " " << i;
            ASSERT_EQ(store.GetCellText(i, ListColumn::Size), i % 2 == 0 ? std::to_string(i * 3) + " B" : "0 B");
            ASSERT_EQ(store.GetCellText(i, ListColumn::Modified), i % 2 == 0 ? "t" + std::to_string(i) : "无数据");
            ASSERT_EQ(store.Facts(i)->statRead, i % 2 == 0);
        }

        // Reversed, then every third row deleted: the rest keep their cells and ids.
        std::vector<RowStore::RowId> ids = store.RowIds();
        std::vector<std::uint32_t> reversed(count);
        for (std::size_t i = 0; i < count; ++i) reversed[i] = static_cast<std::uint32_t>(count - 1 - i);
        store.ApplyOrder(std::move(reversed));
        std::vector<std::size_t> doomed;
        for (std::size_t row = 0; row < count; row += 3) doomed.push_back(row);
        store.DeleteRows(doomed);
        ASSERT_EQ(store.RowCount(), count - doomed.size());
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t before = count - 1 - i;  // its row after the reversal
            const auto found = store.FindRow(ids[i]);
            ASSERT_EQ(found.has_value(), before % 3 != 0) << i;
            if (!found) continue;
            ASSERT_EQ(store.Name(*found), nameOf(i));
            ASSERT_EQ(store.GetCellText(*found, ListColumn::Size), i % 2 == 0 ? std::to_string(i * 3) + " B" : "0 B");
        }
        store.Clear();
        EXPECT_EQ(store.RowCount(), 0u);
        EXPECT_EQ(store.GetCellText(0, ListColumn::Name), "");
    }
}

// Facts filled in later for a row loaded without them (a column shown afterwards)
// are the row's own: its neighbours keep theirs.
TEST(RowStore, FactsFilledLaterBelongToTheirRow) {
    RowStore store;
    store.SetFormatters(TestFormatters());
    for (int i = 0; i < 4; ++i) store.AppendRow("/f", "n" + std::to_string(i), {}, 0);
    const ColumnMask size = ColumnBit(ListColumn::Size);
    const std::vector<RowStore::RowId> lacking = store.ShowColumnsForLoadedRows(size);
    ASSERT_EQ(lacking.size(), 4u);
    std::size_t hint = 0;
    ASSERT_TRUE(store.FillFactsOf(lacking[1], hint, RowFacts{.size = 11, .statRead = true}, size));
    ASSERT_TRUE(store.FillFactsOf(lacking[3], hint, RowFacts{.size = 33, .statRead = true}, size));
    EXPECT_EQ(store.GetCellText(0, ListColumn::Size), "");
    EXPECT_EQ(store.GetCellText(1, ListColumn::Size), "11 B");
    EXPECT_EQ(store.GetCellText(2, ListColumn::Size), "");
    EXPECT_EQ(store.GetCellText(3, ListColumn::Size), "33 B");
    // Attributes read later keep the size read before.
    const ColumnMask attributes = ColumnBit(ListColumn::Attributes);
    ASSERT_TRUE(store.FillFactsOf(lacking[1], hint, RowFacts{.attributes = 7, .attributesRead = true}, attributes));
    EXPECT_EQ(store.GetCellText(1, ListColumn::Size), "11 B");
    EXPECT_EQ(store.GetCellText(1, ListColumn::Attributes), "attr7");
    EXPECT_EQ(store.Facts(1)->statRead, true);
}

TEST(RowStore, WorkerWritesWhileTheUiReads) {
    RowStore store;
    for (int i = 0; i < 2000; ++i) store.AppendRow("/f", "name" + std::to_string(i), {}, 0);
    std::thread worker([&] {
        for (int i = 0; i < 2000; ++i) store.SetCellText(i, ListColumn::Preview, "预览 " + std::to_string(i));
    });
    std::size_t seen = 0;
    for (int pass = 0; pass < 20; ++pass) {
        for (int i = 0; i < 2000; i += 97) seen += store.GetCellText(i, ListColumn::Preview).size() + store.GetCellText(i, ListColumn::Name).size();
    }
    worker.join();
    EXPECT_GT(seen, 0u);
    EXPECT_EQ(store.GetCellText(1999, ListColumn::Preview), "预览 1999");
}

TEST(RowStore, RowsInAndBelowAMovedFolderFollowItAndNoOthers) {
    RowStore store;
    store.AppendRow("/t/", "a", RowFacts{.isFolder = true}, 0);
    store.AppendRow("/t/a/", "x", {}, 0);
    store.AppendRow("/t/a/b/", "y", {}, 0);
    store.AppendRow("/t/ab/", "z", {}, 0);     // shares the first letters only
    store.AppendRow("/t/", "w", {}, 0);        // the folder above
    store.AppendRow("/t/c/a/", "v", {}, 0);    // another folder of the same name
    store.AppendRow("/t/A/", "stale", {}, 0);  // a row left over where the folder goes
    std::vector<std::pair<std::size_t, int>> told;
    store.SetChangeListener([&](std::size_t row, int column) { told.emplace_back(row, column); });

    store.FollowFolderMove("/t/a", "/t/A");
    const std::vector<std::string> folders = {"/t/", "/t/A/", "/t/A/b/", "/t/ab/", "/t/", "/t/c/a/", "/t/A/"};
    for (std::size_t row = 0; row < folders.size(); ++row) EXPECT_EQ(store.Folder(row), folders[row]) << row;
    EXPECT_EQ(told, (std::vector<std::pair<std::size_t, int>>{{RowStore::kEveryRow, ColumnIndex(ListColumn::Folder)}}));

    // Both folders now named /t/A/ move on together; a new row there joins them.
    store.FollowFolderMove("/t/A/", "/u/B/");
    EXPECT_EQ(store.FullPath(1), "/u/B/x");
    EXPECT_EQ(store.FullPath(2), "/u/B/b/y");
    EXPECT_EQ(store.FullPath(6), "/u/B/stale");
    store.AppendRow("/u/B/", "new", {}, 0);
    store.FollowFolderMove("/u/B", "/v");
    EXPECT_EQ(store.FullPath(7), "/v/new");
    EXPECT_EQ(store.FullPath(6), "/v/stale");
    // Nothing below the path: nothing changes, nobody is told.
    told.clear();
    store.FollowFolderMove("/nowhere", "/else");
    EXPECT_TRUE(told.empty());
}

}  // namespace
}  // namespace varnel
