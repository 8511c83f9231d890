// The real system calls, with one kind of call made to fail with a chosen errno.
#pragma once

#include <cerrno>
#include <mutex>
#include <string>

#include "platform/posix_api.h"

namespace varnel::testing {

class FaultyPosix : public PosixApi {
public:
    enum class Call {
        None, Write, Fsync, Close, Rename, Open,
        Statx, Utimensat, Getxattr, Setxattr, Removexattr, Chmod, Pread,
        Mkdir, Unlinkat, Renameat2, Openat, Ftruncate,
        Link, Fchownat,
    };

    // A fault may be set while a walk's threads are calling.
    void Fail(Call call, int error) { Set(call, error, {}, -1); }
    // Only the next call of that kind fails; the ones after it pass again.
    void FailOnce(Call call, int error) { Set(call, error, {}, 1); }
    // One row of a test's table of faults: this kind of call fails with this errno.
    struct Fault {
        Call call;
        int error;
    };
    void Fail(const Fault& fault) { Fail(fault.call, fault.error); }
    // Only calls on this path (as the call receives it) fail: for Open and Openat.
    void FailOn(Call call, int error, std::string path) { Set(call, error, std::move(path), -1); }

    int Open(const char* path, int flags, mode_t mode) override {
        return Trip(Call::Open, path) ? -1 : PosixApi::Open(path, flags, mode);
    }
    int Openat(int dirFd, const char* path, int flags, mode_t mode) override {
        return Trip(Call::Openat, path) ? -1 : PosixApi::Openat(dirFd, path, flags, mode);
    }
    ssize_t Write(int fd, const void* buffer, size_t size) override {
        return Trip(Call::Write) ? -1 : PosixApi::Write(fd, buffer, size);
    }
    int Fsync(int fd) override { return Trip(Call::Fsync) ? -1 : PosixApi::Fsync(fd); }
    int Link(const char* from, const char* to) override { return Trip(Call::Link) ? -1 : PosixApi::Link(from, to); }
    int Fchownat(int dirFd, const char* path, uid_t owner, gid_t group, int flags) override {
        return Trip(Call::Fchownat) ? -1 : PosixApi::Fchownat(dirFd, path, owner, group, flags);
    }
    int Close(int fd) override {
        const int result = PosixApi::Close(fd);  // the descriptor is gone either way
        return Trip(Call::Close) ? -1 : result;
    }
    int Rename(const char* from, const char* to) override {
        return Trip(Call::Rename) ? -1 : PosixApi::Rename(from, to);
    }

    int Statx(int dirfd, const char* path, int flags, unsigned int mask,
              struct statx* out) override {
        return Trip(Call::Statx) ? -1 : PosixApi::Statx(dirfd, path, flags, mask, out);
    }
    int Utimensat(int dirfd, const char* path, const struct timespec times[2],
                  int flags) override {
        return Trip(Call::Utimensat) ? -1 : PosixApi::Utimensat(dirfd, path, times, flags);
    }
    ssize_t Getxattr(const char* path, const char* name, void* value, size_t size) override {
        return Trip(Call::Getxattr) ? -1 : PosixApi::Getxattr(path, name, value, size);
    }
    int Setxattr(const char* path, const char* name, const void* value, size_t size,
                 int flags) override {
        return Trip(Call::Setxattr) ? -1 : PosixApi::Setxattr(path, name, value, size, flags);
    }
    int Removexattr(const char* path, const char* name) override {
        return Trip(Call::Removexattr) ? -1 : PosixApi::Removexattr(path, name);
    }
    int Chmod(const char* path, mode_t mode) override {
        return Trip(Call::Chmod) ? -1 : PosixApi::Chmod(path, mode);
    }
    int Ftruncate(int fd, off_t length) override {
        return Trip(Call::Ftruncate) ? -1 : PosixApi::Ftruncate(fd, length);
    }
    ssize_t Pread(int fd, void* buffer, size_t size, off_t offset) override {
        return Trip(Call::Pread) ? -1 : PosixApi::Pread(fd, buffer, size, offset);
    }

    int Mkdir(const char* path, mode_t mode) override {
        return Trip(Call::Mkdir) ? -1 : PosixApi::Mkdir(path, mode);
    }
    int Unlinkat(int dirFd, const char* path, int flags) override {
        return Trip(Call::Unlinkat) ? -1 : PosixApi::Unlinkat(dirFd, path, flags);
    }
    int Renameat2(const char* from, const char* to, unsigned int flags) override {
        return Trip(Call::Renameat2) ? -1 : PosixApi::Renameat2(from, to, flags);
    }
    int Renameat2At(int fromDirFd, const char* from, int toDirFd, const char* to, unsigned int flags) override {
        return Trip(Call::Renameat2) ? -1 : PosixApi::Renameat2At(fromDirFd, from, toDirFd, to, flags);
    }

private:
    void Set(Call call, int error, std::string only, int times) {
        std::lock_guard lock(m_mutex);
        m_call = call;
        m_errno = error;
        m_only = std::move(only);
        m_times = times;
    }
    // Walks call from several threads at once.
    bool Trip(Call call, const char* path = nullptr) {
        std::lock_guard lock(m_mutex);
        if (call != m_call) return false;
        if (!m_only.empty() && (path == nullptr || m_only != path)) return false;
        if (m_times == 0) return false;
        if (m_times > 0) --m_times;
        errno = m_errno;
        return true;
    }
    Call m_call = Call::None;
    int m_errno = 0;
    std::string m_only;
    int m_times = -1;  // failures left; -1: every call
    std::mutex m_mutex;
};

}  // namespace varnel::testing
