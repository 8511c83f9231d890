#include "platform/open_folder.h"

#include <fcntl.h>

namespace varnel {

OpenFolder::~OpenFolder() {
    if (m_fd >= 0) m_os.Close(m_fd);
}

int OpenFolder::Get(const std::string& folder) {
    if (m_fd >= 0 && folder == m_folder) return m_fd;
    if (m_fd >= 0) m_os.Close(m_fd);
    m_folder = folder;
    m_fd = m_os.Open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC, 0);
    return m_fd;
}

}  // namespace varnel
