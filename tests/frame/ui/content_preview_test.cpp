#include "frame/ui/content_preview.h"

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "filelist/ui/file_list_panel.h"
#include "filelist/ui/file_list_view.h"
#include "filelist/ui/filter_bar.h"
#include "frame/ui/content_viewer_window.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::TempDir;

constexpr int kWaitMs = 10000;

class FakePlayer final : public SoundPlayer {
public:
    explicit FakePlayer(std::vector<std::string>& log) : m_log(log) {}
    bool Play(const std::string& path, bool loop) override {
        m_log.push_back("play " + path + (loop ? " loop" : ""));
        return true;
    }
    void Stop() override { m_log.push_back("stop"); }

private:
    std::vector<std::string>& m_log;
};

struct ContentPreviewTest : ::testing::Test {
    ContentPreviewTest() : list(globals, filters) {
        testing::TestApplication();
        ContentPreview::Services s;
        s.status = [this](std::int64_t row, std::optional<std::int64_t> size, std::optional<std::string> message) {
            statusRow = row;
            statusSize = size;
            if (message) statusMessage = *message;
        };
        s.makePlayer = [this] { return std::make_unique<FakePlayer>(played); };
        s.notice = [this](const std::string& text, const std::string&) { notices.push_back(text); };
        s.loadFileTimes = [this] { ++timesLoaded; };
        preview = std::make_unique<ContentPreview>(globals, list, s, nullptr);
    }
    // The preview stops its player on the way out, which still records.
    ~ContentPreviewTest() override { preview.reset(); }
    void AddRows(const std::vector<std::string>& names) {
        for (const std::string& name : names) globals.gListRows.AppendRow(dir.Path(), name, {}, 0);
        list.Model().SyncRowCount();
    }
    void Choose(int row) {
        list.View().setCurrentIndex(list.Model().index(row, 0));
        preview->ShowRowPreview();
    }
    void Picture(const std::string& name, int width = 40, int height = 30) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::red);
        ASSERT_TRUE(image.save(QString::fromStdString(dir / name), "BMP"));
    }

    TempDir dir;
    ListGlobals globals;
    FilterBar filters;
    FileListPanel list;
    std::unique_ptr<ContentPreview> preview;
    std::int64_t statusRow = 0;
    std::optional<std::int64_t> statusSize;
    std::string statusMessage = "untouched";
    std::vector<std::string> played, notices;
    int timesLoaded = 0;
};

TEST_F(ContentPreviewTest, PicturesAndTextsOpenTheViewer) {
    Picture("a.bmp");
    std::string text;
    while (text.size() < 20000) text += "0123456789";
    dir.Write("long.txt", text);
    AddRows({"a.bmp", "long.txt", "other.bin"});

    QSignalSpy shown(preview.get(), &ContentPreview::pictureShown);
    Choose(0);
    ASSERT_TRUE(shown.wait(kWaitMs));
    ContentViewerWindow* viewer = preview->Viewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->windowTitle(), QString::fromStdString(dir / "a.bmp"));
    EXPECT_EQ(viewer->CurrentPage(), 0);
    EXPECT_EQ(viewer->ShownPicture().size(), QSize(40, 30));
    EXPECT_EQ(statusRow, 1);
    EXPECT_EQ(statusMessage, "untouched");  // a picture leaves the message alone

    Choose(1);
    EXPECT_EQ(viewer->CurrentPage(), 1);
    EXPECT_EQ(viewer->ShownText().toStdString(), text.substr(0, 10000));
    EXPECT_EQ(statusSize, 20000);

    Choose(2);  // another kind hides the viewer and says where the file is
    EXPECT_FALSE(viewer->isVisible());
    EXPECT_EQ(statusMessage, "位于 >> " + dir.Path() + "/");
    EXPECT_EQ(timesLoaded, 3);

    // Text previews can be switched off.
    globals.gMainSettings.previewText = false;
    Choose(1);
    EXPECT_FALSE(viewer->isVisible());
    preview->SetTextPreviewExtensions("");
    EXPECT_EQ(globals.gMainSettings.textPreviewExtensions, kDefaultTextPreviewExtensions);
}

