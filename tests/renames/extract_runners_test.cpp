#include "renames/extract_runners.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "runs/run_dispatcher.h"
#include "runs/undo_replay.h"
#include "support/notice_recorder.h"
#include "support/pumping_run_host.h"
#include "support/temp_dir.h"
#include "support/tree_state.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

// Files with their content in a temporary folder, a copy of them aside, and the
// dispatcher that runs the four tasks on the list of those files.
struct ExtractRoundTrip : ::testing::Test {
    ExtractRoundTrip() {
        fs::create_directories(work);
        tasks.RegisterRunner<ElementExtractParams>(kTaskExtractElement, RunExtractElementTask);
        tasks.RegisterRunner<PositionExtractParams>(kTaskExtractPosition, RunExtractPositionTask);
        tasks.RegisterRunner<LineExtractParams>(kTaskExtractLine, RunExtractLineTask);
        tasks.RegisterRunner<RegexExtractParams>(kTaskRegexExtract, RunRegexExtractTask);
    }

    void Prepare(const std::vector<std::pair<std::string, std::string>>& files) {
        for (const auto& [name, content] : files) {
            store.AppendRow(work + "/", name, {}, 0);
            std::ofstream(work + "/" + name, std::ios::binary) << content;
        }
        ::chmod((work + "/" + files[0].first).c_str(), 0600);
    }

    void Run(int task, TaskParameters parameters, bool execute) { host.Run(dispatcher, task, std::move(parameters), execute); }
    std::vector<std::string> Column(ListColumn column) { return testing::ColumnCells(store, column); }

    // Preview shows the new names and touches nothing; execute renames; undo brings
    // the folder back as the copy holds it.
    void PreviewExecuteUndo(int task, const TaskParameters& parameters, const std::vector<std::string>& names) {
        testing::CopyTreeAside(work, dir / "before");
        Run(task, parameters, false);
        EXPECT_EQ(Column(ListColumn::Preview), names);
        testing::ExpectSameTree(dir / "before", work);
        Run(task, parameters, true);
        EXPECT_EQ(Column(ListColumn::Name), names);
        EXPECT_TRUE(dispatcher.LastFailures().empty());
        for (const std::string& name : names) EXPECT_TRUE(fs::exists(work + "/" + name)) << name;
        auto record = TakeUndoRecord(history);
        ASSERT_TRUE(record.has_value());
        EXPECT_TRUE(ReplayUndoRecord(*record, {}).failedPaths.empty());
        testing::ExpectSameTree(dir / "before", work);
    }

    testing::NoticeRecorder notices;
    testing::TempDir dir;
    const std::string work = dir / "work";
    RunControl control;
    RowStore store;
    TaskRegistry tasks;
    UndoRecord current;
    std::vector<UndoRecord> history;
    testing::PumpingRunHost host;
    RunDispatcher dispatcher{{control, store, tasks, nullptr, current, history}, host};
};

TEST_F(ExtractRoundTrip, PageTitles) {
    Prepare({{"a.htm", "<title>First Page</title>"}, {"b.htm", "no title here"}});
    ElementExtractParams p;
    p.element1 = "<title>";
    p.element2 = "</title>";
    host.settings.nameScope = NameScope::Main;
    PreviewExecuteUndo(kTaskExtractElement, TaskParameters::Of(p), {"First Page.htm", "b.htm"});
}

TEST_F(ExtractRoundTrip, Positions) {
    Prepare({{"a.txt", "Report 2024 final"}, {"b.txt", "Memo"}});
    PositionExtractParams p;
    p.start = 8;
    p.end = 4;
    p.endIsCount = true;
    host.settings.nameScope = NameScope::Main;
    PreviewExecuteUndo(kTaskExtractPosition, TaskParameters::Of(p), {"2024.txt", "b.txt"});
}

TEST_F(ExtractRoundTrip, FirstLinesOfBooks) {
    Prepare({{"1.txt", "\xEF\xBB\xBF\r\n  第一章 开始\r\n正文"}, {"2.txt", ""}});
    LineExtractParams p;
    p.line = 0;
    p.emptyToNext = true;
    p.useTemplate = true;
    p.pattern = "?.txt";
    PreviewExecuteUndo(kTaskExtractLine, TaskParameters::Of(p), {"第一章 开始.txt", "2.txt"});
}

TEST_F(ExtractRoundTrip, RegularExpressionGroups) {
    Prepare({{"x.log", "build 1234 ok"}, {"y.log", "nothing"}});
    RegexExtractParams p;
    p.expression = "build (\\d+)";
    p.takeSubmatch = true;
    host.settings.nameScope = NameScope::Main;
    PreviewExecuteUndo(kTaskRegexExtract, TaskParameters::Of(p), {"1234.log", "y.log"});
}

}  // namespace
}  // namespace varnel
