#include "tools/ui/print_settings_window.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include <optional>

#include "support/temp_dir.h"
#include "tools/report_fixture.h"
#include "tools/ui/list_report_commands.h"

namespace varnel {
namespace {

using testing::SmallList;
using testing::TempDir;

struct Asked {
    std::string text;
    unsigned style;
    std::string title;
};

class PrintSettingsWindowTest : public ::testing::Test {
protected:
    std::unique_ptr<PrintSettingsWindow> Open(bool previewOpen = false) {
        PrintSettingsWindow::Services services;
        services.settingsFile = dir / kPrintSettingsFileName;
        services.ask = [this](const std::string& text, unsigned style, const std::string& title) {
            asked.push_back({text, style, title});
            return answer;
        };
        services.startReport = [this](ReportRequest request) { started = std::move(request); };
        services.previewOpen = previewOpen;
        auto window = std::make_unique<PrintSettingsWindow>(columns, std::move(services), nullptr);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        return window;
    }
    template <typename T>
    static T* Find(PrintSettingsWindow& window, const char* name) {
        T* found = window.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static std::vector<CheckItem> ItemsOf(PrintSettingsWindow& window, const char* name) {
        std::vector<CheckItem> items;
        auto* list = Find<QListWidget>(window, name);
        for (int i = 0; i < list->count(); ++i) {
            items.push_back({list->item(i)->text().toStdString(), list->item(i)->checkState() == Qt::Checked});
        }
        return items;
    }
    static void Click(PrintSettingsWindow& window, const char* name) { Find<QAbstractButton>(window, name)->click(); }
    static void Type(PrintSettingsWindow& window, const char* name, const QString& text) {
        Find<QLineEdit>(window, name)->setText(text);
    }
    // Adds a formula column through the dialog as the user would.
    void AddFormula(PrintSettingsWindow& window, const QString& name, const QString& formula) {
        window.SetFormulaDialogRunner([&](FormulaDialog& dialog) {
            dialog.findChild<QLineEdit*>("新列名编辑框")->setText(name);
            dialog.findChild<QLineEdit*>("公式编辑框")->setText(formula);
            dialog.Confirm();
            return dialog.result();
        });
        Click(window, "添加");
    }

    TempDir dir;
    std::vector<ReportSourceColumn> columns = [] {
        std::vector<ReportSourceColumn> list = SmallList(0).columns;
        list[2].visible = false;
        return list;
    }();
    std::vector<Asked> asked;
    int answer = 0;
    std::optional<ReportRequest> started;
};

TEST_F(PrintSettingsWindowTest, ColumnListsFollowTheListAndTheSelectAllBox) {
    auto window = Open();
    // Only the shown columns are checked for printing.
    EXPECT_EQ(ItemsOf(*window, "显示列表框"),
              (std::vector<CheckItem>{{"名称", true}, {"大小", true}, {"类型", false}}));
    EXPECT_EQ(ItemsOf(*window, "统计列表框"), (std::vector<CheckItem>{{"名称", false}, {"大小", false}}));
    Click(*window, "打印列全选");  // now clear
    EXPECT_TRUE(ItemsOf(*window, "统计列表框").empty());
    Click(*window, "打印列全选");
    EXPECT_EQ(ItemsOf(*window, "统计列表框"),
              (std::vector<CheckItem>{{"名称", false}, {"大小", false}, {"类型", false}}));
    // The statistics controls work only for a statistics row.
    EXPECT_FALSE(Find<QWidget>(*window, "统计列全选")->isEnabled());
    Click(*window, "打统计");
    Click(*window, "统计列全选");
    EXPECT_EQ(ItemsOf(*window, "统计列表框")[2], (CheckItem{"类型", true}));
}

TEST_F(PrintSettingsWindowTest, ColourSchemesEnableTheirPickers) {
    auto window = Open();
    Click(*window, "自定义行");
    for (const char* name : {"标题颜色", "奇行色", "偶行色"}) EXPECT_TRUE(Find<QWidget>(*window, name)->isEnabled());
    for (const char* name : {"标题颜色1", "奇列色", "偶列色"}) EXPECT_FALSE(Find<QWidget>(*window, name)->isEnabled());
    EXPECT_TRUE(Find<QLabel>(*window, "标签12")->styleSheet().contains("#000000"));
    EXPECT_TRUE(Find<QLabel>(*window, "标签15")->styleSheet().contains("#C0C0C0"));
    Click(*window, "默认色");
    for (const char* name : {"标题颜色", "奇行色", "偶行色", "标题颜色1", "奇列色", "偶列色"}) {
        EXPECT_FALSE(Find<QWidget>(*window, name)->isEnabled()) << name;
    }
}

TEST_F(PrintSettingsWindowTest, ChecksShowTheirMessageAndPage) {
    auto window = Open();
    Type(*window, "统计行保留位数", "3.5");
    Click(*window, "打印预览");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, "统计行保留位数的设置范围为-3到3之间！");
    EXPECT_EQ(Find<QTabWidget>(*window, "选择夹1")->currentIndex(), 2);
    EXPECT_FALSE(started);