// The viewer shows beside the list without taking the keyboard from it, each time
// it appears, so the arrow keys and the list's shortcuts still reach the list.
// A page's title is read on a worker and reaches the status when it comes; a
// named pipe named like a page answers at once with no title, and a newer row
// drops the read of an older one.
TEST_F(ContentPreviewTest, PageTitlesComeFromAWorkerAndANewerRowWins) {
    dir.Write("a.htm", "<html><title>第一页</title></html>");
    ASSERT_EQ(::mkfifo((dir / "pipe.htm").c_str(), 0644), 0);
    dir.Write("other.bin", "x");
    AddRows({"a.htm", "pipe.htm", "other.bin"});
    Choose(0);
    ASSERT_TRUE(QTest::qWaitFor([this] { return statusMessage == "标题 >> 第一页"; }, kWaitMs));
    EXPECT_EQ(statusRow, 1);
    Choose(1);
    ASSERT_TRUE(QTest::qWaitFor([this] { return statusMessage == "标题 >> "; }, kWaitMs));
    EXPECT_EQ(statusRow, 2);
    Choose(0);
    Choose(2);  // at once: the first page's read is dropped
    EXPECT_EQ(statusMessage, "位于 >> " + dir.Path() + "/");
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    EXPECT_EQ(statusMessage, "位于 >> " + dir.Path() + "/");
    EXPECT_EQ(statusRow, 3);
}

TEST_F(ContentPreviewTest, TheViewerLeavesTheFocusOnTheList) {
    Picture("a.bmp");
    dir.Write("b.txt", "text");
    AddRows({"a.bmp", "b.txt", "other.bin"});
    list.show();
    list.activateWindow();
    list.View().setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&list));
    QSignalSpy shown(preview.get(), &ContentPreview::pictureShown);
    for (int row : {0, 1, 2, 0, 1}) {
        Choose(row);
        if (row == 0) ASSERT_TRUE(shown.wait(kWaitMs));
        // Whatever the window system does on showing the viewer has happened once
        // the viewer is exposed and the events it brought are handled.
        ContentViewerWindow* viewer = preview->Viewer();
        ASSERT_NE(viewer, nullptr);
        if (row != 2) ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer)) << row;
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
        EXPECT_EQ(QApplication::activeWindow(), &list) << row;
        EXPECT_EQ(QApplication::focusWidget(), &list.View()) << row;
    }
    EXPECT_TRUE(preview->Viewer()->isVisible());

    // A click into the viewer gives it the keyboard.
    QTest::mouseClick(preview->Viewer()->findChild<QWidget*>(QString::fromUtf8("编辑框"))->parentWidget(),
                      Qt::LeftButton);
    for (int i = 0; i < 100 && QApplication::activeWindow() != preview->Viewer(); ++i) QTest::qWait(10);
    EXPECT_EQ(QApplication::activeWindow(), preview->Viewer());
}

// A sort moves the current row: the file is the one already previewed, so only
// its number changes and the sort's own status message stays.
TEST_F(ContentPreviewTest, ARowThatOnlyMovedKeepsTheStatusMessage) {
    AddRows({"a.bin", "b.bin", "c.bin"});
    Choose(0);
    EXPECT_EQ(statusMessage, "位于 >> " + dir.Path() + "/");
    statusMessage = "排序完成";
    list.Model().ApplyRowOrder({2, 1, 0});  // a.bin is the last row now
    ASSERT_EQ(list.View().currentIndex().row(), 2);
    preview->RowChanged(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return statusRow == 3; }, kWaitMs));
    EXPECT_EQ(statusMessage, "排序完成");

    // Another file is previewed as ever.
    list.View().setCurrentIndex(list.Model().index(0, 0));
    preview->RowChanged(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return statusRow == 1; }, kWaitMs));
    EXPECT_EQ(statusMessage, "位于 >> " + dir.Path() + "/");
}

