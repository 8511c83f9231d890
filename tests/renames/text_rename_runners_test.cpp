#include "renames/text_rename_runners.h"

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "naming/delete_insert_name.h"
#include "naming/replace_name.h"
#include "runs/rename_step.h"
#include "runs/run_dispatcher.h"
#include "runs/undo_replay.h"
#include "support/faulty_posix.h"
#include "support/notice_recorder.h"
#include "support/pumping_run_host.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

using Host = testing::PumpingRunHost;

// Every file's bytes, mode, size and modification time, and every folder's mode.
std::map<std::string, std::string> Snapshot(const std::string& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        struct stat info {};
        EXPECT_EQ(::lstat(entry.path().c_str(), &info), 0);
        std::string facts = std::to_string(info.st_mode);
        if (!S_ISDIR(info.st_mode)) {
            std::ifstream in(entry.path(), std::ios::binary);
            facts += " " + std::to_string(info.st_size) + " " + std::to_string(info.st_mtim.tv_sec) + "." +
                     std::to_string(info.st_mtim.tv_nsec) + " " +
                     std::string(std::istreambuf_iterator<char>(in), {});
        }
        files[fs::relative(entry.path(), root).string()] = facts;
    }
    return files;
}

struct RoundTrip : ::testing::Test {
    RoundTrip() {
        fs::create_directories(work + "/old/inner");
        const char* names[] = {"AaAa.txt", "A-B.mp3", "中文名字.txt", "old/x.dat", "old/inner/y.dat"};
        int i = 0;
        for (const char* name : names) {
            const std::string path = work + "/" + name;
            std::ofstream(path, std::ios::binary) << "content of " << name;
            ::chmod(path.c_str(), i % 2 == 0 ? 0640 : 0604);
            const timespec times[2] = {{1'000'000 + i, 0}, {2'000'000 + i * 7, 123456789}};
            ::utimensat(AT_FDCWD, path.c_str(), times, 0);
            ++i;
        }
        EXPECT_EQ(std::system(("cp -a '" + work + "' '" + dir / "before" + "'").c_str()), 0);
        before = Snapshot(work);
        tasks.RegisterRunner<ReplaceParams>(kTaskReplace, RunReplaceTask);
        tasks.RegisterRunner<RegexReplaceParams>(kTaskRegexRename, RunRegexReplaceTask);
        tasks.RegisterRunner<DeleteParams>(kTaskDelete, RunDeleteTextTask);
        tasks.RegisterRunner<InsertParams>(kTaskInsert, RunInsertTextTask);
    }

    void LoadRows() {
        store.Clear();
        store.AppendRow(work + "/", "AaAa.txt", {}, 0);
        store.AppendRow(work + "/", "A-B.mp3", {}, 0);
        store.AppendRow(work + "/", "中文名字.txt", {}, 0);
        store.AppendRow(work + "/old/", "x.dat", {}, 0);
        if (withFolderRow) store.AppendRow(work + "/old/", "inner", RowFacts{.isFolder = true}, 0);
    }

    void Run(int task, TaskParameters parameters, bool execute) {
        host.Run(dispatcher, task, std::move(parameters), execute);
    }
    std::vector<std::string> Column(ListColumn column) { return testing::ColumnCells(store, column); }

    // Preview changes nothing on disk; execute gives these names (or, with
    // folders, these folders); undo brings back every byte, name, mode and time.
    void PreviewExecuteUndo(int task, const TaskParameters& parameters, const std::vector<std::string>& previews,
                            const std::vector<std::string>& names, const std::vector<std::string>& folders = {}) {
        LoadRows();
        Run(task, parameters, false);
        EXPECT_EQ(Column(ListColumn::Preview), previews);
        EXPECT_EQ(Snapshot(work), before);
        Run(task, parameters, true);
        EXPECT_EQ(Column(ListColumn::Name), names);
        if (!folders.empty()) {
            EXPECT_EQ(Column(ListColumn::Folder), folders);
        }
        EXPECT_TRUE(dispatcher.LastFailures().empty());
        for (std::size_t row = 0; row < names.size(); ++row) {
            EXPECT_TRUE(fs::exists(store.GetCellText(row, ListColumn::Folder) + store.GetCellText(row, ListColumn::Name))) << names[row];
        }
        auto record = TakeUndoRecord(history);
        ASSERT_TRUE(record.has_value());
        // Only the rows that moved are recorded; unchanged paths are not.
        if (!folders.empty()) {
            const auto moved = std::count_if(folders.begin(), folders.end(),
                                             [](const std::string& f) { return f.find("/new/") != std::string::npos; });
            EXPECT_EQ(record->transfers.size(), static_cast<std::size_t>(moved));
        }
        EXPECT_TRUE(ReplayUndoRecord(*record, {}).failedPaths.empty());
        EXPECT_EQ(Snapshot(work), before);
        EXPECT_EQ(std::system(("diff -r '" + dir / "before" + "' '" + work + "'").c_str()), 0);
    }

