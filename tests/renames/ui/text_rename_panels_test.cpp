#include <QSignalSpy>

#include <gtest/gtest.h>

#include "renames/ui/delete_insert_panels.h"
#include "renames/ui/replace_panels.h"
#include "settings/ini_document.h"
#include "support/notice_recorder.h"
#include "support/panel_test.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::Find;
using testing::Q;
using testing::SectionKeys;
using testing::Store;

// Every panel saves each key of its table, and every control's change asks for a preview.
TEST(TextRenamePanels, SaveEveryKeyAndAskForAPreviewOnEveryChange) {
    testing::TestApplication();
    testing::TempDir dir;
    struct Case {
        const char* section;
        std::unique_ptr<TaskPanel> panel;
        std::vector<std::string> keys;
    };
    Case cases[] = {
        {"批量替换", std::make_unique<ReplacePanel>(nullptr),
         {"欲替换", "替换为", "区分大小写", "替换次数", "替换路径", "副本转移"}},
        {"批量正则", std::make_unique<RegexRenamePanel>(nullptr),
         {"匹配式", "替换式", "忽略大小写", "全局匹配", "作用于路径", "副本转移"}},
        {"批量删除", std::make_unique<DeletePanel>(nullptr),
         {"按位置", "关键字或位", "删左边", "正向寻找", "不保留标记", "忽略大小写", "删除数目", "替换文本"}},
        {"批量插入", std::make_unique<InsertPanel>(nullptr),
         {"插入方向", "插入位置", "按字节", "插入的字符", "越位不插", "强制相等", "强制类型", "强制数", "截弃左边"}},
    };
    for (Case& c : cases) {
        const std::string file = dir / (std::string(c.section) + ".ini");
        Store(*c.panel, file, c.section, true);
        EXPECT_EQ(SectionKeys(dir.Read(std::string(c.section) + ".ini"), c.section), c.keys) << c.section;

        QSignalSpy changed(c.panel.get(), &TaskPanel::parametersChanged);
        int expected = 0;
        for (QLineEdit* edit : c.panel->findChildren<QLineEdit*>()) {
            edit->setText(edit->text() + "1");
            EXPECT_EQ(changed.count(), ++expected) << edit->objectName().toStdString();
        }
        for (QCheckBox* check : c.panel->findChildren<QCheckBox*>()) {
            check->setEnabled(true);
            check->click();
            EXPECT_EQ(changed.count(), ++expected) << check->objectName().toStdString();
        }
        for (QComboBox* combo : c.panel->findChildren<QComboBox*>()) {
            if (combo->objectName() == Q("组合框预设方案")) continue;
            combo->setCurrentIndex(1 - combo->currentIndex());
            EXPECT_EQ(changed.count(), ++expected) << combo->objectName().toStdString();
        }
    }
}

TEST(TextRenamePanels, SettingsRoundTripAndPathMode) {
    testing::TestApplication();
    testing::TempDir dir;
    ReplacePanel first(nullptr);
    EXPECT_FALSE(Find<QCheckBox>(first, "选择框副本转移")->isEnabled());
    Find<QLineEdit>(first, "编辑框欲替换")->setText("/old/");
    Find<QLineEdit>(first, "编辑框替换为")->setText("/new/");
    Find<QLineEdit>(first, "编辑框替换次数")->setText("x");
    QSignalSpy flags(&first, &TaskPanel::flagsChanged);
    Find<QCheckBox>(first, "选择框替换路径")->click();
    EXPECT_EQ(first.Flags(), ",真,真");
    EXPECT_EQ(flags.count(), 1);
    Find<QCheckBox>(first, "选择框副本转移")->click();
    Store(first, dir / "s.ini", "批量替换", true);

    ReplacePanel second(nullptr);
    Store(second, dir / "s.ini", "批量替换", false);
    const ReplaceParams p = second.CurrentParameters();
    EXPECT_EQ(p.findText, "/old/");
    EXPECT_EQ(p.replacement, "/new/");
    EXPECT_EQ(p.count, 0);  // not a number: every occurrence
    EXPECT_TRUE(p.wholePath && p.copy);
    EXPECT_EQ(second.Flags(), ",真,真");
    EXPECT_TRUE(Find<QCheckBox>(second, "选择框副本转移")->isEnabled());

    InsertPanel insert(nullptr);
    EXPECT_FALSE(Find<QLineEdit>(insert, "编辑框强制数")->isEnabled());
    Find<QCheckBox>(insert, "选择框强制相等")->click();
    EXPECT_TRUE(Find<QLineEdit>(insert, "编辑框强制数")->isEnabled());
    Find<QComboBox>(insert, "组合框方向")->setCurrentIndex(1);
    Find<QComboBox>(insert, "组合框按字节")->setCurrentIndex(0);
    const InsertParams i = insert.CurrentParameters();
    EXPECT_TRUE(i.forceLength && i.byBytes && !i.fromLeft);

    DeletePanel remove(nullptr);
    Find<QComboBox>(remove, "组合框按位置")->setCurrentIndex(1);
    Find<QComboBox>(remove, "组合框删左边")->setCurrentIndex(1);
    Find<QLineEdit>(remove, "编辑框删除数目")->setText("3");
    const DeleteParams d = remove.CurrentParameters();
    EXPECT_TRUE(!d.byPosition && !d.deleteLeft && d.forward);
    EXPECT_EQ(d.count, 3);
}

