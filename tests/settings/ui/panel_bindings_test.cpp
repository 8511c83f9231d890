#include "settings/ui/panel_bindings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QWidget>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "settings/ini_document.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

struct SampleParams {
    bool flag = false;
    bool firstRadio = false;
    std::string text;
    std::string lines;
    int index = -1;
    int length = 0;          // converted from the text box
    std::string designOnly = "kept";  // no control fills it
    std::string quiet;
};

// A small form: every kind of control, one of them not kept and one not a parameter.
struct SampleForm {
    QWidget owner;
    QCheckBox* flag = new QCheckBox(&owner);
    QRadioButton* first = new QRadioButton(&owner);
    QRadioButton* second = new QRadioButton(&owner);
    QLineEdit* text = new QLineEdit(&owner);
    QPlainTextEdit* lines = new QPlainTextEdit(&owner);
    QComboBox* combo = new QComboBox(&owner);
    QLineEdit* unkept = new QLineEdit(&owner);
    QCheckBox* notParameter = new QCheckBox(&owner);
    QLineEdit* quiet = new QLineEdit(&owner);
    int previews = 0;
    int loads = 0;
    std::vector<std::string> calls;
    PanelBindings<SampleParams> bindings{[this] {
        ++previews;
        calls.push_back("preview");
    }};

    SampleForm() {
        second->setChecked(true);
        combo->addItems({"a", "b", "c"});
        bindings.Check(flag, "开关", &SampleParams::flag)
            .AlsoOnChange([this] { calls.push_back("reaction"); })
            .RadioPair(first, second, "类型", &SampleParams::firstRadio)
            .Text(text, "文字", &SampleParams::text)
            .MultiLine(lines, "列表", &SampleParams::lines)
            .Combo(combo, "方向", &SampleParams::index)
            .Text(unkept, "", [](SampleParams& p, const std::string& value) {
                p.length = static_cast<int>(value.size());
            })
            .Check(notParameter, "只存", nullptr)
            .Text(quiet, "安静", &SampleParams::quiet)
            .NoPreview()
            .AlsoOnChange([this] { calls.push_back("quiet"); })
            .AfterLoad([this] { ++loads; });
    }
};

template <typename Form>
void LoadOrSave(Form& form, const std::string& file, bool save) {
    SettingsStore store;
    store.SetFile(file);
    store.SelectSection("面板");
    form.bindings.LoadOrSave(store, save);
    if (save) {
        ASSERT_TRUE(store.Flush().has_value());
    }
}

TEST(PanelBindings, LoadsGathersAndSavesFromOneDeclaration) {
    testing::TestApplication();
    testing::TempDir dir;
    dir.Write("s.ini", "[面板]\n开关=真\n类型=真\n文字=你好\n列表=一;;;二\n方向=2\n只存=真\n");
    SampleForm form;
    LoadOrSave(form, dir / "s.ini", false);
    EXPECT_EQ(form.loads, 1);
    form.unkept->setText("four");

    const SampleParams p = form.bindings.Gather();
    EXPECT_TRUE(p.flag);
    EXPECT_TRUE(p.firstRadio);
    EXPECT_FALSE(form.second->isChecked());
    EXPECT_EQ(p.text, "你好");
    EXPECT_EQ(p.lines, "一\n二");
    EXPECT_EQ(p.index, 2);
    EXPECT_EQ(p.length, 4);
    EXPECT_EQ(p.designOnly, "kept");
    EXPECT_TRUE(form.notParameter->isChecked());

    // Gathering over a given struct keeps what no control fills.
    SampleParams base;
    base.designOnly = "given";
    EXPECT_EQ(form.bindings.Gather(base).designOnly, "given");

    // Saved into a fresh file, then loaded into a fresh form: the same parameters.
    form.text->setText("再见");
    form.combo->setCurrentIndex(1);
    form.flag->setChecked(false);
    LoadOrSave(form, dir / "out.ini", true);
    EXPECT_EQ(form.loads, 1);  // saving is no load
    const IniDocument written = IniDocument::Parse(dir.Read("out.ini"));
    EXPECT_EQ(written.Get("面板", "文字"), "再见");
    EXPECT_EQ(written.Get("面板", "方向"), "1");
    EXPECT_EQ(written.Get("面板", "开关"), "假");
    EXPECT_EQ(written.Get("面板", "列表"), "一;;;二");
    EXPECT_EQ(written.Get("面板", "只存"), "真");
    EXPECT_FALSE(written.Get("面板", "").has_value());  // the unkept box wrote nothing

    SampleForm again;
    LoadOrSave(again, dir / "out.ini", false);
    const SampleParams reread = again.bindings.Gather();
    const SampleParams saved = form.bindings.Gather();
    EXPECT_EQ(reread.flag, saved.flag);
    EXPECT_EQ(reread.firstRadio, saved.firstRadio);
    EXPECT_EQ(reread.text, saved.text);
    EXPECT_EQ(reread.lines, saved.lines);
    EXPECT_EQ(reread.index, saved.index);
    EXPECT_EQ(reread.length, 0);  // not kept: the design value
}

