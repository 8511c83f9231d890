#include "platform/file_io.h"

#include <filesystem>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/mapped_file.h"
#include "support/child_probe.h"
#include "support/faulty_posix.h"
#include "support/pipe_swap.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::FaultyPosix;
using testing::TempDir;

std::size_t EntryCount(const std::string& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
    return count;
}

TEST(AtomicWrite, ReplacesContentAndKeepsMode) {
    TempDir dir;
    dir.Write("a.ini", "old");
    ::chmod((dir / "a.ini").c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomically(dir / "a.ini", "new content"));
    EXPECT_EQ(dir.Read("a.ini"), "new content");
    struct stat info {};
    ::stat((dir / "a.ini").c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(EntryCount(dir.Path()), 1u);  // no temporary file left
}

TEST(AtomicWrite, FollowsSymbolicLinkAndKeepsIt) {
    TempDir dir;
    dir.Write("real.ini", "old");
    std::filesystem::create_symlink(dir / "real.ini", dir / "link.ini");
    ASSERT_TRUE(WriteFileAtomically(dir / "link.ini", "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
    EXPECT_EQ(dir.Read("real.ini"), "new");
}

TEST(AtomicWrite, AnyFailureLeavesTheOldFileAndNoTemporary) {
    const FaultyPosix::Fault faults[] = {
        {FaultyPosix::Call::Open, EACCES},
        {FaultyPosix::Call::Write, ENOSPC},
        {FaultyPosix::Call::Fsync, EIO},
        {FaultyPosix::Call::Close, EIO},
        {FaultyPosix::Call::Rename, EXDEV},
    };
    for (const auto& fault : faults) {
        SCOPED_TRACE(static_cast<int>(fault.call));
        TempDir dir;
        dir.Write("a.ini", "old");
        FaultyPosix os;
        os.Fail(fault);
        const auto result = WriteFileAtomically(dir / "a.ini", "new", os);
        ASSERT_FALSE(result.has_value());
        EXPECT_EQ(result.error().code, fault.error);
        EXPECT_EQ(result.error().path, dir / "a.ini");
        EXPECT_EQ(dir.Read("a.ini"), "old");
        EXPECT_EQ(EntryCount(dir.Path()), 1u);
    }
}

TEST(AtomicWrite, RefusesToReplaceAFolder) {
    TempDir dir;
    std::filesystem::create_directory(dir / "sub");
    EXPECT_FALSE(WriteFileAtomically(dir / "sub", "x").has_value());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "sub"));
}

TEST(Folders, EnsureDirectoryMakesParents) {
    TempDir dir;
    ASSERT_TRUE(EnsureDirectory(dir / "a/b/c", 0700));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "a/b/c"));
    ASSERT_TRUE(EnsureDirectory(dir / "a/b/c", 0700));  // already there
    dir.Write("file", "x");
    EXPECT_EQ(EnsureDirectory(dir / "file/sub", 0700).error().code, ENOTDIR);
}

TEST(Files, ReadMissingFileReportsErrno) {
    TempDir dir;
    const auto read = ReadWholeFile(dir / "missing");
    ASSERT_FALSE(read.has_value());
    EXPECT_EQ(read.error().code, ENOENT);
}

// A named pipe with no writer, a socket, a folder and a device, each with the
// kind of name a user's list may hold, and a link to the pipe.
struct SpecialFiles {
    TempDir dir;
    std::string fifo = dir / "pipe.log";
    std::string socket = dir / "page.htm";
    std::string folder = dir / "folder.txt";
    std::string link = dir / "link.txt";
    int socketFd = -1;

    SpecialFiles() {
        ::mkfifo(fifo.c_str(), 0644);
        std::filesystem::create_directory(folder);
        ::symlink(fifo.c_str(), link.c_str());
        socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        socket.copy(address.sun_path, sizeof(address.sun_path) - 1);
        ::bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    }
    ~SpecialFiles() { ::close(socketFd); }
    std::vector<std::string> All() const { return {fifo, socket, folder, link, "/dev/null"}; }
};

