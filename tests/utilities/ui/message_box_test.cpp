#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/qt_app.h"
#include "utilities/ui/message_box.h"
#include "platform/ui/qt_user_notifier.h"
#include "utilities/user_notifier.h"
#include "utilities/worker_thread.h"

namespace varnel {
namespace {

struct BoxCase {
    unsigned style;
    std::vector<QString> captions;
    QMessageBox::Icon icon;
    QString defaultCaption;
};

std::vector<QString> Captions(const QMessageBox& box) {
    std::vector<QString> captions;
    for (QAbstractButton* button : box.buttons()) captions.push_back(button->text());
    std::sort(captions.begin(), captions.end());
    return captions;
}

TEST(MessageBox, StyleGivesButtonsIconAndDefault) {
    testing::TestApplication();
    std::vector<BoxCase> cases = {
        {kDefaultMessageStyle, {"确定"}, QMessageBox::Warning, "确定"},
        {kBoxOkCancel | kBoxIconStop, {"取消", "确定"}, QMessageBox::Critical, "确定"},
        {kBoxYesNo | kBoxIconQuestion | kBoxDefaultButton2, {"否(&N)", "是(&Y)"},
         QMessageBox::Question, "否(&N)"},
        {kBoxYesNoCancel | kBoxIconInformation | kBoxDefaultButton3,
         {"取消", "否(&N)", "是(&Y)"}, QMessageBox::Information, "取消"},
        {kBoxAbortRetryIgnore, {"中止(&A)", "忽略(&I)", "重试(&R)"}, QMessageBox::NoIcon,
         "中止(&A)"},
        {kBoxRetryCancel, {"取消", "重试(&R)"}, QMessageBox::NoIcon, "重试(&R)"},
    };
    for (BoxCase& c : cases) {
        SCOPED_TRACE(c.style);
        auto box = CreateMessageBox("文件 <b>a</b>\r\n第二行", c.style, "标题", nullptr);
        std::sort(c.captions.begin(), c.captions.end());
        EXPECT_EQ(Captions(*box), c.captions);
        EXPECT_EQ(box->icon(), c.icon);
        ASSERT_NE(box->defaultButton(), nullptr);
        EXPECT_EQ(box->defaultButton()->text(), c.defaultCaption);
        EXPECT_EQ(box->text(), QString::fromUtf8("文件 <b>a</b>\n第二行"));
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
        EXPECT_TRUE(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }
}

TEST(MessageBox, PressedButtonGivesTheProgramsNumber) {
    testing::TestApplication();
    const std::vector<std::pair<unsigned, std::vector<int>>> sets = {
        {kBoxOkCancel, {kAnswerOk, kAnswerCancel}},
        {kBoxYesNoCancel, {kAnswerYes, kAnswerNo, kAnswerCancel}},
        {kBoxAbortRetryIgnore, {kAnswerAbort, kAnswerRetry, kAnswerIgnore}},
    };
    for (const auto& [style, answers] : sets) {
        for (int answer : answers) {
            SCOPED_TRACE(answer);
            auto box = CreateMessageBox("问", style, "", nullptr);
            box->show();
            QAbstractButton* pressed = nullptr;
            for (QAbstractButton* b : box->buttons()) {
                const auto kind = box->standardButton(b);
                if ((answer == kAnswerOk && kind == QMessageBox::Ok) ||
                    (answer == kAnswerCancel && kind == QMessageBox::Cancel) ||
                    (answer == kAnswerYes && kind == QMessageBox::Yes) ||
                    (answer == kAnswerNo && kind == QMessageBox::No) ||
                    (answer == kAnswerAbort && kind == QMessageBox::Abort) ||
                    (answer == kAnswerRetry && kind == QMessageBox::Retry) ||
                    (answer == kAnswerIgnore && kind == QMessageBox::Ignore)) {
                    pressed = b;
                }
            }
            ASSERT_NE(pressed, nullptr);
            pressed->click();
            EXPECT_EQ(MessageBoxAnswer(*box, style), answer);
        }
    }
    // Closed without a button: the cautious answer.
    auto box = CreateMessageBox("问", kBoxYesNo, "", nullptr);
    EXPECT_EQ(MessageBoxAnswer(*box, kBoxYesNo), kAnswerNo);
}

// Presses the button with `caption` on the next message box that opens.
void PressWhenShown(const QString& caption) {
    QTimer::singleShot(0, [caption] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            PressWhenShown(caption);  // not up yet
            return;
        }
        for (QAbstractButton* b : box->buttons()) {
            if (b->text() == caption) b->click();
        }
    });
}

TEST(MessageBox, RunAnswersInTheProgramsNumbering) {
    testing::TestApplication();
    PressWhenShown(QString::fromUtf8("否(&N)"));
    EXPECT_EQ(RunMessageBox("真的吗？", kBoxYesNo | kBoxIconQuestion, "", nullptr), kAnswerNo);
    PressWhenShown(QString::fromUtf8("取消"));
    EXPECT_EQ(RunMessageBox("继续？", kBoxOkCancel, "", nullptr), kAnswerCancel);
}

TEST(QtUserNotifier, WorkerQuestionIsAskedOnTheUiThreadAndWaitsForTheAnswer) {
    testing::TestApplication();
    QtUserNotifier notifier;
    notifier.Install();
    std::atomic<int> answer{-1};
    PressWhenShown(QString::fromUtf8("是(&Y)"));
    {
        std::jthread worker = StartWorkerThread([&](std::stop_token, int) {
            answer = ShowMessageBox("覆盖吗？", kBoxYesNo);
        });
        // The box can only appear while this (the UI) thread runs its events.
        ASSERT_TRUE(QTest::qWaitFor([&] { return answer != -1; }, 10000));
    }
    EXPECT_EQ(answer, kAnswerYes);
}

// A box asked for while a tool window is active belongs to that window, so the
// window system gives the keyboard back to the tool window when the box closes,
// not to the main window, which would come in front of it.
TEST(QtUserNotifier, TheBoxBelongsToTheActiveWindow) {
    testing::TestApplication();
    QWidget main;
    QWidget tool(&main, Qt::Window);
    QtUserNotifier notifier;
    notifier.Install();
    notifier.SetDialogParent(&main);
    main.show();
    tool.show();
    tool.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&tool));
    QWidget* owner = nullptr;
    QTimer::singleShot(0, [&owner] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        owner = box->parentWidget();
        box->accept();
    });
    ShowMessageBox("帮助", kBoxOk);
    EXPECT_EQ(owner, &tool);
}

TEST(QtUserNotifier, QuestionsStillWaitingWhenItGoesGetTheCautiousAnswer) {
    testing::TestApplication();
    std::atomic<int> answer{-1};
    std::jthread worker;
    {
        QtUserNotifier notifier;
        notifier.Install();
        worker = std::jthread([&] { answer = ShowMessageBox("删除吗？", kBoxYesNo); });
        while (notifier.WaitingQuestions() == 0) std::this_thread::yield();
    }  // gone before the UI thread got to the question
    worker.join();
    EXPECT_EQ(answer, kAnswerNo);
    // Without a notifier the free function answers cautiously itself.
    EXPECT_EQ(ShowMessageBox("删除吗？", kBoxYesNo), kAnswerNo);
}

TEST(QtUserNotifier, AfterStopAskingWorkersGetTheCautiousAnswerAtOnce) {
    testing::TestApplication();
    QtUserNotifier notifier;
    notifier.Install();
    notifier.StopAsking();
    int answer = -1;
    std::thread([&] { answer = ShowMessageBox("继续？", kBoxOkCancel); }).join();
    EXPECT_EQ(answer, kAnswerCancel);
}

}  // namespace
}  // namespace varnel
