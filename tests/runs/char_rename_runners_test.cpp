#include "runs/char_rename_runners.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "naming/char_classes.h"
#include "naming/convert_name.h"
#include "runs/run_dispatcher.h"
#include "runs/undo_replay.h"
#include "support/notice_recorder.h"
#include "support/pumping_run_host.h"
#include "support/temp_dir.h"
#include "support/tree_state.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

// Files in a temporary folder, a copy of them aside, and the dispatcher that runs
// the three tasks on the list of those files.
struct CharRenameRoundTrip : ::testing::Test {
    CharRenameRoundTrip() {
        fs::create_directories(work);
        tasks.RegisterRunner<ConvertOptions>(kTaskConvert, RunConvertTask);
        tasks.RegisterRunner<ClearCharsParams>(kTaskClearChars, RunClearCharactersTask);
        tasks.RegisterRunner<PinyinParams>(kTaskPinyinCase, RunPinyinTask);
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
                            const std::vector<std::string>& names, std::size_t failures = 0) {
        testing::CopyTreeAside(work, dir / "before");
        Run(task, parameters, false);
        EXPECT_EQ(Column(ListColumn::Preview), previews);
        testing::ExpectSameTree(dir / "before", work);
        Run(task, parameters, true);
        EXPECT_EQ(Column(ListColumn::Name), names);
        EXPECT_EQ(dispatcher.LastFailures().size(), failures);
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

TEST_F(CharRenameRoundTrip, ConvertNumeralsAndLetters) {
    Prepare({"第十二章.txt", "第3集.txt"});
    ConvertOptions o;
    o.digits = DigitConversion::NumeralsToDigits;
    host.settings.nameScope = NameScope::Main;
    PreviewExecuteUndo(kTaskConvert, TaskParameters::Of(o), {"第12章.txt", "第3集.txt"}, {"第12章.txt", "第3集.txt"});
}

// A codec result holding NUL bytes names no file: the row fails with its reason and
// keeps its name; the other row still converts (to bytes that read as GBK), and
// undo brings it back.
TEST_F(CharRenameRoundTrip, ConvertThatGivesNoNameFailsTheRow) {
    Prepare({"ab.txt", "中文.txt"});
    ConvertOptions o;
    o.codec = CodecConversion::AnsiToUnicode;
    host.settings.nameScope = NameScope::Main;
    testing::CopyTreeAside(work, dir / "before");
    Run(kTaskConvert, TaskParameters::Of(o), true);
    EXPECT_EQ(Column(ListColumn::Name)[0], "ab.txt");
    EXPECT_NE(Column(ListColumn::Name)[1], "中文.txt");
    ASSERT_EQ(dispatcher.LastFailures().size(), 1u);
    EXPECT_EQ(Column(ListColumn::Preview)[0], std::string("× ") + kConvertedNameHasNul);
    auto record = TakeUndoRecord(history);
    ASSERT_TRUE(record.has_value());
    EXPECT_TRUE(ReplayUndoRecord(*record, {}).failedPaths.empty());
    testing::ExpectSameTree(dir / "before", work);
}

TEST_F(CharRenameRoundTrip, ClearDigitsAndSpaces) {
    Prepare({"a1b2.txt", "x y 3.txt", "12.txt"});
    const std::vector<CharClassEntry>& classes = LoadCharClasses();
    std::vector<bool> checks(classes.size(), false);
    checks[0] = true;  // 半角常用符号
    checks[3] = true;  // 半角数字
    host.settings.nameScope = NameScope::Main;
    PreviewExecuteUndo(kTaskClearChars, TaskParameters::Of(MakeClearCharsParams(classes, checks)),
                       {"ab.txt", "xy.txt", "12.txt"}, {"ab.txt", "xy.txt", "12.txt"});
}

TEST_F(CharRenameRoundTrip, PinyinOfChineseNames) {
    Prepare({"中国abc.txt", "长安.txt", "readme.txt"});
    PinyinParams p;
    p.letterCase = PinyinCase::SyllablesUpper;
    p.separator = "-";
    host.settings.nameScope = NameScope::Main;
    PreviewExecuteUndo(kTaskPinyinCase, TaskParameters::Of(p), {"Zhong-Guoabc.txt", "Zhang-An.txt", "readme.txt"},
                       {"Zhong-Guoabc.txt", "Zhang-An.txt", "readme.txt"});
}

}  // namespace
}  // namespace varnel
