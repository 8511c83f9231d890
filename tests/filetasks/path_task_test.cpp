#include "filetasks/path_task.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "content_run.h"
#include "filetasks/list_export.h"
#include "filetasks/shortcut_file.h"
#include "runs/recorded_transfer.h"
#include "runs/rename_step.h"
#include "support/dispatched_run.h"
#include "support/temp_dir.h"
#include "support/tree_state.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

// The run's settings as the program loads them: #目录路径 is the row's own folder.
RunSettings LoadedSettings() {
    RunSettings settings;
    settings.meta.directoryPath.level = 1;
    return settings;
}

// A tree with one file and one folder, a copy of it aside, and the run over its rows.
struct PathRun {
    explicit PathRun(RunMode mode = RunMode::Execute) {
        fs::create_directories(work + "/d/sub");
        dir.Write("work/d/a.txt", "alpha");
        dir.Write("work/d/sub/inner.txt", "inner");
        testing::CopyTreeAside(work, dir / "before");
        run.emplace(dir, mode, LoadedSettings());
    }
    void Run(const PathTaskParams& params, std::vector<std::string> rowsOf = {"a.txt"}) {
        for (const std::string& name : rowsOf) run->AddRow(work + "/d", name);
        RunRows rows = run->Rows();
        RunPathTask(*run->run, rows, params, &created);
    }
    void UndoAndCompare() {
        EXPECT_TRUE(run->Undo().failedPaths.empty());
        testing::ExpectSameTree(dir / "before", work);
    }

    testing::TempDir dir;
    const std::string work = dir / "work";
    std::optional<testing::ContentRun> run;
    std::vector<std::string> created;
};

// The four kinds of work with the default template: each makes what it should in
// /…/d/a/, marks the row, lists what it made, and undo leaves the tree as it was.
TEST(PathTask, EveryModeWithTheDefaultTemplate) {
    struct Case {
        PathMode mode;
        const char* made;  // below work/d/a/
        bool listed;
    };
    const Case cases[] = {
        {PathMode::Copy, "a.txt", false},
        {PathMode::Move, "a.txt", false},
        {PathMode::Shortcut, "a.txt.lnk", true},
        {PathMode::StarterScript, "a.txt.sh", true},
        {PathMode::FoldersOnly, "", true},
    };
    for (const Case& c : cases) {
        PathRun t;
        PathTaskParams params;
        params.mode = c.mode;
        params.relativePath = false;
        t.Run(params);
        const std::string source = t.work + "/d/a.txt";
        const std::string made = t.work + "/d/a" + (*c.made ? std::string("/") + c.made : "");
        SCOPED_TRACE(made);
        EXPECT_EQ(t.run->Status(0), kStatusDone);
        EXPECT_TRUE(fs::exists(made));
        EXPECT_EQ(fs::exists(source), c.mode != PathMode::Move);
        EXPECT_TRUE(t.run->run->FailedPaths().empty());
        EXPECT_EQ(t.created, c.listed ? std::vector<std::string>{made} : std::vector<std::string>{});
        // The new folder is recorded as made by this run.
        const UndoRecord& record = t.run->run->Record();
        ASSERT_EQ(record.createdFolders.size(), 1u);
        EXPECT_EQ(record.createdFolders[0].path, t.work + "/d/a");
        EXPECT_EQ(record.copyFlag, c.mode != PathMode::Move);
        switch (c.mode) {
            case PathMode::Copy: EXPECT_EQ(t.dir.Read("work/d/a/a.txt"), "alpha"); break;
            case PathMode::Move:
                // The row follows its file, so a second run works on the new place.
                EXPECT_EQ(t.run->store.Folder(0), t.work + "/d/a/");
                break;
            case PathMode::Shortcut: {
                std::string link = made;
                ShortcutProperties properties;
                ASSERT_TRUE(ReadShortcutProperties(link, properties));
                EXPECT_EQ(properties.targetPath, source);
                EXPECT_EQ(properties.description, "a(创建:Varnel更名)");
                break;
            }
            case PathMode::StarterScript:
                EXPECT_EQ(t.dir.Read("work/d/a/a.txt.sh"),
                          std::string(kStarterScriptHeader) + FormatStarterLine(source) + "\n");
                EXPECT_EQ(ModeOf(made), 0755u);
                break;
            case PathMode::FoldersOnly: EXPECT_TRUE(fs::is_directory(made)); break;
        }
        t.UndoAndCompare();
    }
}

