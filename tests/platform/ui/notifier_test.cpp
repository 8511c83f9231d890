#include <QTest>
#include <QThread>

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "support/qt_app.h"
#include "platform/ui/qt_user_notifier.h"
#include "utilities/user_notifier.h"

namespace varnel {
namespace {

TEST(QtUserNotifier, WithoutTrayOrDesktopTheNoticeReachesTheStatusBar) {
    testing::TestApplication();
    QtUserNotifier notifier;
    notifier.SetDesktopNotificationsEnabled(false);
    std::vector<QString> status;
    notifier.SetStatusFallback([&status](const QString& text) { status.push_back(text); });
    notifier.Install();

    ShowTrayNotice("已经找到\r\n\r\n位于第 3 条");
    ASSERT_EQ(status.size(), 1u);
    EXPECT_EQ(status.back(), QString::fromUtf8("已经找到 位于第 3 条"));
    EXPECT_EQ(notifier.CurrentOutlet(), QtUserNotifier::Outlet::StatusMessage);

    ShowTrayNotice("歌词", "歌词信息：");
    EXPECT_EQ(status.back(), QString::fromUtf8("歌词信息： 歌词"));

    HideTrayNotice();
    EXPECT_EQ(status.back(), QString());
    EXPECT_EQ(notifier.CurrentOutlet(), QtUserNotifier::Outlet::None);
}

TEST(QtUserNotifier, WorkerNoticeIsShownByTheUiThread) {
    testing::TestApplication();
    QtUserNotifier notifier;
    notifier.SetDesktopNotificationsEnabled(false);
    std::atomic<bool> onUiThread{false};
    QString shown;
    QThread* const uiThread = QThread::currentThread();
    notifier.SetStatusFallback([&](const QString& text) {
        onUiThread = QThread::currentThread() == uiThread;
        shown = text;
    });
    notifier.Install();
    std::thread([] { ShowTrayNotice("后台完成"); }).join();
    EXPECT_TRUE(shown.isEmpty());  // handed over, not shown from the worker
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shown.isEmpty(); }, 5000));
    EXPECT_EQ(shown, QString::fromUtf8("后台完成"));
    EXPECT_TRUE(onUiThread);
}

}  // namespace
}  // namespace varnel
