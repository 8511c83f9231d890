#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <set>

#include <gtest/gtest.h>

#include "app/app_globals.h"
#include "filelist/ui/file_list_panel.h"
#include "filelist/ui/file_list_view.h"
#include "frame/ui/find_in_list_dialog.h"
#include "frame/ui/main_menus.h"
#include "frame/ui/main_window.h"
#include "frame/ui/sort_options_dialog.h"
#include "frame/ui/time_format_dialog.h"
#include "settings/main_settings.h"
#include "settings/settings_store.h"
#include "support/notice_recorder.h"
#include "utilities/run_control.h"
#include "support/qt_app.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "platform/ui/qt_user_notifier.h"

namespace varnel {
namespace {

// A main window over a temporary home with rows put straight into its list.
struct ListOrderTest : ::testing::Test {
    ListOrderTest() {
        testing::TestApplication();
        env.Set("HOME", dir.Path());
        env.Set("XDG_CONFIG_HOME", dir / "config");
        env.Set("XDG_DATA_HOME", dir / "data");
        env.Set("XDG_CACHE_HOME", dir / "cache");
        app = std::make_unique<AppGlobals>();
        app->gSettings->SetFile(dir / "main.ini");
        window = std::make_unique<MainWindow>(*app, notifier);
    }
    ~ListOrderTest() override {
        window.reset();
        app.reset();
    }

    void AddRows(const std::vector<std::string>& names, const std::vector<double>& modified = {}) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            RowFacts facts{.modified = i < modified.size() ? modified[i] : kNoTime, .statRead = true};
            app->gListRows.AppendRow("/d", names[i], facts, ColumnBit(ListColumn::Modified));
        }
        window->FileList().Model().SyncRowCount();
    }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (std::size_t row = 0; row < app->gListRows.RowCount(); ++row) names.push_back(app->gListRows.Name(row));
        return names;
    }
    std::set<std::string> SelectedNames() {
        std::set<std::string> names;
        for (const QModelIndex& index : View().selectionModel()->selectedRows()) {
            names.insert(app->gListRows.Name(static_cast<std::size_t>(index.row())));
        }
        return names;
    }
    FileListView& View() { return window->FileList().View(); }
    QAction* Item(const char* caption) { return window->Menus().Item(caption); }
    QString Title(int column) {
        return window->FileList().Model().headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    template <typename T>
    T* Child(QWidget* parent, const char* name) {
        return parent->findChild<T*>(QString::fromUtf8(name));
    }

    testing::TempDir dir;
    testing::ScopedEnv env;
    testing::NoticeRecorder recorder;
    QtUserNotifier notifier;
    std::unique_ptr<AppGlobals> app;
    std::unique_ptr<MainWindow> window;
};