// The script runs under sh and opens the path through whatever xdg-open is on PATH;
// run from any folder of the same file system, a mount-relative script opens the
// same file, and a name starting with "-" is never handed over as an option.
TEST(PathTask, StarterScriptOpensThePathThroughXdgOpen) {
    for (const bool relative : {false, true}) {
        PathRun t;
        const std::string stub = t.dir / "stub";
        fs::create_directory(stub);
        t.dir.Write("stub/xdg-open", "#!/bin/sh\n[ -e \"$1\" ] || exit 3\nprintf '%s' \"$1\" > \"$OPENED\"\n");
        ::chmod((stub + "/xdg-open").c_str(), 0755);
        fs::rename(t.work + "/d/a.txt", t.work + "/d/-n it's a.txt");  // an option's dash, a quote
        PathTaskParams params;
        params.mode = PathMode::StarterScript;
        params.relativePath = relative;
        params.newFolder = t.work + "/scripts";
        t.Run(params, {"-n it's a.txt"});
        const std::string target = t.work + "/d/-n it's a.txt";
        const std::string script = t.work + "/scripts/-n it's a.txt.sh";
        ASSERT_EQ(t.run->Status(0), kStatusDone);
        const std::string expected = relative ? "./" + PathRelativeToMountPoint(target) : target;
        const std::string command = "cd '" + stub + "' && OPENED='" + (t.dir / "opened") + "' PATH='" + stub +
                                    "':\"$PATH\" sh \"$SCRIPT\"";
        ASSERT_EQ(::setenv("SCRIPT", script.c_str(), 1), 0);
        ASSERT_EQ(std::system(command.c_str()), 0) << relative;
        ::unsetenv("SCRIPT");
        EXPECT_EQ(t.dir.Read("opened"), expected);
    }
}

// A folder row copied or moved with the default template would land inside
// itself: refused in the preview and in the execute, and nothing is made.
TEST(PathTask, AFolderIntoItselfIsRefused) {
    for (const RunMode mode : {RunMode::FullPreview, RunMode::Execute}) {
        for (const PathMode pathMode : {PathMode::Copy, PathMode::Move}) {
            PathRun t(mode);
            t.run->store.AppendRow(t.work + "/d", "sub", RowFacts{.isFolder = true}, 0);
            PathTaskParams params;
            params.mode = pathMode;
            RunRows rows = t.run->Rows();
            RunPathTask(*t.run->run, rows, params, &t.created);
            EXPECT_EQ(t.run->Status(0), std::string(kStatusFailed) + " " + kIntoItself);
            testing::ExpectSameTree(t.dir / "before", t.work);
            if (mode == RunMode::Execute) {
                EXPECT_EQ(t.run->run->FailedPaths(), std::vector<std::string>{t.work + "/d/sub"});
            }
        }
    }
    // Below the folder, with a template the list does not see through, the disk says so.
    PathRun t;
    fs::create_symlink(t.work + "/d/sub", t.work + "/d/link");
    t.run->store.AppendRow(t.work + "/d", "sub", RowFacts{.isFolder = true}, 0);
    PathTaskParams params;
    params.newFolder = t.work + "/d/link/deeper";
    RunRows rows = t.run->Rows();
    RunPathTask(*t.run->run, rows, params);
    EXPECT_EQ(t.run->Status(0), std::string(kStatusFailed) + " " + kIntoItself);
    EXPECT_FALSE(fs::exists(t.work + "/d/sub/deeper"));
}

