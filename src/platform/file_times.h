// The three time stamps of a file (created, modified, accessed) as local date-times
// (OLE day counts in the system time zone, whole seconds), read and written through
// one handle: open, read or write any of them, close. The handle pins the file
// without opening it for reading or writing, so folders and read-only files work
// like any file. Safe on any thread; failures show only in the results.
#pragma once

#include <optional>
#include <string>

#include <time.h>

#include "platform/posix_api.h"

namespace varnel {

inline constexpr int kInvalidFileHandle = -1;

// Follows a symbolic link. kInvalidFileHandle when the path cannot be reached.
int OpenFileForTimes(const std::string& path, PosixApi& os = SystemPosix());
// The same for `name` in the folder open as `folderFd`: a run over the files of one
// folder looks the folder's path up once, not once per file.
int OpenFileForTimesAt(int folderFd, const std::string& name, PosixApi& os = SystemPosix());

// Fills each out-argument that is given (milliseconds dropped); false when the times
// cannot be read. A file system that records no creation time leaves *created empty,
// which is not a failure.
bool ReadFileTimes(int handle, std::optional<double>* created, std::optional<double>* modified,
                   std::optional<double>* accessed, PosixApi& os = SystemPosix());

// Sets the times that are given (milliseconds written as 0) and leaves the others as
// they are. Every value is converted before anything is written: a value out of range
// writes nothing and gives false. Linux cannot set a creation time: asking for one
// gives false and writes nothing, unless it equals the file's creation time to the
// second. A value the file system cannot store (it clamps it to its own range) also
// gives false.
bool WriteFileTimes(int handle, std::optional<double> created, std::optional<double> modified,
                    std::optional<double> accessed, PosixApi& os = SystemPosix());

// The times exactly as the file system holds them, to the nanosecond.
struct FileTimestamps {
    std::optional<timespec> created;  // nothing where the file system records none
    timespec modified{};
    timespec accessed{};
    bool isFolder = false;
    mode_t mode = 0;  // type and permission bits, as a status call gives them
};
std::optional<FileTimestamps> ReadFileTimestamps(int handle, PosixApi& os = SystemPosix());

// Sets the access and modification times exactly as given; a time whose tv_nsec is
// UTIME_OMIT is left as it is. False when the write fails or the file system
// stored something else (it clamps a time to its own range).
bool WriteFileTimestamps(int handle, const timespec& accessed, const timespec& modified,
                         PosixApi& os = SystemPosix());

void CloseFileHandle(int handle, PosixApi& os = SystemPosix());

}  // namespace varnel
