// Rename runs over loaded folder trees: folders are renamed before the rows inside
// them, which must still find their files; undo gives the tree back.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>

#include <gtest/gtest.h>

#include "filetasks/path_task.h"
#include "naming/replace_name.h"
#include "renames/rename_task.h"
#include "renames/text_rename_runners.h"
#include "support/dispatched_run.h"
#include "support/notice_recorder.h"
#include "support/temp_dir.h"
#include "support/tree_state.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

// Every entry's inode and mode by its path inside `root`.
std::map<std::string, std::pair<ino_t, mode_t>> Inodes(const std::string& root) {
    std::map<std::string, std::pair<ino_t, mode_t>> inodes;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        struct stat info {};
        EXPECT_EQ(::lstat(entry.path().c_str(), &info), 0);
        inodes[fs::relative(entry.path(), root).string()] = {info.st_ino, info.st_mode};
    }
    return inodes;
}

struct TreeRename : ::testing::Test {
    TreeRename() {
        // Three levels of folders; each folder's row comes before the rows inside it,
        // as a walk that lists folders first loads them.
        const char* entries[] = {"top/",         "top/mid/",      "top/mid/low/", "top/mid/low/a.txt",
                                 "top/mid/b.txt", "top/c.dat",     "top/side/",    "top/side/d",
                                 "top2/",        "top2/e.txt"};
        for (const std::string entry : entries) {
            const bool folder = entry.back() == '/';
            const std::string path = work + "/" + entry;
            if (folder) {
                fs::create_directory(path);
                ::chmod(path.c_str(), 0750);
            } else {
                std::ofstream(path) << "bytes of " << entry;
                ::chmod(path.c_str(), 0604);
            }
            const fs::path relative = folder ? entry.substr(0, entry.size() - 1) : entry;
            const std::string parent = relative.parent_path().string();
            run.store.AppendRow(work + "/" + (parent.empty() ? "" : parent + "/"), relative.filename().string(),
                                RowFacts{.isFolder = folder}, 0);
        }
        testing::CopyTreeAside(work, dir / "before");
        inodesBefore = Inodes(work);
    }

    void ExpectNoFailedRow() {
        EXPECT_TRUE(run.dispatcher.LastFailures().empty());
        for (const std::string& cell : testing::ColumnCells(run.store, ListColumn::Preview)) {
            EXPECT_FALSE(cell.starts_with(kStatusFailed)) << cell;
        }
    }

    void UndoAndCompare() {
        ASSERT_TRUE(run.UndoLast());
        testing::ExpectSameTree(dir / "before", work);
        EXPECT_EQ(Inodes(work), inodesBefore);
    }

    testing::NoticeRecorder notices;
    testing::TempDir dir;
    const std::string work = [this] {
        fs::create_directory(dir / "work");
        return dir / "work";
    }();
    testing::DispatchedRun run;
    std::map<std::string, std::pair<ino_t, mode_t>> inodesBefore;
};

TEST_F(TreeRename, FoldersRenamedFirstTakeTheRowsBelowThemAlongAndUndoGivesTheTreeBack) {
    run.tasks.RegisterRunner<CommonRenameParams>(kTaskCommonRename, RunCommonRenameTask);
    CommonRenameParams params;
    params.newMainName = "item";
    run.Run(kTaskCommonRename, TaskParameters::Of(params), true);
    ExpectNoFailedRow();
    // Every row names its file where it is now, under the renamed folders.
    std::size_t renamed = 0;
    for (std::size_t row = 0; row < run.store.RowCount(); ++row) {
        const std::string path = run.store.FullPath(row);
        EXPECT_TRUE(path.starts_with(work + "/item")) << path;
        EXPECT_TRUE(fs::exists(fs::symlink_status(path))) << path;
        renamed += run.store.Name(row).starts_with("item") ? 1 : 0;
    }
    EXPECT_EQ(renamed, run.store.RowCount());
    EXPECT_EQ(run.current.renames.size(), run.store.RowCount());
    UndoAndCompare();
}

TEST_F(TreeRename, AFolderMovedByThePathTaskTakesTheRowsBelowItAlong) {
    run.tasks.RegisterRunner<PathTaskParams>(kTaskPathTransfer, [](RunContext& context, RunRows& rows,
                                                           const PathTaskParams& params) {
        RunPathTask(context, rows, params, nullptr);
    });
    fs::create_directory(dir / "moved");
    PathTaskParams params;
    params.mode = PathMode::Move;
    params.newFolder = dir / "moved";
    run.Run(kTaskPathTransfer, TaskParameters::Of(params), true);
        ExpectNoFailedRow();
    for (std::size_t row = 0; row < run.store.RowCount(); ++row) {
        const std::string path = run.store.FullPath(row);
        EXPECT_TRUE(fs::exists(fs::symlink_status(path))) << path;
    }
    // Each row moved on its own into the new folder, out of the folder moved before it.
    for (std::size_t row = 0; row < run.store.RowCount(); ++row) EXPECT_EQ(run.store.Folder(row), dir / "moved/");
    EXPECT_TRUE(fs::is_empty(work));
    UndoAndCompare();
}

TEST_F(TreeRename, AFolderMovedByAWholePathReplaceTakesTheRowsBelowItAlong) {
    run.tasks.RegisterRunner<ReplaceParams>(kTaskReplace, RunReplaceTask);
    ReplaceParams params;
    params.wholePath = true;
    params.caseSensitive = true;
    params.findText = "/top";
    params.replacement = "/T0P";
    run.Run(kTaskReplace, TaskParameters::Of(params), true);
    ExpectNoFailedRow();
    for (std::size_t row = 0; row < run.store.RowCount(); ++row) {
        const std::string path = run.store.FullPath(row);
        EXPECT_TRUE(path.starts_with(work + "/T0P")) << path;
        EXPECT_TRUE(fs::exists(fs::symlink_status(path))) << path;
    }
    UndoAndCompare();
}

}  // namespace
}  // namespace varnel