// Shortcuts, scripts and copies never write over a path that is there; a folder
// that was there is not the run's to remove.
TEST(PathTask, NothingIsWrittenOverAndOnlyMadeFoldersAreRecorded) {
    const struct {
        PathMode mode;
        const char* existing;
    } cases[] = {
        {PathMode::Shortcut, "a.txt.lnk"},
        {PathMode::StarterScript, "a.txt.sh"},
        {PathMode::Copy, "a.txt"},
    };
    for (const auto& c : cases) {
        PathRun t;
        fs::create_directory(t.work + "/d/a");
        t.dir.Write(std::string("work/d/a/") + c.existing, "mine");
        testing::CopyTreeAside(t.work, t.dir / "had");
        PathTaskParams params;
        params.mode = c.mode;
        t.Run(params);
        EXPECT_EQ(t.run->Status(0), std::string(kStatusFailed) + " " + kTargetExists) << c.existing;
        EXPECT_EQ(t.dir.Read(std::string("work/d/a/") + c.existing), "mine");
        EXPECT_TRUE(t.created.empty());
        EXPECT_TRUE(t.run->Undo().failedPaths.empty());
        testing::ExpectSameTree(t.dir / "had", t.work);
    }
    PathRun t;
    fs::create_directory(t.work + "/d/a");
    t.dir.Write("work/d/a/keep.txt", "mine");
    PathTaskParams params;
    params.mode = PathMode::FoldersOnly;
    t.Run(params);
    EXPECT_EQ(t.run->Status(0), kStatusDone);
    EXPECT_EQ(t.created, std::vector<std::string>{t.work + "/d/a"});
    EXPECT_TRUE(t.run->run->Record().transfers.empty());
    EXPECT_TRUE(t.run->run->Record().createdFolders.empty());
}

TEST(PathTask, APreviewShowsWhatWouldBeMadeAndTouchesNothing) {
    const struct {
        PathMode mode;
        const char* shown;  // after work/d/
    } cases[] = {
        {PathMode::Copy, "a/a.txt"},        {PathMode::Move, "a/a.txt"},
        {PathMode::Shortcut, "a/a.txt.lnk"}, {PathMode::StarterScript, "a/a.txt.sh"},
        {PathMode::FoldersOnly, "a"},
    };
    for (const auto& c : cases) {
        PathRun t(RunMode::FullPreview);
        PathTaskParams params;
        params.mode = c.mode;
        t.Run(params);
        EXPECT_EQ(t.run->Status(0), t.work + "/d/" + c.shown);
        testing::ExpectSameTree(t.dir / "before", t.work);
        EXPECT_TRUE(t.created.empty());
    }
    // A template that is not an absolute path fails the row.
    PathRun t(RunMode::FullPreview);
    PathTaskParams params;
    params.newFolder = "#主名";
    t.Run(params);
    EXPECT_EQ(t.run->Status(0), std::string(kStatusFailed) + " " + kNewFolderNotAbsolute);
}

// Through the dispatcher: the preview changes nothing, the execute moves with
// the default template, and undo brings back every byte, mode and time.
TEST(PathTask, RoundTripThroughTheDispatcher) {
    testing::TempDir dir;
    const std::string work = dir / "work";
    fs::create_directories(work + "/d");
    dir.Write("work/d/a.txt", "alpha");
    dir.Write("work/d/b.txt", "beta");
    ::chmod((work + "/d/b.txt").c_str(), 0600);
    testing::CopyTreeAside(work, dir / "before");

    testing::DispatchedRun d;
    d.host.settings = LoadedSettings();
    d.tasks.RegisterRunner<PathTaskParams>(kTaskPathTransfer, [](RunContext& run, RunRows& rows,
                                                                 const PathTaskParams& params) {
        RunPathTask(run, rows, params);
    });
    d.store.AppendRow(work + "/d", "a.txt", {}, 0);
    d.store.AppendRow(work + "/d", "b.txt", {}, 0);
    PathTaskParams params;
    params.mode = PathMode::Move;

    d.Run(kTaskPathTransfer, TaskParameters::Of(params), false);
    EXPECT_EQ(testing::ColumnCells(d.store, ListColumn::Preview),
              (std::vector<std::string>{work + "/d/a/a.txt", work + "/d/b/b.txt"}));
    testing::ExpectSameTree(dir / "before", work);

    d.Run(kTaskPathTransfer, TaskParameters::Of(params), true);
    EXPECT_TRUE(d.dispatcher.LastFailures().empty());
    EXPECT_EQ(dir.Read("work/d/b/b.txt"), "beta");
    EXPECT_FALSE(fs::exists(work + "/d/a.txt"));
    ASSERT_EQ(d.history.size(), 1u);
    EXPECT_TRUE(d.UndoLast());
    testing::ExpectSameTree(dir / "before", work);
}

}  // namespace
}  // namespace varnel
