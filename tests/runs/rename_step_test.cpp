#include "runs/rename_step.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/faulty_posix.h"
#include "support/temp_dir.h"
#include "transfer_settings.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using testing::TransferTo;

// One run over rows of the temporary folder, as the dispatcher would set it up.
struct StepRun {
    StepRun(RunMode mode, RunSettings settings = {}) {
        control.TryBegin(TaskKindOf(mode));
        run = std::make_unique<RunContext>(mode, 1, std::move(settings), control);
    }
    void AddRow(const std::string& folder, const std::string& name) { store.AppendRow(folder, name, {}, 0); }
    // Hands each row its new name, in row order.
    void Apply(std::vector<std::string> newNames) {
        RunRows rows(store, store.RowIds());
        RenameStep step(*run, rows, *os);
        for (std::size_t row = 0; row < newNames.size(); ++row) step.ApplyNewNameToRow(row, newNames[row]);
        applied = std::move(newNames);
    }

    RunControl control;
    RowStore store;
    std::unique_ptr<RunContext> run;
    std::vector<std::string> applied;
    PosixApi* os = &SystemPosix();
};

TEST(RenameStep, SanitizeUsesFullWidthFormsAndDropsLineBreakPairs) {
    struct Case {
        std::string in;
        std::string out;
    } cases[] = {
        {"a:b?.txt", "a：b？.txt"},
        {"\\/:*?<>|\"", "＼／：＊？＜＞｜＂"},
        {"a\r\nb\r\n", "ab"},
        {"a\nb\rc", "a\nb\rc"},  // a lone CR or LF stays (the rename then fails)
        {"普通.txt", "普通.txt"},
    };
    for (Case& c : cases) {
        std::string name = c.in;
        SanitizeFileName(name);
        EXPECT_EQ(name, c.out) << c.in;
    }
}

TEST(RenameStep, RenameTable) {
    struct Case {
        const char* what;
        std::vector<std::string> files;  // present before, each with its name as content
        std::vector<std::string> rows;
        std::vector<std::string> newNames;
        std::vector<std::string> after;  // the folder's names afterwards
        std::size_t renamed;             // entries recorded
        std::size_t failed;
    };
    const std::string longest(255, 'n');
    const std::string tooLong(256, 'n');
    const Case cases[] = {
        {"equal", {"a.txt"}, {"a.txt"}, {"a.txt"}, {"a.txt"}, 0, 0},
        {"empty", {"a.txt"}, {"a.txt"}, {""}, {"a.txt"}, 0, 0},
        {"case only", {"a.txt"}, {"a.txt"}, {"A.txt"}, {"A.txt"}, 1, 0},
        {"existing target", {"a.txt", "b.txt"}, {"a.txt"}, {"b.txt"}, {"a.txt", "b.txt"}, 0, 1},
        {"swap", {"a", "b"}, {"a", "b"}, {"b", "a"}, {"a", "b"}, 0, 2},
        {"chain", {"a", "b"}, {"b", "a"}, {"c", "b"}, {"b", "c"}, 2, 0},
        {"dot dot", {"a"}, {"a"}, {".."}, {"a"}, 0, 1},
        {"255 bytes", {"a"}, {"a"}, {longest}, {longest}, 1, 0},
        {"256 bytes", {"a"}, {"a"}, {tooLong}, {"a"}, 0, 1},
        {"newline", {"a"}, {"a"}, {"x\ny"}, {"a"}, 0, 1},
        {"CR LF pair", {"a"}, {"a"}, {"x\r\ny"}, {"xy"}, 1, 0},
        {"colon and question mark", {"a"}, {"a"}, {"b:c?"}, {"b：c？"}, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        for (const std::string& file : c.files) dir.Write(file, file);
        StepRun step(RunMode::Execute);
        for (const std::string& row : c.rows) step.AddRow(dir.Path(), row);
        step.Apply(c.newNames);
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.Path())) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, c.after);
        // A row that changed nothing left every file with its own content.
        if (c.renamed == 0) {
            for (const std::string& file : c.files) EXPECT_EQ(dir.Read(file), file);
        }
        EXPECT_EQ(step.run->Record().renames.size(), c.renamed);
        EXPECT_EQ(step.run->FailedPaths().size(), c.failed);
        if (c.failed > 0) {
            EXPECT_EQ(step.run->FailedPaths().front().rfind(dir.Path() + "/", 0), 0u);
        }
    }
}

