#include <QSignalSpy>

#include <gtest/gtest.h>

#include "renames/ui/extract_element_panel.h"
#include "renames/ui/extract_panels.h"
#include "settings/ini_document.h"
#include "support/panel_test.h"
#include "support/qt_app.h"
#include "support/recording_notifier.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::Find;
using testing::Q;
using testing::SectionKeys;
using testing::Store;

// Every panel saves each key of its table, and every control's change asks for a preview.
TEST(ExtractPanels, SaveEveryKeyAndAskForAPreviewOnEveryChange) {
    testing::TestApplication();
    testing::TempDir dir;
    struct Case {
        const char* section;
        std::unique_ptr<TaskPanel> panel;
        std::vector<std::string> keys;
    };
    Case cases[] = {
        {"批量提取元素区间", std::make_unique<ExtractElementPanel>(nullptr),
         {"预设方案", "元素1", "元素2", "区分大小写", "扩展组合", "组合式"}},
        {"批量提取位置", std::make_unique<ExtractPositionPanel>(nullptr),
         {"按字节", "开始位置", "结束位置", "结束位置模式", "扩展组合", "组合式"}},
        {"批量提取行", std::make_unique<ExtractLinePanel>(nullptr),
         {"提取行号", "空则下行", "再行截取", "截取模式（0、按字节 1、按字符）", "截取方向（0、左边 1、中间 2、右边）",
          "截取位置（截取方向为【中间】时有效）", "截取数目", "扩展组合", "组合式"}},
        {"批量正则提取", std::make_unique<RegexExtractPanel>(nullptr),
         {"正则表达式", "忽略大小写", "匹配多行", "全局匹配", "匹配索引", "取子匹配", "子匹配索引", "扩展组合", "组合式"}},
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

TEST(ExtractPanels, LineCutControlsAndSettingsRoundTrip) {
    testing::TestApplication();
    testing::TempDir dir;
    ExtractLinePanel first(nullptr);
    auto* cut = Find<QCheckBox>(first, "选择框再行截取");
    auto* direction = Find<QComboBox>(first, "组合框截取方向");
    auto* start = Find<QLineEdit>(first, "编辑框截取位置");
    auto* count = Find<QLineEdit>(first, "编辑框截取数目");
    EXPECT_EQ(count->text(), Q("10"));
    for (QWidget* w : {static_cast<QWidget*>(Find<QComboBox>(first, "组合框截取模式")),
                       static_cast<QWidget*>(direction), static_cast<QWidget*>(start), static_cast<QWidget*>(count),
                       static_cast<QWidget*>(Find<QLineEdit>(first, "编辑框组合式"))}) {
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    }
    cut->click();
    EXPECT_TRUE(direction->isEnabled() && count->isEnabled());
    EXPECT_FALSE(start->isEnabled());  // only the middle cut has a start
    direction->setCurrentIndex(1);
    EXPECT_TRUE(start->isEnabled());
    Find<QComboBox>(first, "组合框截取模式")->setCurrentIndex(1);
    Find<QLineEdit>(first, "编辑框提取行号")->setText("0");
    Find<QCheckBox>(first, "选择框空则下行")->click();
    start->setText("3");
    count->setText("2");
    Store(first, dir / "s.ini", "批量提取行", true);

    ExtractLinePanel second(nullptr);
    Store(second, dir / "s.ini", "批量提取行", false);
    const LineExtractParams p = second.CurrentParameters();
    EXPECT_EQ(p.line, 0);
    EXPECT_TRUE(p.emptyToNext && p.cut);
    EXPECT_FALSE(p.cutByBytes);
    EXPECT_EQ(p.direction, CutDirection::Middle);
    EXPECT_EQ(p.cutStart, 3);
    EXPECT_EQ(p.cutCount, 2);
    EXPECT_TRUE(Find<QLineEdit>(second, "编辑框截取位置")->isEnabled());

    ExtractPositionPanel position(nullptr);
    Find<QComboBox>(position, "组合框按字节")->setCurrentIndex(1);
    Find<QLineEdit>(position, "编辑框开始位置")->setText("5");
    Find<QComboBox>(position, "组合框结束位置")->setCurrentIndex(1);
    Store(position, dir / "p.ini", "批量提取位置", true);
    ExtractPositionPanel positionAgain(nullptr);
    Store(positionAgain, dir / "p.ini", "批量提取位置", false);
    const PositionExtractParams q = positionAgain.CurrentParameters();
    EXPECT_FALSE(q.byBytes);
    EXPECT_EQ(q.start, 5);
    EXPECT_EQ(q.end, 10);
    EXPECT_TRUE(q.endIsCount);
}

// With global matching off the index box shows "1" and is disabled; the index the
// user typed comes back with global matching and is what the section keeps.
TEST(ExtractPanels, RegexMatchIndexWhileGlobalMatchingIsOff) {
    testing::TestApplication();
    testing::TempDir dir;
    testing::RecordingNotifier notifier;
    RegexExtractPanel first(nullptr);
    auto* global = Find<QCheckBox>(first, "选择框全局匹配");
    auto* index = Find<QLineEdit>(first, "编辑框匹配索引");
    auto* submatch = Find<QLineEdit>(first, "编辑框子匹配索引");
    EXPECT_FALSE(index->isEnabled());
    EXPECT_FALSE(submatch->isEnabled());
    global->click();
    EXPECT_TRUE(index->isEnabled());
    index->setText("3");
    EXPECT_EQ(first.CurrentParameters().matchIndex, 3);
    global->click();
    EXPECT_EQ(index->text(), Q("1"));
    EXPECT_FALSE(index->isEnabled());
    Find<QCheckBox>(first, "选择框取子匹配")->click();
    EXPECT_TRUE(submatch->isEnabled());
    Find<QLineEdit>(first, "编辑框正则表达式")->setText("id=(\\d+)");
    Store(first, dir / "s.ini", "批量正则提取", true);
    EXPECT_NE(dir.Read("s.ini").find("匹配索引=3"), std::string::npos) << dir.Read("s.ini");
    EXPECT_EQ(index->text(), Q("1"));  // saving leaves the stand-in shown

    RegexExtractPanel second(nullptr);
    Store(second, dir / "s.ini", "批量正则提取", false);
    auto* secondIndex = Find<QLineEdit>(second, "编辑框匹配索引");
    EXPECT_EQ(secondIndex->text(), Q("1"));
    EXPECT_FALSE(secondIndex->isEnabled());
    EXPECT_TRUE(second.CurrentParameters().takeSubmatch);
    Find<QCheckBox>(second, "选择框全局匹配")->click();
    EXPECT_EQ(secondIndex->text(), Q("3"));

    // An expression that does not compile refuses a preview, not an auto-preview.
    Find<QLineEdit>(second, "编辑框正则表达式")->setText("(unclosed");
    EXPECT_FALSE(second.MakeParams(RunMode::FullPreview).has_value());
    EXPECT_EQ(notifier.messages.size(), 1u);
    EXPECT_TRUE(second.MakeParams(RunMode::AutoPreview).has_value());
}

// The markers and the case box are kept under their keys ahead of the template's
// and come back into the same parameters; a change of any control asks for one
// preview, and so does a preset chosen, however many of them it fills.
TEST(ExtractPanels, ElementMarkersRoundTripAndAskForOnePreviewPerChange) {
    testing::TestApplication();
    testing::TempDir dir;
    testing::ExpectSettingsRoundTrip(
        dir / "s.ini", "批量提取元素区间", [] { return std::make_unique<ExtractElementPanel>(nullptr); },
        [](ExtractElementPanel& panel) {
            Find<QLineEdit>(panel, "编辑框元素1")->setText(Q("<h1 class=\"t\">"));
            Find<QLineEdit>(panel, "编辑框元素2")->setText(Q("</h1>"));
            Find<QCheckBox>(panel, "选择框区分大小写")->setChecked(true);
            Find<QCheckBox>(panel, "选择框扩展组合")->setChecked(true);
            Find<QLineEdit>(panel, "编辑框组合式")->setText(Q("[?]"));
        },
        {"预设方案", "元素1", "元素2", "区分大小写", "扩展组合", "组合式"});

    ExtractElementPanel panel(nullptr);
    testing::ExpectOnePreviewPerChange(panel, {"组合框预设方案"});
    panel.Markers().SetTextAsker([](InputDialogParams) { return InputDialogResult{true, "段落"}; });
    testing::ExpectOnePreviewPerMarkerPreset(panel, [&panel] { panel.Markers().SaveElementPresetAs(); });
}

TEST(ExtractPanels, ElementPresets) {
    testing::TestApplication();
    testing::TempDir dir;
    testing::RecordingNotifier notifier;
    ExtractElementPanel element(nullptr);
    ElementPresetControls& panel = element.Markers();
    std::vector<InputDialogParams> asked;
    InputDialogResult answer{true, "标题一"};
    panel.SetTextAsker([&](InputDialogParams params) {
        asked.push_back(params);
        return answer;
    });
    auto* box = Find<QComboBox>(element, "组合框预设方案");
    auto* element1 = Find<QLineEdit>(element, "编辑框元素1");
    auto* element2 = Find<QLineEdit>(element, "编辑框元素2");
    auto* caseSensitive = Find<QCheckBox>(element, "选择框区分大小写");
    ASSERT_EQ(box->count(), 3);
    EXPECT_EQ(box->itemText(2), Q("网页标题<title>"));

    QSignalSpy changed(&element, &TaskPanel::parametersChanged);
    panel.ApplyElementPreset(1);  // the dashed line
    EXPECT_EQ(box->currentIndex(), 0);
    EXPECT_EQ(changed.count(), 0);
    panel.ApplyElementPreset(2);
    EXPECT_EQ(element1->text(), Q("<title>"));
    EXPECT_EQ(element2->text(), Q("</title>"));
    EXPECT_EQ(changed.count(), 1);  // one preview for the whole preset

    element2->clear();
    panel.SaveElementPresetAs();
    ASSERT_EQ(notifier.notices.size(), 1u);
    EXPECT_EQ(notifier.notices[0], "新添加方案，元素1和元素2不允许任何一个留空！");
    element1->setText("<h1>");
    element2->setText("</h1>");
    caseSensitive->click();
    panel.SaveElementPresetAs();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].prompt, "请输入该方案的保存名称（不宜过长）：");
    EXPECT_EQ(panel.Presets().back(), (ElementPreset{"标题一", "<h1>", "</h1>", true}));
    EXPECT_EQ(box->currentIndex(), 3);

    // A change takes the non-empty markers; an empty name keeps the old one.
    element1->setText("<H1>");
    element2->clear();
    answer = {true, ""};
    panel.ModifyElementPreset();
    EXPECT_EQ(panel.Presets().back(), (ElementPreset{"标题一", "<H1>", "</h1>", true}));
    answer = {true, "大标题"};
    panel.ModifyElementPreset();
    EXPECT_EQ(box->itemText(3), Q("大标题"));
    element1->clear();
    panel.ModifyElementPreset();
    EXPECT_EQ(notifier.notices.back(),
              "修改已有方案，元素1和元素2，必须保持一个有内容！您可以只修改元素1或元素2，留空的保持原内容！");

    Store(element, dir / "s.ini", "批量提取元素区间", true);
    ExtractElementPanel again(nullptr);
    Store(again, dir / "s.ini", "批量提取元素区间", false);
    EXPECT_EQ(again.Markers().Presets(), panel.Presets());
    ASSERT_EQ(Find<QComboBox>(again, "组合框预设方案")->count(), 4);

    box->setCurrentIndex(0);
    panel.ModifyElementPreset();
    EXPECT_EQ(notifier.notices.back(), "请先选择一个方案再修改！");
    panel.DeleteElementPreset();
    EXPECT_EQ(notifier.notices.back(), "请先选择一个方案再删除！");
    box->setCurrentIndex(2);
    panel.DeleteElementPreset();
    ASSERT_EQ(panel.Presets().size(), 1u);
    EXPECT_EQ(panel.Presets()[0].name, "大标题");
    EXPECT_EQ(box->count(), 3);

    notifier.answer = kAnswerCancel;
    panel.ClearElementPresets();
    EXPECT_EQ(panel.Presets().size(), 1u);
    notifier.answer = kAnswerOk;
    panel.ClearElementPresets();
    EXPECT_TRUE(panel.Presets().empty());
    EXPECT_EQ(box->count(), 2);
    // Emptied presets stay empty: the default comes back only on request.
    Store(element, dir / "e.ini", "批量提取元素区间", true);
    ExtractElementPanel emptied(nullptr);
    Store(emptied, dir / "e.ini", "批量提取元素区间", false);
    EXPECT_TRUE(emptied.Markers().Presets().empty());
    panel.RestoreDefaultElementPresets();
    EXPECT_EQ(panel.Presets(), ParseElementPresets(kDefaultElementPresets));
    EXPECT_EQ(box->count(), 3);
}

}  // namespace
}  // namespace varnel
