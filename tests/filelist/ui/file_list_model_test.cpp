#include "filelist/ui/file_list_model.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <thread>

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
    QCoreApplication::processEvents();
    ASSERT_EQ(changed.count(), 1);  // one batched notice for all thirty rows
    EXPECT_EQ(changed[0][0].value<QModelIndex>().row(), 10);
    EXPECT_EQ(changed[0][1].value<QModelIndex>().row(), 39);
}

}  // namespace
}  // namespace varnel
