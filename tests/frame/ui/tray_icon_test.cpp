#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>

#include <gtest/gtest.h>

#include "app/app_globals.h"
#include "frame/ui/main_window.h"
#include "frame/ui/tray_icon.h"
#include "support/qt_app.h"
#include "platform/ui/qt_user_notifier.h"
#include "utilities/user_notifier.h"

namespace varnel {
namespace {

struct WindowFixture {
    WindowFixture() {
        notifier.SetDesktopNotificationsEnabled(false);
        notifier.Install();
    }
    QApplication& application = testing::TestApplication();
    QtUserNotifier notifier;
    AppGlobals app;
    MainWindow window{app, notifier};
};

TEST(TrayIcon, CarriesTheTipAndTheHelpMenu) {
    WindowFixture f;
    TrayIcon tray(f.window, f.window.HelpMenu(), f.notifier);
    EXPECT_EQ(tray.Icon().toolTip(), QString::fromUtf8(TrayIcon::kTip));
    EXPECT_EQ(tray.Icon().contextMenu(), f.window.HelpMenu());
    EXPECT_FALSE(tray.Icon().icon().isNull());

    QMenu* help = f.window.HelpMenu();
    ASSERT_NE(help, nullptr);
    auto* exit = help->findChild<QAction*>(QString::fromUtf8("退出"));
    ASSERT_NE(exit, nullptr);
    EXPECT_TRUE(exit->isEnabled());
    for (const char* caption : {"关机...", "重启...", "注销...", "休眠...", "冬眠...",
                                "以上操作强制执行", "熄灯...", "检查更新...", "关于..."}) {
        EXPECT_NE(help->findChild<QAction*>(QString::fromUtf8(caption)), nullptr) << caption;
    }
}

TEST(TrayIcon, TheWindowCaptionCarriesTheProgramVersion) {
    WindowFixture f;
    EXPECT_EQ(f.window.windowTitle(),
              QString::fromUtf8("Varnel更名(Quorva) v5.03 - 多元化批量任务|本地超级搜索|资源综合管理|更多扩展辅助"));
}

TEST(TrayIcon, WindowIsNeverHiddenWithoutATray) {
    WindowFixture f;
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());  // offscreen has none
    TrayIcon tray(f.window, f.window.HelpMenu(), f.notifier);

    f.window.show();
    tray.FlipWindow();  // nothing could bring it back: it stays
    EXPECT_TRUE(f.window.isVisible());

    f.window.showMinimized();
    f.window.hide();
    tray.FlipWindow();  // a hidden window comes back, restored
    EXPECT_TRUE(f.window.isVisible());
    EXPECT_FALSE(f.window.isMinimized());

    f.window.hide();
    tray.RescueHiddenWindow();
    EXPECT_TRUE(f.window.isVisible());
}

TEST(TrayIcon, WithoutTrayOrDesktopNoticesGoToTheStatusBar) {
    WindowFixture f;
    TrayIcon tray(f.window, f.window.HelpMenu(), f.notifier);
    ShowTrayNotice("导出列表成功！");
    EXPECT_EQ(f.window.StatusPartText(3), QString::fromUtf8("导出列表成功！"));
    EXPECT_EQ(f.notifier.CurrentOutlet(), QtUserNotifier::Outlet::StatusMessage);
    HideTrayNotice();
    EXPECT_TRUE(f.window.StatusPartText(3).isEmpty());
}

}  // namespace
}  // namespace varnel
