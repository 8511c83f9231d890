#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QThread>

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "settings/ui/notice_popup.h"
#include "support/qt_app.h"

namespace varnel {
namespace {

constexpr int kWaitMs = 10000;

WindowRect Area() {
    const QRect a = QGuiApplication::primaryScreen()->availableGeometry();
    return {a.x(), a.y(), a.width(), a.height()};
}

// Ends whatever popup a test left behind.
void ClearPopups() {
    while (NoticePopup* popup = CurrentNoticePopup()) popup->Finish();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

NoticePopupParams Quick(std::string message) {
    NoticePopupParams p;
    p.message = std::move(message);
    p.slideInStep = 100000;  // in at the first step
    p.slideOutStep = 100000;
    return p;
}

bool WaitShown(NoticePopup* popup) {
    return QTest::qWaitFor(
        [popup] { return popup->CurrentPhase() == NoticePopup::Phase::Shown; }, kWaitMs);
}

TEST(NoticePopup, SlidesIntoTheBottomRightCornerAndClosesWithItsResult) {
    testing::TestApplication();
    ClearPopups();
    std::optional<int> result;
    NoticePopupParams p = Quick("abc");
    p.onClosed = [&result](int r) { result = r; };
    ShowNoticePopup(p);
    NoticePopup* popup = CurrentNoticePopup();
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(WaitShown(popup));
    const WindowRect area = Area();
    const QRect frame = popup->frameGeometry();
    EXPECT_EQ(frame.right() + 1, area.x + area.width);
    EXPECT_EQ(frame.bottom() + 1, area.y + area.height);
    EXPECT_EQ(popup->windowTitle(), QString::fromUtf8("信息："));
    EXPECT_EQ(popup->AutoCloseInterval(), 600);
    EXPECT_EQ(popup->findChild<QWidget*>(QString::fromUtf8("外形框")), nullptr);  // no links

    popup->close();  // the close box slides it out
    ASSERT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, kWaitMs));
    EXPECT_EQ(*result, 0);
    EXPECT_EQ(CurrentNoticePopup(), nullptr);
}

// A notice at rest that the window system moves or makes taller (its frame
// learnt late) goes back wholly inside the screen's available area.
TEST(NoticePopup, AtRestItStaysInsideTheAvailableArea) {
    testing::TestApplication();
    ClearPopups();
    ShowNoticePopup(Quick("abc"));
    NoticePopup* popup = CurrentNoticePopup();
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(WaitShown(popup));
    const WindowRect area = Area();
    const QRect areaRect(area.x, area.y, area.width, area.height);
    popup->move(popup->x(), area.y + area.height - popup->frameGeometry().height() / 2);
    EXPECT_TRUE(areaRect.contains(popup->frameGeometry())) << popup->frameGeometry().y();
    popup->setFixedSize(popup->width(), popup->height() + 40);
    EXPECT_TRUE(areaRect.contains(popup->frameGeometry())) << popup->frameGeometry().y();
    ClearPopups();
}

TEST(NoticePopup, LinkRoutineRunsOnTheUiThreadAfterTheClick) {
    testing::TestApplication();
    ClearPopups();
    std::vector<int> ran;
    QThread* ranOn = nullptr;
    std::optional<int> result;
    NoticePopupParams p = Quick("任务失败");
    p.title = "失败啦";
    p.links = {NoticeLink{"打开网址", "javascript:alert(1)", {}, 0},
               NoticeLink{"立即导入失败列表以重新进行批量操作...", "",
                          [&](int argument) {
                              ran.push_back(argument);
                              ranOn = QThread::currentThread();
                          },
                          7}};
    p.onClosed = [&result](int r) { result = r; };
    ShowNoticePopup(p);
    NoticePopup* popup = CurrentNoticePopup();
    ASSERT_TRUE(WaitShown(popup));
    const QList<QLabel*> links = popup->findChildren<QLabel*>(QString::fromUtf8("链接"));
    ASSERT_EQ(links.size(), 2);
    EXPECT_EQ(links[1]->property("number").toInt(), 2);

    emit links[1]->linkActivated(QStringLiteral("#"));
    EXPECT_TRUE(ran.empty());  // queued after the click
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ran.empty(); }, kWaitMs));
    EXPECT_EQ(ran, std::vector<int>{7});
    EXPECT_EQ(ranOn, QThread::currentThread());
    ASSERT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, kWaitMs));
    EXPECT_EQ(*result, 2);  // closed on the click, with the link's number
}