TEST(PanelBindings, UserChangesAskForAPreviewAfterTheControlsReaction) {
    testing::TestApplication();
    SampleForm form;
    form.flag->click();
    EXPECT_EQ(form.calls, (std::vector<std::string>{"reaction", "preview"}));

    form.previews = 0;
    form.first->click();
    form.text->setText("x");
    form.lines->setPlainText("y");
    form.combo->setCurrentIndex(1);
    form.unkept->setText("z");
    form.notParameter->click();
    EXPECT_EQ(form.previews, 6);

    // Checking a box from code is not a user's click: no preview for it.
    form.previews = 0;
    form.flag->setChecked(false);
    EXPECT_EQ(form.previews, 0);

    // A control that asks for no preview still runs its reactions.
    form.calls.clear();
    form.quiet->setText("typed");
    EXPECT_EQ(form.previews, 0);
    EXPECT_EQ(form.calls, std::vector<std::string>{"quiet"});
    EXPECT_EQ(form.bindings.Gather().quiet, "typed");
}

struct RowParams {
    std::string held;
    int chosen = -5;
    bool ticked = false;
    std::string year;
    std::string month;
};

// A held text, radios counted from 0, and a tick with two boxes kept as one row.
struct RowForm {
    QWidget owner;
    std::string held = "design";
    QRadioButton* a = new QRadioButton(&owner);
    QRadioButton* b = new QRadioButton(&owner);
    QRadioButton* c = new QRadioButton(&owner);
    QCheckBox* tick = new QCheckBox(&owner);
    QLineEdit* year = new QLineEdit(&owner);
    QLineEdit* month = new QLineEdit(&owner);
    int previews = 0;
    PanelBindings<RowParams> bindings{[this] { ++previews; }};

    RowForm() {
        a->setChecked(true);
        year->setText("1999");
        bindings.HeldText(held, "保留", &RowParams::held)
            .RadioGroup({a, b, c}, "方式", &RowParams::chosen, 0)
            .Check(tick, "", &RowParams::ticked)
            .Text(year, "", &RowParams::year)
            .Text(month, "", &RowParams::month)
            .Joined({tick, year, month}, "时间");
    }
};

