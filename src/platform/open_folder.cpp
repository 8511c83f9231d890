#include "platform/open_folder.h"

#include <fcntl.h>

namespace varnel {

int OpenFolder::Get(const std::string& folder) {
    if (m_fd.IsOpen() && folder == m_folder) return m_fd.Get();
    m_folder = folder;
    m_fd = OwnedFd(m_os.Open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC, 0), m_os);
    return m_fd.Get();
}

}  // namespace varnel
