// Undo of every kind that changes a file where it is (times, attributes, shortcut
// fields, tags, content), with the user changing the file between the run and the
// undo: whatever the user left is kept byte for byte and stat for stat and named in
// the outcome with its reason; a file nobody touched comes back exactly.
#include <cstring>
#include <functional>
#include <map>
#include <memory>

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "filelist/row_store.h"
#include "filetasks/attributes_task.h"
#include "filetasks/content_replace.h"
#include "filetasks/file_times_task.h"
#include "filetasks/shortcut_file.h"
#include "filetasks/shortcut_task.h"
#include "id3_fixtures.h"
#include "id3/tag_run.h"
#include "id3/id3v2_tag.h"
#include "platform/dos_attributes.h"
#include "runs/rename_step.h"
#include "runs/run_context.h"
#include "runs/task_table.h"
#include "runs/undo_replay.h"
#include "runs/undo_spool.h"
#include "support/temp_dir.h"
#include "utilities/attribute_names.h"

namespace varnel {
namespace {

using testing::TempDir;

// Everything about one object a user could tell apart: its bytes, its inode and
// links, its mode and owner, its times to the nanosecond and its extended attributes.
struct ObjectState {
    std::string bytes;
    ino_t inode = 0;
    nlink_t links = 0;
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
    timespec modified{};
    timespec accessed{};
    timespec changed{};
    std::map<std::string, std::string> xattrs;
};

ObjectState StateOf(const std::string& path) {
    ObjectState state;
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    state.inode = info.st_ino;
    state.links = info.st_nlink;
    state.mode = info.st_mode;
    state.owner = info.st_uid;
    state.group = info.st_gid;
    state.modified = info.st_mtim;
    state.accessed = info.st_atim;
    state.changed = info.st_ctim;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOATIME);
    const int readable = fd >= 0 ? fd : ::open(path.c_str(), O_RDONLY);
    char buffer[4096];
    for (ssize_t got; (got = ::read(readable, buffer, sizeof buffer)) > 0;) state.bytes.append(buffer, got);
    ::close(readable);
    char names[4096];
    const ssize_t length = ::listxattr(path.c_str(), names, sizeof names);
    for (ssize_t at = 0; at < length; at += static_cast<ssize_t>(std::strlen(names + at)) + 1) {
        char value[256];
        const ssize_t size = ::getxattr(path.c_str(), names + at, value, sizeof value);
        state.xattrs[names + at] = std::string(value, static_cast<std::size_t>(std::max<ssize_t>(size, 0)));
    }
    return state;
}

bool Same(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

// `now` is `was` as far as anyone could tell; the change time and the inode only
// when asked (undo may set times back, and a rewrite gives a new inode).
void ExpectSameObject(const ObjectState& was, const ObjectState& now, bool inodeAndChangeTime, bool accessTime,
                      const std::string& what) {
    EXPECT_EQ(now.bytes, was.bytes) << what;
    EXPECT_EQ(now.mode, was.mode) << what;
    EXPECT_EQ(now.owner, was.owner) << what;
    EXPECT_EQ(now.group, was.group) << what;
    EXPECT_EQ(now.links, was.links) << what;
    EXPECT_TRUE(Same(now.modified, was.modified)) << what;
    EXPECT_EQ(now.xattrs, was.xattrs) << what;
    if (accessTime) {
        EXPECT_TRUE(Same(now.accessed, was.accessed)) << what;
    }
    if (inodeAndChangeTime) {
        EXPECT_EQ(now.inode, was.inode) << what;
        EXPECT_TRUE(Same(now.changed, was.changed)) << what;
    }
}

// One execute run over a single listed file, with its own spool.
struct OneRun {
    OneRun(const TempDir& dir, int task) : spool(dir / ".spool") {
        control.TryBegin(TaskKind::Execute);
        run = std::make_unique<RunContext>(RunMode::Execute, task, RunSettings{}, control, &spool);
    }
    RunRows Rows(const TempDir& dir, const std::string& name) {
        store.AppendRow(dir.Path() + "/", name, {}, 0);
        return RunRows(store, store.RowIds());
    }
    UndoSpool spool;
    RowStore store;
    RunControl control;
    std::unique_ptr<RunContext> run;
};

struct Kind {
    const char* what;
    int task;
    // Makes the file `name` the run starts from.
    std::function<void(const TempDir&, const std::string& name)> make;
    std::function<void(RunContext&, RunRows&)> execute;
    // The run keeps the file's inode, so an untouched file must come back with it.
    bool keepsInode;
    // The undo puts the access time back too.
    bool accessTime;
    // The listed name is a symbolic link to "target" beside it.
    bool throughLink = false;
};

void MakeLnk(const TempDir& dir, const std::string& name) {
    const std::string description = "old words";
    ASSERT_TRUE(CreateLnkShortcut(dir / name, "/data/old/target.txt", &description));
}

void MakeTagged(const TempDir& dir, const std::string& name) {
    dir.Write(name, testing::MpegAudio(700));
    Id3v2Tag tag;
    tag.title = "old title";
    ASSERT_TRUE(WriteId3v2Tag(dir / name, tag));
}

TagTaskParams NewTitle() {
    return {TagVersions::Version2, false, [](Id3TagPair& tags, const TagRowContext&) -> std::expected<std::string, Error> {
                tags.v2.title = "new title";
                return {};
            }};
}

std::vector<Kind> Kinds() {
    const auto plain = [](const TempDir& dir, const std::string& name) { dir.Write(name, "plain content\n"); };
    FileTimesParams times;
    times.groups[1].setTime = true;
    times.groups[1].units = {2001, 2, 3, 4, 5, 6};
    ShortcutTaskParams shortcut;
    shortcut.target.changeTarget = true;
    shortcut.target.findText = "/old/";
    shortcut.target.replaceText = "/new/";
    shortcut.description = "new words";
    ContentReplaceParams replace;
    replace.findText = "plain";
    const auto tags = [](RunContext& run, RunRows& rows) { RunTagTask(run, rows, NewTitle()); };
    return {
        {"times", kTaskFileTimes, plain,
         [times](RunContext& run, RunRows& rows) { RunFileTimesTask(run, rows, times); }, true, true},
        {"attributes", kTaskAttributes, plain,
         [](RunContext& run, RunRows& rows) { RunAttributesTask(run, rows, AttributesParams{kAttributeReadOnly}); },
         true, false},
        {"shortcut", kTaskShortcutProperties, MakeLnk,
         [shortcut](RunContext& run, RunRows& rows) { RunShortcutPropertiesTask(run, rows, shortcut); }, false,
         false},
        {"tags", kTaskId3Write, MakeTagged, tags, false, false},
        {"tags through a link", kTaskId3Write, MakeTagged, tags, false, false, true},
        {"content", kTaskContentReplace, plain,
         [replace](RunContext& run, RunRows& rows) { RunContentReplaceTask(run, rows, replace); }, false, false},
    };
}

// What the user does between the run and the undo, to the listed name.
struct UserChange {
    const char* what;
    std::function<void(const TempDir&, const std::string& name)> apply;  // empty: nothing
};

std::vector<UserChange> UserChanges() {
    return {
        {"edits it in place",
         [](const TempDir& dir, const std::string& name) {
             const int fd = ::open((dir / name).c_str(), O_WRONLY | O_APPEND);
             ASSERT_GE(fd, 0);
             ASSERT_EQ(::write(fd, "user", 4), 4);
             ::close(fd);
         }},
        {"replaces it by a rename",
         [](const TempDir& dir, const std::string& name) {
             dir.Write("incoming", "the user's own file");
             ::chmod((dir / "incoming").c_str(), 0600);
             ASSERT_EQ(::rename((dir / "incoming").c_str(), (dir / name).c_str()), 0);
         }},
        {"deletes it and makes a new one",
         [](const TempDir& dir, const std::string& name) {
             ASSERT_EQ(::unlink((dir / name).c_str()), 0);
             dir.Write(name, "made again");
         }},
        {"changes nothing", {}},
    };
}

UndoOutcome Undo(UndoRecord& record) {
    UndoHooks hooks;
    RegisterShortcutUndoKind(hooks.families);
    RegisterTagUndoKind(hooks.families);
    return ReplayUndoRecord(record, hooks);
}

TEST(UndoIdentity, TheUsersObjectIsKeptAndAnUntouchedOneComesBackExactly) {
    for (const Kind& kind : Kinds()) {
        for (const UserChange& change : UserChanges()) {
            const std::string what = std::string(kind.what) + ", the user " + change.what;
            TempDir dir;
            const std::string name = kind.task == kTaskShortcutProperties ? "f.lnk"
                                     : kind.task == kTaskId3Write       ? "f.mp3"
                                                                        : "f.txt";
            // The object the run changes: through a link, the link's target.
            const std::string object = kind.throughLink ? "target.mp3" : name;
            kind.make(dir, object);
            if (kind.throughLink) ASSERT_EQ(::symlink("target.mp3", (dir / name).c_str()), 0);
            ASSERT_EQ(::chmod((dir / object).c_str(), 0640), 0);
            const bool xattrs = ::setxattr((dir / object).c_str(), "user.note", "kept", 4, 0) == 0;
            const timespec old[2] = {{1'000'000'000, 111}, {1'000'000'100, 222}};
            ASSERT_EQ(::utimensat(AT_FDCWD, (dir / object).c_str(), old, 0), 0);
            const ObjectState before = StateOf(dir / object);

            OneRun run(dir, kind.task);
            RunRows rows = run.Rows(dir, name);
            kind.execute(*run.run, rows);
            ASSERT_EQ(rows.Cell(0, ListColumn::Preview), std::string(kStatusDone)) << what;
            ASSERT_TRUE(run.run->FailedPaths().empty()) << what;
            UndoRecord record = run.run->TakeRecord();

            if (change.apply) change.apply(dir, name);
            const ObjectState users = StateOf(dir / name);
            const UndoOutcome outcome = Undo(record);
            if (change.apply) {
                ExpectSameObject(users, StateOf(dir / name), true, true, what);
                EXPECT_EQ(outcome.failedPaths, std::vector<std::string>{dir / name}) << what;
                EXPECT_EQ(outcome.failureReasons, std::vector<std::string>{kUndoChangedReason}) << what;
                EXPECT_EQ(outcome.restored, 0u) << what;
            } else {
                EXPECT_TRUE(outcome.failedPaths.empty()) << what << ": " << ::testing::PrintToString(outcome.failureReasons);
                ExpectSameObject(before, StateOf(dir / object), false, kind.accessTime, what);
                if (kind.keepsInode) EXPECT_EQ(StateOf(dir / object).inode, before.inode) << what;
                if (kind.throughLink) {
                    struct stat link {};
                    ASSERT_EQ(::lstat((dir / name).c_str(), &link), 0);
                    EXPECT_TRUE(S_ISLNK(link.st_mode)) << what;
                }
                if (xattrs) EXPECT_EQ(StateOf(dir / object).xattrs.at("user.note"), "kept") << what;
            }
        }
    }
}

}  // namespace
}  // namespace varnel
