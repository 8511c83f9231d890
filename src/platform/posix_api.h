// The system calls the core makes, behind one interface so that tests can inject
// failures (EEXIST, EXDEV, EACCES, ENOSPC, ...) where running as root would not
// produce them. Each method behaves as its POSIX namesake: -1 and errno on failure.
#pragma once

#include <string>

#include <dirent.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>

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
    virtual int Openat(int dirFd, const char* path, int flags, mode_t mode);
    virtual int Fstatat(int dirFd, const char* path, struct stat* out, int flags);
    // fdopendir(3) and readdir(3); the DIR owns fd once opened.
    virtual DIR* Fdopendir(int fd);
    virtual struct dirent* Readdir(DIR* dir);
    virtual int Closedir(DIR* dir);
    virtual int Statx(int dirfd, const char* path, int flags, unsigned int mask,
                      struct statx* out);
    virtual int Utimensat(int dirfd, const char* path, const struct timespec times[2], int flags);
    virtual ssize_t Getxattr(const char* path, const char* name, void* value, size_t size);
    virtual ssize_t Listxattr(const char* path, char* list, size_t size);
    virtual int Setxattr(const char* path, const char* name, const void* value, size_t size,
                         int flags);
    virtual int Removexattr(const char* path, const char* name);
    virtual int Chmod(const char* path, mode_t mode);
    // pread(2): reads at an offset without moving the descriptor's position.
    virtual ssize_t Pread(int fd, void* buffer, size_t size, off_t offset);
    // pwrite(2): writes at an offset without moving the descriptor's position.
    virtual ssize_t Pwrite(int fd, const void* buffer, size_t size, off_t offset);
    // renameat2(2) with AT_FDCWD on both sides; flags such as RENAME_NOREPLACE.
    virtual int Renameat2(const char* from, const char* to, unsigned int flags);
    // renameat2(2) with each name taken relative to its open folder.
    virtual int Renameat2At(int fromDirFd, const char* from, int toDirFd, const char* to, unsigned int flags);
    virtual int Link(const char* from, const char* to);
    virtual int Rmdir(const char* path);
    virtual int Symlink(const char* target, const char* linkPath);
    virtual int Futimens(int fd, const struct timespec times[2]);
    virtual int Ftruncate(int fd, off_t length);
    virtual int Socket(int domain, int type, int protocol);
    virtual int Bind(int fd, const struct sockaddr* address, socklen_t length);
    virtual int Listen(int fd, int backlog);
    virtual int Accept4(int fd, struct sockaddr* address, socklen_t* length, int flags);
    virtual int Connect(int fd, const struct sockaddr* address, socklen_t length);
    virtual ssize_t Send(int fd, const void* buffer, size_t size, int flags);
    virtual int Getsockopt(int fd, int level, int name, void* value, socklen_t* length);
    virtual int Flock(int fd, int operation);
    // fcntl(2) with an integer argument (F_GETFL, F_SETFL, ...).
    virtual int Fcntl(int fd, int command, int argument);
    virtual int Poll(struct pollfd* fds, nfds_t count, int timeoutMs);
    virtual uid_t Getuid();
    // faccessat(2) with AT_EACCESS: whether this process, with its effective ids,
    // may read, write or search the path.
    virtual int Access(const char* path, int mode);
    // The same for `path` in the folder open as `dirFd`; with AT_EMPTY_PATH in
    // `flags` and an empty path, for the file open as `dirFd` itself (O_PATH will do).
    virtual int Accessat(int dirFd, const char* path, int mode, int flags);
    // getcwd(3): the current folder, or "" with errno set.
    virtual std::string Getcwd();
    virtual int Unlinkat(int dirFd, const char* path, int flags);
    // fchownat(2); with AT_SYMLINK_NOFOLLOW it gives a link itself its owner.
    virtual int Fchownat(int dirFd, const char* path, uid_t owner, gid_t group, int flags);
};

// The real system. Shared by every thread; it holds no state.
PosixApi& SystemPosix();

}  // namespace varnel
