// The real system calls, with one kind of call made to fail with a chosen errno.
#pragma once

#include <cerrno>

#include "platform/posix_api.h"

namespace varnel::testing {

class FaultyPosix : public PosixApi {
public:
    enum class Call { None, Write, Fsync, Close, Rename, Open };

    void Fail(Call call, int error) {
        m_call = call;
        m_errno = error;
    }

    int Open(const char* path, int flags, mode_t mode) override {
        return Trip(Call::Open) ? -1 : PosixApi::Open(path, flags, mode);
    }
    ssize_t Write(int fd, const void* buffer, size_t size) override {
        return Trip(Call::Write) ? -1 : PosixApi::Write(fd, buffer, size);
    }
    int Fsync(int fd) override { return Trip(Call::Fsync) ? -1 : PosixApi::Fsync(fd); }
    int Close(int fd) override {
        const int result = PosixApi::Close(fd);  // the descriptor is gone either way
        return Trip(Call::Close) ? -1 : result;
    }
    int Rename(const char* from, const char* to) override {
        return Trip(Call::Rename) ? -1 : PosixApi::Rename(from, to);
    }

private:
    bool Trip(Call call) {
        if (call != m_call) return false;
        errno = m_errno;
        return true;
    }
    Call m_call = Call::None;
    int m_errno = 0;
};

}  // namespace varnel::testing
