// Where a tag write goes: into the old tag's room, in place (same inode, hard links
// kept, audio untouched), or through a rewrite of the whole file when the new tag
// is too big; and a failed in-place write that leaves the old bytes.
#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "id3/id3_tag_pair.h"
#include "id3_fixtures.h"
#include "mutagen_check.h"
#include "support/faulty_posix.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using namespace varnel::testing;

struct stat StatOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info;
}

std::string Picture() {
    std::string picture = std::string("\0image/jpeg\0\3\0", 14);
    for (int i = 0; i < 5000; ++i) picture += static_cast<char>(i * 13);
    return picture;
}

// A version 2.3 tag with a title, a picture and `padding` zero bytes inside its size.
std::string OldTag(std::size_t padding) {
    return TagV2(3, 0,
                 FrameV23("TIT2", std::string("\0old", 4)) + FrameV23("APIC", Picture()) +
                     std::string(padding, '\0'));
}

// What mutagen reads: the version, the title and the picture's length.
std::string MutagenView(const TempDir& dir, const std::string& path) {
    return Python(dir, R"(
import sys
from mutagen.id3 import ID3
t = ID3(sys.argv[1])
print(t.version, t["TIT2"].text[0], len(t.getall("APIC")[0].data))
)",
                  path);
}

TEST(TagInPlace, NewTagThatFitsGoesIntoTheOldTagsRoom) {
    TempDir dir;
    const std::string old = OldTag(1000);
    // Zero bytes an older writer left after its tag stay where they are.
    const std::string rest = std::string(40, '\0') + MpegAudio(2000) + Id3v1Block("one", 1, 17);
    dir.Write("a.mp3", old + rest);
    const struct stat before = StatOf(dir / "a.mp3");

    Id3v2Tag tag;
    ASSERT_EQ(ReadId3v2Tag(dir / "a.mp3", tag), TagReadResult::Found);
    tag.title = "a longer new title";
    ASSERT_TRUE(WriteId3v2Tag(dir / "a.mp3", tag));
    Id3v1Tag v1;
    ASSERT_EQ(ReadId3v1Tag(dir / "a.mp3", v1), TagReadResult::Found);
    v1.title = "two";
    ASSERT_TRUE(WriteId3v1Tag(dir / "a.mp3", v1));

    const std::string file = dir.Read("a.mp3");
    const struct stat after = StatOf(dir / "a.mp3");
    EXPECT_EQ(after.st_ino, before.st_ino);
    ASSERT_EQ(file.size(), old.size() + rest.size());
    EXPECT_TRUE(file.substr(old.size(), rest.size() - 128) == rest.substr(0, rest.size() - 128));
    EXPECT_EQ(file.substr(0, 10), TagV2(3, 0, "", static_cast<std::int64_t>(old.size()) - 10));
    Id3v2Tag back;
    ASSERT_EQ(ReadId3v2Tag(dir / "a.mp3", back), TagReadResult::Found);
    EXPECT_EQ(back.title, "a longer new title");
    ASSERT_EQ(ReadId3v1Tag(dir / "a.mp3", v1), TagReadResult::Found);
    EXPECT_EQ(v1.title, "two");
    if (HasMutagen()) EXPECT_EQ(MutagenView(dir, dir / "a.mp3"), "(2, 3, 0) a longer new title 5000\n");
}

TEST(TagInPlace, NewTagTooBigForTheRoomRewritesTheFile) {
    TempDir dir;
    const std::string old = OldTag(0);
    const std::string audio = MpegAudio(2000);
    dir.Write("a.mp3", old + std::string(300, '\0') + audio);
    const struct stat before = StatOf(dir / "a.mp3");

    Id3v2Tag tag;
    ASSERT_EQ(ReadId3v2Tag(dir / "a.mp3", tag), TagReadResult::Found);
    tag.title = "a longer new title";
    ASSERT_TRUE(WriteId3v2Tag(dir / "a.mp3", tag));

    // A new file took the name; the old zero padding is gone, the audio the same.
    EXPECT_NE(StatOf(dir / "a.mp3").st_ino, before.st_ino);
    const std::string frames =
        FrameV23("TIT2", std::string("\0a longer new title", 19)) + FrameV23("APIC", Picture());
    EXPECT_TRUE(dir.Read("a.mp3") == BuildId3v2TagBytes(frames) + audio);
    if (HasMutagen()) EXPECT_EQ(MutagenView(dir, dir / "a.mp3"), "(2, 3, 0) a longer new title 5000\n");
}

TEST(TagInPlace, HardLinkedFileStaysOneFile) {
    TempDir dir;
    const std::string audio = MpegAudio(1000);
    dir.Write("a.mp3", OldTag(200) + audio);
    ASSERT_EQ(::link((dir / "a.mp3").c_str(), (dir / "b.mp3").c_str()), 0);
    const auto linked = [&] {
        EXPECT_EQ(StatOf(dir / "a.mp3").st_ino, StatOf(dir / "b.mp3").st_ino);
        EXPECT_EQ(StatOf(dir / "a.mp3").st_nlink, 2u);
    };

    Id3v2Tag v2;
    v2.title = "new";
    ASSERT_TRUE(WriteId3v2Tag(dir / "a.mp3", v2));
    linked();
    Id3v1Tag v1;
    v1.title = "appended";
    ASSERT_TRUE(WriteId3v1Tag(dir / "a.mp3", v1));  // the file had no ID3v1 block
    linked();
    v1.title = "replaced";
    ASSERT_TRUE(WriteId3v1Tag(dir / "a.mp3", v1));
    linked();

    Id3TagPair seen;
    ASSERT_EQ(ReadId3v2Tag(dir / "b.mp3", seen.v2), TagReadResult::Found);
    ASSERT_EQ(ReadId3v1Tag(dir / "b.mp3", seen.v1), TagReadResult::Found);
    EXPECT_EQ(seen.v2.title, "new");
    EXPECT_EQ(seen.v1.title, "replaced");
    const std::string file = dir.Read("b.mp3");
    EXPECT_TRUE(file.substr(OldTag(200).size(), audio.size()) == audio);

    ASSERT_TRUE(RemoveId3v1Tag(dir / "a.mp3"));
    linked();
    EXPECT_TRUE(dir.Read("b.mp3") == file.substr(0, file.size() - 128));
}

