#include "runs/undo_manager.h"

#include <gtest/gtest.h>

#include "runs/undo_spool.h"
#include "support/temp_dir.h"
#include "support/time_zone.h"

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

    // Times: the local date-times recorded; a creation time not recorded is blank.
    {
        testing::ScopedTimeZone zone("UTC0");
        UndoRecord times;
        times.timeChanges.push_back({"/t", std::nullopt, {1'000'000'000, 5}, {946'684'800, 0}});
        EXPECT_EQ(UndoDetailCells(times, UndoKind::TimeChanges, 0, {}),
                  (std::vector<std::string>{"/t", "", "2001-09-09 01:46:40", "2000-01-01 00:00:00"}));
    }

    UndoRecord split;
    split.splits.push_back({});
    split.splits[0].sourcePath = "/big";
    split.splits[0].pieceFiles.resize(3);
    EXPECT_EQ(UndoDetailCells(split, UndoKind::Splits, 0, {}), (std::vector<std::string>{"/big", "3 个"}));

    // A family's kind: the columns follow what its family makes of the first
    // entry, the cells after the path are the family's (as many as the columns);
    // a kind nobody entered shows its paths.
    struct Versions {
        std::string path;
        bool both = false;
    };
    UndoRecord tags;
    tags.familyChanges.push_back(FamilyUndoEntry::Of(UndoKind::TagChanges, Versions{"/a.mp3", false}));
    tags.familyChanges.push_back(FamilyUndoEntry::Of(UndoKind::TagChanges, Versions{"/b.mp3", true}));
    UndoFamily<Versions> family;
    family.titles = [](const Versions& first) {
        return first.both ? std::vector<std::string>{"MP3文件", "原ID3v1", "原ID3v2"}
                          : std::vector<std::string>{"MP3文件", "原ID3v2"};
    };
    family.cells = [](const Versions& entry) {
        return entry.both ? std::vector<std::string>{"v1 text", "v2 text"} : std::vector<std::string>{"v2 text"};
    };
    UndoFamilyRegistry families;
    families.Register(UndoKind::TagChanges, family);
    EXPECT_EQ(DescribeUndoRecord(tags).kindName, "MP3标签");
    EXPECT_EQ(DescribeUndoRecord(tags).count, 2u);
    const UndoDetailLayout tagLayout = UndoDetailLayoutOf(tags, families);
    EXPECT_EQ(tagLayout.kind, UndoKind::TagChanges);
    EXPECT_EQ(tagLayout.titles, (std::vector<std::string>{"MP3文件", "原ID3v2"}));
    EXPECT_EQ(tagLayout.rows, 2u);
    EXPECT_EQ(UndoDetailCells(tags, UndoKind::TagChanges, 0, families),
              (std::vector<std::string>{"/a.mp3", "v2 text"}));
    EXPECT_EQ(UndoDetailCells(tags, UndoKind::TagChanges, 1, families),
              (std::vector<std::string>{"/b.mp3", "v1 text"}));
    EXPECT_TRUE(UndoDetailCells(tags, UndoKind::TagChanges, 5, families).empty());
    EXPECT_EQ(UndoDetailLayoutOf(tags).titles, (std::vector<std::string>{"路径"}));
    EXPECT_EQ(UndoDetailCells(tags, UndoKind::TagChanges, 1), (std::vector<std::string>{"/b.mp3"}));
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

    // Family entries are counted within their kind; another kind's stay.
    struct Note {
        std::string path;
    };
    UndoRecord family;
    for (const char* path : {"/s0", "/s1", "/s2"}) {
        family.familyChanges.push_back(FamilyUndoEntry::Of(UndoKind::ShortcutChanges, Note{path}));
        family.familyChanges.push_back(FamilyUndoEntry::Of(UndoKind::TagChanges, Note{path + std::string(".mp3")}));
    }
    EXPECT_EQ(DeleteUndoEntries(family, {2, 0, 7}), 2u);  // the tag kind comes first in the detail order
    std::vector<std::string> left;
    for (const FamilyUndoEntry& entry : family.familyChanges) left.push_back(entry.Path());
    EXPECT_EQ(left, (std::vector<std::string>{"/s0", "/s1", "/s1.mp3", "/s2"}));
}

TEST(UndoManager, TheSelectionAlwaysNamesARecord) {
    EXPECT_EQ(ClampUndoSelection(-1, 3), -1);
    EXPECT_EQ(ClampUndoSelection(1, 3), 1);
    EXPECT_EQ(ClampUndoSelection(5, 3), 2);
    EXPECT_EQ(ClampUndoSelection(0, 0), -1);
}

}  // namespace
}  // namespace varnel
