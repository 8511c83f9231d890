#include "runs/undo_manager.h"

#include <gtest/gtest.h>

#include "runs/undo_spool.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::TempDir;

UndoRecord Renames(int count) {
    UndoRecord record;
    for (int i = 0; i < count; ++i) {
        record.renames.push_back({"new" + std::to_string(i), "old" + std::to_string(i), "/d/", false, {}});
    }
    return record;
}

TEST(UndoManager, RecordLinesAndDetailLayoutsFollowTheKindOrders) {
    // A rename run in transfer mode holds moves and renames: the record list names
    // the moves, the detail list shows the renames.
    UndoRecord mixed = Renames(2);
    mixed.transfers.push_back({"/t/a", "/s/a", {}});
    EXPECT_EQ(DescribeUndoRecord(mixed).kindName, "变更路径");
    EXPECT_EQ(DescribeUndoRecord(mixed).count, 1u);
    const UndoDetailLayout layout = UndoDetailLayoutOf(mixed);
    ASSERT_EQ(layout.kind, UndoKind::Renames);
    EXPECT_EQ(layout.titles, (std::vector<std::string>{"原文件名", "新文件名", "目录"}));
    EXPECT_EQ(layout.rows, 2u);
    EXPECT_EQ(UndoDetailCells(mixed, UndoKind::Renames, 1, {}), (std::vector<std::string>{"old1", "new1", "/d/"}));
    EXPECT_EQ(UndoDetailImagePath(mixed, UndoKind::Renames, 1), "/d/new1");

    // An empty record: no kind, count 0.
    EXPECT_EQ(DescribeUndoRecord(UndoRecord{}).kindName, "");
    EXPECT_EQ(DescribeUndoRecord(UndoRecord{}).count, 0u);
    EXPECT_FALSE(UndoDetailLayoutOf(UndoRecord{}).kind);

    UndoRecord attributes;
    attributes.attributeChanges.push_back({"/p", 0x21});
    EXPECT_EQ(UndoDetailCells(attributes, UndoKind::AttributeChanges, 0, {})[0], "/p");
    EXPECT_FALSE(UndoDetailCells(attributes, UndoKind::AttributeChanges, 0, {})[1].empty());

    UndoRecord split;
    split.splits.push_back({});
    split.splits[0].sourcePath = "/big";
    split.splits[0].pieceFiles.resize(3);
    EXPECT_EQ(UndoDetailCells(split, UndoKind::Splits, 0, {}), (std::vector<std::string>{"/big", "3 个"}));

    // Tags: the columns follow the first entry's versions; cells come from the formatter.
    UndoRecord tags;
    tags.tagChanges.push_back({"/a.mp3", nullptr, TagVersions::Version2, {}});
    EXPECT_EQ(UndoDetailLayoutOf(tags).titles, (std::vector<std::string>{"MP3文件", "原ID3v2"}));
    UndoDetailFormatters formatters;
    formatters.tagCells = [](const TagEntry&) { return std::vector<std::string>{"v2 text"}; };
    EXPECT_EQ(UndoDetailCells(tags, UndoKind::TagChanges, 0, formatters),
              (std::vector<std::string>{"/a.mp3", "v2 text"}));
    EXPECT_EQ(UndoDetailCells(tags, UndoKind::TagChanges, 0, {}), (std::vector<std::string>{"/a.mp3", ""}));
    EXPECT_TRUE(UndoDetailCells(tags, UndoKind::TagChanges, 5, formatters).empty());
}

TEST(UndoManager, ContentShowsItsFirstBytesUpToAZero) {
    TempDir dir;
    UndoSpool spool(dir / "spool");
    UndoRecord record;
    ContentEntry entry;
    entry.path = "/f.txt";
    entry.originalBytes = *spool.Store(std::string("第一行文字") + std::string(1, '\0') + "after");
    record.contentChanges.push_back(entry);
    ContentEntry long_entry;
    long_entry.originalBytes = *spool.Store(std::string(80, 'x'));
    record.contentChanges.push_back(long_entry);
    EXPECT_EQ(UndoDetailCells(record, UndoKind::ContentChanges, 0, {})[1], "第一行文字");
    EXPECT_EQ(UndoDetailCells(record, UndoKind::ContentChanges, 1, {})[1], std::string(50, 'x'));
}

TEST(UndoManager, MovingStopsAtTheEndsWithItsNotice) {
    std::vector<UndoRecord> history = {Renames(1), Renames(2), Renames(3)};
    EXPECT_FALSE(MoveUndoRecord(history, 0, true));
    EXPECT_FALSE(MoveUndoRecord(history, 2, false));
    EXPECT_FALSE(MoveUndoRecord(history, 7, true));
    EXPECT_EQ(MoveUndoRecord(history, 0, false), 1u);
    EXPECT_EQ(history[0].renames.size(), 2u);
    EXPECT_EQ(history[1].renames.size(), 1u);
    EXPECT_EQ(MoveUndoRecord(history, 2, true), 1u);
    EXPECT_EQ(history[1].renames.size(), 3u);
    EXPECT_EQ(UndoMoveRefusedText(true), "这是第一个撤销记录，不能上移啦！");
    EXPECT_EQ(UndoMoveRefusedText(false), "这是最后一个撤销记录，不能下移啦！");
}

TEST(UndoManager, DeletingEntriesKeepsTheOthersInOrder) {
    UndoRecord record = Renames(5);
    EXPECT_EQ(DeleteUndoEntries(record, {3, 1, 3, 9}), 2u);  // duplicates and strays ignored
    ASSERT_EQ(record.renames.size(), 3u);
    EXPECT_EQ(record.renames[0].oldName, "old0");
    EXPECT_EQ(record.renames[1].oldName, "old2");
    EXPECT_EQ(record.renames[2].oldName, "old4");
    EXPECT_EQ(DeleteUndoEntries(record, {0, 1, 2}), 3u);
    EXPECT_TRUE(record.renames.empty());
    EXPECT_EQ(DeleteUndoEntries(record, {0}), 0u);
}

TEST(UndoManager, TheSelectionAlwaysNamesARecord) {
    EXPECT_EQ(ClampUndoSelection(-1, 3), -1);
    EXPECT_EQ(ClampUndoSelection(1, 3), 1);
    EXPECT_EQ(ClampUndoSelection(5, 3), 2);
    EXPECT_EQ(ClampUndoSelection(0, 0), -1);
}

}  // namespace
}  // namespace varnel