TEST(RenameStep, AFailedRowCarriesWhatTheSystemRefused) {
    struct Case {
        const char* what;
        int injected;  // 0: the real file system decides
        std::vector<std::string> newNames;
        std::vector<std::string> reasons;
    } cases[] = {
        {"permission", EACCES, {"b.txt"}, {"权限不足"}},
        {"target exists", EEXIST, {"b.txt"}, {"目标已存在"}},
        {"read-only file system", EROFS, {"b.txt"}, {"只读文件系统"}},
        {"real existing target", 0, {"other.txt"}, {"目标已存在"}},
        {"name no file can have", 0, {".."}, {"名称不能是“.”或“..”"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        dir.Write("a.txt", "a");
        dir.Write("other.txt", "other");
        testing::FaultyPosix faulty;
        faulty.Fail(testing::FaultyPosix::Call::Renameat2, c.injected);
        StepRun step(RunMode::Execute);
        if (c.injected != 0) step.os = &faulty;
        step.AddRow(dir.Path(), "a.txt");
        step.Apply(c.newNames);
        EXPECT_EQ(dir.Read("a.txt"), "a");
        EXPECT_EQ(dir.Read("other.txt"), "other");
        EXPECT_EQ(step.run->FailedPaths(), (std::vector<std::string>{dir / "a.txt"}));
        EXPECT_EQ(step.run->FailureReasons(), c.reasons);
        // The row says why it failed, and keeps its name.
        EXPECT_EQ(step.store.GetCellText(0, ListColumn::Preview), std::string(kStatusFailed) + " " + c.reasons[0]);
        EXPECT_EQ(step.store.Name(0), "a.txt");
    }
}

TEST(RenameStep, ExecuteUpdatesTheRowAndRecordsWhatHappened) {
    TempDir dir;
    dir.Write("x.txt", "content");
    StepRun step(RunMode::Execute);
    step.AddRow(dir.Path(), "x.txt");
    step.Apply({"y.txt"});
    EXPECT_EQ(dir.Read("y.txt"), "content");
    EXPECT_EQ(step.store.Name(0), "y.txt");
    ASSERT_EQ(step.run->Record().renames.size(), 1u);
    const RenameEntry& entry = step.run->Record().renames[0];
    EXPECT_EQ(entry.newName, "y.txt");
    EXPECT_EQ(entry.oldName, "x.txt");
    EXPECT_EQ(entry.folder, dir.Path() + "/");
    EXPECT_FALSE(entry.isFolder);

    // A folder row is recorded as a folder, so that undo lists it again as one.
    fs::create_directory(dir / "sub");
    StepRun folder(RunMode::Execute);
    RowFacts facts;
    facts.isFolder = true;
    folder.store.AppendRow(dir.Path(), "sub", facts, 0);
    folder.Apply({"renamed"});
    ASSERT_EQ(folder.run->Record().renames.size(), 1u);
    EXPECT_TRUE(folder.run->Record().renames[0].isFolder);
    EXPECT_TRUE(fs::is_directory(dir / "renamed"));
}

TEST(RenameStep, PreviewShowsNamesAndChangesNothing) {
    TempDir dir;
    dir.Write("a.txt", "a");
    RunSettings settings;
    StepRun step(RunMode::FullPreview, settings);
    for (const char* row : {"a.txt", "a.txt", "a.txt", "a.txt"}) step.AddRow(dir.Path(), row);
    step.Apply({"b:c.txt", "a.txt", "", "x\ny"});
    EXPECT_EQ(step.store.GetCellText(0, ListColumn::Preview), "b：c.txt");
    EXPECT_EQ(step.store.GetCellText(1, ListColumn::Preview), "a.txt");  // also when equal
    EXPECT_EQ(step.store.GetCellText(2, ListColumn::Preview), "");
    EXPECT_EQ(step.store.GetCellText(3, ListColumn::Preview), std::string(kStatusFailed) + " 名称含有控制字符");
    EXPECT_EQ(step.applied[0], "b：c.txt");  // the caller's name is the cleaned one
    EXPECT_TRUE(fs::exists(dir / "a.txt"));
    EXPECT_FALSE(fs::exists(dir / "b：c.txt"));
    EXPECT_TRUE(step.run->FailedPaths().empty());
    EXPECT_FALSE(HoldsChange(step.run->Record()));
}

TEST(RenameStep, MetaVariablesExpandOnTheRowsPath) {
    TempDir dir;
    dir.Write("photo.jpg", "p");
    fs::create_directory(dir / "sub");
    StepRun step(RunMode::Execute);
    step.AddRow(dir.Path(), "photo.jpg");
    step.AddRow(dir.Path(), "sub");
    // A content digest of a folder cannot be computed: that row fails, untouched.
    step.Apply({"#主名-#递进.#扩展名", "#内容MD5"});
    EXPECT_TRUE(fs::exists(dir / "photo-1.jpg"));
    EXPECT_TRUE(fs::exists(dir / "sub"));
    EXPECT_EQ(step.run->FailedPaths(), (std::vector<std::string>{dir / "sub"}));

    RunSettings off;
    off.metaSymbols = false;
    StepRun literal(RunMode::FullPreview, off);
    literal.AddRow(dir.Path(), "photo-1.jpg");
    literal.Apply({"#主名"});
    EXPECT_EQ(literal.store.GetCellText(0, ListColumn::Preview), "#主名");
}

TEST(RenameStep, TransferPreviewShowsTheTarget) {
    TempDir dir;
    dir.Write("x.txt", "x");
    StepRun step(RunMode::FullPreview, TransferTo("/out/"));
    step.AddRow(dir.Path(), "x.txt");
    step.Apply({"x.txt"});
    EXPECT_EQ(step.store.GetCellText(0, ListColumn::Preview), "转移至：/out/x.txt");
    EXPECT_FALSE(fs::exists("/out/x.txt"));
}

TEST(RenameStep, TransferCopiesIntoNewFoldersAndPointsTheRowAtTheCopy) {
    TempDir dir;
    dir.Write("x.txt", "x");
    const std::string out = dir / "out/deep/";
    StepRun step(RunMode::Execute, TransferTo(out));
    step.AddRow(dir.Path(), "x.txt");
    step.Apply({"y.txt"});
    EXPECT_EQ(dir.Read("x.txt"), "x");  // the source stays
    EXPECT_EQ(dir.Read("out/deep/y.txt"), "x");
    EXPECT_EQ(step.store.Folder(0), out);
    EXPECT_EQ(step.store.Name(0), "y.txt");
    const UndoRecord& record = step.run->Record();
    ASSERT_EQ(record.createdFolders.size(), 2u);
    EXPECT_EQ(record.createdFolders[0].path, dir / "out");
    EXPECT_EQ(record.createdFolders[1].path, dir / "out/deep");
    EXPECT_TRUE(record.createdFolders[0].identity.known);
    ASSERT_EQ(record.transfers.size(), 1u);
    EXPECT_EQ(record.transfers[0].newPath, out + "y.txt");
    EXPECT_EQ(record.transfers[0].originalPath, dir / "x.txt");
    EXPECT_TRUE(record.copyFlag);
}

TEST(RenameStep, TransferRefusals) {
    TempDir dir;
    dir.Write("x.txt", "mine");
    fs::create_directories(dir / "out");
    dir.Write("out/x.txt", "theirs");
    fs::create_directories(dir / "tree/inner");
    dir.Write("tree/inner/f", "f");
    struct Case {
        const char* what;
        std::string folder;
        std::string row;
        std::string transferFolder;
        std::string newName;
    } cases[] = {
        {"existing target", dir.Path(), "x.txt", dir / "out/", "x.txt"},
        {"folder into its own subtree", dir.Path(), "tree", dir / "tree/inner/", "copy"},
        {"same folder and name", dir.Path(), "x.txt", dir.Path() + "/", "x.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StepRun step(RunMode::Execute, TransferTo(c.transferFolder));
        step.AddRow(c.folder, c.row);
        step.Apply({c.newName});
        EXPECT_EQ(step.run->FailedPaths(), (std::vector<std::string>{c.folder + "/" + c.row}));
        EXPECT_TRUE(step.run->Record().transfers.empty());
        EXPECT_EQ(step.store.Folder(0), c.folder + "/");  // the row still points at its source
    }
    EXPECT_EQ(dir.Read("x.txt"), "mine");
    EXPECT_EQ(dir.Read("out/x.txt"), "theirs");
    EXPECT_FALSE(fs::exists(dir / "tree/inner/copy"));
    EXPECT_EQ(dir.Read("tree/inner/f"), "f");
}

TEST(RenameStep, FolderTransferListsTheFilesItWrote) {
    TempDir dir;
    fs::create_directories(dir / "tree/sub");
    dir.Write("tree/a", "a");
    dir.Write("tree/sub/b", "b");
    StepRun step(RunMode::Execute, TransferTo(dir / "out/"));
    step.AddRow(dir.Path(), "tree");
    step.Apply({"tree"});
    const UndoRecord& record = step.run->Record();
    ASSERT_EQ(record.transfers.size(), 1u);
    std::vector<std::string> files;
    for (const CreatedPath& file : record.transfers[0].createdFiles) files.push_back(file.path);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{dir / "out/tree/a", dir / "out/tree/sub/b"}));
    std::vector<std::string> folders;
    for (const CreatedPath& folder : record.createdFolders) folders.push_back(folder.path);
    EXPECT_EQ(folders, (std::vector<std::string>{dir / "out", dir / "out/tree", dir / "out/tree/sub"}));
}

}  // namespace
}  // namespace varnel