TEST(NoticePopup, AHintThatIsNoFileOrWebAddressOpensNothing) {
    testing::TestApplication();
    ClearPopups();
    std::optional<int> result;
    NoticePopupParams p = Quick("x");
    p.links = {NoticeLink{"坏链接", "javascript:alert(1)", {}, 0}};
    p.closeOnLinkClick = false;
    p.onClosed = [&result](int r) { result = r; };
    ShowNoticePopup(p);
    NoticePopup* popup = CurrentNoticePopup();
    ASSERT_TRUE(WaitShown(popup));
    popup->ActivateLink(1);
    EXPECT_EQ(popup->Result(), 1);
    EXPECT_EQ(popup->CurrentPhase(), NoticePopup::Phase::Shown);  // stays open
    popup->Finish();
    ASSERT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, kWaitMs));
    EXPECT_EQ(*result, 1);
}

TEST(NoticePopup, ANoticeAskedForDuringSlideInIsShownAfterTheFirst) {
    testing::TestApplication();
    ClearPopups();
    std::vector<std::string> closed;
    NoticePopupParams first = Quick("第一条");
    first.slideInStep = 2;  // slow enough to still be sliding when the second comes
    first.onClosed = [&closed](int) { closed.push_back("first"); };
    NoticePopupParams second = Quick("第二条");
    second.onClosed = [&closed](int) { closed.push_back("second"); };

    ShowNoticePopup(first);
    NoticePopup* one = CurrentNoticePopup();
    ASSERT_EQ(one->CurrentPhase(), NoticePopup::Phase::SlidingIn);
    one->RequestClose();  // refused while sliding in
    EXPECT_EQ(one->CurrentPhase(), NoticePopup::Phase::SlidingIn);

    ShowNoticePopup(second);
    EXPECT_EQ(CurrentNoticePopup(), one);  // waits its turn
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return CurrentNoticePopup() != nullptr && CurrentNoticePopup() != one; }, kWaitMs));
    NoticePopup* two = CurrentNoticePopup();
    EXPECT_EQ(two->ShownText(), QString::fromUtf8("第二条"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !closed.empty(); }, kWaitMs));
    EXPECT_EQ(closed, std::vector<std::string>{"first"});  // replaced once it had slid in
    ClearPopups();
}

TEST(NoticePopup, DefaultSlideAxisAlternates) {
    testing::TestApplication();
    ClearPopups();
    const WindowRect area = Area();
    std::vector<bool> horizontal;
    for (int i = 0; i < 3; ++i) {
        NoticePopupParams p = Quick("轴");
        p.slideInStep = 1;
        ShowNoticePopup(p);
        NoticePopup* popup = CurrentNoticePopup();
        // Before the first step it waits just outside the area.
        const QRect frame = popup->frameGeometry();
        horizontal.push_back(frame.x() >= area.x + area.width);
        if (!horizontal.back()) {
            EXPECT_GE(frame.y(), area.y + area.height);
        }
        popup->Finish();  // leaves the axis as it was
        ClearPopups();
        NoticePopupParams fast = Quick("快");
        ShowNoticePopup(fast);
        ASSERT_TRUE(WaitShown(CurrentNoticePopup()));  // this showing flips the axis
        ClearPopups();
    }
    EXPECT_EQ(horizontal[0], horizontal[2]);
    EXPECT_NE(horizontal[0], horizontal[1]);
}

TEST(NoticePopup, LongTextIsLimitedToTheScreen) {
    testing::TestApplication();
    ClearPopups();
    std::string message;
    for (int i = 0; i < 500; ++i) message += "很长的一行文字，很长的一行文字，很长的一行文字。\r\n";
    message += std::string(5000, 'w');
    NoticePopupParams p = Quick(message);
    p.autoCloseMs = -1;
    p.links = {NoticeLink{"链接一", "", [](int) {}, 0}};
    ShowNoticePopup(p);
    NoticePopup* popup = CurrentNoticePopup();
    ASSERT_TRUE(WaitShown(popup));
    const WindowRect area = Area();
    EXPECT_LE(popup->frameGeometry().height(), area.height);
    EXPECT_LE(popup->frameGeometry().width(), area.width);
    EXPECT_EQ(popup->AutoCloseInterval(), std::nullopt);
    auto* text = popup->findChild<QPlainTextEdit*>(QString::fromUtf8("编辑框"));
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_GT(text->verticalScrollBar()->maximum(), 0);  // the rest scrolls
    ClearPopups();
}

}  // namespace
}  // namespace varnel
