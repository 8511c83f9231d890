#include "filetasks/create_task.h"

#include <filesystem>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "content_run.h"
#include "support/faulty_posix.h"
#include "support/notice_recorder.h"
#include "support/dispatched_run.h"
#include "support/temp_dir.h"
#include "support/tree_state.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> PathsOf(const CreateOutcome& outcome) {
    std::vector<std::string> paths;
    for (const CreatedListRow& row : outcome.rows) paths.push_back(row.path);
    return paths;
}

// A work folder, a copy of it aside, and one create run.
struct CreateRun {
    explicit CreateRun(RunMode mode = RunMode::Execute, RunSettings settings = {}) {
        fs::create_directories(work);
        run.emplace(dir, mode, std::move(settings));
    }
    void SetAside() { testing::CopyTreeAside(work, dir / "before"); }
    CreateOutcome Run(const CreateTaskParams& params, PosixApi& os = SystemPosix()) {
        CreateOutcome outcome;
        RunRows rows = run->Rows();
        RunCreateTask(*run->run, rows, params, &outcome, os);
        return outcome;
    }
    void UndoAndCompare() {
        EXPECT_TRUE(run->Undo().failedPaths.empty());
        testing::ExpectSameTree(dir / "before", work);
    }

    testing::NoticeRecorder notices;
    testing::TempDir dir;
    const std::string work = dir / "work";
    std::optional<testing::ContentRun> run;
};

// Two target folders that do not exist yet, a name and an existing folder: the
// name becomes an empty file in each, the folder is copied into each, and the
// list holds exactly those four paths.
TEST(CreateTask, ThisListIntoThatListWithTwoTargets) {
    CreateRun t;
    fs::create_directories(t.work + "/src/deep");
    t.dir.Write("work/src/deep/x.txt", "x");
    t.SetAside();
    CreateTaskParams params;
    params.sourceItems = {"a.txt", t.work + "/src/"};
    params.targetFolders = {"  " + t.work + "/t1 ", t.work + "/t2/", ""};
    const CreateOutcome outcome = t.Run(params);
    EXPECT_EQ(PathsOf(outcome), (std::vector<std::string>{t.work + "/t1/a.txt", t.work + "/t1/src",
                                                          t.work + "/t2/a.txt", t.work + "/t2/src"}));
    EXPECT_EQ(t.dir.Read("work/t1/a.txt"), "");
    EXPECT_EQ(fs::file_size(t.work + "/t2/a.txt"), 0u);
    EXPECT_EQ(t.dir.Read("work/t2/src/deep/x.txt"), "x");
    EXPECT_TRUE(t.run->run->FailedPaths().empty());
    EXPECT_TRUE(t.run->run->Record().copyFlag);
    EXPECT_TRUE(t.notices.Notices().empty());
    t.UndoAndCompare();
}

// Names are used as typed: ":" is an ordinary character here. A name that cannot
// be one fails, is counted and listed; a line that is no absolute path is skipped
// and counted.
TEST(CreateTask, NamesAndLinesThatCannotBeMade) {
    CreateRun t;
    t.SetAside();
    CreateTaskParams params;
    params.sourceItems = {"a:b", "..", "x/y", "", "ok"};
    params.targetFolders = {t.work + "/t", "relative/folder"};
    params.createFile = false;
    const CreateOutcome outcome = t.Run(params);
    EXPECT_EQ(PathsOf(outcome), (std::vector<std::string>{t.work + "/t/a:b", t.work + "/t/ok"}));
    EXPECT_TRUE(fs::is_directory(t.work + "/t/a:b"));
    EXPECT_EQ(outcome.skippedLines, 1u);
    EXPECT_EQ(t.run->run->FailedPaths(), (std::vector<std::string>{t.work + "/t/..", t.work + "/t/x/y"}));
    EXPECT_EQ(t.notices.Notices(), std::vector<std::string>{SkippedLinesNotice(1)});
    t.UndoAndCompare();
}

// An existing path is listed but not recorded: its content survives the run and
// the undo. Only what this run made goes.
TEST(CreateTask, AnExistingPathIsListedButNeverRecorded) {
    CreateRun t;
    fs::create_directories(t.work + "/old");
    t.dir.Write("work/keep.txt", "mine");
    t.SetAside();
    CreateTaskParams params;
    params.method = CreateMethod::AbsolutePaths;
    params.absolutePaths = {t.work + "/keep.txt", t.work + "/new/made.txt", t.work + "/old/", "not/absolute", ""};
    const CreateOutcome outcome = t.Run(params);
    EXPECT_EQ(PathsOf(outcome), (std::vector<std::string>{t.work + "/keep.txt", t.work + "/new/made.txt",
                                                          t.work + "/old"}));
    EXPECT_EQ(t.dir.Read("work/keep.txt"), "mine");
    EXPECT_EQ(outcome.skippedLines, 1u);
    const UndoRecord& record = t.run->run->Record();
    ASSERT_EQ(record.transfers.size(), 1u);
    EXPECT_EQ(record.transfers[0].newPath, t.work + "/new/made.txt");
    ASSERT_EQ(record.createdFolders.size(), 1u);
    EXPECT_EQ(record.createdFolders[0].path, t.work + "/new");
    t.UndoAndCompare();
}

