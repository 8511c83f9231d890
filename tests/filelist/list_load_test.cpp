#include "filelist/list_load.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <functional>
#include <filesystem>

#include <gtest/gtest.h>

#include "utilities/error.h"
#include "support/faulty_posix.h"
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

// A path given to the load that cannot be read becomes no row; a folder a walk
// cannot read adds nothing. Both are reported with the system's reason.
TEST_F(LoadFixture, WhatCannotBeReadAddsNoRowAndIsReported) {
    using Call = testing::FaultyPosix::Call;
    const std::string a = dir / "a";
    const struct {
        const char* what;
        Call call;
        std::string failingPath;  // "" fails every call of the kind
        std::function<void(ListLoad&)> run;
        std::vector<std::string> rows;
        std::string failed;
        int error;
    } cases[] = {
        {"missing path", Call::None, "", [&](ListLoad& l) { l.LoadPaths({a + "/a.txt", a + "/gone.txt"}, true); },
         {"a.txt"}, a + "/gone.txt", ENOENT},
        {"refused path", Call::Statx, "", [&](ListLoad& l) { l.LoadPaths({a + "/b.txt"}, true); }, {}, a + "/b.txt",
         EACCES},
        {"refused dropped file", Call::Statx, "", [&](ListLoad& l) { l.LoadDroppedPaths({a + "/b.txt"}); }, {},
         a + "/b.txt", EACCES},
        {"refused folder", Call::Open, a + "/", [&](ListLoad& l) { l.TraverseFolders({a}); }, {}, a + "/", EACCES},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        store.Clear();
        testing::FaultyPosix os;
        if (c.failingPath.empty()) {
            os.Fail(c.call, EACCES);
        } else {
            os.FailOn(c.call, EACCES, c.failingPath);
        }
        ListLoad load(store, {}, control, os);
        c.run(load);
        EXPECT_EQ(Names(store), c.rows);
        ASSERT_EQ(load.Report().failures.size(), 1u);
        EXPECT_EQ(load.Report().failures[0].path, c.failed);
        EXPECT_EQ(load.Report().failures[0].error, c.error);
    }
}

// A column shown after the rows were listed: rows read with the facts it needs
// show it at once; the others are read by FillColumns, and rows gone meanwhile
// are skipped.
TEST_F(LoadFixture, ColumnsShownLateFillFromFactsOrByReading) {
    ListLoadSettings bare;  // a walk reads nothing about its entries
    ListLoad walk(store, bare, control);
    ASSERT_TRUE(walk.TraverseFolders({dir / "a"}));  // a.txt b.txt c.rar F
    ListLoadSettings withTimes;
    withTimes.columns = ColumnBit(ListColumn::Modified);
    ListLoad paths(store, withTimes, control);
    ASSERT_TRUE(paths.LoadPaths({dir / "a/F/inner.txt"}, true));
    EXPECT_EQ(store.Filled(0), 0);

    const ColumnMask size = ColumnBit(ListColumn::Size);
    const std::vector<RowStore::RowId> lacking = store.ShowColumnsForLoadedRows(size);
    EXPECT_EQ(lacking, store.RowIds(0, 4));
    EXPECT_EQ(store.Filled(4) & size, size);  // the size came with the times
    EXPECT_EQ(store.Facts(4)->size, 4);
    EXPECT_EQ(store.Filled(0) & size, 0);

    store.DeleteRow(1);  // b.txt goes before it is read
    ListLoad fill(store, {}, control);
    ASSERT_TRUE(fill.FillColumns(lacking, size));
    EXPECT_EQ(Names(store), (std::vector<std::string>{"a.txt", "c.rar", "F", "inner.txt"}));
    const std::int64_t sizes[] = {1, 3, 0, 4};
    for (std::size_t row = 0; row < 4; ++row) {
        EXPECT_EQ(store.Filled(row) & size, size) << row;
        EXPECT_EQ(store.Facts(row)->size, sizes[row]) << row;
    }
    // Read once: showing it again needs nothing more.
    EXPECT_TRUE(store.ShowColumnsForLoadedRows(size | ColumnBit(ListColumn::Accessed)).empty());
}

TEST(LoadStatus, ZeroRowsShowNoTimePerRow) {
    EXPECT_EQ(LoadStatusText(1500, 0), "载入完毕，总耗 1.5 秒");
    EXPECT_EQ(LoadStatusText(1000, 100), "载入完毕，总耗 1 秒 单耗 10 毫秒");
}

TEST(LoadStatus, FailuresComeFirstAndTheNoticeNamesThem) {
    const std::vector<LoadFailure> one = {{"/x/gone", ENOENT}};
    const std::string reason = SystemErrorReason(ENOENT);
    EXPECT_EQ(LoadStatusText(1500, 0, one), "无法载入 /x/gone：" + reason + "；载入完毕，总耗 1.5 秒");
    std::vector<LoadFailure> many;
    for (int i = 0; i < 12; ++i) many.push_back({"/p" + std::to_string(i), EACCES});
    EXPECT_EQ(LoadStatusText(1500, 0, many),
              "有 12 项无法载入，首项 /p0：" + SystemErrorReason(EACCES) + "；载入完毕，总耗 1.5 秒");
    const std::string notice = LoadFailureNotice(many, 10);
    EXPECT_EQ(notice.find("以下 12 项无法载入："), 0u);
    EXPECT_NE(notice.find("/p9："), std::string::npos);
    EXPECT_EQ(notice.find("/p10"), std::string::npos);
    EXPECT_NE(notice.find("另有 2 项"), std::string::npos);
}

}  // namespace
}  // namespace varnel