    bool withFolderRow = false;
    testing::NoticeRecorder notices;
    testing::TempDir dir;
    const std::string work = dir / "work";
    std::map<std::string, std::string> before;
    RunControl control;
    RowStore store;
    TaskRegistry tasks;
    UndoRecord current;
    std::vector<UndoRecord> history;
    Host host;
    RunDispatcher dispatcher{{control, store, tasks, nullptr, current, history}, host};
};

TEST_F(RoundTrip, Replace) {
    ReplaceParams p;
    p.findText = "a";
    p.replacement = "b";
    p.count = 2;
    PreviewExecuteUndo(2, TaskParameters::Of(p), {"bbAa.txt", "b-B.mp3", "中文名字.txt", "x.dbt"},
                       {"bbAa.txt", "b-B.mp3", "中文名字.txt", "x.dbt"});
}

TEST_F(RoundTrip, RegexPresetOnTheMainName) {
    RegexReplaceParams p;
    p.expression = LoadRegexPresets()[0].pattern;
    p.replacement = LoadRegexPresets()[0].replacement;
    host.settings.nameScope = NameScope::Main;
    const int compiled = RenameRegexCache().CompileCount();
    PreviewExecuteUndo(3, TaskParameters::Of(p), {"AaAa.txt", "A - B.mp3", "中文名字.txt", "x.dat"},
                       {"AaAa.txt", "A - B.mp3", "中文名字.txt", "x.dat"});
    // Compiled once for both runs and all their rows.
    EXPECT_LE(RenameRegexCache().CompileCount(), compiled + 1);
}

TEST_F(RoundTrip, DeleteAndInsertWithAMetaVariable) {
    DeleteParams d;
    d.keyOrPosition = "2";
    d.deleteLeft = false;
    host.settings.nameScope = NameScope::Main;
    PreviewExecuteUndo(4, TaskParameters::Of(d), {"Aa.txt", "A-.mp3", "中文.txt", "x.dat"}, {"Aa.txt", "A-.mp3", "中文.txt", "x.dat"});
    InsertParams i;
    i.position = 1;
    i.byBytes = false;
    i.text = "#扩展名_";  // expanded per row by the rename step
    host.settings.nameScope = NameScope::Whole;
    PreviewExecuteUndo(7, TaskParameters::Of(i), {"txt_AaAa.txt", "mp3_A-B.mp3", "txt_中文名字.txt", "dat_x.dat"},
                       {"txt_AaAa.txt", "mp3_A-B.mp3", "txt_中文名字.txt", "dat_x.dat"});
}

TEST_F(RoundTrip, WholePathMovesAndCopiesIntoNewFolders) {
    withFolderRow = true;
    for (bool copy : {false, true}) {
        for (int task : {2, 3}) {
            TaskParameters parameters;
            if (task == 2) {
                ReplaceParams p;
                p.findText = "/old/";
                p.replacement = "/new/deep/";
                p.wholePath = true;
                p.copy = copy;
                p.scope = NamePart::WholeName;  // the runner takes the whole path
                parameters = TaskParameters::Of(p);
            } else {
                RegexReplaceParams p;
                p.expression = "/old/";
                p.replacement = "/new/deep/";
                p.wholePath = true;
                p.copy = copy;
                parameters = TaskParameters::Of(p);
            }
            // Rows whose path does not change stay as they are, with no undo entry.
            PreviewExecuteUndo(task, parameters,
                               {work + "/AaAa.txt", work + "/A-B.mp3", work + "/中文名字.txt", work + "/new/deep/x.dat",
                                work + "/new/deep/inner"},
                               {"AaAa.txt", "A-B.mp3", "中文名字.txt", "x.dat", "inner"},
                               {work + "/", work + "/", work + "/", work + "/new/deep/", work + "/new/deep/"});
            EXPECT_TRUE(fs::exists(work + "/old/inner/y.dat"));
            EXPECT_FALSE(fs::exists(work + "/new")) << "created folders are removed";
        }
    }
}

