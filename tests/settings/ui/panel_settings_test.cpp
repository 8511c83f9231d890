#include "settings/ui/panel_settings.h"

#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>

#include <gtest/gtest.h>

#include "settings/ini_document.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

TEST(PanelSettings, StoredFormsAndDesignValuesForWhatIsMissing) {
    testing::TestApplication();
    testing::TempDir dir;
    dir.Write("s.ini", "[面板]\n列表=一;;;二;;;三\n方向=7\n");
    SettingsStore store;
    store.SetFile(dir / "s.ini");
    store.SelectSection("面板");

    QPlainTextEdit lines;
    QComboBox combo;
    combo.addItems({"a", "b"});
    combo.setCurrentIndex(1);
    QRadioButton first;
    QRadioButton second;
    second.setChecked(true);
    {
        PanelSettings load(store, false);
        load.MultiLine(&lines, "列表");
        load.Combo(&combo, "方向");           // an index the box does not have: kept
        load.RadioPair(&first, &second, "类型");  // missing: kept
    }
    EXPECT_EQ(lines.toPlainText(), "一\n二\n三");
    EXPECT_EQ(combo.currentIndex(), 1);
    EXPECT_TRUE(second.isChecked());

    lines.setPlainText("x\ny");
    first.setChecked(true);
    second.setChecked(false);
    {
        PanelSettings save(store, true);
        save.MultiLine(&lines, "列表");
        save.Combo(&combo, "方向");
        save.RadioPair(&first, &second, "类型");
    }
    ASSERT_TRUE(store.Flush().has_value());
    const IniDocument written = IniDocument::Parse(dir.Read("s.ini"));
    EXPECT_EQ(written.Get("面板", "列表"), "x;;;y");
    EXPECT_EQ(written.Get("面板", "方向"), "1");
    EXPECT_EQ(written.Get("面板", "类型"), "真");
}

TEST(PanelSettings, RadioGroupKeptAsTheChosenNumber) {
    testing::TestApplication();
    testing::TempDir dir;
    struct Case {
        const char* stored;
        int chosen;  // counted from 1, after loading
    };
    // The design choice is the second radio; numbers the group lacks keep it.
    const Case cases[] = {{"3", 3}, {"1", 1}, {"0", 2}, {"4", 2}, {"-1", 2}, {"x", 2}};
    for (const Case& c : cases) {
        dir.Write("s.ini", std::string("[面板]\n类型=") + c.stored + "\n");
        SettingsStore store;
        store.SetFile(dir / "s.ini");
        store.SelectSection("面板");
        QWidget group;  // radios of one parent exclude each other
        QAbstractButton* radios[] = {new QRadioButton(&group), new QRadioButton(&group), new QRadioButton(&group)};
        radios[1]->setChecked(true);
        {
            PanelSettings load(store, false);
            load.RadioGroup(radios, "类型");
        }
        EXPECT_EQ(PanelSettings::ChosenRadio(radios), c.chosen) << c.stored;
        EXPECT_EQ(radios[0]->isChecked() + radios[1]->isChecked() + radios[2]->isChecked(), 1) << c.stored;

        {
            PanelSettings save(store, true);
            save.RadioGroup(radios, "类型");
        }
        ASSERT_TRUE(store.Flush().has_value());
        EXPECT_EQ(IniDocument::Parse(dir.Read("s.ini")).Get("面板", "类型"), std::to_string(c.chosen)) << c.stored;
    }
}

// A check list is kept as one mark per item; loading ticks an item exactly when its
// mark is "1" and leaves the items past the text as they are.
TEST(PanelSettings, CheckListKeptAsOneMarkPerItem) {
    testing::TestApplication();
    testing::TempDir dir;
    struct Case {
        const char* section;  // the stored line, if any
        std::vector<bool> loaded;
    };
    const Case cases[] = {
        {"[面板]\n", {true, true, true, false}},           // missing: the design ticks
        {"[面板]\n选中=01\n", {false, true, true, false}},  // short: the rest kept
        {"[面板]\n选中=1x0111\n", {true, false, false, true}},  // not "1" unticks; extra marks ignored
        {"[面板]\n选中=\n", {true, true, true, false}},
    };
    for (const Case& c : cases) {
        dir.Write("s.ini", c.section);
        SettingsStore store;
        store.SetFile(dir / "s.ini");
        store.SelectSection("面板");
        QListWidget list;
        for (const bool ticked : {true, true, true, false}) {
            auto* item = new QListWidgetItem("x", &list);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
        }
        {
            PanelSettings load(store, false);
            load.CheckList(&list, "选中");
        }
        EXPECT_EQ(PanelSettings::CheckedItems(&list), c.loaded) << c.section;
        {
            PanelSettings save(store, true);
            save.CheckList(&list, "选中");
        }
        ASSERT_TRUE(store.Flush().has_value());
        std::string marks;
        for (const bool ticked : c.loaded) marks += ticked ? '1' : '0';
        EXPECT_EQ(IniDocument::Parse(dir.Read("s.ini")).Get("面板", "选中"), marks) << c.section;
    }
}

}  // namespace
}  // namespace varnel