    Type(*window, "统计行保留位数", "-3");
    Type(*window, "页眉", "a|b|c|d|e");
    Click(*window, "打印预览");
    EXPECT_EQ(asked.back().text, "页眉中设置的“|”不能多于3个！");
    EXPECT_EQ(Find<QTabWidget>(*window, "选择夹1")->currentIndex(), 0);

    Type(*window, "页眉", "a|b|c|d");
    Type(*window, "字体大小", "2000000000");
    Click(*window, "打印预览");
    EXPECT_EQ(asked.back().text, "字体大小的设置范围为10到300之间（单位为0.1毫米）！");
    EXPECT_FALSE(started);

    Type(*window, "字体大小", "30");
    Click(*window, "打统计");
    Click(*window, "打印预览");
    EXPECT_EQ(asked.back().text, "没有选择要进行统计的列！");
    EXPECT_EQ(Find<QTabWidget>(*window, "选择夹1")->currentIndex(), 2);
    EXPECT_FALSE(started);

    Click(*window, "打合计");
    Click(*window, "打印预览");
    ASSERT_TRUE(started);
    EXPECT_EQ(started->printColumns, (std::vector<int>{0, 1}));
    EXPECT_EQ(started->summary.mode, SummaryMode::Count);
    EXPECT_EQ(started->headerParts.size(), 4u);
    EXPECT_EQ(started->fontSize, 30);