TEST(PanelBindings, HeldTextsRadiosFromZeroAndJoinedRows) {
    testing::TestApplication();
    testing::TempDir dir;
    RowForm form;
    EXPECT_EQ(form.bindings.Gather().chosen, 0);
    form.held = "a;;;b";  // kept as it is: no line breaks come back
    form.c->click();
    form.tick->click();
    form.month->setText("2|3");
    EXPECT_EQ(form.previews, 3);
    LoadOrSave(form, dir / "s.ini", true);
    const IniDocument written = IniDocument::Parse(dir.Read("s.ini"));
    EXPECT_EQ(written.Get("面板", "保留"), "a;;;b");
    EXPECT_EQ(written.Get("面板", "方式"), "2");
    EXPECT_EQ(written.Get("面板", "时间"), "真|1999|2|3");
    EXPECT_EQ(written.KeyList().size(), 3u);  // the row's controls have no keys of their own

    // The row's fields are split at every "|": the extra one is dropped.
    RowForm again;
    LoadOrSave(again, dir / "s.ini", false);
    const RowParams p = again.bindings.Gather();
    EXPECT_EQ(p.held, "a;;;b");
    EXPECT_EQ(p.chosen, 2);
    EXPECT_TRUE(p.ticked);
    EXPECT_EQ(p.year, "1999");
    EXPECT_EQ(p.month, "2");

    // A missing row unticks and empties; a missing number or text keeps the design.
    dir.Write("short.ini", "[面板]\n方式=7\n");
    RowForm bare;
    bare.tick->setChecked(true);
    LoadOrSave(bare, dir / "short.ini", false);
    const RowParams q = bare.bindings.Gather();
    EXPECT_EQ(q.held, "design");
    EXPECT_EQ(q.chosen, 0);
    EXPECT_FALSE(q.ticked);
    EXPECT_EQ(q.year, "");
    dir.Write("short.ini", "[面板]\n时间=真|2001\n");
    LoadOrSave(bare, dir / "short.ini", false);
    EXPECT_TRUE(bare.tick->isChecked());
    EXPECT_EQ(bare.year->text().toStdString(), "2001");
    EXPECT_EQ(bare.month->text().toStdString(), "");
}

// A combo box may hand over its chosen item's text while it is kept as its index;
// a check list hands over its ticks and is kept as one mark per item.
TEST(PanelBindings, ComboTextsAndCheckLists) {
    testing::TestApplication();
    testing::TempDir dir;
    struct ListParams {
        std::string genre = "design";
        std::vector<bool> ticks;
    };
    struct ListForm {
        QWidget owner;
        QComboBox* genre = new QComboBox(&owner);
        QListWidget* list = new QListWidget(&owner);
        int previews = 0;
        PanelBindings<ListParams> bindings{[this] { ++previews; }};

        ListForm() {
            genre->addItems({"Blues", "Rock", "Pop"});
            genre->setCurrentIndex(-1);
            for (int i = 0; i < 3; ++i) {
                auto* item = new QListWidgetItem("x", list);
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                item->setCheckState(Qt::Unchecked);
            }
            bindings.ComboText(genre, "流派", &ListParams::genre).CheckList(list, "选中", &ListParams::ticks);
        }
    };
    ListForm form;
    EXPECT_EQ(form.bindings.Gather().genre, "");  // none chosen
    form.genre->setCurrentIndex(1);
    form.list->item(2)->setCheckState(Qt::Checked);
    EXPECT_EQ(form.previews, 2);
    const ListParams p = form.bindings.Gather();
    EXPECT_EQ(p.genre, "Rock");
    EXPECT_EQ(p.ticks, (std::vector<bool>{false, false, true}));
    LoadOrSave(form, dir / "s.ini", true);
    const IniDocument written = IniDocument::Parse(dir.Read("s.ini"));
    EXPECT_EQ(written.Get("面板", "流派"), "1");
    EXPECT_EQ(written.Get("面板", "选中"), "001");

    ListForm again;
    LoadOrSave(again, dir / "s.ini", false);
    const ListParams reread = again.bindings.Gather();
    EXPECT_EQ(reread.genre, p.genre);
    EXPECT_EQ(reread.ticks, p.ticks);
}

TEST(PanelBindings, ControlsOutlivingTheBindingsCallNothing) {
    testing::TestApplication();
    QWidget owner;
    auto* box = new QLineEdit(&owner);
    int previews = 0;
    {
        PanelBindings<SampleParams> bindings([&previews] { ++previews; });
        bindings.Text(box, "文字", &SampleParams::text);
        box->setText("a");
    }
    box->setText("b");
    EXPECT_EQ(previews, 1);
}

}  // namespace
}  // namespace varnel