// "*" is the running number; meta-variables that need no file are expanded.
TEST(CreateTask, DynamicPathsWithLimitThree) {
    CreateRun t;
    t.SetAside();
    CreateTaskParams params;
    params.method = CreateMethod::DynamicPaths;
    params.dynamicTemplate = t.work + "/x/file_*.txt";
    params.dynamicLimit = 3;
    EXPECT_EQ(PathsOf(t.Run(params)), (std::vector<std::string>{t.work + "/x/file_1.txt", t.work + "/x/file_2.txt",
                                                                t.work + "/x/file_3.txt"}));
    EXPECT_TRUE(fs::exists(t.work + "/x/file_3.txt"));
    EXPECT_FALSE(fs::exists(t.work + "/x/file_4.txt"));
    t.UndoAndCompare();

    CreateRun folders;
    params.dynamicTemplate = folders.work + "/n_#递进/";
    params.createFile = false;
    params.dynamicLimit = 2;
    const CreateOutcome made = folders.Run(params);
    ASSERT_EQ(made.rows.size(), 2u);
    EXPECT_TRUE(made.rows[1].isFolder);
    EXPECT_TRUE(fs::is_directory(made.rows[1].path)) << made.rows[1].path;
}

// A limit below 1 or above the cap makes nothing and leaves the list; an
// auto-preview covers only its own rows, so a high limit does not stop it.
TEST(CreateTask, TheDynamicLimitIsCapped) {
    const struct {
        RunMode mode;
        std::int64_t limit;
        std::int64_t cap;
        bool ran;
        std::size_t rows;
        const char* notice;
    } cases[] = {
        {RunMode::Execute, 0, kDynamicLimitCap, false, 0, kDynamicLimitTooSmall},
        {RunMode::FullPreview, 0, kDynamicLimitCap, false, 0, nullptr},
        {RunMode::Execute, kDynamicLimitCap + 1, kDynamicLimitCap, false, 0, "cap"},
        {RunMode::FullPreview, kDynamicLimitCap + 1, kDynamicLimitCap, false, 0, nullptr},
        {RunMode::AutoPreview, 1000000, kDynamicLimitCap, true, 20, nullptr},
        {RunMode::FullPreview, 12000, 12000, true, 12000, nullptr},
    };
    for (const auto& c : cases) {
        CreateRun t(c.mode);
        t.SetAside();
        CreateTaskParams params;
        params.method = CreateMethod::DynamicPaths;
        params.dynamicTemplate = t.work + "/f*";
        params.dynamicLimit = c.limit;
        params.dynamicCap = c.cap;
        const CreateOutcome outcome = t.Run(params);
        EXPECT_EQ(outcome.ran, c.ran) << c.limit;
        EXPECT_EQ(outcome.rows.size(), c.rows) << c.limit;
        std::vector<std::string> notices;
        if (c.notice != nullptr) {
            notices.push_back(std::string(c.notice) == "cap" ? DynamicLimitRefusal(c.cap) : c.notice);
        }
        EXPECT_EQ(t.notices.Notices(), notices) << c.limit;
        testing::ExpectSameTree(t.dir / "before", t.work);
    }
}

// Every method's preview lists what it would make, by kind, and changes nothing.
TEST(CreateTask, APreviewTouchesNoDisk) {
    CreateRun t(RunMode::FullPreview);
    fs::create_directories(t.work + "/src");
    t.SetAside();
    CreateTaskParams lists;
    lists.sourceItems = {"a.txt", t.work + "/src"};
    lists.targetFolders = {t.work + "/t"};
    CreateOutcome outcome = t.Run(lists);
    ASSERT_EQ(outcome.rows.size(), 2u);
    EXPECT_EQ(outcome.rows[0].path, t.work + "/t/a.txt");
    EXPECT_FALSE(outcome.rows[0].isFolder);
    EXPECT_TRUE(outcome.rows[1].isFolder);
    CreateTaskParams absolute;
    absolute.method = CreateMethod::AbsolutePaths;
    absolute.createFile = false;
    absolute.absolutePaths = {t.work + "/p/q"};
    outcome = t.Run(absolute);
    ASSERT_EQ(outcome.rows.size(), 1u);
    EXPECT_TRUE(outcome.rows[0].isFolder);
    CreateTaskParams dynamic;
    dynamic.method = CreateMethod::DynamicPaths;
    dynamic.dynamicTemplate = t.work + "/d*";
    dynamic.dynamicLimit = 5;
    EXPECT_EQ(t.Run(dynamic).rows.size(), 5u);
    testing::ExpectSameTree(t.dir / "before", t.work);
    EXPECT_TRUE(t.run->run->Record().transfers.empty());
}

