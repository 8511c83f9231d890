#include "filetasks/ui/list_export_dialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::TempDir;
namespace fs = std::filesystem;

struct ListExportDialogTest : ::testing::Test {
    ListExportDialogTest() {
        testing::TestApplication();
        globals.gSettings = std::make_unique<SettingsStore>();
        globals.gSettings->SetFile(dir / "settings.ini");
        fs::create_directories(dir / "files");
        for (const char* name : {"a.txt", "b c.txt", "it's.txt"}) {
            dir.Write(std::string("files/") + name, "x");
            globals.gListRows.AppendRow(dir / "files", name, {}, 0);
        }
        dialog = MakeDialog();
    }
    std::unique_ptr<ListExportDialog> MakeDialog() {
        ListExportDialog::Services s;
        s.setClipboard = [this](const std::string& text) {
            clipboard = text;
            return clipboardWorks;
        };
        s.notice = [this](const std::string& text) { notices.push_back(text); };
        s.chooseFile = [this](bool script) {
            askedForScript = script;
            return chosenFile;
        };
        s.openFile = [this](const std::string& path) { opened.push_back(path); };
        s.selectedRows = [this] { return selected; };
        return std::make_unique<ListExportDialog>(globals, s, nullptr);
    }
    template <typename Widget>
    Widget* Control(const char* name) {
        return dialog->findChild<Widget*>(QString::fromUtf8(name));
    }
    void Check(const char* name, bool on) { Control<QCheckBox>(name)->setChecked(on); }
    std::string Path(int row) { return globals.gListRows.FullPath(static_cast<std::size_t>(row)); }

    TempDir dir;
    ListGlobals globals;
    std::unique_ptr<ListExportDialog> dialog;
    std::string clipboard = "untouched";
    bool clipboardWorks = true;
    std::vector<std::string> notices, opened;
    std::vector<std::size_t> selected;
    std::string chosenFile;
    bool askedForScript = false;
};

TEST_F(ListExportDialogTest, TheControlsFollowEachOther) {
    auto* expression = Control<QLineEdit>("编辑框表达式");
    auto* free = Control<QCheckBox>("选择框自由重组");
    auto* relative = Control<QCheckBox>("选择框相对路径");
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("导出或复制列表"));
    EXPECT_EQ(expression->text(), QStringLiteral("#9#1"));
    EXPECT_FALSE(expression->isEnabled());
    EXPECT_FALSE(relative->isEnabled());
    Check("选择框自由重组", true);
    EXPECT_TRUE(expression->isEnabled());
    // A starter script always writes the path: the expression has no say.
    Check("选择框导出Bat", true);
    EXPECT_FALSE(free->isEnabled());
    EXPECT_FALSE(expression->isEnabled());
    EXPECT_TRUE(relative->isEnabled());
    Check("选择框导出Bat", false);
    EXPECT_TRUE(expression->isEnabled());
}

TEST_F(ListExportDialogTest, CopiesLinesByTheChosenForm) {
    const std::string paths = Path(0) + "\n" + Path(1) + "\n" + Path(2) + "\n";
    Control<QPushButton>("按钮复制")->click();
    EXPECT_EQ(clipboard, paths);
    EXPECT_EQ(notices.back(), "复制成功！");

    // The designed expression gives the full path; a free one recombines columns.
    Check("选择框自由重组", true);
    dialog->ExportOrCopyList(true);
    EXPECT_EQ(clipboard, paths);
    Control<QLineEdit>("编辑框表达式")->setText(QStringLiteral("<#1>"));
    dialog->ExportOrCopyList(true);
    EXPECT_EQ(clipboard, "<a.txt>\n<b c.txt>\n<it's.txt>\n");

    // Only the selected rows; with none selected an empty text, still a success.
    Check("选择框仅选定", true);
    selected = {2};
    dialog->ExportOrCopyList(true);
    EXPECT_EQ(clipboard, "<it's.txt>\n");
    selected.clear();
    dialog->ExportOrCopyList(true);
    EXPECT_EQ(clipboard, "");
    EXPECT_EQ(notices.back(), "复制成功！");

    clipboardWorks = false;
    dialog->ExportOrCopyList(true);
    EXPECT_EQ(notices.back(), "复制失败！");
}