TEST(TextRenamePanels, PresetsFillTheExpressionAndBadExpressionsRefuseRuns) {
    testing::TestApplication();
    testing::NoticeRecorder notices;
    RegexRenamePanel panel(nullptr);
    auto* presets = Find<QComboBox>(panel, "组合框预设方案");
    ASSERT_EQ(presets->count(), 3);
    EXPECT_EQ(presets->itemText(0), Q("选择预设正则方案"));
    // Without a tester to open, the links are disabled.
    EXPECT_FALSE(Find<QPushButton>(panel, "链接框匹配式")->isEnabled());
    QSignalSpy changed(&panel, &TaskPanel::parametersChanged);
    panel.ApplyRegexPreset(2);
    EXPECT_EQ(changed.count(), 1);
    RegexReplaceParams p = panel.CurrentParameters();
    EXPECT_EQ(p.expression, "([a-z]+)([A-Z]+)");
    EXPECT_EQ(p.replacement, "$1 $2");
    EXPECT_TRUE(p.global);
    EXPECT_FALSE(p.ignoreCase);
    panel.ApplyRegexPreset(0);
    EXPECT_EQ(changed.count(), 1);

    Find<QLineEdit>(panel, "编辑框匹配式")->setText("(unclosed");
    EXPECT_FALSE(panel.MakeParams(RunMode::Execute).has_value());
    EXPECT_EQ(notices.Boxes().size(), 1u);
    // An auto-preview runs, leaving the names alone, and tells nobody.
    EXPECT_TRUE(panel.MakeParams(RunMode::AutoPreview).has_value());
    EXPECT_EQ(notices.Boxes().size(), 1u);
}

TEST(TextRenamePanels, TesterLinksHandTheExpressionOverAndTakeItBack) {
    testing::TestApplication();
    RegexTesterLink link;
    std::vector<RegexTesterRequest> requests;
    link.SetOpener([&](RegexTesterRequest request) { requests.push_back(std::move(request)); });
    RegexRenamePanel panel(nullptr, nullptr, &link);
    Find<QLineEdit>(panel, "编辑框匹配式")->setText("(a)");
    Find<QLineEdit>(panel, "编辑框替换式")->setText("$1");
    Find<QCheckBox>(panel, "选择框全局匹配")->setChecked(false);
    auto* fromReplacement = Find<QPushButton>(panel, "链接框替换式");
    ASSERT_TRUE(fromReplacement->isEnabled());
    fromReplacement->click();
    ASSERT_EQ(requests.size(), 1u);
    const RegexTesterRequest& request = requests[0];
    EXPECT_TRUE(request.replaceMode);
    EXPECT_EQ(request.pattern, "(a)");
    EXPECT_EQ(request.replacement, "$1");
    EXPECT_EQ(request.global, false);
    EXPECT_TRUE(request.sampleFromFileNames);
    EXPECT_FALSE(request.focusPattern);

    QSignalSpy changed(&panel, &TaskPanel::parametersChanged);
    request.takeBack(TestedPattern{"(b+)", "<$1>", false, false, true});
    EXPECT_EQ(changed.count(), 1);
    const RegexReplaceParams p = panel.CurrentParameters();
    EXPECT_EQ(p.expression, "(b+)");
    EXPECT_EQ(p.replacement, "<$1>");
    EXPECT_FALSE(p.ignoreCase);
    EXPECT_TRUE(p.global);
}

}  // namespace
}  // namespace varnel