    // Refused for want of columns, the settings are saved all the same.
    Click(*window, "打印列全选");
    started.reset();
    Type(*window, "标题", "保存了");
    Click(*window, "打印预览");
    EXPECT_EQ(asked.back().text, "没有选择要进行打印的列！");
    EXPECT_FALSE(started);
    EXPECT_EQ(LoadPrintSettings(dir / kPrintSettingsFileName, PrintSettings{}).title, "保存了");
}

TEST_F(PrintSettingsWindowTest, SettingsComeBackFromTheFile) {
    {
        auto window = Open();
        Type(*window, "标题", "清单");
        Type(*window, "行数", "25");
        Find<QComboBox>(*window, "纸张")->setCurrentIndex(4);
        Click(*window, "纸张方向0");
        Click(*window, "自定义列");
        Click(*window, "序号");
        Click(*window, "打印预览");
    }
    auto window = Open();
    EXPECT_EQ(Find<QLineEdit>(*window, "标题")->text(), "清单");
    EXPECT_EQ(Find<QLineEdit>(*window, "行数")->text(), "25");
    EXPECT_EQ(Find<QComboBox>(*window, "纸张")->currentIndex(), 4);
    EXPECT_TRUE(Find<QAbstractButton>(*window, "纸张方向0")->isChecked());
    EXPECT_TRUE(Find<QAbstractButton>(*window, "自定义列")->isChecked());
    EXPECT_TRUE(Find<QWidget>(*window, "奇列色")->isEnabled());
    EXPECT_FALSE(Find<QWidget>(*window, "奇行色")->isEnabled());
    EXPECT_TRUE(Find<QAbstractButton>(*window, "序号")->isChecked());

    // While a preview is open the window keeps its design values and empty lists.
    auto another = Open(true);
    EXPECT_EQ(Find<QLineEdit>(*another, "标题")->text(), "");
    EXPECT_TRUE(ItemsOf(*another, "显示列表框").empty());
}

TEST_F(PrintSettingsWindowTest, FormulaColumns) {
    auto window = Open();
    AddFormula(*window, "两倍", "[大小]*");
    EXPECT_EQ(asked.back().text, "公式设置有误！");
    AddFormula(*window, "类型", "[大小]*2");
    EXPECT_EQ(asked.back().text, "存在同名列！");
    AddFormula(*window, "两倍", "[大小]*2");
    ASSERT_EQ(window->FormulaColumns().size(), 1u);
    auto* list = Find<QTreeWidget>(*window, "自定义列表框");
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(1), "[大小]*2");
    // Adding does not touch the statistics list; an edit rebuilds it.
    EXPECT_EQ(ItemsOf(*window, "统计列表框").size(), 2u);
    list->setCurrentItem(list->topLevelItem(0));
    window->SetFormulaDialogRunner([](FormulaDialog& dialog) {
        dialog.findChild<QLineEdit*>("公式编辑框")->setText("[大小]*3");
        dialog.Confirm();
        return dialog.result();
    });
    window->EditFormula();
    EXPECT_EQ(list->topLevelItem(0)->text(1), "[大小]*3");
    EXPECT_EQ(ItemsOf(*window, "统计列表框").back().text, "两倍");
    window->DeleteFormula();
    EXPECT_TRUE(window->FormulaColumns().empty());
    EXPECT_EQ(ItemsOf(*window, "统计列表框").size(), 2u);
    window->DeleteFormula();
    EXPECT_EQ(asked.back().text, "没有选择任何要删除的列名！");
}

TEST_F(PrintSettingsWindowTest, PreviewOpensAfterTheBuildOnAWorker) {
    QWidget owner;
    ListReportCommands::Services services;
    const ReportSource source = SmallList(300);
    services.source = [&] { return source; };
    services.settingsFile = dir / kPrintSettingsFileName;
    services.ask = [this](const std::string& text, unsigned style, const std::string& title) {
        asked.push_back({text, style, title});
        return answer;
    };
    ListReportCommands commands(services, &owner);
    commands.OpenPrintSettings();
    ASSERT_NE(commands.SettingsWindow(), nullptr);
    QSignalSpy opened(&commands, &ListReportCommands::previewOpened);
    commands.SettingsWindow()->findChild<QAbstractButton*>("打印预览")->click();
    EXPECT_TRUE(commands.IsBuilding());
    commands.FinishBuild();
    ASSERT_EQ(opened.count(), 1);
    ASSERT_NE(commands.Preview(), nullptr);
    EXPECT_EQ(commands.Preview()->windowTitle(), "打印预览");
    QTest::qWait(0);
    EXPECT_EQ(commands.SettingsWindow(), nullptr);  // closed when the preview opens
    commands.Preview()->close();
    QTest::qWait(0);
    EXPECT_EQ(commands.Preview(), nullptr);
}

TEST_F(PrintSettingsWindowTest, DecliningToShrinkBringsTheSettingsBack) {
    QWidget owner;
    ListReportCommands::Services services;
    ReportSource source = SmallList(3);
    source.columns[0].widthPixels = 5000;
    services.source = [&] { return source; };
    services.settingsFile = dir / kPrintSettingsFileName;
    services.ask = [this](const std::string& text, unsigned style, const std::string& title) {
        asked.push_back({text, style, title});
        return 1;  // 取消
    };
    ListReportCommands commands(services, &owner);
    commands.OpenPrintSettings();
    commands.SettingsWindow()->findChild<QTabWidget*>("选择夹1")->setCurrentIndex(2);
    commands.SettingsWindow()->findChild<QAbstractButton*>("打印预览")->click();
    commands.FinishBuild();
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.back().style, 0x21u);
    EXPECT_EQ(asked.back().title, "询问");
    EXPECT_EQ(commands.Preview(), nullptr);
    ASSERT_NE(commands.SettingsWindow(), nullptr);
    EXPECT_TRUE(commands.SettingsWindow()->isVisible());
    EXPECT_EQ(commands.SettingsWindow()->findChild<QTabWidget*>("选择夹1")->currentIndex(), 0);
}

}  // namespace
}  // namespace varnel