TEST_F(ListOrderTest, HeaderClickSortsBothWaysAndTheSelectionStaysWithItsFiles) {
    AddRows({"delta", "alpha", "echo", "charlie", "bravo"});
    // delta and charlie selected, echo current.
    auto* selection = View().selectionModel();
    selection->select(window->FileList().Model().index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection->setCurrentIndex(window->FileList().Model().index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);

    QSignalSpy menuAsked(&window->FileList(), &FileListPanel::sortMenuRequested);
    emit View().horizontalHeader()->sectionClicked(6);
    ASSERT_EQ(menuAsked.count(), 1);
    EXPECT_EQ(app->gSortColumn, 6);
    EXPECT_EQ(Item("按预置型排序")->text(), QString::fromUtf8("按预置型<时间>排序"));
    window->Menus().Menu("排序菜单")->hide();
    emit View().horizontalHeader()->sectionClicked(0);
    EXPECT_EQ(Item("按预置型排序")->text(), QString::fromUtf8("按预置型<文本>排序"));
    window->Menus().Menu("排序菜单")->hide();

    Item("按文本型排序")->trigger();
    EXPECT_EQ(Names(), (std::vector<std::string>{"alpha", "bravo", "charlie", "delta", "echo"}));
    EXPECT_EQ(Title(0), QString::fromUtf8("文件名称 ∴"));
    EXPECT_EQ(SelectedNames(), (std::set<std::string>{"charlie", "delta"}));
    EXPECT_EQ(app->gListRows.Name(static_cast<std::size_t>(View().currentIndex().row())), "charlie");

    Item("按文本型排序")->trigger();
    EXPECT_EQ(Names(), (std::vector<std::string>{"echo", "delta", "charlie", "bravo", "alpha"}));
    EXPECT_EQ(Title(0), QString::fromUtf8("文件名称 ∵"));
    EXPECT_EQ(SelectedNames(), (std::set<std::string>{"charlie", "delta"}));

    // Another column takes the mark; the old one loses it.
    emit View().horizontalHeader()->sectionClicked(3);
    window->Menus().Menu("排序菜单")->hide();
    Item("按图标排序")->trigger();
    EXPECT_EQ(Title(0), QString::fromUtf8("文件名称"));
    EXPECT_TRUE(Title(3).endsWith(QString::fromUtf8(" ∴")));
}

TEST_F(ListOrderTest, ALargeSortSaysSoAndABusyListIsNotSorted) {
    std::vector<std::string> names;
    for (int i = 50'000; i > 0; --i) names.push_back("n" + std::to_string(i));
    AddRows(names);
    QSignalSpy status(&window->FileList(), &FileListPanel::statusMessage);
    Item("按文本长度")->trigger();
    // The sort runs on a worker: the window is back at once, the list held as it is
    // until the new order comes, and nothing else may start meanwhile.
    ASSERT_EQ(status.count(), 1);
    EXPECT_TRUE(status.at(0).at(0).toString().startsWith(QString::fromUtf8("正在排序 50000 项")));
    EXPECT_TRUE(window->FileList().Sorting());
    EXPECT_EQ(app->gListRows.Name(0), "n50000");
    EXPECT_FALSE(app->gRunControl.TryBegin(TaskKind::ListLoad));
    ASSERT_TRUE(QTest::qWaitFor([&] { return status.count() == 2; }, 60000));
    EXPECT_TRUE(status.at(1).at(0).toString().startsWith(QString::fromUtf8("排序完成")));
    EXPECT_FALSE(window->FileList().Sorting());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(app->gListRows.Name(0), "n9");

    // While a task runs the rows stay as they are, and the direction does not flip.
    ASSERT_TRUE(app->gRunControl.TryBegin(TaskKind::ListLoad));
    Item("按文本长度")->trigger();
    app->gRunControl.End();
    EXPECT_EQ(app->gListRows.Name(0), "n9");
    EXPECT_EQ(recorder.Notices().back(), kTaskBusyNotice);
    Item("按文本长度")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->FileList().Sorting(); }, 60000));
    EXPECT_EQ(app->gListRows.Name(0), "n50000");
}

TEST_F(ListOrderTest, EnhancedSortUsesTheGroupSetInItsDialog) {
    AddRows({"第2集-10", "第12集-3", "第1集-7"});
    Item("设定增强参数")->trigger();
    SortOptionsDialog* dialog = window->SortOptions();
    ASSERT_NE(dialog, nullptr);
    auto* position = Child<QLineEdit>(dialog, "编辑框数字位置");
    auto* rightmost = Child<QCheckBox>(dialog, "选择框数字在右边");
    EXPECT_EQ(position->text(), "0");
    position->setText("1");
    dialog->Save();
    EXPECT_EQ(app->gMainSettings.numericSortGroup, 1);
    EXPECT_EQ(recorder.Boxes().back(), "OK");
    EXPECT_EQ(recorder.BoxStyles().back() & 0xF0, kBoxIconInformation);  // a success, not a warning
    // The explanation is shown whole.
    auto* hint = Child<QLabel>(dialog, "标签说明");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    EXPECT_LE(hint->fontMetrics().boundingRect(hint->contentsRect(), Qt::TextWordWrap, hint->text()).height(),
              hint->contentsRect().height());
    EXPECT_LE(hint->fontMetrics().horizontalAdvance(hint->text()), hint->contentsRect().width());

    emit View().horizontalHeader()->sectionClicked(0);
    window->Menus().Menu("排序菜单")->hide();
    Item("按增强型数值排序")->trigger();
    EXPECT_EQ(Names(), (std::vector<std::string>{"第1集-7", "第2集-10", "第12集-3"}));

    // The number on the right: -1, and the box shows nothing and is disabled.
    rightmost->setChecked(true);
    EXPECT_FALSE(position->isEnabled());
    dialog->Save();
    EXPECT_EQ(app->gMainSettings.numericSortGroup, -1);
    EXPECT_EQ(position->text(), "");
    Item("按增强型数值排序")->trigger();  // descending now, by -10, -7, -3
    EXPECT_EQ(Names(), (std::vector<std::string>{"第12集-3", "第1集-7", "第2集-10"}));
}

