#include "platform/file_times.h"

#include <cstdint>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>

#include "utilities/local_time.h"
#include "utilities/ole_date.h"

namespace varnel {

namespace {

// How far a stored time may lie from the one written before we call it clamped: the
// coarsest file system (FAT) keeps access times as a local date only.
constexpr std::int64_t kStorageTolerance = 2 * 86'400;
// The instants every file system here can store (FAT from 1980, the 32-bit
// seconds of ext3 and small-inode ext4 until 2038), with a day to spare at
// each end for the local offsets of FAT.
constexpr std::int64_t kEveryFileSystemFrom = 315'619'200;    // 1980-01-02 00:00 UTC
constexpr std::int64_t kEveryFileSystemUntil = 2'147'400'000;  // 2038-01-18 UTC

bool ReadStatx(PosixApi& os, int handle, unsigned int mask, struct statx& out) {
    return os.Statx(handle, "", AT_EMPTY_PATH | AT_STATX_SYNC_AS_STAT, mask, &out) == 0 &&
           (out.stx_mask & mask & ~STATX_BTIME) == (mask & ~STATX_BTIME);
}

bool ToLocal(const struct statx_timestamp& stamp, std::optional<double>* out) {
    if (out == nullptr) return true;
    *out = UnixTimeToLocalOleDate(stamp.tv_sec);
    return out->has_value();
}

bool SameSecond(double a, double b) {
    const CivilTime x = OleDateToCivil(a);
    const CivilTime y = OleDateToCivil(b);
    return x.year == y.year && x.month == y.month && x.day == y.day && x.hour == y.hour &&
           x.minute == y.minute && x.second == y.second;
}

struct timespec Omitted() { return {0, UTIME_OMIT}; }

timespec ToTimespec(const struct statx_timestamp& stamp) {
    return {static_cast<time_t>(stamp.tv_sec), static_cast<long>(stamp.tv_nsec)};
}

}  // namespace

int OpenFileForTimes(const std::string& path, PosixApi& os) {
    const int fd = os.Open(path.c_str(), O_PATH | O_CLOEXEC, 0);
    return fd < 0 ? kInvalidFileHandle : fd;
}

int OpenFileForTimesAt(int folderFd, const std::string& name, PosixApi& os) {
    const int fd = os.Openat(folderFd, name.c_str(), O_PATH | O_CLOEXEC, 0);
    return fd < 0 ? kInvalidFileHandle : fd;
}

bool ReadFileTimes(int handle, std::optional<double>* created, std::optional<double>* modified,
                   std::optional<double>* accessed, PosixApi& os) {
    if (handle < 0) return false;
    struct statx info {};
    if (!ReadStatx(os, handle, STATX_BTIME | STATX_MTIME | STATX_ATIME, info)) return false;
    if (created != nullptr) {
        created->reset();
        if ((info.stx_mask & STATX_BTIME) != 0 && !ToLocal(info.stx_btime, created)) return false;
    }
    return ToLocal(info.stx_atime, accessed) && ToLocal(info.stx_mtime, modified);
}

bool WriteFileTimes(int handle, std::optional<double> created, std::optional<double> modified,
                    std::optional<double> accessed, PosixApi& os) {
    if (handle < 0) return false;
    // utimensat takes access first, modification second.
    struct timespec times[2] = {Omitted(), Omitted()};
    const std::optional<double>* asked[2] = {&accessed, &modified};
    for (int i = 0; i < 2; ++i) {
        if (!asked[i]->has_value()) continue;
        const auto instant = LocalOleDateToUnixTime(**asked[i]);
        if (!instant) return false;
        times[i] = {static_cast<time_t>(*instant), 0};
    }
    if (created.has_value()) {
        if (!LocalOleDateToUnixTime(*created)) return false;
        struct statx info {};
        if (!ReadStatx(os, handle, STATX_BTIME, info) || (info.stx_mask & STATX_BTIME) == 0) {
            return false;
        }
        // Compared as local times, as the caller read it, so that an unchanged value
        // written back in the repeated autumn hour still matches.
        const auto birth = UnixTimeToLocalOleDate(info.stx_btime.tv_sec);
        if (!birth || !SameSecond(*birth, *created)) return false;
    }
    return WriteFileTimestamps(handle, times[0], times[1], os);
}

std::optional<FileTimestamps> ReadFileTimestamps(int handle, PosixApi& os) {
    if (handle < 0) return std::nullopt;
    struct statx info {};
    if (!ReadStatx(os, handle, STATX_TYPE | STATX_MODE | STATX_BTIME | STATX_MTIME | STATX_ATIME, info)) {
        return std::nullopt;
    }
    FileTimestamps stamps;
    stamps.isFolder = S_ISDIR(info.stx_mode);
    stamps.mode = info.stx_mode;
    if ((info.stx_mask & STATX_BTIME) != 0) stamps.created = ToTimespec(info.stx_btime);
    stamps.modified = ToTimespec(info.stx_mtime);
    stamps.accessed = ToTimespec(info.stx_atime);
    return stamps;
}

bool WriteFileTimestamps(int handle, const timespec& accessed, const timespec& modified, PosixApi& os) {
    if (handle < 0) return false;
    // utimensat takes access first, modification second.
    const struct timespec times[2] = {accessed, modified};
    if (times[0].tv_nsec == UTIME_OMIT && times[1].tv_nsec == UTIME_OMIT) return true;
    if (os.Utimensat(handle, "", times, AT_EMPTY_PATH) != 0) return false;

    // The kernel silently clamps a time to what the file system can hold (ext4 with
    // small inodes: 1901 to 2038); such a write did not do what was asked. Times
    // that every file system holds need no second look.
    const auto holdable = [](const timespec& t) {
        return t.tv_nsec == UTIME_OMIT || (t.tv_sec >= kEveryFileSystemFrom && t.tv_sec < kEveryFileSystemUntil);
    };
    if (holdable(times[0]) && holdable(times[1])) return true;
    struct statx stored {};
    if (!ReadStatx(os, handle, STATX_ATIME | STATX_MTIME, stored)) return false;
    const struct statx_timestamp* after[2] = {&stored.stx_atime, &stored.stx_mtime};
    for (int i = 0; i < 2; ++i) {
        if (times[i].tv_nsec == UTIME_OMIT) continue;
        if (std::llabs(after[i]->tv_sec - times[i].tv_sec) > kStorageTolerance) return false;
    }
    return true;
}

void CloseFileHandle(int handle, PosixApi& os) {
    if (handle >= 0) os.Close(handle);
}

}  // namespace varnel
