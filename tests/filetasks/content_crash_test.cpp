// A process killed while it rewrites a file leaves the old content or the new one.
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "filetasks/content_rewrite.h"
#include "platform/write_journal.h"
#include "runs/undo_spool.h"
#include "support/killed_child.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

// Tells the parent through a pipe once `after` bytes are written (or at the given
// call), then waits to be killed. Writes at an offset (the in-place ones) are
// counted on their own.
class PausingPosix : public PosixApi {
public:
    enum class At { Write, Fsync, Rename, Pwrite };
    PausingPosix(int pipe, At at, std::size_t after) : m_pipe(pipe), m_at(at), m_after(after) {}
    ssize_t Write(int fd, const void* buffer, size_t size) override {
        if (m_at == At::Write && m_written >= m_after) Pause();
        const ssize_t written = PosixApi::Write(fd, buffer, std::min<size_t>(size, 1 << 16));
        if (written > 0) m_written += static_cast<std::size_t>(written);
        return written;
    }
    ssize_t Pwrite(int fd, const void* buffer, size_t size, off_t offset) override {
        if (m_at == At::Pwrite && m_placed >= m_after) Pause();
        const ssize_t written = PosixApi::Pwrite(fd, buffer, std::min<size_t>(size, 1 << 16), offset);
        if (written > 0) m_placed += static_cast<std::size_t>(written);
        return written;
    }
    int Fsync(int fd) override {
        if (m_at == At::Fsync) Pause();
        return PosixApi::Fsync(fd);
    }
    int Rename(const char* from, const char* to) override {
        const int result = PosixApi::Rename(from, to);
        if (m_at == At::Rename) Pause();
        return result;
    }

private:
    void Pause() { testing::PauseForKill(m_pipe); }
    int m_pipe;
    At m_at;
    std::size_t m_after;
    std::size_t m_written = 0;
    std::size_t m_placed = 0;
};

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::ranges::sort(names);
    return names;
}

TEST(ContentCrash, AKilledRewriteLeavesTheOldOrTheNewContent) {
    using At = PausingPosix::At;
    const std::string before(8 << 20, 'o');
    const std::string after((8 << 20) + 5, 'n');
    const struct {
        At at;
        std::size_t bytes;
        bool newContent;
    } cases[] = {{At::Write, 0, false}, {At::Write, 3 << 20, false}, {At::Fsync, 0, false}, {At::Rename, 0, true}};
    for (const auto& c : cases) {
        testing::TempDir dir;
        dir.Write("doc.txt", before);
        testing::KillWhenPaused([&](int pipe) {
            PausingPosix os(pipe, c.at, c.bytes);
            (void)RewriteFileContent(dir / "doc.txt", before, after, nullptr, os);
        });
        const std::string now = dir.Read("doc.txt");
        EXPECT_EQ(now, c.newContent ? after : before) << int(c.at) << " " << c.bytes;
    }
}

TEST(ContentCrash, AKilledRewriteIsPutRightAtTheNextStartForEveryName) {
    using At = PausingPosix::At;
    constexpr std::size_t kSize = std::size_t{96} << 20;
    const std::string before(kSize, 'o');
    const std::string after(kSize + 5, 'n');
    const struct {
        const char* what;
        int names;
        At at;
        std::size_t bytes;
        bool newContent;
        bool restored;  // the next start put the old bytes back
    } cases[] = {
        {"two names, while the old bytes are kept", 2, At::Write, 10 << 20, false, false},
        {"two names, before the first byte", 2, At::Pwrite, 0, false, false},
        {"two names, half written", 2, At::Pwrite, 48 << 20, false, true},
        {"two names, written, not yet synced", 2, At::Fsync, 0, true, false},
        {"one name, the temporary half written", 1, At::Write, 48 << 20, false, false},
        {"one name, renamed", 1, At::Rename, 0, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testing::TempDir dir;
        testing::TempDir cache;
        dir.Write("doc.txt", before);
        if (c.names == 2) fs::create_hard_link(dir / "doc.txt", dir / "other name.txt");
        // The sixth sync of a two-name rewrite is the file's own (after the kept
        // copy, the record and its folder, the spool's name and its folder).
        int syncs = 0;
        testing::KillWhenPaused([&](int pipe) {
            struct Pausing : PausingPosix {
                Pausing(int pipe, At at, std::size_t after, int& syncs, bool fileSync)
                    : PausingPosix(pipe, at, after), m_syncs(syncs), m_fileSync(fileSync) {}
                int Fsync(int fd) override {
                    if (m_fileSync && ++m_syncs < 6) return PosixApi::Fsync(fd);
                    return PausingPosix::Fsync(fd);
                }
                int& m_syncs;
                bool m_fileSync;
            } os(pipe, c.at, c.bytes, syncs, c.at == At::Fsync);
            WriteJournal journal(cache / "journal", os);
            UndoSpool spool(cache / "undo", os);
            (void)RewriteFileContent(dir / "doc.txt", before, after, &spool, os, journal);
        });
        const JournalReplay replay = ReplayWriteJournal(cache / "journal");
        const std::string now = dir.Read("doc.txt");
        EXPECT_TRUE(now == (c.newContent ? after : before));
        std::vector<std::string> names{"doc.txt"};
        if (c.names == 2) {
            EXPECT_TRUE(dir.Read("other name.txt") == now);
            names.push_back("other name.txt");
        }
        EXPECT_EQ(Names(dir.Path()), names);
        EXPECT_EQ(replay.restored, c.restored ? std::vector<std::string>{dir / "doc.txt"} : std::vector<std::string>{});
        EXPECT_EQ(JournalReplayNotice(replay).find(dir / "doc.txt") != std::string::npos, c.restored);
        EXPECT_TRUE(Names(cache / "journal").empty());
    }
}

}  // namespace
}  // namespace varnel
