#include "filelist/ui/file_list_model.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <QTest>

#include <algorithm>
#include <numeric>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/qt_app.h"

namespace varnel {
namespace {

TEST(FileListModel, FollowsTheStoreAndPassesTheModelTester) {
    testing::TestApplication();
    RowStore store;
    FileListModel model(store);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);

    for (int i = 0; i < 100; ++i) store.AppendRow("/data", "f" + std::to_string(i) + ".txt", {}, 0);
    EXPECT_EQ(model.rowCount(), 0);  // appended rows show at the next sync
    model.SyncRowCount();
    ASSERT_EQ(model.rowCount(), 100);
    EXPECT_EQ(model.data(model.index(5, 0)).toString(), QString::fromUtf8("f5.txt"));
    EXPECT_EQ(model.data(model.index(5, 8)).toString(), QString::fromUtf8("/data/"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QString::fromUtf8("预览专区"));

    // A name that is not UTF-8 shows a replacement character, and stays bytes in the store.
    store.SetCellText(6, ListColumn::Name, "bad\xFF");
    EXPECT_EQ(model.data(model.index(6, 0)).toString(), QString::fromUtf8("bad\xEF\xBF\xBD"));
    EXPECT_EQ(store.Name(6), "bad\xFF");

    model.DeleteRows({0, 1});
    EXPECT_EQ(model.rowCount(), 98);
    model.ClearRows();
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(FileListModel, WorkerCellChangesReachTheViewOnTheUiThread) {
    testing::TestApplication();
    RowStore store;
    FileListModel model(store);
    for (int i = 0; i < 50; ++i) store.AppendRow("/d", "n" + std::to_string(i), {}, 0);
    model.SyncRowCount();
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    std::thread worker([&] {
        for (int i = 10; i < 40; ++i) store.SetCellText(i, ListColumn::Preview, "√");
    });
    worker.join();
    EXPECT_EQ(changed.count(), 0);  // nothing is emitted off the UI thread
    ASSERT_TRUE(changed.wait(2000));  // the batch comes on the UI thread's tick
    ASSERT_EQ(changed.count(), 1);  // one batched notice for all thirty rows
    EXPECT_EQ(changed[0][0].value<QModelIndex>().row(), 10);
    EXPECT_EQ(changed[0][1].value<QModelIndex>().row(), 39);
}

// The rows the view was told of, one entry per dataChanged.
std::vector<std::pair<int, int>> Notices(const QSignalSpy& spy) {
    std::vector<std::pair<int, int>> ranges;
    for (const QList<QVariant>& signal : spy) {
        const auto topLeft = signal[0].value<QModelIndex>();
        const auto bottomRight = signal[1].value<QModelIndex>();
        EXPECT_EQ(topLeft.column(), 0);
        EXPECT_EQ(bottomRight.column(), kListColumnCount - 1);
        ranges.emplace_back(topLeft.row(), bottomRight.row());
    }
    return ranges;
}

bool Covered(const std::vector<std::pair<int, int>>& ranges, int row) {
    return std::any_of(ranges.begin(), ranges.end(),
                       [row](const auto& range) { return range.first <= row && row <= range.second; });
}

TEST(FileListModel, ChangedRowsReachTheViewAsFewRanges) {
    testing::TestApplication();
    struct Case {
        const char* what;
        std::vector<int> rows;  // changed in this order, on a worker
        std::size_t maxNotices;
    };
    std::vector<int> downwards(10000);
    std::iota(downwards.begin(), downwards.end(), 0);
    std::vector<int> upwards(downwards.rbegin(), downwards.rend());
    std::vector<int> twoBlocks;
    for (int i = 100; i < 200; ++i) twoBlocks.push_back(i);
    for (int i = 5000; i < 5100; ++i) twoBlocks.push_back(i);
    std::vector<int> scattered;  // every third row: no two adjacent
    for (int i = 0; i < 12000; i += 3) scattered.push_back(i);
    std::vector<int> twice = {7, 8, 9, 7, 8, 9, 10};
    const std::vector<Case> cases = {
        {"a run down the list", downwards, 1},
        {"a run up the list", upwards, 1},
        {"two blocks", twoBlocks, 2},
        {"rows scattered over the list", scattered, 256},
        {"rows changed twice, several columns", twice, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RowStore store;
        FileListModel model(store);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        for (int i = 0; i < 12000; ++i) store.AppendRow("/d", "n" + std::to_string(i), {}, 0);
        model.SyncRowCount();
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        std::thread worker([&] {
            for (const int row : c.rows) {
                store.SetCellText(static_cast<std::size_t>(row), 1, "new");
                store.SetCellText(static_cast<std::size_t>(row), 2, "1 KB");
            }
        });
        worker.join();
        // The end of a run syncs: everything marked shows now.
        model.SyncRowCount();
        const auto notices = Notices(changed);
        EXPECT_GE(notices.size(), 1u);
        EXPECT_LE(notices.size(), c.maxNotices);
        for (const int row : c.rows) ASSERT_TRUE(Covered(notices, row)) << row;
        // Nothing is left to tell afterwards.
        changed.clear();
        QTest::qWait(150);
        EXPECT_EQ(changed.count(), 0);
    }
}

TEST(FileListModel, MarksPendingAcrossDeletesAndClearsStayWithinTheList) {
    testing::TestApplication();
    RowStore store;
    FileListModel model(store);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    for (int i = 0; i < 100; ++i) store.AppendRow("/d", "n" + std::to_string(i), {}, 0);
    model.SyncRowCount();
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    // Rows 90-99 are marked, then half the list goes: the marks are void, and no
    // notice names a row past the end of the list.
    const RowStore::RowId last = store.IdOf(99);
    for (std::size_t row = 90; row < 100; ++row) store.SetCellText(row, 1, "x");
    std::vector<std::size_t> firstHalf(50);
    std::iota(firstHalf.begin(), firstHalf.end(), 0);
    model.DeleteRows(firstHalf);
    ASSERT_EQ(model.rowCount(), 50);
    model.FlushChangedCells();
    EXPECT_EQ(changed.count(), 0);

    // A row changed after the delete, by identity, is told at its new place.
    std::size_t hint = 99;
    ASSERT_TRUE(store.SetCellTextOf(last, hint, 1, "y"));
    EXPECT_EQ(hint, 49u);
    model.FlushChangedCells();
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(Notices(changed)[0], std::make_pair(49, 49));
    EXPECT_EQ(model.data(model.index(49, 1)).toString(), QStringLiteral("y"));

    // Marks made before a clear are dropped with the rows.
    changed.clear();
    store.SetCellText(10, 1, "z");
    model.ClearRows();
    model.FlushChangedCells();
    QTest::qWait(150);
    EXPECT_EQ(changed.count(), 0);

    // Rows appended but not yet shown: their marks wait for the count's sync,
    // which shows them fresh.
    for (int i = 0; i < 10; ++i) store.AppendRow("/d", "m" + std::to_string(i), {}, 0);
    store.SetCellText(5, 1, "w");
    model.FlushChangedCells();
    EXPECT_EQ(changed.count(), 0);
    model.SyncRowCount();
    EXPECT_EQ(model.rowCount(), 10);
}

TEST(FileListModel, AReorderVoidsPendingMarksAndLaterChangesShowAtTheNewPlace) {
    testing::TestApplication();
    RowStore store;
    FileListModel model(store);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    for (int i = 0; i < 10; ++i) store.AppendRow("/d", "n" + std::to_string(i), {}, 0);
    model.SyncRowCount();
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy relaid(&model, &QAbstractItemModel::layoutChanged);

    // Row 0 changes, then the list is reversed: the view repaints every row, and the
    // old mark (row 0, now the tenth) is not told as if it were still the first.
    const RowStore::RowId first = store.IdOf(0);
    store.SetCellText(0, 1, "x");
    model.ApplyRowOrder({9, 8, 7, 6, 5, 4, 3, 2, 1, 0});
    ASSERT_EQ(relaid.count(), 1);
    model.FlushChangedCells();
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(model.data(model.index(9, 1)).toString(), QStringLiteral("x"));

    // Changed after the reorder, by identity: told at its new place.
    std::size_t hint = 0;
    ASSERT_TRUE(store.SetCellTextOf(first, hint, 1, "y"));
    model.FlushChangedCells();
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(Notices(changed)[0], std::make_pair(9, 9));
}

}  // namespace
}  // namespace varnel
