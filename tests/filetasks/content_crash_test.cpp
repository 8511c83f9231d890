// A process killed while it rewrites a file leaves the old content or the new one.
#include <csignal>
#include <filesystem>

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "filetasks/content_rewrite.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

// Tells the parent through a pipe once `after` bytes are written (or at the given
// call), then waits to be killed.
class PausingPosix : public PosixApi {
public:
    enum class At { Write, Fsync, Rename };
    PausingPosix(int pipe, At at, std::size_t after) : m_pipe(pipe), m_at(at), m_after(after) {}
    ssize_t Write(int fd, const void* buffer, size_t size) override {
        if (m_at == At::Write && m_written >= m_after) Pause();
        const ssize_t written = PosixApi::Write(fd, buffer, std::min<size_t>(size, 1 << 16));
        if (written > 0) m_written += static_cast<std::size_t>(written);
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
    void Pause() {
        const char ready = 1;
        (void)!::write(m_pipe, &ready, 1);
        for (;;) ::pause();
    }
    int m_pipe;
    At m_at;
    std::size_t m_after;
    std::size_t m_written = 0;
};

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
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(fds[0]);
            PausingPosix os(fds[1], c.at, c.bytes);
            (void)RewriteFileContent(dir / "doc.txt", before, after, nullptr, os);
            ::_exit(0);
        }
        ::close(fds[1]);
        char ready = 0;
        ASSERT_EQ(::read(fds[0], &ready, 1), 1);
        ::close(fds[0]);
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        const std::string now = dir.Read("doc.txt");
        EXPECT_EQ(now, c.newContent ? after : before) << int(c.at) << " " << c.bytes;
    }
}

}  // namespace
}  // namespace varnel
