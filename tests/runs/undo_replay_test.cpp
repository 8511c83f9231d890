#include "runs/undo_replay.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <thread>

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fileops/copy_move.h"
#include "naming/common_name.h"
#include "renames/rename_task.h"
#include "runs/identity_reader.h"
#include "runs/rename_step.h"
#include "support/faulty_posix.h"
#include "support/metadata_tree.h"
#include "support/temp_dir.h"
#include "support/tree_state.h"
#include "transfer_settings.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using testing::TransferTo;

// An execute run over rows of `folder`, each handed its new name; its record.
UndoRecord Execute(const std::string& folder, const std::vector<std::pair<std::string, std::string>>& renames,
                   RunSettings settings = {}) {
    RowStore store;
    for (const auto& [from, to] : renames) store.AppendRow(folder, from, {}, 0);
    RunControl control;
    control.TryBegin(TaskKind::Execute);
    RunContext run(RunMode::Execute, 1, std::move(settings), control);
    RunRows rows(store, store.RowIds());
    {
        // The step puts the last identities into the record as it ends.
        RenameStep step(run, rows);
        for (std::size_t row = 0; row < renames.size(); ++row) {
            std::string newName = renames[row].second;
            step.ApplyNewNameToRow(row, newName);
        }
    }
    return run.TakeRecord();
}

struct Undone {
    UndoOutcome outcome;
    std::vector<std::string> readded;
};

Undone Undo(UndoRecord& record, UndoHooks hooks = {}) {
    Undone undone;
    hooks.readd = [&](const std::string& path, std::optional<bool>) { undone.readded.push_back(path); };
    undone.outcome = ReplayUndoRecord(record, hooks);
    return undone;
}