TEST_F(RoundTrip, WholePathRefusals) {
    LoadRows();
    store.AppendRow(work + "/", "old", {}, 0);
    std::ofstream(work + "/taken.txt") << "taken";
    before = Snapshot(work);
    RegexReplaceParams p;
    p.wholePath = true;
    // An existing target, a relative path, a path ending in "/", a folder into itself.
    struct Case {
        const char* expression;
        const char* replacement;
        std::size_t row;
        const char* reason;
    };
    const Case cases[] = {
        {"AaAa\\.txt$", "taken.txt", 0, kTargetExists},
        {"^.*/A-B\\.mp3$", "A-B.mp3", 1, kNotAWholePath},
        {"中文名字\\.txt$", "", 2, kNotAWholePath},
        {"/old$", "/old/sub", 4, kIntoItself},
    };
    for (const Case& c : cases) {
        p.expression = c.expression;
        p.replacement = c.replacement;
        Run(3, TaskParameters::Of(p), false);
        // A path that is no absolute path to a name shows as failed; the others show
        // the path, and fail only when executed.
        const bool malformed = c.row == 1 || c.row == 2;
        EXPECT_EQ(store.GetCellText(c.row, ListColumn::Preview).starts_with(kStatusFailed), malformed) << c.expression;
        Run(3, TaskParameters::Of(p), true);
        EXPECT_EQ(store.GetCellText(c.row, ListColumn::Preview), std::string(kStatusFailed) + " " + c.reason);
        ASSERT_EQ(dispatcher.LastFailures().size(), 1u) << c.expression;
        EXPECT_EQ(dispatcher.LastFailures()[0], store.GetCellText(c.row, ListColumn::Folder) + store.GetCellText(c.row, ListColumn::Name));
        EXPECT_EQ(Snapshot(work), before) << c.expression;
    }
    EXPECT_TRUE(history.empty());
    // A path is used as the replacement made it: meta-variables stay as they are.
    p.expression = "x\\.dat$";
    p.replacement = "#扩展名";
    Run(3, TaskParameters::Of(p), false);
    EXPECT_EQ(store.GetCellText(3, ListColumn::Preview), work + "/old/#扩展名");
}

// A move or copy that fails leaves the source where it was; undo removes the
// folders made for it.
TEST_F(RoundTrip, FailedMoveOrCopyKeepsTheSource) {
    const std::pair<bool, testing::FaultyPosix::Call> cases[] = {
        {false, testing::FaultyPosix::Call::Renameat2},
        {true, testing::FaultyPosix::Call::Write},
    };
    for (const auto& [copy, call] : cases) {
        LoadRows();
        testing::FaultyPosix os;
        os.Fail(call, EACCES);
        RunControl runControl;
        ASSERT_TRUE(runControl.TryBegin(TaskKind::Execute));
        RunContext run(RunMode::Execute, kTaskReplace, {}, runControl);
        RunRows rows(store, store.RowIds());
        PathChangeStep step(run, rows, copy, os);
        EXPECT_FALSE(step.ChangeRowPath(3, work + "/old/x.dat", work + "/new/deep/x.dat"));
        EXPECT_EQ(run.FailedPaths(), (std::vector<std::string>{work + "/old/x.dat"}));
        EXPECT_EQ(store.GetCellText(3, ListColumn::Folder), work + "/old/");
        UndoRecord record = run.TakeRecord();
        EXPECT_TRUE(record.transfers.empty());
        EXPECT_EQ(record.copyFlag, copy);
        EXPECT_TRUE(ReplayUndoRecord(record, {}).failedPaths.empty());
        EXPECT_FALSE(fs::exists(work + "/new"));
        EXPECT_EQ(Snapshot(work), before);
        runControl.End();
    }
}

TEST_F(RoundTrip, BadExpressionsChangeNothingAndRunawayMatchesFailTheirRow) {
    LoadRows();
    store.AppendRow(work + "/", std::string(40, 'a') + "!", {}, 0);
    RegexReplaceParams p;
    p.replacement = "z";
    for (const char* expression : {"", "(unclosed"}) {
        p.expression = expression;
        Run(3, TaskParameters::Of(p), true);
        EXPECT_EQ(Snapshot(work), before);
        EXPECT_TRUE(dispatcher.LastFailures().empty());
    }
    p.expression = "(a+)+$|\\.txt";
    Run(3, TaskParameters::Of(p), false);
    // The preview says why, as the execute run does.
    EXPECT_TRUE(store.GetCellText(4, ListColumn::Preview).starts_with(std::string(kStatusFailed) + " 正则表达式匹配失败"))
        << store.GetCellText(4, ListColumn::Preview);
    EXPECT_EQ(store.GetCellText(0, ListColumn::Preview), "AaAaz");
    Run(3, TaskParameters::Of(p), true);
    EXPECT_EQ(dispatcher.LastFailures(), (std::vector<std::string>{work + "/" + std::string(40, 'a') + "!"}));
    EXPECT_EQ(store.GetCellText(0, ListColumn::Name), "AaAaz");
}

}  // namespace
}  // namespace varnel
