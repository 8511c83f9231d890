// How rename runs read a name: a leading dot marks a hidden file and starts no
// extension, and a file's own name is never a template for the meta-variables.
// Each case runs through the dispatcher: preview, execute, undo to the same tree.
#include <filesystem>

#include <gtest/gtest.h>

#include "naming/delete_insert_name.h"
#include "naming/replace_name.h"
#include "renames/char_rename_runners.h"
#include "renames/rename_task.h"
#include "renames/text_rename_runners.h"
#include "support/rename_round_trip.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

struct NameRules : testing::RenameRoundTrip {
    NameRules() {
        tasks.RegisterRunner<CommonRenameParams>(kTaskCommonRename, RunCommonRenameTask);
        tasks.RegisterRunner<InsertParams>(kTaskInsert, RunInsertTextTask);
        tasks.RegisterRunner<ConvertOptions>(kTaskConvert, RunConvertTask);
        tasks.RegisterRunner<RegexReplaceParams>(kTaskRegexRename, RunRegexReplaceTask);
    }
};

const std::vector<std::string> kSplitNames = {".bashrc", ".hidden0", ".config.json", "a.b.c", "noext", "..x"};

TEST_F(NameRules, CommonTaskNumbersTheMainNameAndKeepsOnlyARealExtension) {
    Prepare(kSplitNames);
    CommonRenameParams params;
    params.newMainName = "w";
    const std::vector<std::string> names = {"w001", "w002", "w003.json", "w004.c", "w005", "w006"};
    PreviewExecuteUndo(kTaskCommonRename, TaskParameters::Of(params), names, names);
}

TEST_F(NameRules, CommonTaskGivesAHiddenFileAnExtensionAfterItsWholeName) {
    Prepare(kSplitNames);
    CommonRenameParams params;
    params.changeMainName = false;
    params.changeExtension = true;
    params.newExtension = "txt";
    const std::vector<std::string> names = {".bashrc.txt", ".hidden0.txt", ".config.txt",
                                            "a.b.txt",     "noext.txt",    "..x.txt"};
    PreviewExecuteUndo(kTaskCommonRename, TaskParameters::Of(params), names, names);
}

TEST_F(NameRules, InsertAtTheEndOfTheMainNameKeepsTheLeadingDot) {
    Prepare(kSplitNames);
    host.settings.nameScope = NameScope::Main;
    InsertParams params;
    params.text = "_i";
    params.fromLeft = false;
    const std::vector<std::string> names = {".bashrc_i", ".hidden0_i", ".config_i.json", "a.b_i.c", "noext_i", "..x_i"};
    PreviewExecuteUndo(kTaskInsert, TaskParameters::Of(params), names, names);
}

TEST_F(NameRules, ExtensionScopeLeavesAHiddenFileAlone) {
    Prepare(kSplitNames);
    host.settings.nameScope = NameScope::Extension;
    ConvertOptions options;
    options.letters = LetterConversion::Upper;
    const std::vector<std::string> names = {".bashrc", ".hidden0", ".config.JSON", "a.b.C", "noext", "..x"};
    PreviewExecuteUndo(kTaskConvert, TaskParameters::Of(options), names, names);
}

TEST_F(NameRules, AMetaTokenInAFileNameIsKeptLiterally) {
    Prepare({"x#主名y.txt", "#文件名.dat", "#目录名"});
    host.settings.metaSymbols = true;
    InsertParams params;
    params.text = "_";
    PreviewExecuteUndo(kTaskInsert, TaskParameters::Of(params), {"_x#主名y.txt", "_#文件名.dat", "_#目录名"},
                       {"_x#主名y.txt", "_#文件名.dat", "_#目录名"});
}

TEST_F(NameRules, TypedTextIsExpandedAndTheValueItBringsIsTakenAsItIs) {
    Prepare({"x#主名y.txt", "q$1.txt", "a*b?.txt"});
    host.settings.metaSymbols = true;
    host.settings.nameScope = NameScope::Main;
    // The typed "#主名" is the old main name, put in once; the token inside it stays.
    InsertParams insert;
    insert.text = "-#主名";
    insert.fromLeft = false;
    PreviewExecuteUndo(kTaskInsert, TaskParameters::Of(insert),
                       {"x#主名y-x#主名y.txt", "q$1-q$1.txt", "a＊b？-a＊b？.txt"},
                       {"x#主名y-x#主名y.txt", "q$1-q$1.txt", "a＊b？-a＊b？.txt"});
}

TEST_F(NameRules, AValueIsNeitherACounterMarkNorAGroupReference) {
    Prepare({"q$1.txt", "a*b.txt"});
    host.settings.metaSymbols = true;
    host.settings.nameScope = NameScope::Main;
    // A custom main name's "*" is the counter; a "*" the old name brings is not.
    CommonRenameParams common;
    common.type = CommonMainNameType::CustomMain;
    common.newMainName = "#主名_*";
    common.zeroCount = 0;
    Run(kTaskCommonRename, TaskParameters::Of(common), true);
    EXPECT_EQ(Column(ListColumn::Name), (std::vector<std::string>{"q$1_1.txt", "a＊b_2.txt"}));
    EXPECT_TRUE(dispatcher.LastFailures().empty());

    // A "$1" the old name brings into a replacement is text, not the group.
    RegexReplaceParams regex;
    regex.expression = "^(.)";
    regex.replacement = "$1[#主名]";
    Run(kTaskRegexRename, TaskParameters::Of(regex), true);
    EXPECT_EQ(Column(ListColumn::Name), (std::vector<std::string>{"q[q$1_1]$1_1.txt", "a[a＊b_2]＊b_2.txt"}));
    EXPECT_TRUE(dispatcher.LastFailures().empty());
    EXPECT_TRUE(fs::exists(work + "/q[q$1_1]$1_1.txt"));
}

TEST_F(NameRules, ATypedTextTheSettingsLeaveUnusedIsNotExpanded) {
    // A folder has no content to digest: expanding the unused extension would fail it.
    fs::create_directory(work + "/dir");
    store.AppendRow(work + "/", "dir", RowFacts{.isFolder = true}, 0);
    host.settings.metaSymbols = true;
    CommonRenameParams params;
    params.newMainName = "w";
    params.newExtension = "#内容MD5";
    params.attachedText = "#内容MD5";
    Run(kTaskCommonRename, TaskParameters::Of(params), true);
    EXPECT_TRUE(dispatcher.LastFailures().empty());
    EXPECT_EQ(Column(ListColumn::Name), (std::vector<std::string>{"w001"}));
    EXPECT_TRUE(fs::is_directory(work + "/w001"));
}

}  // namespace
}  // namespace varnel