std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        names.push_back(fs::relative(entry.path(), folder).string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(UndoReplay, NewestRecordFirstAcrossTwoRuns) {
    TempDir dir;
    dir.Write("a", "a");
    std::vector<UndoRecord> history;
    history.push_back(Execute(dir.Path(), {{"a", "b"}}));
    history.push_back(Execute(dir.Path(), {{"b", "c"}}));
    ASSERT_TRUE(fs::exists(dir / "c"));

    auto newest = TakeUndoRecord(history);
    ASSERT_TRUE(newest);
    Undone undone = Undo(*newest);
    EXPECT_EQ(undone.outcome.kind, UndoKind::Renames);
    EXPECT_EQ(undone.readded, (std::vector<std::string>{dir / "b"}));
    EXPECT_EQ(Listing(dir.Path()), (std::vector<std::string>{"b"}));
    ASSERT_EQ(history.size(), 1u);

    auto first = TakeUndoRecord(history, 1);
    ASSERT_TRUE(first);
    Undo(*first);
    EXPECT_EQ(dir.Read("a"), "a");
    EXPECT_TRUE(history.empty());
    EXPECT_FALSE(TakeUndoRecord(history));
}

TEST(UndoReplay, RecordNumbersOutOfRangeTakeNothing) {
    std::vector<UndoRecord> history(2);
    history[0].renames.push_back({"b", "a", "/x/"});
    EXPECT_FALSE(TakeUndoRecord(history, 3));
    EXPECT_FALSE(TakeUndoRecord(history, -1));
    EXPECT_EQ(history.size(), 2u);
    auto oldest = TakeUndoRecord(history, 1);
    ASSERT_TRUE(oldest);
    EXPECT_EQ(oldest->renames.size(), 1u);
}

TEST(UndoReplay, ChainsAndSwapsComeBackWhole) {
    TempDir dir;
    dir.Write("a", "A");
    dir.Write("b", "B");
    // A chain in one run: b to c, then a to b.
    UndoRecord chain = Execute(dir.Path(), {{"b", "c"}, {"a", "b"}});
    ASSERT_EQ(chain.renames.size(), 2u);
    Undone undone = Undo(chain);
    EXPECT_TRUE(undone.outcome.failedPaths.empty());
    EXPECT_EQ(dir.Read("a"), "A");
    EXPECT_EQ(dir.Read("b"), "B");

    // A swap through a spare name, as three renames: a to t, b to a, t to b.
    UndoRecord swap = Execute(dir.Path(), {{"a", "t"}});
    UndoRecord second = Execute(dir.Path(), {{"b", "a"}});
    UndoRecord third = Execute(dir.Path(), {{"t", "b"}});
    swap.renames.insert(swap.renames.end(), second.renames.begin(), second.renames.end());
    swap.renames.insert(swap.renames.end(), third.renames.begin(), third.renames.end());
    ASSERT_EQ(dir.Read("a"), "B");
    undone = Undo(swap);
    EXPECT_TRUE(undone.outcome.failedPaths.empty());
    EXPECT_EQ(undone.outcome.restored, 3u);
    EXPECT_EQ(dir.Read("a"), "A");
    EXPECT_EQ(dir.Read("b"), "B");
    EXPECT_EQ(Listing(dir.Path()), (std::vector<std::string>{"a", "b"}));
}

TEST(UndoReplay, VanishedAndTakenNamesAreReported) {
    TempDir dir;
    dir.Write("a", "a");
    dir.Write("x", "x");
    UndoRecord record = Execute(dir.Path(), {{"a", "b"}, {"x", "y"}});
    fs::remove(dir / "b");   // the renamed file is gone since
    dir.Write("x", "new x");  // and the old name of the other is taken again
    Undone undone = Undo(record);
    EXPECT_EQ(undone.outcome.failedPaths, (std::vector<std::string>{dir / "y", dir / "b"}));
    EXPECT_TRUE(undone.readded.empty());
    EXPECT_EQ(dir.Read("x"), "new x");
    EXPECT_EQ(dir.Read("y"), "x");
}

TEST(UndoReplay, TransferUndoDeletesOnlyWhatTheRunMade) {
    TempDir dir;
    dir.Write("x.txt", "x");
    dir.Write("y.txt", "y");
    fs::create_directory(dir / "out");
    ::chmod((dir / "x.txt").c_str(), 0444);  // its copy is read-only too, and goes all the same
    UndoRecord record = Execute(dir.Path(), {{"x.txt", "x.txt"}, {"y.txt", "y.txt"}}, TransferTo(dir / "out/new/"));
    ASSERT_EQ(record.transfers.size(), 2u);
    ASSERT_EQ(fs::status(dir / "out/new/x.txt").permissions(), fs::status(dir / "x.txt").permissions());
    dir.Write("out/new/y.txt", "changed since");      // a changed copy is not the run's any more
    dir.Write("out/new/mine.txt", "added later");
    Undone undone = Undo(record);
    EXPECT_FALSE(fs::exists(dir / "out/new/x.txt"));
    EXPECT_EQ(dir.Read("out/new/y.txt"), "changed since");
    EXPECT_EQ(dir.Read("out/new/mine.txt"), "added later");
    EXPECT_EQ(undone.outcome.failedPaths, (std::vector<std::string>{dir / "out/new/y.txt", dir / "out/new"}));
    EXPECT_EQ(undone.readded, (std::vector<std::string>{dir / "y.txt", dir / "x.txt"}));
    EXPECT_EQ(dir.Read("x.txt"), "x");

    // Cleared up, the created folders go innermost first; the folder that was there stays.
    UndoRecord clean = Execute(dir.Path(), {{"x.txt", "x.txt"}}, TransferTo(dir / "out/a/b/"));
    ASSERT_EQ(clean.createdFolders.size(), 2u);
    undone = Undo(clean);
    EXPECT_TRUE(undone.outcome.failedPaths.empty());
    EXPECT_FALSE(fs::exists(dir / "out/a"));
    EXPECT_TRUE(fs::exists(dir / "out"));
}

TEST(UndoReplay, FolderCopyUndoKeepsFilesAddedLater) {
    TempDir dir;
    fs::create_directories(dir / "tree/sub");
    dir.Write("tree/a", "a");
    dir.Write("tree/sub/b", "b");
    UndoRecord record = Execute(dir.Path(), {{"tree", "copy"}}, TransferTo(dir / "out/"));
    ASSERT_TRUE(fs::exists(dir / "out/copy/sub/b"));
    dir.Write("out/copy/sub/later", "mine");
    Undone undone = Undo(record);
    EXPECT_EQ(Listing(dir / "out"), (std::vector<std::string>{"copy", "copy/sub", "copy/sub/later"}));
    EXPECT_EQ(undone.outcome.failedPaths,
              (std::vector<std::string>{dir / "out/copy/sub", dir / "out/copy", dir / "out"}));
    EXPECT_EQ(Listing(dir / "tree"), (std::vector<std::string>{"a", "sub", "sub/b"}));
}

// A tree moved to another file system and moved back by undo is as it was: modes
// of private and read-only folders, owners, times, links, xattrs, and the two
// names of one file. Once through a tmpfs where one can be mounted, once with
// the crossing made by the platform layer.
TEST(UndoReplay, ATreeMovedToAnotherFileSystemComesBackWhole) {
    TempDir dir;
    const testing::ScopedTmpfs tmpfs(dir / "mnt");
    testing::TwoFileSystems halves(dir);
    struct Case {
        const char* what;
        std::string home;
        std::string away;
        PosixApi* os;
    };
    std::vector<Case> cases = {{"halves", halves.first + "tree", halves.second + "new/tree", &halves}};
    if (tmpfs.mounted) {
        cases.push_back({"tmpfs", dir / "mnt/tree", dir / "disk/tree", &SystemPosix()});
    } else {
        std::cerr << "no tmpfs could be mounted here: only the crossing the platform layer makes is tried\n";
    }
    for (const Case& c : cases) {
        testing::MakeMetadataTree(c.home);
        const auto before = testing::FullListing(c.home);
        UndoRecord record;
        record.copyFlag = false;
        std::vector<std::string> created;
        std::vector<std::string> failed;
        ASSERT_TRUE(CopyOrMovePath(c.home, c.away, false, created, failed, *c.os)) << c.what;
        AppendCreatedPaths(record.createdFolders, created);
        record.transfers.push_back({c.away, c.home, ReadPathIdentity(c.away).value()});
        testing::ExpectSameListing(before, c.away, c.what);
        const UndoOutcome outcome = ReplayUndoRecord(record, {}, *c.os);
        EXPECT_TRUE(outcome.failedPaths.empty()) << c.what;
        EXPECT_FALSE(fs::exists(c.away)) << c.what;
        testing::ExpectSameListing(before, c.home, c.what);
    }
}

TEST(UndoReplay, MovedPathsGoBackWithoutReplacing) {
    TempDir dir;
    dir.Write("m1", "1");
    dir.Write("m2", "2");
    dir.Write("m3", "3");
    UndoRecord record;
    record.copyFlag = false;
    for (const char* name : {"m1", "m2", "m3"}) {
        std::vector<std::string> created;
        std::vector<std::string> failed;
        const std::string target = dir / ("moved/" + std::string(name));
        ASSERT_TRUE(CopyOrMovePath(dir / name, target, false, created, failed));
        AppendCreatedPaths(record.createdFolders, created);
        record.transfers.push_back({target, dir / name, ReadPathIdentity(target).value()});
    }
    dir.Write("m2", "someone else's");
    // The moved file replaced since by another of its name: that one is not the run's to move.
    dir.Write("other", "the user's");
    fs::rename(dir / "other", dir / "moved/m3");
    Undone undone = Undo(record);
    EXPECT_EQ(dir.Read("m1"), "1");
    EXPECT_EQ(dir.Read("m2"), "someone else's");
    EXPECT_EQ(dir.Read("moved/m2"), "2");
    EXPECT_FALSE(fs::exists(dir / "m3"));
    EXPECT_EQ(dir.Read("moved/m3"), "the user's");
    EXPECT_EQ(undone.readded, (std::vector<std::string>{dir / "m1"}));
    EXPECT_EQ(undone.outcome.failedPaths,
              (std::vector<std::string>{dir / "moved/m3", dir / "moved/m2", dir / "moved"}));
}

TEST(UndoReplay, SplitSourceComesBackBeforeItsPiecesGo) {
    TempDir dir;
    TempDir spoolDir;
    UndoSpool spool(spoolDir / "undo");
    const auto makeSplit = [&](const std::string& source, const std::string& content) {
        SplitEntry entry;
        entry.sourcePath = dir / source;
        entry.sourceBytes = spool.Store(content).value();
        std::vector<std::string> created;
        EnsureFolderChain(dir / (source + ".parts/"), created);
        AppendCreatedPaths(entry.createdFolders, created);
        for (int i = 1; i <= 2; ++i) {
            const std::string piece = source + ".parts/" + std::to_string(i);
            dir.Write(piece, content.substr(static_cast<std::size_t>(i - 1) * 3, 3));
            AppendCreatedPaths(entry.pieceFiles, {dir / piece});
        }
        return entry;
    };
    UndoRecord record;
    record.splits.push_back(makeSplit("s.bin", "abcdef"));
    record.splits.push_back(makeSplit("t.bin", "uvwxyz"));
    dir.Write("t.bin", "a new t.bin");  // its place is taken: its pieces are all that is left
    Undone undone = Undo(record);
    EXPECT_EQ(dir.Read("s.bin"), "abcdef");
    EXPECT_FALSE(fs::exists(dir / "s.bin.parts"));
    EXPECT_EQ(dir.Read("t.bin"), "a new t.bin");
    EXPECT_EQ(dir.Read("t.bin.parts/1"), "uvw");
    EXPECT_EQ(undone.outcome.failedPaths, (std::vector<std::string>{dir / "t.bin"}));
    EXPECT_EQ(undone.readded, (std::vector<std::string>{dir / "s.bin"}));
    EXPECT_TRUE(record.splits[0].pieceFiles.empty());
    EXPECT_EQ(record.splits[1].pieceFiles.size(), 2u);
}

// A removed source written back from the spool whose close fails may not hold
// its bytes: it goes again and is named with the close's reason; its pieces stay.
TEST(UndoReplay, ASourceWrittenBackWhoseCloseFailsIsNotKept) {
    TempDir dir;
    TempDir spoolDir;
    UndoSpool spool(spoolDir / "undo");
    SplitEntry entry;
    entry.sourcePath = dir / "s.bin";
    entry.sourceBytes = spool.Store("abcdef").value();
    dir.Write("s.bin.1", "abc");
    AppendCreatedPaths(entry.pieceFiles, {dir / "s.bin.1"});
    UndoRecord record;
    record.splits.push_back(std::move(entry));
    testing::FaultyPosix os;
    os.Fail(testing::FaultyPosix::Call::Close, EIO);
    const UndoOutcome outcome = ReplayUndoRecord(record, {}, os);
    EXPECT_FALSE(fs::exists(dir / "s.bin"));
    EXPECT_EQ(dir.Read("s.bin.1"), "abc");
    EXPECT_EQ(outcome.failedPaths, std::vector<std::string>{dir / "s.bin"});
    EXPECT_EQ(outcome.failureReasons, std::vector<std::string>{SystemErrorReason(EIO)});
}

// An undone record keeps no data in the spool, restored or not: it is never
// replayed again.
TEST(UndoReplay, TheSpoolOfAnUndoneRecordIsFreed) {
    TempDir dir;
    TempDir spoolDir;
    UndoSpool spool(spoolDir / "undo");
    dir.Write("kept.txt", "written");
    dir.Write("edited.txt", "the user's edit");
    UndoRecord record;
    record.contentChanges.push_back({dir / "kept.txt", spool.Store("old one").value(), 7, ContentDigest("written")});
    record.contentChanges.push_back({dir / "edited.txt", spool.Store("old two").value(), 7, ContentDigest("written")});
    const auto spoolFiles = [&] {
        std::size_t files = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(spoolDir / "undo")) ++files;
        return files;
    };
    ASSERT_EQ(spoolFiles(), 2u);
    const Undone undone = Undo(record);
    EXPECT_EQ(dir.Read("kept.txt"), "old one");
    EXPECT_EQ(undone.outcome.failedPaths, std::vector<std::string>{dir / "edited.txt"});
    EXPECT_EQ(spoolFiles(), 0u);
}