TEST_F(ListOrderTest, FindNextMovesTheSelectionAndTellsTheOutcome) {
    AddRows({"a.txt", "song.mp3", "b.txt", "clip.mp3"});
    // Without a keyword 查找下一个 opens the dialog instead.
    Item("查找下一个")->trigger();
    FindInListDialog* dialog = window->FindDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());

    auto* keyword = Child<QLineEdit>(dialog, "编辑框查找");
    auto* allColumns = Child<QCheckBox>(dialog, "选择框查找全部列");
    QTest::keyClicks(keyword, "mp3");
    EXPECT_EQ(app->gFindOptions.keyword, "mp3");
    allColumns->setChecked(true);
    EXPECT_EQ(app->gFindOptions.column, -1);
    Child<QPushButton>(dialog, "按钮查找")->click();
    EXPECT_EQ(View().currentIndex().row(), 1);
    EXPECT_EQ(SelectedNames(), (std::set<std::string>{"song.mp3"}));
    EXPECT_EQ(recorder.Notices().back(),
              "查找关键字为：mp3  已经找到\r\n\r\n位于第 2 条\r\n\r\n继续则查找下一条...");

    // Hidden, the dialog's options still serve 查找下一个 (and are kept in the file).
    Item("查找...")->trigger();
    EXPECT_FALSE(dialog->isVisible());
    Item("查找下一个")->trigger();
    EXPECT_EQ(View().currentIndex().row(), 3);
    Item("查找下一个")->trigger();  // from the last row: starts again at the top
    EXPECT_EQ(View().currentIndex().row(), 1);
    app->gFindOptions.keyword = "zzz";
    Item("查找下一个")->trigger();
    EXPECT_EQ(recorder.Notices().back(), "找不到项目,继续或修改字符串将从头开始查找。");
    EXPECT_EQ(View().currentIndex().row(), 1);

    SettingsStore stored;
    stored.SetFile(dir / "main.ini");
    FindOptions reread;
    ASSERT_TRUE(LoadOrSaveFindOptions(stored, reread, false));
    EXPECT_EQ(reread.keyword, "mp3");
    EXPECT_EQ(reread.column, -1);
}

TEST_F(ListOrderTest, FindDialogControlsAndDistinctMnemonics) {
    app->gFindOptions.column = 8;  // the folder column: not offered by the combo box
    app->gFindOptions.engine = 2;
    Item("查找...")->trigger();
    FindInListDialog* dialog = window->FindDialog();
    ASSERT_NE(dialog, nullptr);
    auto* combo = Child<QComboBox>(dialog, "组合框查找列");
    auto* allColumns = Child<QCheckBox>(dialog, "选择框查找全部列");
    EXPECT_EQ(combo->count(), 8);
    EXPECT_TRUE(allColumns->isChecked());
    EXPECT_FALSE(combo->isEnabled());
    EXPECT_EQ(app->gFindOptions.column, -1);
    EXPECT_TRUE(Child<QRadioButton>(dialog, "单选框正则表达式")->isChecked());

    allColumns->setChecked(false);
    EXPECT_TRUE(combo->isEnabled());
    combo->setCurrentIndex(5);
    EXPECT_EQ(app->gFindOptions.column, 5);
    Child<QRadioButton>(dialog, "单选框通配符")->click();
    EXPECT_EQ(app->gFindOptions.engine, 1);
    Child<QCheckBox>(dialog, "选择框向上")->setChecked(true);
    EXPECT_TRUE(app->gFindOptions.upward);

    // Editing the keyword starts the next search over.
    app->gListFinder.gFindRestart = false;
    QTest::keyClicks(Child<QLineEdit>(dialog, "编辑框查找"), "x");
    EXPECT_TRUE(app->gListFinder.gFindRestart);

    std::set<QChar> mnemonics;
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
        const qsizetype amp = button->text().indexOf(QLatin1Char('&'));
        if (amp < 0) continue;
        const QChar key = button->text().at(amp + 1).toUpper();
        EXPECT_FALSE(mnemonics.contains(key)) << button->text().toStdString();
        mnemonics.insert(key);
    }
    EXPECT_EQ(mnemonics.size(), 6u);
}