// Refuses to open an existing file for writing, and says so when asked, as a
// file of mode 0444 refuses a user (the tests may run as root, which no mode
// stops); new files can be made.
class ReadOnlyFiles : public PosixApi {
public:
    int Open(const char* path, int flags, mode_t mode) override {
        if ((flags & O_ACCMODE) != O_RDONLY && (flags & O_CREAT) == 0) {
            errno = EACCES;
            return -1;
        }
        return PosixApi::Open(path, flags, mode);
    }
    int Access(const char* path, int mode) override {
        if ((mode & W_OK) != 0) {
            errno = EACCES;
            return -1;
        }
        return PosixApi::Access(path, mode);
    }
};

TEST(TagInPlace, FileThatMayNotBeWrittenIsLeftUntouched) {
    TempDir dir;
    const std::string audio = MpegAudio(900);
    dir.Write("a.mp3", OldTag(300) + audio + std::string("TAG") + std::string(125, 'x'));
    const std::string before = dir.Read("a.mp3");
    ReadOnlyFiles os;
    Id3v2Tag v2;
    v2.title = "new";
    EXPECT_FALSE(WriteId3v2Tag(dir / "a.mp3", v2, os));
    v2.title = std::string(2000, 'g');  // a tag that no longer fits its room
    EXPECT_FALSE(WriteId3v2Tag(dir / "a.mp3", v2, os));
    Id3v1Tag v1;
    v1.title = "one";
    EXPECT_FALSE(WriteId3v1Tag(dir / "a.mp3", v1, os));
    EXPECT_FALSE(RemoveId3v1Tag(dir / "a.mp3", os));
    EXPECT_TRUE(dir.Read("a.mp3") == before);
    EXPECT_EQ(std::filesystem::directory_iterator(dir.Path())->path().filename(), "a.mp3");
}

// With `tear`, tears the first positioned write half way and fails the second; the
// ones after (putting the old bytes back) go through.
class TornWrite : public FaultyPosix {
public:
    bool tear = false;

    ssize_t Pwrite(int fd, const void* buffer, size_t size, off_t offset) override {
        if (!tear) return PosixApi::Pwrite(fd, buffer, size, offset);
        ++m_calls;
        if (m_calls == 1 && size > 1) return PosixApi::Pwrite(fd, buffer, size / 2, offset);
        if (m_calls == 2) {
            errno = ENOSPC;
            return -1;
        }
        return PosixApi::Pwrite(fd, buffer, size, offset);
    }

private:
    int m_calls = 0;
};

TEST(TagInPlace, FailedWriteLeavesTheOldBytes) {
    const std::string audio = MpegAudio(700);
    const std::string withV1 = OldTag(300) + audio + Id3v1Block("old", 1, 17);
    Id3v2Tag v2;
    v2.title = "new";
    Id3v1Tag v1;
    v1.title = "new";
    struct Case {
        const char* what;
        std::string file;
        std::function<bool(const std::string&, PosixApi&)> write;
    };
    const Case cases[] = {
        {"ID3v2 into its room", withV1, [&](const std::string& p, PosixApi& os) { return WriteId3v2Tag(p, v2, os); }},
        {"ID3v1 over the old block", withV1,
         [&](const std::string& p, PosixApi& os) { return WriteId3v1Tag(p, v1, os); }},
        {"ID3v1 appended", OldTag(300) + audio,
         [&](const std::string& p, PosixApi& os) { return WriteId3v1Tag(p, v1, os); }},
        {"ID3v1 removed", withV1, [&](const std::string& p, PosixApi& os) { return RemoveId3v1Tag(p, os); }},
    };
    // A removal only cuts the file; the other writes only write.
    struct Fault {
        const char* what;
        bool forRemoval;
        std::function<void(TornWrite&)> arm;
    };
    const Fault faults[] = {
        {"torn write", false, [](TornWrite& os) { os.tear = true; }},
        {"cut", true, [](TornWrite& os) { os.Fail(FaultyPosix::Call::Ftruncate, EIO); }},
        {"sync", false, [](TornWrite& os) { os.Fail(FaultyPosix::Call::Fsync, EIO); }},
        {"sync", true, [](TornWrite& os) { os.Fail(FaultyPosix::Call::Fsync, EIO); }},
        {"close", false, [](TornWrite& os) { os.Fail(FaultyPosix::Call::Close, EIO); }},
        {"close", true, [](TornWrite& os) { os.Fail(FaultyPosix::Call::Close, EIO); }},
    };
    for (const Case& c : cases) {
        for (const Fault& fault : faults) {
            if (fault.forRemoval != (c.what == std::string("ID3v1 removed"))) continue;
            SCOPED_TRACE(std::string(c.what) + ", failing " + fault.what);
            TempDir dir;
            dir.Write("a.mp3", c.file);
            const ino_t inode = StatOf(dir / "a.mp3").st_ino;
            TornWrite os;
            fault.arm(os);
            EXPECT_FALSE(c.write(dir / "a.mp3", os));
            EXPECT_TRUE(dir.Read("a.mp3") == c.file);
            EXPECT_EQ(StatOf(dir / "a.mp3").st_ino, inode);
        }
    }
}

}  // namespace
}  // namespace varnel
