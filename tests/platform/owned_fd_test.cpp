#include "platform/owned_fd.h"

#include <map>
#include <utility>

#include <fcntl.h>
#include <gtest/gtest.h>

#include "platform/retry_on_eintr.h"
#include "support/faulty_posix.h"

namespace varnel {
namespace {

using testing::FaultyPosix;

// Counts each descriptor's closes, so that a leak or a double close shows.
class CountingPosix : public FaultyPosix {
public:
    int Close(int fd) override {
        ++closes[fd];
        return FaultyPosix::Close(fd);
    }
    std::map<int, int> closes;
};

int OpenNull(PosixApi& os) { return os.Open("/dev/null", O_RDONLY | O_CLOEXEC, 0); }

TEST(OwnedFd, EveryDescriptorIsClosedOnceThroughItsPosixApiWhateverMovesIt) {
    CountingPosix os;
    const int a = OpenNull(os);
    const int b = OpenNull(os);
    const int c = OpenNull(os);
    ASSERT_GE(c, 0);
    {
        OwnedFd first(a, os);
        OwnedFd moved(std::move(first));
        EXPECT_FALSE(first.IsOpen());
        EXPECT_EQ(moved.Get(), a);
        OwnedFd second(b, os);
        second = std::move(moved);  // b is closed here, a now lives in `second`
        EXPECT_EQ(os.closes[b], 1);
        EXPECT_EQ(os.closes[a], 0);
        OwnedFd released(c, os);
        EXPECT_EQ(released.Release(), c);
        EXPECT_FALSE(released.IsOpen());
    }
    EXPECT_EQ(os.closes[a], 1);
    EXPECT_EQ(os.closes[b], 1);
    EXPECT_EQ(os.closes[c], 0);  // released: its new owner closes it
    os.PosixApi::Close(c);
    OwnedFd empty;
    EXPECT_TRUE(empty.Close("/x").has_value());
}

TEST(OwnedFd, AFailedCloseIsReportedWithItsErrnoAndNeverRepeated) {
    CountingPosix os;
    const int fd = OpenNull(os);
    {
        OwnedFd owned(fd, os);
        os.FailOnce(FaultyPosix::Call::Close, EIO);
        const auto closed = owned.Close("/data/a.txt");
        ASSERT_FALSE(closed.has_value());
        EXPECT_EQ(closed.error().code, EIO);
        EXPECT_EQ(closed.error().path, "/data/a.txt");
        EXPECT_EQ(closed.error().message, MakeSystemError(EIO, "", "写入失败").message);
        EXPECT_FALSE(owned.IsOpen());
    }
    EXPECT_EQ(os.closes[fd], 1);
    os.FailOnce(FaultyPosix::Call::Close, ENOSPC);
    const auto named = OwnedFd(OpenNull(os), os).Close("/b", "无法保存原内容");
    ASSERT_FALSE(named.has_value());
    EXPECT_EQ(named.error().message, MakeSystemError(ENOSPC, "", "无法保存原内容").message);
}

TEST(OwnedFd, ASilentCloseKeepsTheErrnoOfTheFailureBeingReported) {
    FaultyPosix os;
    os.Fail(FaultyPosix::Call::Close, EIO);
    {
        OwnedFd owned(OpenNull(os), os);
        OwnedFd replaced(OpenNull(os), os);
        errno = ENOSPC;
        replaced = std::move(owned);
        EXPECT_EQ(errno, ENOSPC);
    }
    EXPECT_EQ(errno, ENOSPC);
}

TEST(RetryOnEintr, RepeatsOnlyInterruptedCallsAndKeepsTheResult) {
    struct Case {
        const char* name;
        std::vector<std::pair<long, int>> results;  // what each call returns, with its errno
        long expected;
        int expectedErrno;
        std::size_t calls;
    };
    const Case cases[] = {
        {"succeeds at once", {{5, 0}}, 5, 0, 1},
        {"interrupted twice", {{-1, EINTR}, {-1, EINTR}, {7, 0}}, 7, 0, 3},
        {"another failure", {{-1, EINTR}, {-1, EAGAIN}, {1, 0}}, -1, EAGAIN, 2},
        {"zero is a result", {{0, EINTR}}, 0, EINTR, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::size_t calls = 0;
        const long got = RetryOnEintr([&]() -> long {
            const auto [result, error] = c.results[calls++];
            errno = error;
            return result;
        });
        EXPECT_EQ(got, c.expected);
        EXPECT_EQ(calls, c.calls);
        if (c.expected == -1) {
            EXPECT_EQ(errno, c.expectedErrno);
        }
    }
}

}  // namespace
}  // namespace varnel
