#include "platform/file_times.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <limits>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/faulty_posix.h"
#include "support/temp_dir.h"
#include "support/time_zone.h"
#include "utilities/ole_date.h"

namespace varnel {
namespace {

using testing::FaultyPosix;
using testing::ScopedTimeZone;
using testing::TempDir;

double Ole(int year, int month, int day, int hour, int minute, int second) {
    return *CivilToOleDate({year, month, day, hour, minute, second, 0});
}

struct timespec StampOf(const std::string& path, bool modified) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return modified ? info.st_mtim : info.st_atim;
}

// Access 2001-02-03 04:05:06.250 and modification 2002-03-04 05:06:07.500, both UTC.
void SetKnownTimes(const std::string& path) {
    const struct timespec times[2] = {{981'173'106, 250'000'000}, {1'015'218'367, 500'000'000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

class FileTimes : public ::testing::Test {
protected:
    ~FileTimes() override { CloseFileHandle(m_handle); }

    // "a.txt" with the known times, opened for its times.
    void OpenKnownFile() {
        m_dir.Write("a.txt", "x");
        SetKnownTimes(m_path);
        m_handle = OpenFileForTimes(m_path);
        ASSERT_NE(m_handle, kInvalidFileHandle);
    }

    ScopedTimeZone m_zone{"CST-8"};  // UTC+8, no daylight saving
    TempDir m_dir;
    const std::string m_path = m_dir / "a.txt";
    int m_handle = kInvalidFileHandle;
};

TEST_F(FileTimes, ReadsLocalTimesWithoutMilliseconds) {
    OpenKnownFile();
    std::optional<double> created, modified, accessed;
    EXPECT_TRUE(ReadFileTimes(m_handle, &created, &modified, &accessed));
    EXPECT_EQ(modified, Ole(2002, 3, 4, 13, 6, 7));
    EXPECT_EQ(accessed, Ole(2001, 2, 3, 12, 5, 6));

    std::optional<double> onlyModified;
    EXPECT_TRUE(ReadFileTimes(m_handle, nullptr, &onlyModified, nullptr));
    EXPECT_EQ(onlyModified, modified);
}

TEST_F(FileTimes, FoldersAndReadOnlyFilesAreReadable) {
    std::filesystem::create_directory(m_dir / "sub");
    m_dir.Write("ro.txt", "x");
    ::chmod((m_dir / "ro.txt").c_str(), 0444);
    for (const std::string name : {"sub", "ro.txt"}) {
        SCOPED_TRACE(name);
        SetKnownTimes(m_dir / name);
        const int handle = OpenFileForTimes(m_dir / name);
        ASSERT_NE(handle, kInvalidFileHandle);
        std::optional<double> modified;
        EXPECT_TRUE(ReadFileTimes(handle, nullptr, &modified, nullptr));
        EXPECT_EQ(modified, Ole(2002, 3, 4, 13, 6, 7));
        CloseFileHandle(handle);
    }
    EXPECT_EQ(OpenFileForTimes(m_dir / "missing"), kInvalidFileHandle);
}

TEST_F(FileTimes, WritingOnlyTheModifiedTimeKeepsTheOthers) {
    OpenKnownFile();
    std::optional<double> createdBefore;
    ASSERT_TRUE(ReadFileTimes(m_handle, &createdBefore, nullptr, nullptr));
    const double wanted = *CivilToOleDate({2010, 5, 6, 7, 8, 9, 750});
    EXPECT_TRUE(WriteFileTimes(m_handle, std::nullopt, wanted, std::nullopt));

    const struct timespec modified = StampOf(m_path, true);
    EXPECT_EQ(modified.tv_sec, 1'273'100'889);  // 2010-05-05 23:08:09 UTC
    EXPECT_EQ(modified.tv_nsec, 0);             // milliseconds written as 0
    const struct timespec accessed = StampOf(m_path, false);
    EXPECT_EQ(accessed.tv_sec, 981'173'106);
    EXPECT_EQ(accessed.tv_nsec, 250'000'000);
    std::optional<double> createdAfter;
    ASSERT_TRUE(ReadFileTimes(m_handle, &createdAfter, nullptr, nullptr));
    EXPECT_EQ(createdAfter, createdBefore);
}

TEST_F(FileTimes, AnyValueOutOfRangeWritesNothing) {
    OpenKnownFile();
    const double good = Ole(2010, 1, 1, 0, 0, 0);
    const double bad[] = {Ole(99, 12, 31, 0, 0, 0), Ole(9999, 12, 31, 23, 59, 59) + 1.0,
                          std::numeric_limits<double>::quiet_NaN()};
    for (const double value : bad) {
        SCOPED_TRACE(value);
        EXPECT_FALSE(WriteFileTimes(m_handle, std::nullopt, good, value));
        EXPECT_FALSE(WriteFileTimes(m_handle, value, good, std::nullopt));
        EXPECT_EQ(StampOf(m_path, true).tv_sec, 1'015'218'367);
        EXPECT_EQ(StampOf(m_path, false).tv_sec, 981'173'106);
    }
}

TEST_F(FileTimes, CreationTimeCanOnlyBeWrittenUnchanged) {
    OpenKnownFile();
    std::optional<double> created;
    ASSERT_TRUE(ReadFileTimes(m_handle, &created, nullptr, nullptr));
    if (!created) GTEST_SKIP() << "this file system records no creation time";
    const double modified = Ole(2010, 1, 1, 0, 0, 0);

    EXPECT_FALSE(WriteFileTimes(m_handle, *created - 1.0, modified, std::nullopt));
    EXPECT_EQ(StampOf(m_path, true).tv_sec, 1'015'218'367);  // nothing written

    EXPECT_TRUE(WriteFileTimes(m_handle, *created, modified, std::nullopt));
    EXPECT_EQ(StampOf(m_path, true).tv_sec, 1'262'275'200);  // 2009-12-31 16:00 UTC
}

// A file system that records no creation time.
class NoBirthTime : public PosixApi {
public:
    int Statx(int dirfd, const char* path, int flags, unsigned int mask,
              struct statx* out) override {
        const int result = PosixApi::Statx(dirfd, path, flags, mask, out);
        out->stx_mask &= ~STATX_BTIME;
        return result;
    }
};

TEST_F(FileTimes, MissingCreationTimeReadsAsNoValue) {
    OpenKnownFile();
    NoBirthTime os;
    std::optional<double> created = 1.0, modified;
    EXPECT_TRUE(ReadFileTimes(m_handle, &created, &modified, nullptr, os));
    EXPECT_FALSE(created.has_value());
    EXPECT_TRUE(modified.has_value());
    EXPECT_FALSE(WriteFileTimes(m_handle, Ole(2010, 1, 1, 0, 0, 0), std::nullopt, std::nullopt, os));
}

// A file system whose times end in 2038 and begin in 1901, as ext4 with small inodes.
class ClampingFileSystem : public PosixApi {
public:
    int Utimensat(int dirfd, const char* path, const struct timespec times[2],
                  int flags) override {
        struct timespec clamped[2] = {times[0], times[1]};
        for (auto& time : clamped) {
            if (time.tv_nsec == UTIME_OMIT) continue;
            time.tv_sec = std::clamp<time_t>(time.tv_sec, INT32_MIN, INT32_MAX);
        }
        return PosixApi::Utimensat(dirfd, path, clamped, flags);
    }
};

TEST_F(FileTimes, ValueTheFileSystemCannotHoldIsAFailure) {
    OpenKnownFile();
    ClampingFileSystem os;
    EXPECT_TRUE(WriteFileTimes(m_handle, std::nullopt, Ole(2030, 1, 1, 0, 0, 0), std::nullopt, os));
    EXPECT_FALSE(WriteFileTimes(m_handle, std::nullopt, Ole(2100, 1, 1, 0, 0, 0), std::nullopt, os));
    EXPECT_FALSE(WriteFileTimes(m_handle, std::nullopt, std::nullopt, Ole(1800, 1, 1, 0, 0, 0), os));
}

TEST_F(FileTimes, SystemFailuresShowInTheResult) {
    OpenKnownFile();
    FaultyPosix os;
    os.Fail(FaultyPosix::Call::Utimensat, EPERM);
    EXPECT_FALSE(WriteFileTimes(m_handle, std::nullopt, Ole(2010, 1, 1, 0, 0, 0), std::nullopt, os));
    os.Fail(FaultyPosix::Call::Statx, EIO);
    std::optional<double> modified;
    EXPECT_FALSE(ReadFileTimes(m_handle, nullptr, &modified, nullptr, os));
    EXPECT_FALSE(ReadFileTimes(kInvalidFileHandle, nullptr, &modified, nullptr));
    EXPECT_FALSE(WriteFileTimes(kInvalidFileHandle, std::nullopt, 1.0, std::nullopt));
    EXPECT_EQ(StampOf(m_path, true).tv_sec, 1'015'218'367);
}

}  // namespace
}  // namespace varnel