TEST_F(ListOrderTest, TimeFormatDialogRulesRefusalAndKeeping) {
    AddRows({"file"}, {45292.5});  // 2024-01-01 12:00
    Item("时间列格式...")->trigger();
    TimeFormatDialog* dialog = window->TimeFormatWindow();
    ASSERT_NE(dialog, nullptr);
    auto* rule = Child<QLineEdit>(dialog, "编辑框组合规则");
    auto* chinese = Child<QCheckBox>(dialog, "选择框到汉字");
    auto* traditional = Child<QCheckBox>(dialog, "选择框到繁体");
    auto* single = Child<QCheckBox>(dialog, "选择框单字模式");
    auto* zero = Child<QCheckBox>(dialog, "选择框零处理");

    // Enable rules: the three numeral options follow 到汉字, 零处理 also 单字模式.
    chinese->setChecked(false);
    EXPECT_FALSE(traditional->isEnabled());
    EXPECT_FALSE(single->isEnabled());
    EXPECT_FALSE(zero->isEnabled());
    chinese->setChecked(true);
    EXPECT_TRUE(traditional->isEnabled());
    EXPECT_TRUE(single->isEnabled());
    EXPECT_FALSE(zero->isEnabled());
    single->setChecked(true);
    EXPECT_TRUE(zero->isEnabled());
    chinese->setChecked(false);
    EXPECT_FALSE(zero->isEnabled());
    EXPECT_TRUE(single->isChecked());  // disabled boxes keep their checks
    single->setChecked(false);

    // Pieces go in at the caret.
    rule->setText("#年");
    rule->setCursorPosition(2);
    Child<QPushButton>(dialog, "-")->click();
    Child<QPushButton>(dialog, "#月")->click();
    Child<QPushButton>(dialog, "空格")->click();
    EXPECT_EQ(rule->text(), QString::fromUtf8("#年-#月 "));
    EXPECT_FALSE(Child<QLineEdit>(dialog, "编辑框转换例子")->text().isEmpty());

    // A rule without "#" is refused and changes nothing.
    const std::string before = app->gListRows.GetCellText(0, ListColumn::Modified);
    rule->setText("年月日");
    EXPECT_FALSE(dialog->Apply());
    EXPECT_EQ(recorder.Notices().back(), "组合规则为空或不存在一个元定义符！");
    rule->setText("");
    EXPECT_FALSE(dialog->Apply());
    EXPECT_EQ(app->gListRows.GetCellText(0, ListColumn::Modified), before);

    rule->setText("#年.#月.#日");
    Child<QPushButton>(dialog, "按钮应用")->click();
    EXPECT_EQ(window->FileList().Model().data(window->FileList().Model().index(0, 6)).toString(),
              QString::fromUtf8("2024.1.1"));
    // The preset list replaces the rule.
    Child<QComboBox>(dialog, "组合框表达式")->textActivated(QString::fromUtf8("#年#月#日#时#分#秒"));
    EXPECT_EQ(rule->text(), QString::fromUtf8("#年#月#日#时#分#秒"));

    // Closing keeps what was last applied in the settings file.
    QSignalSpy gone(dialog, &QObject::destroyed);
    Child<QPushButton>(dialog, "按钮3")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(gone.count(), 1);
    SettingsStore stored;
    stored.SetFile(dir / "main.ini");
    TimeFormat reread;
    ASSERT_TRUE(LoadOrSaveTimeFormat(stored, reread, false));
    EXPECT_EQ(reread.pattern, "#年.#月.#日");
}

}  // namespace
}  // namespace varnel