TEST(UndoReplay, ContentAttributesAndKindsWithoutAWriter) {
    TempDir dir;
    TempDir spoolDir;
    UndoSpool spool(spoolDir / "undo");
    dir.Write("c.txt", "changed");
    UndoRecord content;
    // The entry names what the run wrote: undo restores only over exactly that.
    content.contentChanges.push_back({dir / "c.txt", spool.Store("original").value(), 7, ContentDigest("changed")});
    Undone undone = Undo(content);
    EXPECT_EQ(dir.Read("c.txt"), "original");
    EXPECT_EQ(undone.readded, (std::vector<std::string>{dir / "c.txt"}));

    ::chmod((dir / "c.txt").c_str(), 0444);
    UndoRecord attributes;
    // The entry names the object the run left: undo changes only that.
    attributes.attributeChanges.push_back({dir / "c.txt", 0, std::nullopt, ReadObjectIdentity(dir / "c.txt").value()});
    attributes.attributeChanges.push_back({dir / "gone.txt", 0});
    undone = Undo(attributes);
    struct stat info {};
    ASSERT_EQ(::stat((dir / "c.txt").c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IWUSR);
    EXPECT_EQ(undone.outcome.failedPaths, (std::vector<std::string>{dir / "gone.txt"}));

}

// What a task family records, as the replay sees it: a path and a wish.
struct NotePayload {
    std::string path;
    bool fails = false;
};

// Entries of a task family's kind. A kind nobody entered, or entered for another
// payload, fails every entry with its reason and never skips one; an entered one
// undoes them last to first by its restorer, each failure with the restorer's
// reason, and a family that asks for it has its failed paths listed again too.
// Entries of a later kind wait for their own undo; the undone copy lets go of
// its payloads.
TEST(UndoReplay, FamilyKindsReplayThroughWhatTheirFamilyEntered) {
    UndoRecord record;
    for (const auto& [path, fails] : {std::pair{"/a", false}, {"/b", true}, {"/c", false}}) {
        record.familyChanges.push_back(FamilyUndoEntry::Of(UndoKind::ShortcutChanges, NotePayload{path, fails}));
    }
    record.familyChanges.push_back(FamilyUndoEntry::Of(UndoKind::TagChanges, NotePayload{"/t.mp3"}));

    enum class Entered { Nothing, OtherPayload, Restorer, RestorerListingAgain };
    struct Case {
        const char* what;
        Entered entered;
        std::vector<std::string> undone;
        std::vector<std::string> failed;
        std::vector<std::string> reasons;
        std::vector<std::string> readded;
    };
    const std::string unknown = kUndoKindUnknownReason;
    const Case cases[] = {
        {"nobody entered", Entered::Nothing, {}, {"/c", "/b", "/a"}, {unknown, unknown, unknown}, {}},
        {"another payload", Entered::OtherPayload, {}, {"/c", "/b", "/a"}, {unknown, unknown, unknown}, {}},
        {"entered", Entered::Restorer, {"/c", "/a"}, {"/b"}, {kUndoChangedReason}, {"/c", "/a"}},
        {"listed again", Entered::RestorerListingAgain, {"/c", "/a"}, {"/b"}, {kUndoChangedReason}, {"/c", "/b", "/a"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> undone;
        UndoHooks hooks;
        if (c.entered == Entered::OtherPayload) {
            UndoFamily<TitleEntry> other;
            other.restore = [&](const TitleEntry& e, PosixApi&) -> std::expected<void, Error> {
                undone.push_back(e.path);
                return {};
            };
            hooks.families.Register(UndoKind::ShortcutChanges, other);
        } else if (c.entered != Entered::Nothing) {
            UndoFamily<NotePayload> family;
            family.restore = [&](const NotePayload& e, PosixApi&) -> std::expected<void, Error> {
                if (e.fails) return std::unexpected(Error{Error::kInvalidInput, kUndoChangedReason, e.path});
                undone.push_back(e.path);
                return {};
            };
            family.listAgainOnFailure = c.entered == Entered::RestorerListingAgain;
            hooks.families.Register(UndoKind::ShortcutChanges, family);
            hooks.families.Register(UndoKind::TagChanges, family);
        }
        UndoRecord copy = record;
        const Undone result = Undo(copy, hooks);
        EXPECT_EQ(result.outcome.kind, UndoKind::ShortcutChanges) << c.what;
        EXPECT_EQ(undone, c.undone) << c.what;
        EXPECT_EQ(result.outcome.restored, c.undone.size()) << c.what;
        EXPECT_EQ(result.outcome.failedPaths, c.failed) << c.what;
        EXPECT_EQ(result.outcome.failureReasons, c.reasons) << c.what;
        EXPECT_EQ(result.readded, c.readded) << c.what;
        EXPECT_EQ(copy.familyChanges[0].As<NotePayload>(), nullptr) << c.what;
        EXPECT_NE(record.familyChanges[0].As<NotePayload>(), nullptr) << c.what;
    }
}

// Rewrites a file in place as a tag editor does: same size, and the modification
// time put back afterwards. Only the change time tells.
void EditInPlaceKeepingSizeAndTime(const std::string& path) {
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // past a coarse clock tick
    const int fd = ::open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    const std::string edited(static_cast<std::size_t>(before.st_size), 'E');
    ASSERT_EQ(::pwrite(fd, edited.data(), edited.size(), 0), static_cast<ssize_t>(edited.size()));
    ASSERT_EQ(::close(fd), 0);
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    ASSERT_EQ(after.st_size, before.st_size);
    ASSERT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
}

TEST(UndoReplay, CopiesEditedInPlaceSinceStay) {
    struct Case {
        const char* what;
        std::string row;      // in work/
        std::string edited;   // below out/
        std::vector<std::string> kept;  // reported, innermost first
    };
    const Case cases[] = {
        {"a copied file", "x.txt", "x.txt", {"x.txt", ""}},
        {"a file of a copied folder", "tree", "tree/sub/b.txt", {"tree/sub/b.txt", "tree/sub", "tree", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string work = dir / "work";
        fs::create_directories(work + "/tree/sub");
        std::ofstream(work + "/x.txt") << "abcdef";
        std::ofstream(work + "/tree/a.txt") << "a";
        std::ofstream(work + "/tree/sub/b.txt") << "bbbbbb";
        testing::CopyTreeAside(work, dir / "before");
        const std::string out = dir / "out/";
        UndoRecord record = Execute(work, {{c.row, c.row}}, TransferTo(out));
        ASSERT_EQ(record.transfers.size(), 1u);
        EditInPlaceKeepingSizeAndTime(out + c.edited);

        Undone undone = Undo(record);
        std::vector<std::string> kept;
        for (const std::string& name : c.kept) kept.push_back(name.empty() ? dir / "out" : out + name);
        EXPECT_EQ(undone.outcome.failedPaths, kept);
        EXPECT_EQ(dir.Read("out/" + c.edited), "EEEEEE");
        // The edited file and its folders, nothing else.
        EXPECT_EQ(fs::exists(out) ? Listing(out).size() : 0u, c.kept.size() - 1);
        testing::ExpectSameTree(dir / "before", work);
    }
}

TEST(UndoReplay, CopyIntoAnExistingFolderLeavesThatFolder) {
    struct Case {
        const char* what;
        std::vector<std::string> folders;  // below the source folder
        std::vector<std::string> files;
    };
    const Case cases[] = {
        {"an empty folder", {}, {}},
        {"a folder of files", {}, {"a.txt", "b.txt"}},
        {"a folder holding only an empty folder", {"sub"}, {}},
        {"nested files", {"sub", "sub/deeper"}, {"sub/deeper/c.txt", "d.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string work = dir / "work";
        fs::create_directories(work + "/tree");
        for (const std::string& folder : c.folders) fs::create_directories(work + "/tree/" + folder);
        for (const std::string& file : c.files) std::ofstream(work + "/tree/" + file) << file;
        fs::create_directories(work + "/out/dst");  // the user's, before the run
        ::chmod((work + "/out/dst").c_str(), 0750);
        struct stat existing {};
        ASSERT_EQ(::stat((work + "/out/dst").c_str(), &existing), 0);
        testing::CopyTreeAside(work, dir / "before");

        UndoRecord record = Execute(work, {{"tree", "dst"}}, TransferTo(work + "/out/"));
        for (const CreatedPath& folder : record.createdFolders) EXPECT_NE(folder.path, work + "/out/dst");
        Undone undone = Undo(record);
        EXPECT_TRUE(undone.outcome.failedPaths.empty());
        struct stat after {};
        EXPECT_EQ(::stat((work + "/out/dst").c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, existing.st_ino);
        testing::ExpectSameTree(dir / "before", work);
    }
}

TEST(UndoReplay, RenameUndoMovesOnlyTheFileItRenamed) {
    struct Case {
        const char* what;
        bool folder;
        std::function<void(TempDir&)> replace;  // what the user did to "b" since
    };
    const Case cases[] = {
        {"another file renamed over it", false,
         [](TempDir& dir) {
             dir.Write("other", "the user's");
             fs::rename(dir / "other", dir / "b");
         }},
        {"deleted and written anew", false,
         [](TempDir& dir) {
             fs::remove(dir / "b");
             dir.Write("b", "the user's");
         }},
        {"a folder replaced by another", true,
         [](TempDir& dir) {
             fs::remove(dir / "b");
             fs::create_directory(dir / "b");
             dir.Write("b/inside", "the user's");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        if (c.folder) {
            fs::create_directory(dir / "a");
        } else {
            dir.Write("a", "mine");
        }
        dir.Write("c", "untouched since");
        UndoRecord record = Execute(dir.Path(), {{"a", "b"}, {"c", "d"}});
        ASSERT_EQ(record.renames.size(), 2u);
        c.replace(dir);
        Undone undone = Undo(record);
        EXPECT_EQ(undone.outcome.failedPaths, (std::vector<std::string>{dir / "b"}));
        EXPECT_EQ(undone.readded, (std::vector<std::string>{dir / "c"}));
        EXPECT_FALSE(fs::exists(dir / "a"));
        EXPECT_EQ(dir.Read(c.folder ? "b/inside" : "b"), "the user's");
        EXPECT_EQ(dir.Read("c"), "untouched since");
    }
}

// A large run reads the identities of its renamed files on a thread behind the
// renames, and its undo reads them ahead: every entry still knows its object, and
// a file the user put under a new name since stays, wherever it is in the record.
TEST(UndoReplay, LargeRunsKnowEveryRenamedObject) {
    TempDir dir;
    std::vector<std::pair<std::string, std::string>> renames;
    const int count = static_cast<int>(IdentityReader::kBackgroundFrom + 2 * IdentityReader::kBatch + 7);
    for (int i = 0; i < count; ++i) {
        const std::string name = "a" + std::to_string(i);
        dir.Write(name, name);
        renames.emplace_back(name, "b" + std::to_string(i));
    }
    UndoRecord record = Execute(dir.Path(), renames);
    ASSERT_EQ(record.renames.size(), static_cast<std::size_t>(count));
    for (const RenameEntry& entry : record.renames) {
        const auto now = ReadPathIdentity(entry.folder + entry.newName);
        ASSERT_TRUE(now.has_value());
        EXPECT_TRUE(IsSameObject(entry.identity, *now)) << entry.newName;
    }
    // The first entry is undone last, the last one first.
    const int replaced[] = {3, count - 2};
    for (const int i : replaced) {
        const std::string name = "b" + std::to_string(i);
        fs::remove(dir / name);
        dir.Write(name, "the user's");
    }
    Undone undone = Undo(record);
    EXPECT_EQ(undone.outcome.failedPaths,
              (std::vector<std::string>{dir / ("b" + std::to_string(replaced[1])), dir / ("b" + std::to_string(replaced[0]))}));
    EXPECT_EQ(undone.outcome.restored, static_cast<std::size_t>(count - 2));
    for (int i = 0; i < count; ++i) {
        const bool kept = i == replaced[0] || i == replaced[1];
        SCOPED_TRACE(i);
        EXPECT_EQ(dir.Read((kept ? "b" : "a") + std::to_string(i)), kept ? "the user's" : "a" + std::to_string(i));
        EXPECT_EQ(fs::exists(dir / ("a" + std::to_string(i))), !kept);
    }
}

// A run and its undo leave every name, byte, mode and time as they were.
TEST(UndoReplay, RunThenUndoLeavesTheFolderAsItWas) {
    TempDir dir;
    const std::string work = dir / "work";
    fs::create_directories(work + "/sub");
    for (int i = 0; i < 12; ++i) {
        std::ofstream(work + "/f" + std::to_string(i) + ".txt") << std::string(static_cast<std::size_t>(i) * 100, 'x');
    }
    std::ofstream(work + "/sub/inner.dat") << "inner";
    testing::CopyTreeAside(work, dir / "before");

    RowStore store;
    for (const auto& entry : fs::directory_iterator(work)) store.AppendRow(work, entry.path().filename().string(), {}, 0);
    std::vector<UndoRecord> history;
    CommonRenameParams params;
    params.type = CommonMainNameType::CustomMain;
    params.newMainName = "f*";  // overlaps the old names: some rows fail, some chain
    params.start = 3;
    params.zeroCount = 0;
    for (bool transfer : {false, true}) {
        RunSettings settings = transfer ? TransferTo(dir / "copies/deep/") : RunSettings{};
        RunControl control;
        control.TryBegin(TaskKind::Execute);
        RunContext run(RunMode::Execute, 1, settings, control);
        RunRows rows(store, store.RowIds());
        RunCommonRenameTask(run, rows, params);
        history.push_back(run.TakeRecord());
    }
    ASSERT_FALSE(history[0].renames.empty());
    ASSERT_FALSE(history[1].transfers.empty());
    while (auto record = TakeUndoRecord(history)) {
        EXPECT_TRUE(Undo(*record).outcome.failedPaths.empty());
    }
    EXPECT_FALSE(fs::exists(dir / "copies"));
    testing::ExpectSameTree(dir / "before", work);
}

}  // namespace
}  // namespace varnel
