#include <QPushButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "renames/ui/char_rename_panels.h"
#include "settings/ini_document.h"
#include "support/panel_test.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::Find;
using testing::Q;
using testing::Store;

// Choosing the dashed line selects the title again; the combos are kept as indexes
// and read as options (index - 1).
TEST(CharRenamePanels, ConvertCombosAndSettings) {
    testing::TestApplication();
    testing::TempDir dir;
    ConvertPanel first;
    auto* codec = Find<QComboBox>(first, "组合框编解码");
    auto* digits = Find<QComboBox>(first, "组合框数字");
    EXPECT_EQ(first.CurrentParameters().codec, CodecConversion::None);
    QSignalSpy changed(&first, &TaskPanel::parametersChanged);
    codec->setCurrentIndex(1);
    EXPECT_EQ(codec->currentIndex(), 0);
    digits->setCurrentIndex(6);
    EXPECT_GE(changed.count(), 1);
    EXPECT_EQ(first.CurrentParameters().digits, DigitConversion::NumeralsToDigits);
    Store(first, dir / "s.ini", "批量转换", true);
    EXPECT_EQ(IniDocument::Parse(dir.Read("s.ini")).KeyList().size(), 5u);
    ConvertPanel second;
    Store(second, dir / "s.ini", "批量转换", false);
    EXPECT_EQ(second.CurrentParameters().digits, DigitConversion::NumeralsToDigits);
    EXPECT_EQ(second.CurrentParameters().codec, CodecConversion::None);
}

// The class list: links, clicks with keys, availability under the whole classes,
// the status text of a clicked class, and the checks kept as "1"/"0" per class.
TEST(CharRenamePanels, ClearCharsListRulesAndSettings) {
    testing::TestApplication();
    testing::TempDir dir;
    ClearCharsPanel first;
    QListWidget* list = Find<QListWidget>(first, "列表框");
    ASSERT_EQ(list->count(), 34);
    QSignalSpy status(&first, &ClearCharsPanel::statusMessage);
    QSignalSpy changed(&first, &TaskPanel::parametersChanged);
    first.OnCharClassClicked(3, {});
    ASSERT_EQ(status.count(), 1);
    EXPECT_EQ(status.at(0).at(0).toString(), Q("0123456789"));
    first.OnCharClassClicked(1, {.shift = true});  // rows 2 to 4 (from the previous click)
    EXPECT_EQ(first.Checks()[1], true);
    EXPECT_EQ(first.Checks()[3], true);
    EXPECT_EQ(first.Checks()[0], false);
    EXPECT_EQ(changed.count(), 1);  // one request for the whole range
    EXPECT_EQ(first.CurrentParameters().ranges, "97-122,65-90,48-57");

    list->item(4)->setCheckState(Qt::Checked);  // 半角字符(全部)
    EXPECT_FALSE(list->item(0)->flags() & Qt::ItemIsEnabled);
    EXPECT_TRUE(list->item(5)->flags() & Qt::ItemIsEnabled);
    EXPECT_TRUE(first.CurrentParameters().allSingleByte);
    Find<QPushButton>(first, "清除x反选")->click();
    EXPECT_FALSE(first.CurrentParameters().allSingleByte);
    EXPECT_TRUE(first.CurrentParameters().allDoubleByte);
    EXPECT_FALSE(list->item(20)->flags() & Qt::ItemIsEnabled);
    Find<QPushButton>(first, "清除x全不选")->click();
    EXPECT_TRUE(first.CurrentParameters().ranges.empty());
    first.OnCharClassClicked(10, {.ctrl = true});
    Store(first, dir / "s.ini", "批量清除", true);
    EXPECT_NE(dir.Read("s.ini").find("0000000000100000000000000000000000"), std::string::npos) << dir.Read("s.ini");

    ClearCharsPanel second;
    Store(second, dir / "s.ini", "批量清除", false);
    EXPECT_TRUE(second.Checks()[10]);
    EXPECT_EQ(second.CurrentParameters().ranges, "176161-247254,129064-160254,170064-254160");
}

// The convert and clear panels keep every control under its key: a changed panel
// saved and loaded into a fresh one gives the same parameters.
TEST(CharRenamePanels, SettingsRoundTripUnderTheirKeys) {
    testing::TestApplication();
    testing::TempDir dir;
    testing::ExpectSettingsRoundTrip(
        dir / "convert.ini", "批量转换", [] { return std::make_unique<ConvertPanel>(); },
        [](ConvertPanel& panel) {
            int index = 2;
            for (const char* box : {"组合框编解码", "组合框繁简", "组合框全半角", "组合框字母", "组合框数字"}) {
                Find<QComboBox>(panel, box)->setCurrentIndex(index++);
            }
        },
        {"编解码", "繁简", "全半角", "字母", "数字"});
    testing::ExpectSettingsRoundTrip(
        dir / "clear.ini", "批量清除", [] { return std::make_unique<ClearCharsPanel>(); },
        [](ClearCharsPanel& panel) {
            QListWidget* list = Find<QListWidget>(panel, "列表框");
            for (int row : {2, 9, 33}) list->item(row)->setCheckState(Qt::Checked);
        },
        {"选中项"});
}

TEST(CharRenamePanels, EveryParameterChangeAsksForOnePreview) {
    testing::TestApplication();
    ConvertPanel convert;
    testing::ExpectOnePreviewPerChange(convert);
    ClearCharsPanel clear;
    QSignalSpy changed(&clear, &TaskPanel::parametersChanged);
    Find<QListWidget>(clear, "列表框")->item(3)->setCheckState(Qt::Checked);
    EXPECT_EQ(changed.count(), 1);
}

TEST(CharRenamePanels, PinyinControlsAndSettings) {
    testing::TestApplication();
    testing::TempDir dir;
    PinyinCasePanel first(nullptr);
    EXPECT_EQ(first.CurrentParameters().letterCase, PinyinCase::FirstUpper);
    EXPECT_FALSE(Find<QLineEdit>(first, "编辑框组合式")->isEnabled());
    QSignalSpy changed(&first, &TaskPanel::parametersChanged);
    Find<QRadioButton>(first, "单选框全部大写")->click();
    Find<QCheckBox>(first, "选择框首拼模式")->click();
    Find<QLineEdit>(first, "编辑框间隔符")->setText(Q("-"));
    EXPECT_EQ(changed.count(), 3);
    Store(first, dir / "s.ini", "批量拼音", true);
    const std::string stored = dir.Read("s.ini");
    EXPECT_NE(stored.find("拼音类型=3"), std::string::npos) << stored;

    PinyinCasePanel second(nullptr);
    Store(second, dir / "s.ini", "批量拼音", false);
    const PinyinParams p = second.CurrentParameters();
    EXPECT_EQ(p.letterCase, PinyinCase::AllUpper);
    EXPECT_TRUE(p.initialsOnly);
    EXPECT_EQ(p.separator, "-");
    EXPECT_FALSE(p.useTemplate);
}

}  // namespace
}  // namespace varnel