// Beside a window near the screen's bottom edge the viewer still opens wholly
// inside the screen's available area.
TEST_F(ContentPreviewTest, TheViewerOpensInsideTheAvailableArea) {
    QWidget owner;
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    owner.setGeometry(area.right() - 150, area.bottom() - 100, 200, 80);
    owner.show();
    ContentPreview::Services s;
    ContentPreview nearTheEdge(globals, list, s, &owner);
    dir.Write("t.txt", "text");
    AddRows({"t.txt", "other.bin"});
    const auto show = [&](int row) {
        list.View().setCurrentIndex(list.Model().index(row, 0));
        nearTheEdge.ShowRowPreview();
    };
    show(0);
    ContentViewerWindow* viewer = nearTheEdge.Viewer();
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer));
    EXPECT_TRUE(area.contains(viewer->frameGeometry()))
        << viewer->frameGeometry().x() << "," << viewer->frameGeometry().y() << " in " << area.width() << "x"
        << area.height();
    // Left half below the edge, it comes back whole the next time it shows.
    viewer->move(viewer->x(), area.bottom() - viewer->height() / 2);
    show(1);
    ASSERT_FALSE(viewer->isVisible());
    show(0);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer));
    EXPECT_TRUE(area.contains(viewer->frameGeometry())) << viewer->frameGeometry().y();
}

TEST_F(ContentPreviewTest, ARightClickChoosesWithoutOpening) {
    Picture("a.bmp");
    AddRows({"a.bmp"});
    preview->RowChanged(true);
    list.View().setCurrentIndex(list.Model().index(0, 0));
    preview->ShowRowPreview();
    EXPECT_EQ(preview->Viewer(), nullptr);
    EXPECT_EQ(statusRow, 1);
}

TEST_F(ContentPreviewTest, QuickRowChangesDecodeOnePicture) {
    for (int i = 0; i < 50; ++i) Picture("p" + std::to_string(i) + ".bmp");
    std::vector<std::string> names;
    for (int i = 0; i < 50; ++i) names.push_back("p" + std::to_string(i) + ".bmp");
    AddRows(names);
    QSignalSpy shown(preview.get(), &ContentPreview::pictureShown);
    for (int i = 0; i < 50; ++i) {
        list.View().setCurrentIndex(list.Model().index(i, 0));
        preview->RowChanged(false);
    }
    ASSERT_TRUE(shown.wait(kWaitMs));
    QTest::qWait(ContentPreview::kPauseMs * 2);
    EXPECT_EQ(preview->PictureDecodes(), 1);
    EXPECT_EQ(preview->Viewer()->windowTitle(), QString::fromStdString(dir / "p49.bmp"));
}

TEST_F(ContentPreviewTest, AdjacentPicturesSkipOtherRows) {
    Picture("a.bmp");
    dir.Write("b.txt", "b");
    Picture("c.bmp");
    AddRows({"a.bmp", "b.txt", "c.bmp"});
    QSignalSpy shown(preview.get(), &ContentPreview::pictureShown);
    Choose(0);
    ASSERT_TRUE(shown.wait(kWaitMs));
    preview->ShowAdjacentPicture(false);
    ASSERT_TRUE(shown.wait(kWaitMs));
    EXPECT_EQ(list.View().currentIndex().row(), 2);
    EXPECT_EQ(preview->Viewer()->windowTitle(), QString::fromStdString(dir / "c.bmp"));
    preview->ShowAdjacentPicture(false);
    EXPECT_EQ(notices.back(), "已经无法向下");
}

TEST_F(ContentPreviewTest, SoundsPlayAndStop) {
    dir.Write("s.wav", "RIFF");
    dir.Write("m.mid", "MThd");
    AddRows({"s.wav", "m.mid", "x.bin"});
    Choose(0);
    ASSERT_FALSE(played.empty());
    EXPECT_EQ(played.back(), "play " + dir / "s.wav" + " loop");
    Choose(1);  // MIDI has no player: the sound before stops, nothing plays
    EXPECT_EQ(played.back(), "stop");
    globals.gMainSettings.repeatPlayback = false;
    Choose(0);
    EXPECT_EQ(played.back(), "play " + dir / "s.wav");
    preview->StopPlaying();
    EXPECT_EQ(played.back(), "stop");
}

}  // namespace
}  // namespace varnel
