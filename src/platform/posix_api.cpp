#include "platform/posix_api.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace varnel {

int PosixApi::Open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t PosixApi::Read(int fd, void* buffer, size_t size) { return ::read(fd, buffer, size); }
ssize_t PosixApi::Write(int fd, const void* buffer, size_t size) {
    return ::write(fd, buffer, size);
}
int PosixApi::Fsync(int fd) { return ::fsync(fd); }
int PosixApi::Close(int fd) { return ::close(fd); }
int PosixApi::Fstat(int fd, struct stat* out) { return ::fstat(fd, out); }
int PosixApi::Stat(const char* path, struct stat* out) { return ::stat(path, out); }
int PosixApi::Lstat(const char* path, struct stat* out) { return ::lstat(path, out); }
int PosixApi::Fchmod(int fd, mode_t mode) { return ::fchmod(fd, mode); }
int PosixApi::Fchown(int fd, uid_t owner, gid_t group) { return ::fchown(fd, owner, group); }
int PosixApi::Rename(const char* from, const char* to) { return ::rename(from, to); }
int PosixApi::Unlink(const char* path) { return ::unlink(path); }
int PosixApi::Mkdir(const char* path, mode_t mode) { return ::mkdir(path, mode); }
ssize_t PosixApi::Readlink(const char* path, char* buffer, size_t size) {
    return ::readlink(path, buffer, size);
}
std::string PosixApi::Realpath(const char* path) {
    char* resolved = ::realpath(path, nullptr);
    if (resolved == nullptr) return {};
    std::string result(resolved);
    std::free(resolved);
    return result;
}

int PosixApi::Openat(int dirFd, const char* path, int flags, mode_t mode) {
    return ::openat(dirFd, path, flags, mode);
}
int PosixApi::Fstatat(int dirFd, const char* path, struct stat* out, int flags) {
    return ::fstatat(dirFd, path, out, flags);
}
DIR* PosixApi::Fdopendir(int fd) { return ::fdopendir(fd); }
struct dirent* PosixApi::Readdir(DIR* dir) { return ::readdir(dir); }
int PosixApi::Closedir(DIR* dir) { return ::closedir(dir); }
int PosixApi::Statx(int dirfd, const char* path, int flags, unsigned int mask, struct statx* out) {
    return ::statx(dirfd, path, flags, mask, out);
}
int PosixApi::Utimensat(int dirfd, const char* path, const struct timespec times[2], int flags) {
    return ::utimensat(dirfd, path, times, flags);
}
ssize_t PosixApi::Getxattr(const char* path, const char* name, void* value, size_t size) {
    return ::getxattr(path, name, value, size);
}
ssize_t PosixApi::Listxattr(const char* path, char* list, size_t size) {
    return ::listxattr(path, list, size);
}

int PosixApi::Setxattr(const char* path, const char* name, const void* value, size_t size,
                       int flags) {
    return ::setxattr(path, name, value, size, flags);
}
int PosixApi::Removexattr(const char* path, const char* name) {
    return ::removexattr(path, name);
}
int PosixApi::Chmod(const char* path, mode_t mode) { return ::chmod(path, mode); }
ssize_t PosixApi::Pread(int fd, void* buffer, size_t size, off_t offset) {
    return ::pread(fd, buffer, size, offset);
}
ssize_t PosixApi::Pwrite(int fd, const void* buffer, size_t size, off_t offset) {
    return ::pwrite(fd, buffer, size, offset);
}
int PosixApi::Socket(int domain, int type, int protocol) { return ::socket(domain, type, protocol); }
int PosixApi::Bind(int fd, const struct sockaddr* address, socklen_t length) {
    return ::bind(fd, address, length);
}
int PosixApi::Listen(int fd, int backlog) { return ::listen(fd, backlog); }
int PosixApi::Accept4(int fd, struct sockaddr* address, socklen_t* length, int flags) {
    return ::accept4(fd, address, length, flags);
}
int PosixApi::Connect(int fd, const struct sockaddr* address, socklen_t length) {
    return ::connect(fd, address, length);
}
ssize_t PosixApi::Send(int fd, const void* buffer, size_t size, int flags) {
    return ::send(fd, buffer, size, flags);
}
int PosixApi::Getsockopt(int fd, int level, int name, void* value, socklen_t* length) {
    return ::getsockopt(fd, level, name, value, length);
}
int PosixApi::Flock(int fd, int operation) { return ::flock(fd, operation); }
int PosixApi::Fcntl(int fd, int command, int argument) { return ::fcntl(fd, command, argument); }
int PosixApi::Poll(struct pollfd* fds, nfds_t count, int timeoutMs) {
    return ::poll(fds, count, timeoutMs);
}
uid_t PosixApi::Getuid() { return ::getuid(); }

int PosixApi::Access(const char* path, int mode) { return ::faccessat(AT_FDCWD, path, mode, AT_EACCESS); }
int PosixApi::Accessat(int dirFd, const char* path, int mode, int flags) {
    return ::faccessat(dirFd, path, mode, AT_EACCESS | flags);
}
std::string PosixApi::Getcwd() {
    char* folder = ::getcwd(nullptr, 0);
    if (folder == nullptr) return {};
    std::string result(folder);
    std::free(folder);
    return result;
}

int PosixApi::Renameat2(const char* from, const char* to, unsigned int flags) {
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, flags);
}
int PosixApi::Renameat2At(int fromDirFd, const char* from, int toDirFd, const char* to, unsigned int flags) {
    return ::renameat2(fromDirFd, from, toDirFd, to, flags);
}
int PosixApi::Link(const char* from, const char* to) { return ::link(from, to); }
int PosixApi::Rmdir(const char* path) { return ::rmdir(path); }
int PosixApi::Symlink(const char* target, const char* linkPath) { return ::symlink(target, linkPath); }
int PosixApi::Futimens(int fd, const struct timespec times[2]) { return ::futimens(fd, times); }
int PosixApi::Ftruncate(int fd, off_t length) { return ::ftruncate(fd, length); }
int PosixApi::Unlinkat(int dirFd, const char* path, int flags) {
    return ::unlinkat(dirFd, path, flags);
}
int PosixApi::Fchownat(int dirFd, const char* path, uid_t owner, gid_t group, int flags) {
    return ::fchownat(dirFd, path, owner, group, flags);
}

PosixApi& SystemPosix() {
    static PosixApi system;
    return system;
}

}  // namespace varnel
