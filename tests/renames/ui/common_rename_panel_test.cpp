#include "renames/ui/common_rename_panel.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include "settings/ini_document.h"
#include "support/panel_test.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

template <typename Control>
Control* Find(QWidget& panel, const char* name) {
    auto* control = panel.findChild<Control*>(Q(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
}

constexpr const char* kSection = "批量常用";

// The panel's keys in the order it writes them.
const std::vector<std::string> kKeys = {"修改主名", "修改主名类型", "新主名",   "修改扩展名", "新扩展名", "类型",
                                        "位于",     "转为",         "起始",     "增量",       "零位数",   "统一队形",
                                        "到繁体",   "到金额",       "目录独立", "附加文本",   "附加的文本", "附加方向"};

// Saves the panel into the file's section and writes the file.
void Save(CommonRenamePanel& panel, const std::string& file) {
    SettingsStore store;
    store.SetFile(file);
    store.SelectSection(kSection);
    panel.LoadOrSaveSettings(store, true);
    ASSERT_TRUE(store.Flush().has_value());
}

void Load(CommonRenamePanel& panel, const std::string& file) {
    SettingsStore store;
    store.SetFile(file);
    store.SelectSection(kSection);
    panel.LoadOrSaveSettings(store, false);
}

TEST(CommonRenamePanel, MissingSectionShowsTheDesignAndSavingWritesEveryKey) {
    testing::TestApplication();
    testing::TempDir dir;
    dir.Write("s.ini", "[其他]\n键=值\n");
    CommonRenamePanel panel(nullptr);
    Load(panel, dir / "s.ini");
    EXPECT_EQ(Find<QLineEdit>(panel, "编辑框新主名")->text(), "#目录名");
    EXPECT_EQ(Find<QLineEdit>(panel, "编辑框新扩展名")->text(), "txt");
    EXPECT_TRUE(Find<QRadioButton>(panel, "单选框数字")->isChecked());
    EXPECT_TRUE(Find<QRadioButton>(panel, "单选框右边")->isChecked());
    EXPECT_TRUE(Find<QRadioButton>(panel, "单选框小写")->isChecked());
    Save(panel, dir / "s.ini");
    std::vector<std::string> keys;
    for (const auto& [section, key] : IniDocument::Parse(dir.Read("s.ini")).KeyList()) {
        if (section == kSection) keys.push_back(key);
    }
    EXPECT_EQ(keys, kKeys);
    EXPECT_EQ(IniDocument::Parse(dir.Read("s.ini")).Get(kSection, "类型"), "假");
    EXPECT_EQ(IniDocument::Parse(dir.Read("s.ini")).Get(kSection, "修改主名类型"), "1");
}

TEST(CommonRenamePanel, SettingsRoundTrip) {
    testing::TestApplication();
    testing::TempDir dir;
    CommonRenamePanel first(nullptr);
    Find<QCheckBox>(first, "选择框修改扩展名")->setChecked(true);
    Find<QComboBox>(first, "组合框修改主名类型")->setCurrentIndex(2);
    Find<QLineEdit>(first, "编辑框新主名")->setText("第*集");
    Find<QRadioButton>(first, "单选框字母")->setChecked(true);
    Find<QRadioButton>(first, "单选框左边")->setChecked(true);
    Find<QRadioButton>(first, "单选框大写")->setChecked(true);
    Find<QLineEdit>(first, "编辑框起始值")->setText("7");
    Find<QCheckBox>(first, "选择框附加文本")->setChecked(true);
    Find<QLineEdit>(first, "编辑框附加的文本")->setText("、");
    Find<QComboBox>(first, "组合框附加方向")->setCurrentIndex(0);
    Save(first, dir / "s.ini");

    CommonRenamePanel second(nullptr);
    Load(second, dir / "s.ini");
    const CommonRenameParams p = second.CurrentParameters();
    EXPECT_TRUE(p.changeExtension);
    EXPECT_EQ(p.type, CommonMainNameType::CustomMain);
    EXPECT_EQ(p.newMainName, "第*集");
    EXPECT_TRUE(p.letters && p.left && p.upper);
    EXPECT_FALSE(Find<QRadioButton>(second, "单选框数字")->isChecked());
    EXPECT_EQ(p.start, 7);
    EXPECT_TRUE(p.attach);
    EXPECT_EQ(p.attachedText, "、");
    EXPECT_TRUE(p.attachLeft);
    // The enabling follows the loaded values.
    EXPECT_TRUE(Find<QLineEdit>(second, "编辑框新扩展名")->isEnabled());
    EXPECT_TRUE(Find<QLineEdit>(second, "编辑框附加的文本")->isEnabled());
}

// Every control changed from its design value comes back from the file into the
// same parameters.
TEST(CommonRenamePanel, EveryControlRoundTripsUnderItsKey) {
    testing::TestApplication();
    testing::TempDir dir;
    testing::ExpectSettingsRoundTrip(
        dir / "s.ini", kSection, [] { return std::make_unique<CommonRenamePanel>(nullptr); },
        [](CommonRenamePanel& panel) {
            Find<QCheckBox>(panel, "选择框修改主名")->setChecked(false);
            Find<QComboBox>(panel, "组合框修改主名类型")->setCurrentIndex(2);
            Find<QLineEdit>(panel, "编辑框新主名")->setText("第*集");
            Find<QCheckBox>(panel, "选择框修改扩展名")->setChecked(true);
            Find<QLineEdit>(panel, "编辑框新扩展名")->setText("mp3");
            Find<QRadioButton>(panel, "单选框字母")->setChecked(true);
            Find<QRadioButton>(panel, "单选框左边")->setChecked(true);
            Find<QRadioButton>(panel, "单选框大写")->setChecked(true);
            Find<QLineEdit>(panel, "编辑框起始值")->setText("-7");
            Find<QLineEdit>(panel, "编辑框增量值")->setText("3");
            Find<QLineEdit>(panel, "编辑框零位数")->setText("4");
            for (const char* name : {"选择框保持统一队形", "选择框到繁体", "选择框到金额", "选择框保持目录独立",
                                     "选择框附加文本"}) {
                Find<QCheckBox>(panel, name)->setChecked(true);
            }
            Find<QLineEdit>(panel, "编辑框附加的文本")->setText("、");
            Find<QComboBox>(panel, "组合框附加方向")->setCurrentIndex(0);
        },
        kKeys);
}

TEST(CommonRenamePanel, EveryParameterChangeAsksForOnePreview) {
    testing::TestApplication();
    CommonRenamePanel panel(nullptr);
    testing::ExpectOnePreviewPerChange(panel);
}

TEST(CommonRenamePanel, NumberingGroupShowsOnlyWhileANumberIsUsed) {
    testing::TestApplication();
    CommonRenamePanel panel(nullptr);
    QSignalSpy changed(&panel, &TaskPanel::parametersChanged);
    auto* group = Find<QGroupBox>(panel, "分组框编号设置");
    auto* type = Find<QComboBox>(panel, "组合框修改主名类型");
    auto* newMain = Find<QLineEdit>(panel, "编辑框新主名");
    auto* changeMain = Find<QCheckBox>(panel, "选择框修改主名");
    EXPECT_FALSE(group->isHidden());
    type->setCurrentIndex(0);
    EXPECT_FALSE(newMain->isEnabled());  // the old main name is numbered
    type->setCurrentIndex(2);
    EXPECT_TRUE(group->isHidden());  // no "*": no number
    newMain->setText("第*集");
    EXPECT_FALSE(group->isHidden());
    changeMain->click();
    EXPECT_TRUE(group->isHidden());
    EXPECT_FALSE(type->isEnabled());
    EXPECT_GE(changed.count(), 4);

    // Zeros and uniform go with lower-case digits, traditional and amount with Chinese numerals.
    changeMain->click();
    auto* zeros = Find<QLineEdit>(panel, "编辑框零位数");
    auto* amount = Find<QCheckBox>(panel, "选择框到金额");
    EXPECT_TRUE(zeros->isEnabled());
    EXPECT_FALSE(amount->isEnabled());
    Find<QRadioButton>(panel, "单选框大写")->click();
    EXPECT_FALSE(zeros->isEnabled());
    EXPECT_TRUE(amount->isEnabled());
    Find<QRadioButton>(panel, "单选框字母")->click();
    EXPECT_FALSE(amount->isEnabled());
    EXPECT_TRUE(Find<QRadioButton>(panel, "单选框大写")->isChecked());  // each pair keeps its own choice
    EXPECT_FALSE(Find<QLineEdit>(panel, "编辑框附加的文本")->isEnabled());
    Find<QCheckBox>(panel, "选择框附加文本")->click();
    EXPECT_TRUE(Find<QLineEdit>(panel, "编辑框附加的文本")->isEnabled());
}

TEST(CommonRenamePanel, AStepOfZeroOrTextRunsAsOneAndShowsIt) {
    testing::TestApplication();
    CommonRenamePanel panel(nullptr);
    auto* step = Find<QLineEdit>(panel, "编辑框增量值");
    QSignalSpy changed(&panel, &TaskPanel::parametersChanged);
    for (const char* text : {"0", "abc"}) {
        step->setText(Q(text));
        changed.clear();
        const std::optional<CommonRenameParams> parameters = panel.MakeParams(RunMode::Execute);
        ASSERT_TRUE(parameters.has_value());
        EXPECT_EQ(parameters->step, 1) << text;
        EXPECT_EQ(step->text(), "1");
        EXPECT_EQ(changed.count(), 0);  // showing it asks for no preview
    }
    step->setText("-3");
    EXPECT_EQ(panel.CurrentParameters().step, -3);
    Find<QLineEdit>(panel, "编辑框零位数")->setText("9999");
    EXPECT_EQ(panel.CurrentParameters().zeroCount, 255);
}

}  // namespace
}  // namespace varnel