// Each reader, run in a child so that a blocking open ends in the hang guard
// rather than holding the test program: every kind is refused with a reason.
TEST(UserFileReaders, RefuseAnythingButARegularFileWithoutWaiting) {
    const SpecialFiles files;
    const std::vector<std::pair<const char*, std::function<std::expected<void, Error>(const std::string&)>>> readers = {
        {"open", [](const std::string& path) -> std::expected<void, Error> {
             auto fd = OpenUserFileForReading(path);
             if (!fd) return std::unexpected(fd.error());
             return {};
         }},
        {"head", [](const std::string& path) -> std::expected<void, Error> {
             auto head = ReadFileHead(path, 4096);
             if (!head) return std::unexpected(head.error());
             return {};
         }},
        {"whole", [](const std::string& path) -> std::expected<void, Error> {
             auto whole = ReadWholeFile(path);
             if (!whole) return std::unexpected(whole.error());
             return {};
         }},
        {"chunks", [](const std::string& path) { return ReadFileInChunks(path, [](std::string_view) {}); }},
        {"mapped", [](const std::string& path) -> std::expected<void, Error> {
             auto file = MappedFile::Open(path, SystemPosix(), 0);
             if (!file) return std::unexpected(file.error());
             return {};
         }},
        {"mapped small", [](const std::string& path) -> std::expected<void, Error> {
             auto file = MappedFile::Open(path);
             if (!file) return std::unexpected(file.error());
             return {};
         }},
    };
    for (const auto& [name, read] : readers) {
        for (const std::string& path : files.All()) {
            SCOPED_TRACE(std::string(name) + " " + path);
            const auto outcome = testing::RunInChild([&] {
                const auto result = read(path);
                if (result) return 1;
                return result.error().message.find("不是普通文件") != std::string::npos ||
                               result.error().code == EISDIR
                           ? 0
                           : 2;
            });
            EXPECT_TRUE(outcome.exited) << "the reader blocked";
            EXPECT_EQ(outcome.exitCode, 0);
        }
    }
}

// Another program swaps a pipe in between the look and the open: every reader
// refuses it at once, with what it is, instead of waiting for a writer forever.
TEST(UserFileReaders, APipeSwappedInAfterTheLookIsRefusedWithoutWaiting) {
    const std::vector<std::pair<const char*, std::function<std::expected<void, Error>(const std::string&, PosixApi&)>>>
        readers = {
            {"whole", [](const std::string& path, PosixApi& os) -> std::expected<void, Error> {
                 auto whole = ReadWholeFile(path, os);
                 if (!whole) return std::unexpected(whole.error());
                 return {};
             }},
            {"mapped", [](const std::string& path, PosixApi& os) -> std::expected<void, Error> {
                 auto file = MappedFile::Open(path, os, 0);
                 if (!file) return std::unexpected(file.error());
                 return {};
             }},
            {"mapped small", [](const std::string& path, PosixApi& os) -> std::expected<void, Error> {
                 auto file = MappedFile::Open(path, os);
                 if (!file) return std::unexpected(file.error());
                 return {};
             }},
        };
    for (const auto& [name, read] : readers) {
        SCOPED_TRACE(name);
        TempDir dir;
        dir.Write("a.txt", "hello");
        ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);
        testing::SwapsInAPipeOnOpen os(dir / "a.txt", dir / "pipe");
        const auto outcome = testing::RunInChild(
            [&] {
                const auto result = read(dir / "a.txt", os);
                if (result) return 1;
                return result.error().message.find("是命名管道") != std::string::npos ? 0 : 2;
            },
            20);
        EXPECT_TRUE(outcome.exited) << "the reader waited for a writer";
        EXPECT_EQ(outcome.exitCode, 0);
    }
}

TEST(UserFileReaders, OpenRegularFileReadsBlockingAndReportsItsStat) {
    TempDir dir;
    dir.Write("a.txt", "hello");
    struct stat info {};
    const auto fd = OpenUserFileForReading(dir / "a.txt", SystemPosix(), &info);
    ASSERT_TRUE(fd.has_value()) << fd.error().message;
    EXPECT_EQ(::fcntl(fd->Get(), F_GETFL) & O_NONBLOCK, 0);
    EXPECT_EQ(info.st_size, 5);
    const auto names = OpenUserFileForReading(dir / "pipe.log");
    ASSERT_FALSE(names.has_value());
    EXPECT_EQ(names.error().code, ENOENT);
}

// A sparse 3 GB file: the head reader reads its limit and no more, in bounded memory.
TEST(UserFileReaders, HeadOfAHugeFileStaysBounded) {
    TempDir dir;
    const std::string huge = dir / "huge.html";
    {
        const int fd = ::open(huge.c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_EQ(::ftruncate(fd, 3LL << 30), 0);
        ::close(fd);
    }
    const auto outcome = testing::RunInChild([&] {
        const auto head = ReadFileHead(huge, 65536);
        return head && head->size() == 65536 ? 0 : 1;
    });
    EXPECT_TRUE(outcome.exited);
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_LT(outcome.peakKilobytes, outcome.startKilobytes + 64 * 1024);
    dir.Write("small.txt", "abc");
    EXPECT_EQ(ReadFileHead(dir / "small.txt", 1 << 30).value(), "abc");
}

}  // namespace
}  // namespace varnel