TEST_F(ListExportDialogTest, ExportsAStarterScriptThatTheShellAccepts) {
    Check("选择框导出Bat", true);
    Check("选择框自由重组", true);  // ignored for a script
    Check("选择框打开", true);
    chosenFile = dir / "open.sh";
    Control<QPushButton>("按钮导出")->click();
    EXPECT_TRUE(askedForScript);
    EXPECT_EQ(notices.back(), "导出成功！");
    ASSERT_EQ(opened, std::vector<std::string>{chosenFile});
    const std::string script = dir.Read("open.sh");
    EXPECT_EQ(script.rfind("#!/bin/sh\n", 0), 0u);
    EXPECT_NE(script.find("it'\\''s.txt"), std::string::npos);
    struct stat st{};
    ASSERT_EQ(::stat(chosenFile.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
    EXPECT_EQ(std::system(("sh -n '" + chosenFile + "'").c_str()), 0);
}

TEST_F(ListExportDialogTest, AFailedOrCancelledExportLeavesNothing) {
    Check("选择框打开", true);
    chosenFile.clear();  // cancelled: no notice, nothing written
    dialog->ExportOrCopyList(false);
    EXPECT_TRUE(notices.empty());

    chosenFile = dir / "missing/list.txt";
    dialog->ExportOrCopyList(false);
    ASSERT_FALSE(notices.empty());
    EXPECT_EQ(notices.back().rfind("导出失败！", 0), 0u);
    EXPECT_FALSE(fs::exists(chosenFile));
    EXPECT_TRUE(opened.empty());  // opened only after a success

    chosenFile = dir / "list.txt";
    dialog->ExportOrCopyList(false);
    EXPECT_EQ(notices.back(), "导出成功！");
    EXPECT_EQ(dir.Read("list.txt"), Path(0) + "\n" + Path(1) + "\n" + Path(2) + "\n");
}

TEST_F(ListExportDialogTest, ControlsComeBackFromTheSettingsSection) {
    Check("选择框仅选定", true);
    Check("选择框自由重组", true);
    Control<QLineEdit>("编辑框表达式")->setText(QStringLiteral("#1|#9"));
    Check("选择框打开", true);
    dialog->close();
    globals.gSettings->SelectSection("高级导出");
    EXPECT_EQ(globals.gSettings->ReadText("重组表达式"), "#1|#9");
    EXPECT_TRUE(globals.gSettings->ReadBool("被选定项目"));
    EXPECT_FALSE(globals.gSettings->ReadBool("导出为Bat", true));

    dialog = MakeDialog();
    EXPECT_TRUE(Control<QCheckBox>("选择框仅选定")->isChecked());
    EXPECT_TRUE(Control<QCheckBox>("选择框打开")->isChecked());
    EXPECT_EQ(Control<QLineEdit>("编辑框表达式")->text(), QStringLiteral("#1|#9"));
    EXPECT_TRUE(Control<QLineEdit>("编辑框表达式")->isEnabled());
}

// Esc closes the dialog without a close event; the settings are kept all the same.
TEST_F(ListExportDialogTest, EscKeepsTheSettingsToo) {
    dialog->show();
    Control<QLineEdit>("编辑框表达式")->setText(QStringLiteral("#2"));
    Check("选择框导出Bat", true);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    globals.gSettings->SelectSection("高级导出");
    EXPECT_EQ(globals.gSettings->ReadText("重组表达式"), "#2");
    EXPECT_TRUE(globals.gSettings->ReadBool("导出为Bat"));
}

}  // namespace
}  // namespace varnel
