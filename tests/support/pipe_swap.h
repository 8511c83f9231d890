// A platform layer under which a path names a regular file when it is looked at
// and a named pipe with no writer when it is opened, as when another program swaps
// one in between: a reader that opens without the pipe check waits forever.
#pragma once

#include <cstdio>
#include <string>
#include <utility>

#include "platform/posix_api.h"

namespace varnel::testing {

class SwapsInAPipeOnOpen : public PosixApi {
public:
    // `pipe` (a FIFO made by the test) is renamed over `path` at its first open.
    SwapsInAPipeOnOpen(std::string path, std::string pipe) : m_path(std::move(path)), m_pipe(std::move(pipe)) {}
    int Open(const char* path, int flags, mode_t mode) override {
        if (m_path == path) std::rename(m_pipe.c_str(), m_path.c_str());
        return PosixApi::Open(path, flags, mode);
    }

private:
    std::string m_path;
    std::string m_pipe;
};

}  // namespace varnel::testing
