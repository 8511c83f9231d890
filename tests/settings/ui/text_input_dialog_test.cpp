#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "settings/ui/text_input_dialog.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"
#include "utilities/user_notifier.h"

namespace varnel {
namespace {

using testing::TempDir;

// Services that answer from the test instead of opening dialogs.
struct Scripted {
    std::string textFile;
    std::vector<std::string> files;
    std::string saveFile;
    int answer = kAnswerNo;
    std::vector<std::string> asked;

    InputDialogServices Services() {
        InputDialogServices s;
        s.chooseTextFile = [this](QWidget*) { return textFile; };
        s.chooseFiles = [this](QWidget*) { return files; };
        s.chooseSaveFile = [this](QWidget*) { return saveFile; };
        s.ask = [this](QWidget*, const std::string& text, unsigned) {
            asked.push_back(text);
            return answer;
        };
        return s;
    }
};

QPlainTextEdit* InputOf(TextInputDialog& dialog) {
    return dialog.findChild<QPlainTextEdit*>(QString::fromUtf8("编辑框输入区"));
}

TEST(TextInputDialog, ChosenFilesBecomeLines) {
    testing::TestApplication();
    Scripted script;
    script.files = {"/tmp/a.txt", "/tmp/空 格.mp3", "/tmp/c"};
    TextInputDialog dialog(InputDialogParams{}, script.Services());
    dialog.InsertChosenFiles();
    dialog.Confirm();
    EXPECT_TRUE(dialog.Confirmed());
    EXPECT_EQ(dialog.GetInputDialogText(), "/tmp/a.txt\r\n/tmp/空 格.mp3\r\n/tmp/c");

    InputDialogParams params;
    params.initialText = "已有";
    TextInputDialog more(params, script.Services());
    script.files = {"/x"};
    more.InsertChosenFiles();
    more.Confirm();
    EXPECT_EQ(more.GetInputDialogText(), "已有\r\n/x");
}

TEST(TextInputDialog, ReadingAFileReplacesTheTextAndAFailedReadKeepsIt) {
    testing::TestApplication();
    TempDir dir;
    dir.Write("gbk.txt", "\xC4\xE3\xBA\xC3\r\nok");  // 你好 in GBK
    Scripted script;
    InputDialogParams params;
    params.initialText = "typed";
    TextInputDialog dialog(params, script.Services());

    script.textFile = dir / "missing.txt";
    dialog.ReadTextFile();
    EXPECT_EQ(InputOf(dialog)->toPlainText(), QString("typed"));
    ASSERT_EQ(script.asked.size(), 1u);
    EXPECT_NE(script.asked[0].find("读入文本失败！"), std::string::npos);
    EXPECT_NE(script.asked[0].find(dir / "missing.txt"), std::string::npos);

    script.textFile = dir / "gbk.txt";
    dialog.ReadTextFile();
    EXPECT_EQ(InputOf(dialog)->toPlainText(), QString::fromUtf8("你好\nok"));
    InputOf(dialog)->undo();  // the read can be taken back
    EXPECT_EQ(InputOf(dialog)->toPlainText(), QString("typed"));

    script.textFile.clear();  // cancelled: nothing changes
    dialog.ReadTextFile();
    EXPECT_EQ(InputOf(dialog)->toPlainText(), QString("typed"));
}

TEST(TextInputDialog, ClosingAfterEditsAsksWithoutEditsDoesNot) {
    testing::TestApplication();
    Scripted script;
    InputDialogParams params;
    params.initialText = "第一行\r\n第二行";

    TextInputDialog unchanged(params, script.Services());
    unchanged.show();
    EXPECT_FALSE(unchanged.IsModified());  // CR LF shown as line breaks is no edit
    unchanged.close();
    EXPECT_TRUE(script.asked.empty());
    EXPECT_FALSE(unchanged.isVisible());
    EXPECT_FALSE(unchanged.Confirmed());
    EXPECT_EQ(unchanged.GetInputDialogText(), "");

    TextInputDialog edited(params, script.Services());
    edited.show();
    InputOf(edited)->appendPlainText("第三行");
    script.answer = kAnswerNo;
    edited.close();
    ASSERT_EQ(script.asked.size(), 1u);
    EXPECT_EQ(script.asked[0], "您已经对文档做了修改，请问真的要放弃吗？");
    EXPECT_TRUE(edited.isVisible());  // No keeps it open
    QTest::keyClick(&edited, Qt::Key_Escape);  // Esc asks the same
    EXPECT_EQ(script.asked.size(), 2u);
    EXPECT_TRUE(edited.isVisible());
    script.answer = kAnswerYes;
    edited.close();
    EXPECT_FALSE(edited.isVisible());
    EXPECT_FALSE(edited.Confirmed());

    // 取消 gives the text up without the question.
    TextInputDialog cancelled(params, script.Services());
    cancelled.show();
    InputOf(cancelled)->appendPlainText("x");
    cancelled.findChild<QPushButton*>(QString::fromUtf8("按钮取消"))->click();
    EXPECT_EQ(script.asked.size(), 3u);
    EXPECT_FALSE(cancelled.isVisible());
}

TEST(TextInputDialog, ConfirmGivesTheTextWithCrLf) {
    testing::TestApplication();
    Scripted script;
    InputDialogParams params;
    params.initialText = "a\r\nb";
    TextInputDialog same(params, script.Services());
    same.findChild<QPushButton*>(QString::fromUtf8("按钮确认"))->click();
    EXPECT_TRUE(same.Confirmed());
    EXPECT_EQ(same.GetInputDialogText(), "a\r\nb");

    TextInputDialog byKey(params, script.Services());
    byKey.show();
    QApplication::setActiveWindow(&byKey);
    InputOf(byKey)->setFocus();
    QTest::keyClick(InputOf(byKey), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(byKey.Confirmed());
    EXPECT_FALSE(byKey.isVisible());
}

TEST(TextInputDialog, SaveWritesTheTextAndSaysHowItWent) {
    testing::TestApplication();
    TempDir dir;
    Scripted script;
    InputDialogParams params;
    params.initialText = "一\r\n二";
    TextInputDialog dialog(params, script.Services());
    script.saveFile = dir / "out.txt";
    dialog.SaveTextAs();
    EXPECT_EQ(dir.Read("out.txt"), "一\n二");
    script.saveFile = dir / "no such folder/out.txt";
    dialog.SaveTextAs();
    ASSERT_EQ(script.asked.size(), 2u);
    EXPECT_EQ(script.asked[0], "写出成功！");
    EXPECT_TRUE(script.asked[1].starts_with("写出失败！\r\n")) << script.asked[1];
    EXPECT_FALSE(dialog.Confirmed());  // the dialog stays
}

TEST(TextInputDialog, SizeAndMetaButton) {
    testing::TestApplication();
    Scripted script;
    TextInputDialog designed(InputDialogParams{}, script.Services());
    EXPECT_EQ(designed.size(), QSize(TextInputDialog::kDesignedWidth,
                                     TextInputDialog::kDesignedHeight));
    EXPECT_TRUE(designed.findChild<QPushButton*>(QString::fromUtf8("按钮元"))->isHidden());

    InputDialogParams params;
    params.clientWidth = 300;
    params.inputHeight = 200;
    QWidget* target = nullptr;
    params.metaMenu = [&target](QWidget* insertTarget) { target = insertTarget; };
    TextInputDialog sized(params, script.Services());
    EXPECT_EQ(sized.width(), 310);
    EXPECT_GT(sized.height(), 200);
    EXPECT_LT(sized.height(), TextInputDialog::kDesignedHeight + 100);
    auto* meta = sized.findChild<QPushButton*>(QString::fromUtf8("按钮元"));
    EXPECT_FALSE(meta->isHidden());
    meta->click();
    EXPECT_EQ(target, InputOf(sized));
}

TEST(TextInputDialog, ShowWaitsForTheUserAndGivesTheResult) {
    testing::TestApplication();
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<TextInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        InputOf(*dialog)->setPlainText("新的\n文本");
        dialog->Confirm();
    });
    InputDialogParams params;
    params.initialText = "旧";
    const InputDialogResult result = ShowTextInputDialog(params);
    EXPECT_TRUE(result.confirmed);
    EXPECT_EQ(result.text, "新的\r\n文本");
}

}  // namespace
}  // namespace varnel
