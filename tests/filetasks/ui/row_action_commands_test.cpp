#include "filetasks/ui/row_action_commands.h"

#include <QItemSelectionModel>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "filelist/ui/filter_bar.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"
#include "utilities/user_notifier.h"

namespace varnel {
namespace {

using testing::TempDir;
namespace fs = std::filesystem;

struct RowCommandsFixture : ::testing::Test {
    RowCommandsFixture() : panel(globals, filterBar), commands(globals, panel, Services()) {}

    RowActionCommands::Services Services() {
        RowActionCommands::Services s;
        s.status = [this](std::optional<std::int64_t>, const std::string& message) { statuses.push_back(message); };
        s.pickFolder = [this](const std::string& prompt, const std::string&) {
            prompts.push_back(prompt);
            return chosenFolder;
        };
        s.ask = [this](const std::string& text, unsigned) {
            questions.push_back(text);
            return answer;
        };
        s.treeFolder = [this] { return dir.Path(); };
        return s;
    }

    void AddRows(const std::vector<std::string>& names) {
        for (const std::string& name : names) globals.gListRows.AppendRow(dir.Path(), name, {}, 0);
        panel.Model().SyncRowCount();
    }
    void Select(const std::vector<int>& rows) {
        for (int row : rows) {
            panel.View().selectionModel()->select(panel.Model().index(row, 0),
                                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (std::size_t row = 0; row < globals.gListRows.RowCount(); ++row) names.push_back(globals.gListRows.Name(row));
        return names;
    }

    ListGlobals globals;
    FilterBar filterBar;
    FileListPanel panel;
    RowActionCommands commands;
    TempDir dir;
    std::vector<std::string> statuses, prompts, questions;
    std::string chosenFolder;
    int answer = kAnswerOk;
};

TEST_F(RowCommandsFixture, MoveTakesOffOnlyTheRowsThatMoved) {
    for (const char* name : {"1.txt", "2.txt", "3.txt"}) dir.Write(name, name);
    fs::create_directory(dir / "to");
    dir.Write("to/2.txt", "there already");
    AddRows({"1.txt", "2.txt", "3.txt"});
    Select({0, 1, 2});
    chosenFolder = dir / "to";
    commands.RunSelectedRowsAction(RowAction::Move);
    EXPECT_EQ(prompts, (std::vector<std::string>{"将被选定的 3 个文件和文件夹移动到"}));
    EXPECT_EQ(Names(), (std::vector<std::string>{"2.txt"}));
    EXPECT_EQ(dir.Read("to/2.txt"), "there already");
    EXPECT_EQ(globals.gLastTargetFolder, dir / "to/");
    ASSERT_FALSE(statuses.empty());
    EXPECT_TRUE(statuses.back().starts_with("执行完毕，1 个失败")) << statuses.back();
    EXPECT_FALSE(globals.gRunControl.IsActive());
}

TEST_F(RowCommandsFixture, NothingSelectedOrCancelledChangesNothing) {
    dir.Write("a.txt", "a");
    AddRows({"a.txt"});
    commands.RunSelectedRowsAction(RowAction::Delete);
    EXPECT_EQ(statuses, (std::vector<std::string>{"请先选定再操作，OK？"}));
    EXPECT_TRUE(questions.empty());

    Select({0});
    answer = kAnswerCancel;
    commands.RunSelectedRowsAction(RowAction::Delete);
    EXPECT_EQ(questions.size(), 1u);
    chosenFolder = "";
    commands.RunSelectedRowsAction(RowAction::Copy);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt"}));
    EXPECT_TRUE(fs::exists(dir / "a.txt"));
    EXPECT_FALSE(globals.gRunControl.IsActive());
}

TEST_F(RowCommandsFixture, DeletingAFolderAsksWithItsFileCount) {
    fs::create_directories(dir / "F/sub");
    dir.Write("F/a", "1");
    dir.Write("F/sub/b", "2");
    AddRows({"F"});
    Select({0});
    answer = kAnswerOk;
    commands.RunSelectedRowsAction(RowAction::Delete);
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[1], "文件夹 F 中还有 2 个文件，确定要连同它们一起彻底删除吗？");
    EXPECT_FALSE(fs::exists(dir / "F"));
    EXPECT_TRUE(Names().empty());
}

TEST_F(RowCommandsFixture, NewFoldersGetNumberedNames) {
    for (int i = 0; i < 3; ++i) commands.CreateFolderInCurrentDir();
    EXPECT_EQ(Names(), (std::vector<std::string>{"Varnel文件夹", "Varnel文件夹 (1)", "Varnel文件夹 (2)"}));
    EXPECT_TRUE(fs::is_directory(dir / "Varnel文件夹 (2)"));
}

}  // namespace
}  // namespace varnel
