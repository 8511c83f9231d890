#include "frame/ui/instance_messages.h"

#include <QTest>

#include <future>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/app_globals.h"
#include "filelist/ui/file_list_panel.h"
#include "frame/message_channel.h"
#include "frame/ui/instance_receiver.h"
#include "frame/ui/main_window.h"
#include "support/qt_app.h"
#include "support/raw_socket.h"
#include "support/temp_dir.h"
#include "platform/ui/qt_user_notifier.h"

namespace varnel {
namespace {

using testing::SendRaw;
using testing::TempDir;

// Sends from another thread: the sender waits for the answer that this thread's
// event loop gives.
std::future<bool> SendLater(const std::string& folder, FrameType type, std::string body) {
    return std::async(std::launch::async, [folder, type, body = std::move(body)] {
        MessageChannel sender(folder);
        return sender.SendFrame(type, body);
    });
}

bool Delivered(std::future<bool>& sent) {
    EXPECT_TRUE(QTest::qWaitFor([&] { return sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                                20000));
    return sent.get();
}

TEST(InstanceReceiver, HandsOnWholeFramesOnlyAndAnswersThem) {
    testing::TestApplication();
    TempDir dir;
    MessageChannel owner(dir / "Varnel");
    ASSERT_TRUE(owner.OpenChannel());
    std::vector<InstanceFrame> heard;
    InstanceReceiver receiver(owner, [&heard](const InstanceFrame& frame) { heard.push_back(frame); });

    const std::string body = JoinPathList({"/a/请自行结束", std::string("/b/行一\n行二\xff")});
    auto sent = SendLater(dir / "Varnel", FrameType::Paths, body);
    EXPECT_TRUE(Delivered(sent));
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0], (InstanceFrame{FrameType::Paths, body}));

    // Broken frames go unheard; a whole one after them still gets through.
    SendRaw(owner.SocketPath(), EncodeFrame(FrameType::Paths, "/x/y").substr(0, 6));
    std::string oversized = EncodeFrame(FrameType::Paths, "");
    oversized[4] = '\x7f';
    SendRaw(owner.SocketPath(), oversized);
    SendRaw(owner.SocketPath(), std::string("\x09\0\0\0\0", 5));
    auto probe = SendLater(dir / "Varnel", FrameType::Probe, "");
    EXPECT_TRUE(Delivered(probe));
    EXPECT_TRUE(QTest::qWaitFor([&] { return receiver.OpenConnections() == 0; }, 20000));
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[1].type, FrameType::Probe);
}

struct WindowFixture : ::testing::Test {
    WindowFixture() {
        notifier.SetDesktopNotificationsEnabled(false);
        notifier.Install();
        dir.Write("a.txt", "x");
        dir.Write("b.txt", "x");
        app.gInstanceChannel = std::make_unique<MessageChannel>(dir / "Varnel");
        EXPECT_TRUE(app.gInstanceChannel->OpenChannel());
    }
    std::vector<std::string> ListedPaths() {
        std::vector<std::string> paths;
        for (std::size_t row = 0; row < app.gListRows.RowCount(); ++row) paths.push_back(app.gListRows.FullPath(row));
        return paths;
    }

    QApplication& application = testing::TestApplication();
    TempDir dir;
    QtUserNotifier notifier;
    AppGlobals app;
    MainWindow window{app, notifier};
};

TEST_F(WindowFixture, PathsReceivedDuringARunLoadWhenItEnds) {
    InstanceMessages messages(app, window);
    ASSERT_TRUE(app.gRunControl.TryBegin(TaskKind::Execute));
    auto sent = SendLater(dir / "Varnel", FrameType::Paths, JoinPathList({dir / "a.txt"}));
    EXPECT_TRUE(Delivered(sent));
    messages.HandleInstanceMessage({FrameType::Paths, JoinPathList({dir / "b.txt"})});
    EXPECT_EQ(messages.WaitingPaths(), (std::vector<std::string>{dir / "a.txt", dir / "b.txt"}));
    EXPECT_EQ(app.gListRows.RowCount(), 0u);
    EXPECT_FALSE(window.isVisible());

    app.gRunControl.End();
    EXPECT_TRUE(QTest::qWaitFor([&] { return app.gListRows.RowCount() == 2 && !app.gRunControl.IsActive(); },
                                20000));
    EXPECT_EQ(ListedPaths(), (std::vector<std::string>{dir / "a.txt", dir / "b.txt"}));
    EXPECT_TRUE(messages.WaitingPaths().empty());
    EXPECT_TRUE(window.isVisible());  // brought to the front with its new rows
}

TEST_F(WindowFixture, ToFrontRestoresAndShowsTheWindowAndProbesDoNothing) {
    InstanceMessages messages(app, window);
    messages.HandleInstanceMessage({FrameType::Probe, ""});
    EXPECT_FALSE(window.isVisible());
    messages.HandleInstanceMessage({FrameType::Paths, ""});  // no paths: nothing to load or show
    EXPECT_FALSE(window.isVisible());

    window.showMinimized();
    window.hide();
    messages.HandleInstanceMessage({FrameType::ToFront, ""});
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());
}

}  // namespace
}  // namespace varnel
