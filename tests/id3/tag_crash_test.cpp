// A tag written in place by a process that is killed half way is put right at
// the next start, for every name of the file; a tag that no longer fits is
// written in place too where a rename would split the file's names.
#include <algorithm>
#include <csignal>
#include <filesystem>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "id3/id3v2_tag.h"
#include "id3_fixtures.h"
#include "platform/write_journal.h"
#include "support/killed_child.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;
using testing::FrameV23;
using testing::MpegAudio;
using testing::TagV2;
using testing::TempDir;

// Tells the parent through a pipe once `after` bytes have been written in place,
// then waits to be killed.
class PausingPosix : public PosixApi {
public:
    PausingPosix(int pipe, std::size_t after) : m_pipe(pipe), m_after(after) {}
    ssize_t Pwrite(int fd, const void* buffer, size_t size, off_t offset) override {
        if (m_placed >= m_after) testing::PauseForKill(m_pipe);
        const ssize_t written = PosixApi::Pwrite(fd, buffer, std::min<size_t>(size, 64), offset);
        if (written > 0) m_placed += static_cast<std::size_t>(written);
        return written;
    }

private:
    int m_pipe;
    std::size_t m_after;
    std::size_t m_placed = 0;
};

ino_t InodeOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_ino;
}

TEST(TagCrash, AKilledInPlaceTagWriteIsPutRightAtTheNextStartForEveryName) {
    const std::string audio = MpegAudio(3 << 20);
    const std::string oldTag = TagV2(3, 0, FrameV23("TIT2", std::string("\0old", 4)) + std::string(20000, '\0'));
    const struct {
        const char* what;
        std::size_t titleLength;  // of the new title: one that fits the old room, or not
        std::size_t killAfter;    // bytes written in place when killed
        bool restored;
    } cases[] = {
        // The tag's padding is zeros before and after: killed inside the title.
        {"a tag in its old room, half written", 100, 64, true},
        {"a grown tag moving the audio, half written", 40000, 1 << 20, true},
        {"a grown tag, before its first byte", 40000, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        TempDir cache;
        testing::ScopedEnv env("XDG_CACHE_HOME", cache.Path());
        const std::string path = dir / "song.mp3";
        dir.Write("song.mp3", oldTag + audio);
        fs::create_hard_link(path, dir / "same song.mp3");
        const ino_t inode = InodeOf(path);
        testing::KillWhenPaused([&](int pipe) {
            PausingPosix os(pipe, c.killAfter);
            Id3v2Tag tag;
            tag.title = std::string(c.titleLength, 't');
            (void)WriteId3v2Tag(path, tag, os);
        });

        const JournalReplay replay = ReplayWriteJournal();
        EXPECT_TRUE(dir.Read("song.mp3") == oldTag + audio);
        EXPECT_TRUE(dir.Read("same song.mp3") == oldTag + audio);
        EXPECT_EQ(InodeOf(path), inode);
        EXPECT_EQ(replay.restored.size(), c.restored ? 1u : 0u);
        EXPECT_EQ(JournalReplayNotice(replay).find(path) != std::string::npos, c.restored);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);
    }
}

TEST(TagCrash, AGrownTagReachesEveryNameOfTheFile) {
    TempDir dir;
    const std::string audio = MpegAudio(5000);
    const std::string path = dir / "song.mp3";
    dir.Write("song.mp3", TagV2(3, 0, FrameV23("TIT2", std::string("\0old", 4))) + audio);
    fs::create_hard_link(path, dir / "same song.mp3");
    const ino_t inode = InodeOf(path);
    Id3v2Tag tag;
    tag.title = std::string(3000, 'g');
    ASSERT_TRUE(WriteId3v2Tag(dir / "same song.mp3", tag));
    for (const char* name : {"song.mp3", "same song.mp3"}) {
        Id3v2Tag read;
        ASSERT_EQ(ReadId3v2Tag(dir / name, read), TagReadResult::Found);
        EXPECT_EQ(read.title, tag.title);
        EXPECT_EQ(InodeOf(dir / name), inode);
        EXPECT_TRUE(dir.Read(name).ends_with(audio));
    }
}

}  // namespace
}  // namespace varnel
