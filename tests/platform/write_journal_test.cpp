// The write journal: what a process that died during a write leaves recorded is
// put right at the next start, and nothing else is touched.
#include "platform/write_journal.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/file_io.h"
#include "support/faulty_posix.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

// Runs `body` in a child, which must end by ::_exit so that it dies without
// cleaning up, as a killed process would: no destructor runs, its locks go with it.
void DieAfter(const std::function<void()>& body) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        body();
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
}

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    if (!fs::exists(folder)) return names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::ranges::sort(names);
    return names;
}

struct stat StatOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info;
}

// The bytes of an in-place write: `fresh` over `old` at `offset`, ending the file
// where the lengths differ.
InPlaceWrite WriteOf(const std::string& path, std::uint64_t offset, std::string_view old, std::string_view fresh,
                     std::uint64_t oldSize) {
    const struct stat info = StatOf(path);
    InPlaceWrite write;
    write.path = path;
    write.device = info.st_dev;
    write.inode = info.st_ino;
    write.offset = offset;
    write.oldSize = oldSize;
    write.newSize = old.size() == fresh.size() ? oldSize : offset + fresh.size();
    write.oldBytes = old;
    write.newBytes = fresh;
    return write;
}

TEST(WriteJournal, AWriteKilledAtAnyMomentLeavesTheOldOrTheNewBytesAfterTheNextStart) {
    const std::string head = "ID3-old-head";
    const std::string body(5000, 'b');
    const struct {
        const char* what;
        std::uint64_t offset;  // where the write goes (0: the head, else the tail)
        std::string old;
        std::string fresh;
        std::size_t written;  // bytes of `fresh` on disk when the writer died
        bool cut;             // whether the file had been cut to its new length
        bool endsNew;         // the file holds the new bytes afterwards
        bool restored;        // the replay wrote the old bytes back
    } cases[] = {
        {"nothing written yet", 0, head, "ID3-NEW-HEAD", 0, false, false, false},
        {"a head half written", 0, head, "ID3-NEW-HEAD", 6, false, false, true},
        {"a head fully written", 0, head, "ID3-NEW-HEAD", 12, false, true, false},
        {"a longer tail half written", head.size() + body.size(), "TAG-old", "TAG-new-and-longer", 9, false,
         false, true},
        {"a longer tail fully written", head.size() + body.size(), "TAG-old", "TAG-new-and-longer", 18, false,
         true, false},
        {"a shorter tail written, not yet cut", head.size() + body.size(), "TAG-old-and-longer", "TAG-new", 7,
         false, false, true},
        {"a shorter tail written and cut", head.size() + body.size(), "TAG-old-and-longer", "TAG-new", 7, true,
         true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string journalFolder = dir / "journal";
        const std::string path = dir / "song.mp3";
        const bool atHead = c.offset == 0;
        const std::string before = atHead ? c.old + body : head + body + c.old;
        const std::string after = atHead ? c.fresh + body : head + body + c.fresh;
        dir.Write("song.mp3", before);
        ::link(path.c_str(), (dir / "second name.mp3").c_str());
        DieAfter([&] {
            WriteJournal journal(journalFolder);
            const InPlaceWrite write = WriteOf(path, c.offset, c.old, c.fresh, before.size());
            auto entry = journal.BeginInPlace(write);
            if (!entry) ::_exit(3);
            const int fd = ::open(path.c_str(), O_WRONLY);
            (void)!::pwrite(fd, c.fresh.data(), c.written, static_cast<off_t>(c.offset));
            if (c.cut) (void)!::ftruncate(fd, static_cast<off_t>(write.newSize));
            ::fsync(fd);
            ::_exit(0);
        });
        ASSERT_FALSE(Names(journalFolder).empty());  // the dead writer's record is there
        const ino_t inode = StatOf(path).st_ino;

        const JournalReplay replay = ReplayWriteJournal(journalFolder);
        EXPECT_EQ(dir.Read("song.mp3"), c.endsNew ? after : before);
        EXPECT_EQ(dir.Read("second name.mp3"), dir.Read("song.mp3"));
        EXPECT_EQ(StatOf(path).st_ino, inode);
        EXPECT_EQ(replay.restored, c.restored ? std::vector<std::string>{path} : std::vector<std::string>{});
        EXPECT_TRUE(replay.left.empty());
        EXPECT_EQ(JournalReplayNotice(replay).find(path) != std::string::npos, c.restored);
        EXPECT_TRUE(Names(journalFolder).empty());
        // A second start finds nothing more to do.
        EXPECT_TRUE(ReplayWriteJournal(journalFolder).Empty());
    }
}

TEST(WriteJournal, ARunningWritersRecordIsNotReplayedAndGoesWhenTheWriteIsOver) {
    TempDir dir;
    dir.Write("a.txt", "old bytes");
    WriteJournal journal(dir / "journal");
    auto entry = journal.BeginInPlace(WriteOf(dir / "a.txt", 0, "old bytes", "new bytes", 9));
    ASSERT_TRUE(entry) << entry.error().message;
    ::truncate((dir / "a.txt").c_str(), 3);  // torn, as it is in the middle of a write
    EXPECT_TRUE(ReplayWriteJournal(dir / "journal").Empty());
    EXPECT_EQ(dir.Read("a.txt"), "old");
    EXPECT_EQ(Names(dir / "journal").size(), 2u);  // the record and the copy of the old bytes
    EXPECT_TRUE(fs::exists(entry->KeptCopy()));
    entry->Close();
    EXPECT_TRUE(Names(dir / "journal").empty());
    // The journal keeps copies of the user's bytes: only the user may look.
    EXPECT_EQ(StatOf(dir / "journal").st_mode & 07777, 0700u);
}

TEST(WriteJournal, OnlyTheTemporariesItNamesAreRemoved) {
    TempDir dir;
    dir.Write("doc.txt", "old");
    dir.Write("keep.txt", "the user's");
    dir.Write(".varnel-notnamed0000.part", "someone else's");
    const std::string journalFolder = dir / "journal";
    DieAfter([&] {
        WriteJournal journal(journalFolder);
        // A replacement under way, its temporary half written.
        auto replacement = FileReplacement::Begin(dir / "doc.txt", SystemPosix(), true, &journal);
        if (!replacement) ::_exit(3);
        (void)!::write(replacement->Fd(), "ne", 2);
        // A name given but never made, and a name not of a temporary.
        auto unmade = journal.NoteTemporary(dir / ".varnel-nevermade000.part");
        auto other = journal.NoteTemporary(dir / "keep.txt");
        if (!unmade || !other) ::_exit(3);
        ::_exit(0);
    });
    EXPECT_EQ(Names(dir.Path()).size(), 5u);  // with the half-written temporary

    const JournalReplay replay = ReplayWriteJournal(journalFolder);
    EXPECT_EQ(Names(dir.Path()),
              (std::vector<std::string>{".varnel-notnamed0000.part", "doc.txt", "journal", "keep.txt"}));
    EXPECT_EQ(dir.Read("doc.txt"), "old");
    EXPECT_EQ(dir.Read("keep.txt"), "the user's");
    ASSERT_EQ(replay.removed.size(), 1u);
    EXPECT_TRUE(replay.removed[0].ends_with(".part"));
    EXPECT_NE(JournalReplayNotice(replay).find(replay.removed[0]), std::string::npos);
    EXPECT_TRUE(Names(journalFolder).empty());
}

TEST(WriteJournal, AFileReplacedMeanwhileOrACopyThatIsNotWholeIsLeftAlone) {
    enum class After { Replaced, CopyDamaged, CopyGone };
    for (const After after : {After::Replaced, After::CopyDamaged, After::CopyGone}) {
        SCOPED_TRACE(static_cast<int>(after));
        TempDir dir;
        const std::string journalFolder = dir / "journal";
        dir.Write("a.txt", "old content");
        std::string copy;
        DieAfter([&] {
            WriteJournal journal(journalFolder);
            auto entry = journal.BeginInPlace(WriteOf(dir / "a.txt", 0, "old content", "new content", 11));
            if (!entry) ::_exit(3);
            (void)!::truncate((dir / "a.txt").c_str(), 4);
            ::_exit(0);
        });
        for (const std::string& name : Names(journalFolder)) {
            if (name.ends_with(".old")) copy = journalFolder + "/" + name;
        }
        ASSERT_FALSE(copy.empty());
        std::string expected = "old ";
        if (after == After::Replaced) {
            // The user saved another file under the name: it is theirs.
            dir.Write("a.txt.new", "the user's own");
            fs::rename(dir / "a.txt.new", dir / "a.txt");
            expected = "the user's own";
        } else if (after == After::CopyDamaged) {
            ::truncate(copy.c_str(), 5);
        } else {
            fs::remove(copy);
        }
        const JournalReplay replay = ReplayWriteJournal(journalFolder);
        EXPECT_EQ(dir.Read("a.txt"), expected);
        EXPECT_TRUE(replay.restored.empty());
        EXPECT_EQ(replay.left.size(), after == After::Replaced ? 0u : 1u);
        EXPECT_TRUE(Names(journalFolder).empty());
    }
}

// The old bytes written back count only once they are closed without error: a
// close that fails leaves the record, and the next start finds the file whole.
TEST(WriteJournal, AWriteBackWhoseCloseFailsKeepsItsRecordForTheNextStart) {
    TempDir dir;
    const std::string journalFolder = dir / "journal";
    const std::string path = dir / "a.txt";
    dir.Write("a.txt", "old content");
    DieAfter([&] {
        WriteJournal journal(journalFolder);
        auto entry = journal.BeginInPlace(WriteOf(path, 0, "old content", "NEW CONTENT", 11));
        if (!entry) ::_exit(3);
        std::ofstream(path, std::ios::in | std::ios::out) << "NEW C";
        ::_exit(0);
    });
    const std::vector<std::string> records = Names(journalFolder);
    ASSERT_EQ(records.size(), 2u);

    testing::FaultyPosix os;
    os.FailOnce(testing::FaultyPosix::Call::Close, EIO);
    const JournalReplay failed = ReplayWriteJournal(journalFolder, os);
    EXPECT_TRUE(failed.restored.empty());
    ASSERT_EQ(failed.left.size(), 1u);
    EXPECT_EQ(failed.left[0].first, path);
    EXPECT_EQ(failed.left[0].second, SystemErrorReason(EIO));
    EXPECT_EQ(dir.Read("a.txt"), "old content");
    EXPECT_EQ(Names(journalFolder), records);

    const JournalReplay next = ReplayWriteJournal(journalFolder);
    EXPECT_TRUE(next.Empty());
    EXPECT_EQ(dir.Read("a.txt"), "old content");
    EXPECT_TRUE(Names(journalFolder).empty());
}

TEST(WriteJournal, ARecordCutShortOrForeignIsDroppedUntouched) {
    TempDir dir;
    dir.Write("a.txt", "content");
    fs::create_directory(dir / "journal");
    const std::string path = dir / "a.txt";
    const std::string cut = "varnel write journal 1\nkind 8:in-place\npath " + std::to_string(path.size()) + ":" +
                            path + "\ndevice 1:";
    std::ofstream(dir / "journal/1-1.journal") << cut;
    std::ofstream(dir / "journal/1-2.journal") << "something else\n";
    std::ofstream(dir / "journal/1-3.journal.old") << "a copy without its record";
    const JournalReplay replay = ReplayWriteJournal(dir / "journal");
    EXPECT_TRUE(replay.Empty());
    EXPECT_EQ(dir.Read("a.txt"), "content");
    EXPECT_TRUE(Names(dir / "journal").empty());
    // No folder, nothing to do.
    EXPECT_TRUE(ReplayWriteJournal(dir / "none").Empty());
    EXPECT_FALSE(fs::exists(dir / "none"));
}

}  // namespace
}  // namespace varnel