// Paths the system refuses are counted and listed with their reason. A new file
// whose close fails is there but not reported as made: undo still takes it away.
TEST(CreateTask, RefusedPathsAreListedAsFailures) {
    using Call = testing::FaultyPosix::Call;
    for (const testing::FaultyPosix::Fault fault : {testing::FaultyPosix::Fault{Call::Open, EACCES},
                                                    testing::FaultyPosix::Fault{Call::Close, EIO}}) {
        SCOPED_TRACE(static_cast<int>(fault.call));
        CreateRun t;
        t.SetAside();
        testing::FaultyPosix os;
        os.Fail(fault);
        CreateTaskParams params;
        params.method = CreateMethod::AbsolutePaths;
        params.absolutePaths = {t.work + "/a.txt", t.work + "/b.txt"};
        const CreateOutcome outcome = t.Run(params, os);
        EXPECT_TRUE(outcome.rows.empty());
        EXPECT_EQ(outcome.made, 0u);
        EXPECT_EQ(t.run->run->FailedPaths(), params.absolutePaths);
        EXPECT_EQ(t.run->run->FailureReasons(), std::vector<std::string>(2, SystemErrorReason(fault.error)));
        if (fault.call == Call::Open) testing::ExpectSameTree(t.dir / "before", t.work);
        t.UndoAndCompare();
    }
}

TEST(CreateTask, ListsAreSplitAtLineBreaks) {
    EXPECT_EQ(SplitCreateList("a\r\nb\n\r\nc"), (std::vector<std::string>{"a", "b", "", "c"}));
    EXPECT_TRUE(SplitCreateList("").empty());
}

// Through the dispatcher: preview changes nothing, execute makes the files, and
// undo leaves the folder as it was.
TEST(CreateTask, RoundTripThroughTheDispatcher) {
    testing::NoticeRecorder notices;
    testing::TempDir dir;
    const std::string work = dir / "work";
    fs::create_directories(work + "/src");
    dir.Write("work/src/s.txt", "source");
    ::chmod((work + "/src/s.txt").c_str(), 0640);
    testing::CopyTreeAside(work, dir / "before");

    testing::DispatchedRun d;
    std::vector<std::string> listed;
    d.tasks.RegisterRunner<CreateTaskParams>(kTaskCreate, [&listed](RunContext& run, RunRows& rows,
                                                                    const CreateTaskParams& params) {
        CreateOutcome outcome;
        RunCreateTask(run, rows, params, &outcome);
        listed = PathsOf(outcome);
    });
    CreateTaskParams params;
    params.sourceItems = {"new.txt", work + "/src/s.txt"};
    params.targetFolders = {work + "/t1", work + "/t2"};

    d.Run(kTaskCreate, TaskParameters::Of(params), false);
    EXPECT_EQ(listed.size(), 4u);
    testing::ExpectSameTree(dir / "before", work);

    d.Run(kTaskCreate, TaskParameters::Of(params), true);
    EXPECT_TRUE(d.dispatcher.LastFailures().empty());
    EXPECT_EQ(dir.Read("work/t2/s.txt"), "source");
    ASSERT_EQ(d.history.size(), 1u);
    ASSERT_EQ(d.host.outcomes.size(), 2u);
    EXPECT_TRUE(d.host.outcomes[1].statusText.ends_with("；" + CreateSummaryText(4, 0)))
        << d.host.outcomes[1].statusText;

    // Run again, everything is there: nothing is made, and the status says why.
    d.Run(kTaskCreate, TaskParameters::Of(params), true);
    EXPECT_TRUE(d.host.outcomes[2].statusText.ends_with("；新建 0 项，4 项已存在（未改动）"))
        << d.host.outcomes[2].statusText;
    EXPECT_EQ(d.history.size(), 1u);
    EXPECT_TRUE(d.UndoLast());
    testing::ExpectSameTree(dir / "before", work);
}

}  // namespace
}  // namespace varnel
