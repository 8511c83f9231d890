#include "tools/ui/list_merge_window.h"

#include <QPushButton>

#include <gtest/gtest.h>

#include "support/panel_test.h"
#include "support/recording_notifier.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::Q;
using testing::TempDir;

struct MergeTest : ::testing::Test {
    MergeTest() { store.SetFile(dir / "s.ini"); }
    ListMergeDialogs Dialogs() {
        return {[this](QWidget*) { return savePath; }, [this](const std::string&) { return folder; }};
    }
    TempDir dir;
    SettingsStore store;
    RowStore rows;
    testing::RecordingNotifier notifier;
    std::string savePath;
    std::string folder;
};

// The help names each button by the caption it carries.
TEST_F(MergeTest, TheHelpNamesTheButtonsByTheirCaptions) {
    ListMergeWindow window(store, rows, nullptr, Dialogs());
    window.ShowHelp();
    ASSERT_EQ(notifier.messages.size(), 1u);
    const QString help = Q(notifier.messages[0].c_str());
    for (const char* quoted : {"“+”", "“-”", "“×”", "“合并”", "“递增保存”"}) {
        EXPECT_TRUE(help.contains(Q(quoted))) << quoted;
        const QString caption = Q(quoted).mid(1, Q(quoted).size() - 2);
        bool found = false;
        for (const QPushButton* button : window.findChildren<QPushButton*>()) found = found || button->text() == caption;
        EXPECT_TRUE(found) << quoted;
    }
}

TEST_F(MergeTest, GroupsMergeIntoTheTemplate) {
    ListMergeWindow window(store, rows, nullptr, Dialogs());
    EXPECT_EQ(window.Template()->text(), Q("<node label=\"*\" src=\"*\"/>"));
    window.Generate();
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0], "请先添加 组，每组对应次序位置的 *");

    window.Template()->setText(Q("a*b*c"));
    window.AddGroup();
    window.GroupBox()->setPlainText(Q("x\ny"));
    window.AddGroup();
    EXPECT_TRUE(window.GroupBox()->toPlainText().isEmpty());
    window.GroupBox()->setPlainText(Q("1"));
    EXPECT_EQ(window.GroupList()->item(1)->text(), Q("组 2"));
    window.Generate();
    EXPECT_EQ(window.ResultBox()->toPlainText(), Q("axb1c\naybc"));

    window.GroupList()->setCurrentRow(0);
    EXPECT_EQ(window.GroupBox()->toPlainText(), Q("x\ny"));
    window.GroupBox()->clear();
    window.Generate();
    EXPECT_TRUE(window.ResultBox()->toPlainText().isEmpty());
}

TEST_F(MergeTest, DeletingTheOnlyGroupLeavesNoneCurrent) {
    ListMergeWindow window(store, rows, nullptr, Dialogs());
    window.AddGroup();
    window.GroupBox()->setPlainText(Q("x"));
    window.DeleteCurrentGroup();
    EXPECT_EQ(window.GroupList()->count(), 0);
    EXPECT_EQ(window.Groups().current, -1);
    EXPECT_TRUE(window.GroupBox()->toPlainText().isEmpty());
    window.GroupBox()->setPlainText(Q("typed"));
    EXPECT_TRUE(window.Groups().groups.empty());
}

TEST_F(MergeTest, ReadsTheListsNamesAndKeepsItsSection) {
    for (const char* name : {"一.mp3", "two.mp3"}) rows.AppendRow(dir.Path() + "/", name, {}, 0);
    {
        ListMergeWindow window(store, rows, nullptr, Dialogs());
        window.AddGroup();
        window.ReadListNames();
        EXPECT_EQ(window.GroupBox()->toPlainText(), Q("一.mp3\ntwo.mp3"));
        window.Template()->setText(Q("<li>*</li>"));
        window.close();
    }
    SettingsStore reread;
    reread.SetFile(dir / "s.ini");
    ListMergeWindow window(reread, rows, nullptr, Dialogs());
    EXPECT_EQ(window.Template()->text(), Q("<li>*</li>"));
    ASSERT_EQ(window.GroupList()->count(), 1);
    EXPECT_EQ(window.GroupBox()->toPlainText(), Q("一.mp3\ntwo.mp3"));
}

TEST_F(MergeTest, NumberedSaveAsksOnceBeforeReplacingAndReportsFailures) {
    ListMergeWindow window(store, rows, nullptr, Dialogs());
    folder = dir.Path();
    dir.Write("2.txt", "keep");
    window.ResultBox()->setPlainText(Q("一\ntwo\nthree"));
    notifier.answer = kAnswerCancel;
    window.SaveNumbered();
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_NE(notifier.messages[0].find("已有 1 个"), std::string::npos);
    EXPECT_EQ(dir.Read("2.txt"), "keep");
    EXPECT_EQ(dir.Read("1.txt"), "");

    notifier.answer = kAnswerOk;
    window.SaveNumbered();
    ASSERT_EQ(notifier.messages.size(), 3u);
    EXPECT_EQ(notifier.messages[2], "OK");
    EXPECT_EQ(dir.Read("1.txt"), "一");
    EXPECT_EQ(dir.Read("2.txt"), "two");
    EXPECT_EQ(dir.Read("3.txt"), "three");

    folder = dir / "missing";
    window.SaveNumbered();
    ASSERT_EQ(notifier.messages.size(), 4u);
    EXPECT_NE(notifier.messages[3].find("3 个文件保存失败"), std::string::npos);
    EXPECT_NE(notifier.messages[3].find(dir / "missing/1.txt"), std::string::npos);

    savePath = dir / "result.txt";
    window.SaveResult();
    EXPECT_EQ(notifier.messages.back(), "保存成功");
    EXPECT_EQ(dir.Read("result.txt"), "一\ntwo\nthree");
    savePath = dir / "missing/result.txt";
    window.SaveResult();
    EXPECT_EQ(notifier.messages.back().rfind("保存失败", 0), 0u);
}

}  // namespace
}  // namespace varnel
