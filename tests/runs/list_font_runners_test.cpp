#include "runs/list_font_runners.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "naming/list_font_name.h"
#include "platform/font_face_name.h"
#include "runs/run_dispatcher.h"
#include "runs/undo_replay.h"
#include "support/notice_recorder.h"
#include "support/pumping_run_host.h"
#include "support/temp_dir.h"
#include "support/tree_state.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// Files in a temporary folder, a copy of them aside, and the dispatcher that runs
// the two tasks on the list of those files.
struct ListFontRoundTrip : ::testing::Test {
    ListFontRoundTrip() {
        fs::create_directories(work);
        tasks.RegisterRunner<NameListParams>(kTaskNameList, RunNameListTask);
        tasks.RegisterRunner<FontNameParams>(kTaskFontName, RunFontNameTask);
    }

    void Prepare(const std::vector<std::string>& names) {
        for (const std::string& name : names) {
            store.AppendRow(work + "/", name, {}, 0);
            std::ofstream(work + "/" + name) << "bytes of " << name;
        }
        ::chmod((work + "/" + names[0]).c_str(), 0600);
    }

    void Run(int task, TaskParameters parameters, bool execute) { host.Run(dispatcher, task, std::move(parameters), execute); }
    std::vector<std::string> Column(ListColumn column) { return testing::ColumnCells(store, column); }

    // Preview shows previews and touches nothing; execute gives names; undo brings
    // the folder back as the copy holds it.
    void PreviewExecuteUndo(int task, const TaskParameters& parameters, const std::vector<std::string>& previews,
                            const std::vector<std::string>& names) {
        testing::CopyTreeAside(work, dir / "before");
        Run(task, parameters, false);
        EXPECT_EQ(Column(ListColumn::Preview), previews);
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

// Three lines for five rows: the lines go to the first three rows in list order,
// an empty line keeps its row's name, and rows past the list are not previewed.
TEST_F(ListFontRoundTrip, NameListThreeLinesForFiveRows) {
    Prepare({"e.mp3", "d.mp3", "c.mp3", "b.mp3", "a.mp3"});
    NameListParams p;
    p.names = "Chapter 1\r\n\nChapter 3\n";
    host.settings.nameScope = NameScope::Main;
    PreviewExecuteUndo(kTaskNameList, TaskParameters::Of(p), {"Chapter 1.mp3", "d.mp3", "Chapter 3.mp3", "", ""},
                       {"Chapter 1.mp3", "d.mp3", "Chapter 3.mp3", "b.mp3", "a.mp3"});
}

TEST_F(ListFontRoundTrip, NameListWithATemplateOnWholeNames) {
    Prepare({"x.txt", "y.txt"});
    NameListParams p;
    p.names = "one\ntwo\nthree";  // more lines than rows
    p.useTemplate = true;
    p.pattern = "?-#扩展名";  // the rename step expands meta-variables per row
    PreviewExecuteUndo(kTaskNameList, TaskParameters::Of(p), {"one-txt", "two-txt"}, {"one-txt", "two-txt"});
}

TEST_F(ListFontRoundTrip, FontNamesAndFilesThatAreNoFonts) {
    Prepare({"b.ttf", "a.txt"});
    fs::copy_file(kDejaVuSans, work + "/font.ttf");
    store.AppendRow(work + "/", "font.ttf", {}, 0);
    const std::string face = GetFontFaceName(kDejaVuSans);
    ASSERT_FALSE(face.empty());
    FontNameParams p;
    host.settings.nameScope = NameScope::Main;
    PreviewExecuteUndo(kTaskFontName, TaskParameters::Of(p), {"b.ttf", "a.txt", face + ".ttf"},
                       {"b.ttf", "a.txt", face + ".ttf"});
}

}  // namespace
}  // namespace varnel
