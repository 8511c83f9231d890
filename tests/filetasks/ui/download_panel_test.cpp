#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QToolButton>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "app/app_globals.h"
#include "filelist/ui/file_list_panel.h"
#include "filelist/ui/filter_bar.h"
#include "filetasks/ui/download_panel.h"
#include "filetasks/ui/file_task_registrations.h"
#include "runs/ui/batch_task_area.h"
#include "runs/ui/task_box.h"
#include "support/file_task_area.h"
#include "support/http_test_server.h"
#include "support/notice_recorder.h"
#include "support/panel_test.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;
using testing::Find;
constexpr int kWaitMs = 10000;

TEST(DownloadPanel, ControlsFollowTheModesAndEveryControlIsKept) {
    testing::TestApplication();
    testing::NoticeRecorder notices;
    testing::TempDir dir;
    std::string picked;
    DownloadPanel first(nullptr, {}, [&picked](const std::string& prompt, const std::string&) {
        picked = prompt;
        return std::string("/chosen/folder");
    });
    EXPECT_TRUE(Find<QLineEdit>(first, "编辑框递进地址")->isEnabled());
    EXPECT_FALSE(Find<QPlainTextEdit>(first, "编辑框固定地址")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>(first, "编辑框延迟毫秒")->isEnabled());
    Find<QCheckBox>(first, "选择框字母递进")->click();
    EXPECT_FALSE(Find<QCheckBox>(first, "选择框零补齐")->isEnabled());
    Find<QRadioButton>(first, "单选框固定地址")->click();
    EXPECT_TRUE(Find<QPlainTextEdit>(first, "编辑框固定地址")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>(first, "编辑框开始值")->isEnabled());
    Find<QCheckBox>(first, "选择框延迟策略")->click();
    EXPECT_TRUE(Find<QLineEdit>(first, "编辑框延迟毫秒")->isEnabled());
    Find<QToolButton>(first, "调节器延迟毫秒增")->click();
    Find<QToolButton>(first, "调节器延迟毫秒增")->click();
    Find<QToolButton>(first, "调节器延迟毫秒减")->click();
    EXPECT_EQ(Find<QLineEdit>(first, "编辑框延迟毫秒")->text(), "1000");
    Find<QPlainTextEdit>(first, "编辑框固定地址")->setPlainText("http://a/1\nhttp://a/2");
    Find<QPushButton>(first, "按钮选择文件夹")->click();
    EXPECT_EQ(picked, "选择一个保存目录，网络文档将保存到该目录");
    Find<QLineEdit>(first, "编辑框结束值")->setText("120.7");
    testing::Store(first, dir / "s.ini", "批量下载", true);

    DownloadPanel second(nullptr);
    testing::Store(second, dir / "s.ini", "批量下载", false);
    const DownloadParams p = second.CurrentParameters();
    EXPECT_FALSE(p.counterMode);
    EXPECT_TRUE(p.useLetters);
    EXPECT_TRUE(p.delay);
    EXPECT_EQ(p.delayMs, 1000);
    EXPECT_EQ(p.endValue, 120);
    EXPECT_EQ(p.fixedAddresses, "http://a/1\nhttp://a/2");
    EXPECT_EQ(p.folder, "/chosen/folder/");
    EXPECT_TRUE(Find<QPlainTextEdit>(second, "编辑框固定地址")->isEnabled());

    // A relative folder is refused before anything is fetched.
    Find<QLineEdit>(second, "编辑框保存文件夹")->setText("relative");
    EXPECT_FALSE(second.MakeParams(RunMode::Execute));
    EXPECT_EQ(notices.Notices().size(), 1u);
    EXPECT_TRUE(second.MakeParams(RunMode::FullPreview));
}

TEST(FileTaskRegistrations, DownloadListsAddressesThenTheSavedFilesAndUndoRemovesThem) {
    testing::HttpTestServer server;
    ASSERT_TRUE(server.Running());
    testing::NoticeRecorder notices;
    testing::TempDir dir;
    const std::string folder = dir / "saved";

    testing::FileTaskArea fixture(dir / "s.ini");
    AppGlobals& app = fixture.app;
    FileListPanel& list = fixture.list;
    BatchTaskArea& area = fixture.area;
    ASSERT_NE(fixture.Choose({"更多扩展", "下载"}), nullptr);
    QWidget& panel = *area.CurrentPanel();
    Find<QLineEdit>(panel, "编辑框递进地址")->setText(QString::fromStdString(server.Url("/files/*.bin")));
    Find<QLineEdit>(panel, "编辑框开始值")->setText("1");
    Find<QLineEdit>(panel, "编辑框结束值")->setText("10");
    Find<QLineEdit>(panel, "编辑框增量值")->setText("3");
    Find<QLineEdit>(panel, "编辑框保存文件夹")->setText(QString::fromStdString(folder));

    QSignalSpy finished(&area, &BatchTaskArea::runFinished);
    area.OnBatchToolbarButton(0);
    ASSERT_TRUE(finished.wait(kWaitMs));
    QCoreApplication::processEvents();
    ASSERT_EQ(app.gListRows.RowCount(), 10u);
    EXPECT_EQ(app.gListRows.GetCellText(0, ListColumn::Preview), server.Url("/files/01.bin"));
    EXPECT_EQ(app.gListRows.GetCellText(1, ListColumn::Preview), server.Url("/files/04.bin"));
    EXPECT_FALSE(fs::exists(folder));

    Find<QLineEdit>(panel, "编辑框结束值")->setText("2");
    QSignalSpy loaded(&list.Runner(), &ListLoadRunner::finished);
    area.OnBatchToolbarButton(1);
    ASSERT_TRUE(finished.wait(kWaitMs));
    ASSERT_TRUE(loaded.wait(kWaitMs));
    ASSERT_EQ(app.gListRows.RowCount(), 2u);
    EXPECT_EQ(app.gListRows.FullPath(0), folder + "/1.bin");
    EXPECT_EQ(app.gListRows.FullPath(1), folder + "/4.bin");
    EXPECT_TRUE(fs::exists(folder + "/4.bin"));

    QSignalSpy undone(&area, &BatchTaskArea::undoFinished);
    area.ToolbarButton(2)->trigger();
    ASSERT_TRUE(undone.wait(kWaitMs));
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_TRUE(notices.Boxes().empty());
}

}  // namespace
}  // namespace varnel
