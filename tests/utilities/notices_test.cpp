#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "utilities/message_box_style.h"
#include "utilities/tray_notices.h"
#include "utilities/user_notifier.h"

namespace varnel {
namespace {

TEST(MessageBoxStyle, ButtonsIconDefaultAndEscape) {
    struct Case {
        unsigned style;
        std::vector<int> buttons;
        MessageIcon icon;
        int defaultAnswer;
        int escapeAnswer;
    };
    const std::vector<Case> cases = {
        {kDefaultMessageStyle, {kAnswerOk}, MessageIcon::Exclamation, kAnswerOk, kAnswerOk},
        {kBoxOkCancel, {kAnswerOk, kAnswerCancel}, MessageIcon::None, kAnswerOk, kAnswerCancel},
        {kBoxOkCancel | kBoxDefaultButton2 | kBoxIconStop, {kAnswerOk, kAnswerCancel},
         MessageIcon::Stop, kAnswerCancel, kAnswerCancel},
        {kBoxAbortRetryIgnore | kBoxDefaultButton3, {kAnswerAbort, kAnswerRetry, kAnswerIgnore},
         MessageIcon::None, kAnswerIgnore, kAnswerAbort},
        {kBoxYesNoCancel | kBoxIconQuestion, {kAnswerYes, kAnswerNo, kAnswerCancel},
         MessageIcon::Question, kAnswerYes, kAnswerCancel},
        {kBoxYesNo | kBoxIconQuestion | kBoxSystemModal, {kAnswerYes, kAnswerNo},
         MessageIcon::Question, kAnswerYes, kAnswerNo},
        {kBoxRetryCancel | kBoxIconInformation, {kAnswerRetry, kAnswerCancel},
         MessageIcon::Information, kAnswerRetry, kAnswerCancel},
        // A default button beyond the set is the first one; an unknown set is OK.
        {kBoxYesNo | kBoxDefaultButton3, {kAnswerYes, kAnswerNo}, MessageIcon::None, kAnswerYes,
         kAnswerNo},
        {0x9 | 0x70, {kAnswerOk}, MessageIcon::None, kAnswerOk, kAnswerOk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        const MessageBoxLayout layout = DescribeMessageBoxStyle(c.style);
        EXPECT_EQ(layout.buttons, c.buttons);
        EXPECT_EQ(layout.icon, c.icon);
        EXPECT_EQ(layout.defaultAnswer, c.defaultAnswer);
        EXPECT_EQ(layout.escapeAnswer, c.escapeAnswer);
    }
}

TEST(UserNotifier, WithoutNotifierAQuestionGetsTheCautiousAnswer) {
    SetUserNotifier(nullptr);
    EXPECT_EQ(ShowMessageBox("删除吗？", kBoxYesNo), kAnswerNo);
    EXPECT_EQ(ShowMessageBox("继续？", kBoxOkCancel), kAnswerCancel);
    EXPECT_EQ(ShowMessageBox("完成"), kAnswerOk);
}

TEST(UserNotifier, FreeFunctionsReachTheInstalledNotifierWithTheDefaultTitle) {
    struct Recorder : UserNotifier {
        int ShowMessageBox(const std::string& text, unsigned style, const std::string& title) override {
            asked = text + "|" + std::to_string(style) + "|" + title;
            return kAnswerYes;
        }
        void ShowTrayNotice(const std::string& text, const std::string& title) override {
            notices.push_back(title + "|" + text);
        }
        void HideTrayNotice() override { ++hidden; }
        std::string asked;
        std::vector<std::string> notices;
        int hidden = 0;
    } recorder;
    SetUserNotifier(&recorder);
    EXPECT_EQ(ShowMessageBox("问", kBoxYesNo, "标题"), kAnswerYes);
    EXPECT_EQ(recorder.asked, "问|4|标题");
    ShowTrayNotice("完成");
    ShowTrayNotice("歌词", "歌词信息：");
    HideTrayNotice();
    SetUserNotifier(nullptr);
    EXPECT_EQ(recorder.notices,
              (std::vector<std::string>{std::string(kDefaultNoticeTitle) + "|完成", "歌词信息：|歌词"}));
    EXPECT_EQ(recorder.hidden, 1);
}

// A clock that only moves when the test says so.
class FakeTimer : public NoticeTimer {
public:
    void Start(int milliseconds, std::function<void()> expired) override {
        m_deadline = m_now + milliseconds;
        m_expired = std::move(expired);
        ++starts;
    }
    void Stop() override { m_deadline.reset(); }
    void Advance(int milliseconds) {
        m_now += milliseconds;
        if (m_deadline && m_now >= *m_deadline) {
            m_deadline.reset();
            m_expired();
        }
    }
    std::optional<long long> Remaining() const {
        if (!m_deadline) return std::nullopt;
        return *m_deadline - m_now;
    }
    int starts = 0;

private:
    long long m_now = 0;
    std::optional<long long> m_deadline;
    std::function<void()> m_expired;
};

class FakeOutlet : public NoticeOutlet {
public:
    explicit FakeOutlet(bool available) : available(available) {}
    bool Available() override { return available; }
    void Show(const std::string& title, const std::string& text, int displayMs) override {
        shown = title + "|" + text;
        lastMs = displayMs;
        showing = true;
    }
    void Hide() override { showing = false; }
    bool available;
    bool showing = false;
    std::string shown;
    int lastMs = 0;
};

struct NoticeFixture {
    FakeTimer timer;
    FakeOutlet tray{true};
    FakeOutlet desktop{true};
    FakeOutlet status{false};
    TrayNoticeController controller{{&tray, &desktop, &status}, timer};
};

TEST(TrayNotices, DisplayTimeGrowsWithTheGbkWidth) {
    NoticeFixture f;
    std::string text;
    for (int i = 0; i < 20; ++i) text += "字";
    f.controller.Show(text, "");
    EXPECT_EQ(f.tray.lastMs, 6800);
    EXPECT_EQ(f.tray.shown, std::string(kDefaultNoticeTitle) + "|" + text);
    f.timer.Advance(6799);
    EXPECT_TRUE(f.tray.showing);
    f.timer.Advance(1);
    EXPECT_FALSE(f.tray.showing);
    EXPECT_EQ(f.controller.Current(), nullptr);
    EXPECT_EQ(TrayNoticeDisplayMs("abc"), 510);
}

TEST(TrayNotices, EmptyTextHidesAtOnce) {
    NoticeFixture f;
    f.controller.Show("第一条", "");
    ASSERT_TRUE(f.tray.showing);
    f.controller.Show("", "");
    EXPECT_FALSE(f.tray.showing);
    EXPECT_FALSE(f.timer.Remaining().has_value());
}

TEST(TrayNotices, SecondNoticeReplacesTheFirstAndRestartsTheTimer) {
    NoticeFixture f;
    f.controller.Show("一二三四五", "");  // 1700 ms
    f.timer.Advance(1500);
    f.controller.Show("ab", "标题");  // 340 ms from now
    EXPECT_EQ(f.tray.shown, "标题|ab");
    EXPECT_EQ(f.timer.Remaining(), 340);
    f.timer.Advance(339);
    EXPECT_TRUE(f.tray.showing);
    f.timer.Advance(1);
    EXPECT_FALSE(f.tray.showing);
}

TEST(TrayNotices, WithoutTrayTheNoticeReachesTheFallback) {
    NoticeFixture f;
    f.tray.available = false;
    f.controller.Show("通知", "");
    EXPECT_FALSE(f.tray.showing);
    EXPECT_TRUE(f.desktop.showing);

    // Moving to another outlet takes the notice off the one that showed it.
    f.desktop.available = false;
    f.controller.Show("状态栏", "");
    EXPECT_FALSE(f.desktop.showing);
    EXPECT_TRUE(f.status.showing);  // the last outlet serves even when it says no
    EXPECT_EQ(f.controller.Current(), &f.status);
    f.timer.Advance(TrayNoticeDisplayMs("状态栏"));
    EXPECT_FALSE(f.status.showing);
}

TEST(TrayNotices, LongTitleAndTextAreCutOnCharacterBoundaries) {
    NoticeFixture f;
    std::string text(254, 'x');
    text += "中文";  // 254 + 2 would pass 255: the whole "中" is left out
    const std::string title = std::string(62, 't') + "题";
    f.controller.Show(text, title);
    EXPECT_EQ(f.tray.shown, std::string(62, 't') + "|" + std::string(254, 'x'));
    EXPECT_EQ(f.tray.lastMs, static_cast<int>((254 + 4) * 170));  // time from the whole text
    EXPECT_EQ(CutToGbkWidth("a中b", 3), "a中");
    EXPECT_EQ(CutToGbkWidth("a中b", 2), "a");
}

}  // namespace
}  // namespace varnel
