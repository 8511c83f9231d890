#include "tools/list_merge.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "support/faulty_posix.h"
#include "support/temp_dir.h"
#include "tools/merge_output.h"

namespace varnel {
namespace {

using testing::TempDir;

TEST(MergeLists, TemplateTakesOneLineOfEachGroup) {
    struct Case {
        const char* name;
        const char* lineTemplate;
        std::vector<std::string> groups;
        const char* result;
    };
    const Case cases[] = {
        {"second group padded", "a*b*c", {"x\ny", "1"}, "axb1c\naybc"},
        {"first group empty", "a*b*c", {"", "1\n2"}, ""},
        {"second group cut", "a*b*c", {"x", "1\r\n2"}, "axb1c"},
        {"star brought in by a line", "a*b*c", {"x*\ny", "1\n2"}, "ax1b*c\nayb2c"},
        {"fewer stars than groups", "<*>", {"x", "1", "2"}, "<x>"},
        {"more stars than groups", "*-*-*", {"x"}, "x-*-*"},
        {"final line break starts no line", "[*]", {"x\ny\n"}, "[x]\n[y]"},
        {"no groups", "*", {}, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MergeLists(c.lineTemplate, c.groups), c.result) << c.name;
    }
}

TEST(MergeGroupListTest, AddDeleteAndClear) {
    MergeGroupList list;
    list.Add();
    list.SetCurrentText("only");
    list.DeleteCurrent();  // the only group
    EXPECT_TRUE(list.groups.empty());
    EXPECT_EQ(list.current, -1);
    EXPECT_EQ(list.CurrentText(), "");
    list.DeleteCurrent();  // nothing current: nothing happens
    list.SetCurrentText("lost");
    EXPECT_TRUE(list.groups.empty());

    for (const char* text : {"a", "b", "c"}) {
        list.Add();
        list.SetCurrentText(text);
    }
    list.current = 1;
    list.DeleteCurrent();
    EXPECT_EQ(list.groups, (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(list.CurrentText(), "c");  // the one now at its place
    list.DeleteCurrent();  // the last: the first becomes current
    EXPECT_EQ(list.current, 0);
    EXPECT_EQ(list.CurrentText(), "a");
    list.Clear();
    EXPECT_TRUE(list.groups.empty());
    EXPECT_EQ(list.current, -1);
}

TEST(ListMergeSettingsTest, GroupsRoundTripWithLineBreaks) {
    TempDir dir;
    ListMergeSettings saved;
    saved.lineTemplate = "<li>*</li>";
    saved.lastFolder = "/tmp/out/";
    saved.groups = {"x\ny", "", "1"};
    {
        SettingsStore store;
        store.SetFile(dir / "m.ini");
        LoadOrSaveListMergeSettings(store, saved, true);
        ASSERT_TRUE(store.Flush().has_value());
    }
    EXPECT_NE(dir.Read("m.ini").find("组1=x;;;y"), std::string::npos);
    SettingsStore store;
    store.SetFile(dir / "m.ini");
    ListMergeSettings loaded;
    LoadOrSaveListMergeSettings(store, loaded, false);
    EXPECT_EQ(loaded.lineTemplate, saved.lineTemplate);
    EXPECT_EQ(loaded.lastFolder, saved.lastFolder);
    EXPECT_EQ(loaded.groups, saved.groups);

    ListMergeSettings fresh;
    SettingsStore empty;
    empty.SetFile(dir / "none.ini");
    LoadOrSaveListMergeSettings(empty, fresh, false);
    EXPECT_EQ(fresh.lineTemplate, kDefaultMergeTemplate);
    EXPECT_TRUE(fresh.groups.empty());
}

TEST(MergeOutput, NumberedFilesAreUtf8LinesAndExistingOnesAreCounted) {
    TempDir dir;
    dir.Write("2.txt", "old");
    EXPECT_EQ(CountExistingNumberedFiles(dir.Path(), 3), 1);
    EXPECT_EQ(CountExistingNumberedFiles(dir.Path(), 1), 0);
    const NumberedSaveOutcome outcome = SaveNumberedLines(dir.Path() + "/", "第一\nsecond\r\nthird");
    EXPECT_EQ(outcome.written, 3);
    EXPECT_TRUE(outcome.failures.empty());
    EXPECT_EQ(dir.Read("1.txt"), "第一");
    EXPECT_EQ(dir.Read("2.txt"), "second");
    EXPECT_EQ(dir.Read("3.txt"), "third");
}

TEST(MergeOutput, WriteFailuresAreReportedEachWithItsPath) {
    TempDir dir;
    const NumberedSaveOutcome outcome = SaveNumberedLines(dir / "missing", "a\nb");
    EXPECT_EQ(outcome.written, 0);
    ASSERT_EQ(outcome.failures.size(), 2u);
    EXPECT_EQ(outcome.failures[0].path, dir / "missing/1.txt");
    EXPECT_FALSE(SaveMergeResult(dir / "missing/r.txt", "x").has_value());
    ASSERT_TRUE(SaveMergeResult(dir / "r.txt", "x\ny").has_value());
    EXPECT_EQ(dir.Read("r.txt"), "x\ny");
}

}  // namespace
}  // namespace varnel
