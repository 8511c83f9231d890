// A folder held open by path for a run of *at() calls on the names in it: runs
// that touch many files of one folder look the folder's path up once instead of
// once per call. The handle is kept while the same folder is asked for again.
#pragma once

#include <string>

#include "platform/owned_fd.h"
#include "platform/posix_api.h"

namespace varnel {

class OpenFolder {
public:
    explicit OpenFolder(PosixApi& os = SystemPosix()) : m_os(os) {}
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    // A descriptor of the folder path `folder` for *at() calls, or -1 when
    // it cannot be opened (the caller then uses the full path).
    int Get(const std::string& folder);

private:
    PosixApi& m_os;
    std::string m_folder;
    OwnedFd m_fd;
};

}  // namespace varnel
