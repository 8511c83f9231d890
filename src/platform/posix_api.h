// The system calls the core makes, behind one interface so that tests can inject
// failures (EEXIST, EXDEV, EACCES, ENOSPC, ...) where running as root would not
// produce them. Each method behaves as its POSIX namesake: -1 and errno on failure.
#pragma once

#include <string>

#include <sys/stat.h>
#include <sys/types.h>

namespace varnel {

class PosixApi {
public:
    virtual ~PosixApi() = default;

    virtual int Open(const char* path, int flags, mode_t mode);
    virtual ssize_t Read(int fd, void* buffer, size_t size);
    virtual ssize_t Write(int fd, const void* buffer, size_t size);
    virtual int Fsync(int fd);
    virtual int Close(int fd);
    virtual int Fstat(int fd, struct stat* out);
    virtual int Stat(const char* path, struct stat* out);
    virtual int Lstat(const char* path, struct stat* out);
    virtual int Fchmod(int fd, mode_t mode);
    virtual int Fchown(int fd, uid_t owner, gid_t group);
    virtual int Rename(const char* from, const char* to);
    virtual int Unlink(const char* path);
    virtual int Mkdir(const char* path, mode_t mode);
    virtual ssize_t Readlink(const char* path, char* buffer, size_t size);
    // realpath(3): the resolved path, or "" with errno set.
    virtual std::string Realpath(const char* path);
    virtual ssize_t Pread(int fd, void* buffer, size_t size, off_t offset);
};

// The real system. Shared by every thread; it holds no state.
PosixApi& SystemPosix();

}  // namespace varnel
