#include "filelist/extended_filters.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "utilities/ole_date.h"

namespace varnel {
namespace {

TEST(ExtendedFilters, CharacterOverlap) {
    struct Case { const char* keyword; const char* name; int min; bool ignoreCase; bool invert; bool expected; };
    const Case cases[] = {
        {"报告", "年度报告.doc", 2, false, false, true},
        {"报告", "报表.doc", 2, false, false, false},
        {"报告", "报表.doc", 2, false, true, true},
        {"abc", "xAyBzC", 0, true, false, true},   // 0 means 3
        {"abc", "xAyBzC", 0, false, false, false},
        {"aab", "xab", 3, false, false, true},     // a keyword letter counts each time
        {"", "name", 1, false, true, false},      // empty keyword fails, invert not applied
        {"a", "", 1, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.keyword) + " in " + c.name);
        EXPECT_EQ(TestCharacterOverlap(c.keyword, c.name, c.min, c.ignoreCase, c.invert), c.expected);
    }
}

TEST(ExtendedFilters, TypeAndAttributes) {
    const EntryFacts file{.isFolder = false, .attributes = 0x20};
    const EntryFacts folder{.isFolder = true, .attributes = 0x10};
    const EntryFacts hiddenFolder{.isFolder = true, .attributes = 0x12};
    // 文件 + 无格式 + 取反: files with an extension pass, folders fail.
    EXPECT_TRUE(TestEntryType(file, "a.txt", true, true, true));
    EXPECT_FALSE(TestEntryType(file, "README", true, true, true));
    EXPECT_FALSE(TestEntryType(folder, "dir", true, true, true));
    EXPECT_TRUE(TestEntryType(folder, "dir", false, true, false));
    EXPECT_FALSE(TestEntryType(hiddenFolder, ".dir", false, true, false));
    EXPECT_TRUE(TestEntryType(hiddenFolder, ".dir", false, false, true));  // invert only when strict

    const std::uint32_t readOnlyHidden = 0x01 | 0x02;
    EXPECT_TRUE(TestAttributes(0x02, readOnlyHidden, true, false));
    EXPECT_FALSE(TestAttributes(0x02, readOnlyHidden, false, false));
    EXPECT_TRUE(TestAttributes(0x03, readOnlyHidden, false, false));
    EXPECT_FALSE(TestAttributes(0x23, readOnlyHidden, false, false));
    EXPECT_TRUE(TestAttributes(0x23, readOnlyHidden, false, true));
}

TEST(ExtendedFilters, DatesCompareWholeDays) {
    const double day = *CivilToOleDate({2024, 5, 6});
    const EntryFacts early{.modified = *CivilToOleDate({2024, 5, 6, 0, 0, 0})};
    const EntryFacts late{.modified = *CivilToOleDate({2024, 5, 6, 23, 59, 59})};
    const EntryFacts next{.modified = *CivilToOleDate({2024, 5, 7, 0, 0, 0})};
    for (const EntryFacts* facts : {&early, &late}) {
        EXPECT_TRUE(TestDate(*facts, day + 0.5, 1, 1, false));   // 当天, whatever the time
        EXPECT_FALSE(TestDate(*facts, day, 1, 0, false));        // not before
        EXPECT_FALSE(TestDate(*facts, day, 1, 2, false));        // not after
    }
    EXPECT_TRUE(TestDate(next, day, 1, 2, false));
    EXPECT_TRUE(TestDate(early, day + 1, 1, 0, false));
    // An old date before day 0 orders by its day.
    const EntryFacts old{.created = *CivilToOleDate({1899, 12, 29, 18, 0, 0})};
    EXPECT_TRUE(TestDate(old, *CivilToOleDate({1899, 12, 30}), 0, 0, false));
    // A creation time the file system does not keep answers nothing.
    EXPECT_FALSE(TestDate(EntryFacts{}, day, 0, 1, false));
}

TEST(ExtendedFilters, Sizes) {
    const std::int64_t threeGiB = 3LL << 30;
    struct Case { std::int64_t size; double value; int unit; int comparison; bool expected; };
    const Case cases[] = {
        {threeGiB, 3, 3, 1, true},                 // 3 GiB equals 3 GB
        {threeGiB, 2, 3, 3, true},
        {threeGiB, 4, 3, 0, true},
        {static_cast<std::int64_t>(5.9 * 1024), 5, 1, 2, true},   // about 5 KB
        {6 * 1024, 5, 1, 2, false},
        {105, 100, 0, 2, true},                    // within 10 bytes
        {111, 100, 0, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        EXPECT_EQ(TestSize(c.size, c.value, c.unit, c.comparison, false), c.expected);
    }
}

TEST(ExtendedFilters, ShortcutsAndParentNames) {
    const auto exists = [](std::string_view path) -> std::optional<bool> {
        if (path.find("unreadable") != std::string_view::npos) return std::nullopt;
        return path.find("good") != std::string_view::npos;
    };
    EXPECT_TRUE(TestInvalidShortcut("/d/bad.LNK", exists, false));
    EXPECT_FALSE(TestInvalidShortcut("/d/good.lnk", exists, false));
    EXPECT_TRUE(TestInvalidShortcut("/d/unreadable.lnk", exists, false));
    EXPECT_FALSE(TestInvalidShortcut("/d/plain.txt", exists, false));
    EXPECT_TRUE(TestInvalidShortcut("/d/plain.txt", exists, true));
    EXPECT_FALSE(TestInvalidShortcut("/d/any.lnk", nullptr, false));  // no reader: cannot tell

    EXPECT_TRUE(TestNameMatchesParent("/music/Album/Album.mp3", false));
    EXPECT_FALSE(TestNameMatchesParent("/music/Album/Other.mp3", false));
    EXPECT_FALSE(TestNameMatchesParent("/x", false));  // no parent name under "/"
}

TEST(ExtendedFilters, SettingsRoundTripAndFirstFailureRejects) {
    testing::TempDir dir;
    ExtendedFilterState saved;
    saved.charEnabled = true;
    saved.keyword = "报告";
    saved.minCharCountText = "2";
    saved.dateEnabled = true;
    saved.date = 45000;
    saved.dateDirection = 2;
    saved.sizeUnit = 3;
    {
        SettingsStore store;
        store.SetFile(dir / "s.ini");
        ASSERT_TRUE(LoadOrSaveExtendedFilters(store, saved, true));
    }
    SettingsStore store;
    store.SetFile(dir / "s.ini");
    ExtendedFilterState loaded;
    ASSERT_TRUE(LoadOrSaveExtendedFilters(store, loaded, false));
    EXPECT_TRUE(loaded.charEnabled);
    EXPECT_EQ(loaded.keyword, "报告");
    EXPECT_EQ(loaded.MinCharCount(), 2);
    EXPECT_DOUBLE_EQ(loaded.date, 45000);
    EXPECT_EQ(loaded.dateDirection, 2);
    EXPECT_EQ(loaded.sizeUnit, 3);
    store.SelectSection("扩展过滤_日期");
    EXPECT_EQ(store.ReadText("日期方向（0、之前 1、当天 2、之后）"), "2");

    ExtendedFilterState only;
    only.charEnabled = true;
    only.keyword = "报告";
    only.minCharCountText = "2";
    EXPECT_TRUE(PassesExtendedFilters(only, "/d/年度报告.doc", "年度报告.doc", {}, nullptr));
    only.parentEnabled = true;
    EXPECT_FALSE(PassesExtendedFilters(only, "/d/年度报告.doc", "年度报告.doc", {}, nullptr));
}

}  // namespace
}  // namespace varnel
