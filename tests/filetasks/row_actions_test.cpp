#include "filetasks/row_actions.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "filetasks/shortcut_file.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::TempDir;
namespace fs = std::filesystem;

// Writes a file, making its folders first.
void Put(const TempDir& dir, const std::string& name, const std::string& bytes) {
    fs::create_directories(fs::path(dir / name).parent_path());
    dir.Write(name, bytes);
}

TEST(RowActions, MoveNeverReplacesAndFailedRowsStay) {
    TempDir dir;
    Put(dir, "src/one.txt", "1");
    Put(dir, "src/two.txt", "2");
    Put(dir, "src/three/inner.txt", "3");
    Put(dir, "to/two.txt", "already here");
    const std::string target = dir / "to/";
    std::vector<bool> leaves;
    for (const char* name : {"one.txt", "two.txt", "three"}) {
        const auto moved = RunRowAction(RowAction::Move, dir / "src/" + name, target);
        leaves.push_back(moved.value_or(false));
        if (!moved) {
            EXPECT_EQ(moved.error().code, EEXIST) << name;
        }
    }
    EXPECT_EQ(leaves, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(dir.Read("to/two.txt"), "already here");
    EXPECT_EQ(dir.Read("src/two.txt"), "2");
    EXPECT_EQ(dir.Read("to/one.txt"), "1");
    EXPECT_EQ(dir.Read("to/three/inner.txt"), "3");

    // Copies keep their rows and refuse the same way; a folder never goes into itself.
    EXPECT_EQ(RunRowAction(RowAction::Copy, dir / "src/two.txt", target).error().code, EEXIST);
    EXPECT_EQ(dir.Read("to/two.txt"), "already here");
    EXPECT_FALSE(RunRowAction(RowAction::Copy, dir / "to", dir / "to/three/").has_value());
    EXPECT_EQ(RunRowAction(RowAction::Copy, dir / "to/one.txt", dir / "src/"), false);
    EXPECT_EQ(dir.Read("src/one.txt"), "1");
}

TEST(RowActions, DeleteNeverFollowsLinks) {
    TempDir dir;
    Put(dir, "outside/keep.txt", "keep");
    Put(dir, "row/a.txt", "a");
    Put(dir, "row/sub/b.txt", "b");
    fs::create_directory_symlink(dir / "outside", dir / "row/link");
    fs::create_directory_symlink(dir / "outside", dir / "linkrow");
    EXPECT_EQ(CountFilesInFolder(dir / "row"), 2);  // the linked folder is not entered
    EXPECT_EQ(CountFilesInFolder(dir / "linkrow"), 0);

    EXPECT_EQ(RunRowAction(RowAction::Delete, dir / "linkrow", {}), true);
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "linkrow")));
    EXPECT_EQ(RunRowAction(RowAction::Delete, dir / "row", {}), true);
    EXPECT_FALSE(fs::exists(dir / "row"));
    EXPECT_EQ(dir.Read("outside/keep.txt"), "keep");
    EXPECT_FALSE(RunRowAction(RowAction::Delete, dir / "missing", {}).has_value());
}

TEST(RowActions, SpecialFoldersAreRefused) {
    TempDir home;
    Put(home, "docs/x.txt", "x");
    struct Case {
        std::string path;
        bool refused;
    };
    const Case cases[] = {
        {"/", true}, {"/usr", true}, {"/etc/", true}, {"/proc", true}, {home.Path(), true}, {home.Path() + "/", true},
        {home / "docs", false}, {home / "docs/x.txt", false}, {home / "missing", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(!CheckPathMayBeDeleted(c.path, home.Path()).has_value(), c.refused) << c.path;
    }
    // A link to the home folder is only a link.
    fs::create_directory_symlink(home.Path(), home / "docs/home-link");
    EXPECT_TRUE(CheckPathMayBeDeleted(home / "docs/home-link", home.Path()).has_value());
}

TEST(RowActions, RecycleLandsInTheTrash) {
    TempDir data;
    ::setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
    TempDir dir;
    Put(dir, "waste.txt", "w");
    const auto trashed = RunRowAction(RowAction::Recycle, dir / "waste.txt", {});
    if (!trashed && fs::exists(dir / "waste.txt")) {
        ::unsetenv("XDG_DATA_HOME");
        GTEST_SKIP() << "no trash on this file system: " << trashed.error().message;
    }
    ASSERT_TRUE(trashed.has_value());
    EXPECT_TRUE(*trashed);
    EXPECT_FALSE(fs::exists(dir / "waste.txt"));
    // The home trash when the file lived on the home file system, else the volume's own.
    const bool inHomeTrash = fs::exists(data / "Trash/info/waste.txt.trashinfo");
    bool inVolumeTrash = false;
    for (const auto& entry : fs::directory_iterator("/tmp")) {
        if (entry.path().filename().string().starts_with(".Trash-")) {
            inVolumeTrash = inVolumeTrash || fs::exists(entry.path() / "info/waste.txt.trashinfo");
        }
    }
    EXPECT_TRUE(inHomeTrash || inVolumeTrash);
    ::unsetenv("XDG_DATA_HOME");
}

TEST(RowActions, ShortcutsAndUniqueFolderNames) {
    TempDir dir;
    Put(dir, "things/song.mp3", "m");
    fs::create_directory(dir / "links");
    EXPECT_EQ(RunRowAction(RowAction::CreateShortcut, dir / "things", dir / "links/"), false);
    EXPECT_EQ(RunRowAction(RowAction::CreateShortcut, dir / "things/song.mp3", dir / "links/"), false);
    EXPECT_EQ(GetShortcutTarget(dir / "links/things.lnk"), dir / "things");
    ShortcutProperties p;
    std::string link = dir / "links/song.mp3.lnk";
    ASSERT_TRUE(ReadShortcutProperties(link, p));
    EXPECT_EQ(p.targetPath, dir / "things/song.mp3");
    EXPECT_EQ(p.description, "song.mp3(创建：Varnel更名)");
    const auto again = RunRowAction(RowAction::CreateShortcut, dir / "things", dir / "links/");
    ASSERT_FALSE(again.has_value());
    EXPECT_EQ(again.error().code, EEXIST);

    const std::string base = dir / "Varnel文件夹";
    std::vector<std::string> made;
    for (int i = 0; i < 3; ++i) {
        made.push_back(UniqueFolderName(base));
        fs::create_directory(made.back());
    }
    EXPECT_EQ(made, (std::vector<std::string>{base, base + " (1)", base + " (2)"}));
    EXPECT_EQ(RunRowAction(RowAction::RemoveFromList, dir / "things", {}), true);
    EXPECT_TRUE(fs::exists(dir / "things"));
}

TEST(RowActions, PromptsAndQuestions) {
    EXPECT_EQ(RowActionFolderPrompt(RowAction::Move, 3), "将被选定的 3 个文件和文件夹移动到");
    EXPECT_EQ(RowActionFolderPrompt(RowAction::CreateShortcut, 1), "创建被选定的 1 个文件和文件夹的快捷方式");
    EXPECT_EQ(RowActionFolderPrompt(RowAction::Delete, 1), "");
    EXPECT_EQ(RowActionQuestion(RowAction::Delete), "您确定要将文件彻底删除吗？（删除后无法从回收站恢复）");
    EXPECT_EQ(RowActionQuestion(RowAction::Move), "");
}

}  // namespace
}  // namespace varnel
