#include "filelist/list_load.h"

#include <cmath>
#include <filesystem>

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "utilities/ole_date.h"

namespace varnel {
namespace {

using testing::TempDir;

std::vector<std::string> Names(const RowStore& store) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < store.RowCount(); ++i) names.push_back(store.Name(i));
    return names;
}

struct LoadFixture : ::testing::Test {
    void SetUp() override {
        std::filesystem::create_directories(dir / "a/F");
        dir.Write("a/a.txt", "1");
        dir.Write("a/b.txt", "22");
        dir.Write("a/c.rar", "333");
        dir.Write("a/F/inner.txt", "4444");
        ASSERT_TRUE(control.TryBegin(TaskKind::ListLoad));
    }
    TempDir dir;
    RowStore store;
    RunControl control;
};

TEST_F(LoadFixture, WalkFillsTheShownColumnsOnly) {
    ListLoadSettings settings;
    settings.columns = ColumnBit(ListColumn::Size) | ColumnBit(ListColumn::Modified);
    settings.walk.depth = 2;
    ListLoad load(store, settings, control);
    ASSERT_TRUE(load.TraverseFolders({dir / "a"}));
    EXPECT_EQ(Names(store), (std::vector<std::string>{"a.txt", "b.txt", "c.rar", "F", "inner.txt"}));
    const RowFacts b = *store.Facts(1);
    EXPECT_EQ(b.size, 2);
    EXPECT_FALSE(std::isnan(b.modified));
    EXPECT_TRUE(store.Facts(3)->isFolder);
    EXPECT_EQ(store.Folder(4), dir / "a/F/");
    EXPECT_EQ(store.Filled(0), settings.columns);
    EXPECT_EQ(load.RowsAdded(), 5u);
}

TEST_F(LoadFixture, FiltersApplyToWalksButNotToBypassedPaths) {
    ListLoadSettings settings;
    settings.nameFilter = {true, 1, "*.txt", false, false, false};
    settings.walk.depth = -1;
    ListLoad load(store, settings, control);
    ASSERT_TRUE(load.TraverseFolders({dir / "a"}));
    EXPECT_EQ(Names(store), (std::vector<std::string>{"a.txt", "b.txt", "inner.txt"}));
    ASSERT_TRUE(load.LoadPaths({dir / "a/c.rar"}, true));
    EXPECT_EQ(store.Name(3), "c.rar");
}

TEST_F(LoadFixture, ExtendedFiltersReadWhatTheyTest) {
    ListLoadSettings settings;
    settings.extended.active = true;
    settings.extended.sizeEnabled = true;
    settings.extended.sizeComparison = 3;  // greater than
    settings.extended.sizeValueText = "2";
    ListLoad load(store, settings, control);
    ASSERT_TRUE(load.TraverseFolders({dir / "a"}));
    EXPECT_EQ(Names(store), (std::vector<std::string>{"c.rar"}));  // F is a folder of size 0
}

TEST_F(LoadFixture, DropInWalkModeListsFilesInReverseThenFolders) {
    ListLoad load(store, {}, control);
    ASSERT_TRUE(load.LoadDroppedPaths({dir / "a/a.txt", dir / "a/b.txt", dir / "a/F"}));
    EXPECT_EQ(Names(store), (std::vector<std::string>{"b.txt", "a.txt", "inner.txt"}));
}

TEST_F(LoadFixture, StopKeepsTheRowsSoFar) {
    struct StopAfter : PosixApi {
        RunControl* control = nullptr;
        int left = 2;
        int Statx(int dirfd, const char* path, int flags, unsigned mask, struct statx* out) override {
            if (--left == 0) control->RequestStop();
            return PosixApi::Statx(dirfd, path, flags, mask, out);
        }
    } os;
    os.control = &control;
    ListLoadSettings settings;
    settings.columns = ColumnBit(ListColumn::Size);
    settings.walk.depth = -1;
    ListLoad load(store, settings, control, os);
    EXPECT_FALSE(load.TraverseFolders({dir / "a"}));
    EXPECT_EQ(store.RowCount(), 2u);
}

TEST_F(LoadFixture, FileTimesOutsideTheYearRangeShowNoData) {
    // tmpfs keeps a modification time billions of years away.
    struct FarTimes : PosixApi {
        int Statx(int dirfd, const char* path, int flags, unsigned mask, struct statx* out) override {
            const int result = PosixApi::Statx(dirfd, path, flags, mask, out);
            out->stx_mtime.tv_sec = 67'767'987'000'000'000;
            out->stx_atime.tv_sec = -67'767'987'000'000'000;
            return result;
        }
    } os;
    ListLoadSettings settings;
    settings.columns = ColumnBit(ListColumn::Modified) | ColumnBit(ListColumn::Accessed);
    ListLoad load(store, settings, control, os);
    ASSERT_TRUE(load.AddPathToFileList(dir / "a/a.txt"));
    EXPECT_TRUE(std::isnan(store.Facts(0)->modified));
    EXPECT_TRUE(std::isnan(store.Facts(0)->accessed));
    EXPECT_EQ(store.GetCellText(0, static_cast<int>(ListColumn::Modified)), "无数据");
    EXPECT_EQ(store.GetCellText(0, static_cast<int>(ListColumn::Accessed)), "无数据");
}

TEST_F(LoadFixture, NamesTheFilterCannotDecideOnAreLeftOutAndReported) {
    dir.Write("a/" + std::string(40, 'a') + "!", "");
    for (const bool invert : {false, true}) {
        SCOPED_TRACE(invert);
        RowStore rows;
        ListLoadSettings settings;
        settings.nameFilter = {true, 2, "^(\\w+\\s?)*$", false, false, invert};
        ListLoad load(rows, settings, control);
        ASSERT_TRUE(load.TraverseFolders({dir / "a"}));
        for (const std::string& name : Names(rows)) EXPECT_NE(name, std::string(40, 'a') + "!");
        EXPECT_EQ(load.FilterErrorCount(), 1u);
        EXPECT_NE(FilterProblemText(load).find("1 个名称无法判断"), std::string::npos);
    }
    ListLoad clean(store, ListLoadSettings{}, control);
    EXPECT_EQ(FilterProblemText(clean), "");
}

TEST(LoadStatus, ZeroRowsShowNoTimePerRow) {
    EXPECT_EQ(LoadStatusText(1500, 0), "载入完毕，总耗 1.5 秒");
    EXPECT_EQ(LoadStatusText(1000, 100), "载入完毕，总耗 1 秒 单耗 10 毫秒");
}

}  // namespace
}  // namespace varnel
