#include "renames/char_rename_runners.h"

#include <gtest/gtest.h>

#include "naming/char_classes.h"
#include "naming/convert_name.h"
#include "support/rename_round_trip.h"

namespace varnel {
namespace {

// The dispatcher runs the tasks on the list of the fixture's files.
struct CharRenameRoundTrip : testing::RenameRoundTrip {
    CharRenameRoundTrip() {
        tasks.RegisterRunner<ConvertOptions>(kTaskConvert, RunConvertTask);
        tasks.RegisterRunner<ClearCharsParams>(kTaskClearChars, RunClearCharactersTask);
        tasks.RegisterRunner<PinyinParams>(kTaskPinyinCase, RunPinyinTask);
    }
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
    UndoAndCompare();
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
