#include "platform/mapped_file.h"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_io.h"

namespace varnel {

namespace {

// Letting go page by page would cost a call for every few kilobytes read.
constexpr std::size_t kReleaseStep = std::size_t{16} << 20;

}  // namespace

std::expected<MappedFile, Error> MappedFile::Open(const std::string& path, PosixApi& os, std::size_t mapFrom) {
    struct stat info {};
    if (os.Stat(path.c_str(), &info) != 0) return std::unexpected(MakeSystemError(errno, path, "无法打开文件"));
    if (!S_ISREG(info.st_mode)) return std::unexpected(Error{EINVAL, "不是普通文件", path});
    MappedFile file;
    if (static_cast<std::size_t>(info.st_size) < mapFrom) {
        // Room for the whole file at once: growing by doubling would hold up to twice it.
        file.m_read.reserve(static_cast<std::size_t>(info.st_size));
        auto read = ReadFileInChunks(path, [&file](std::string_view chunk) { file.m_read.append(chunk); }, os);
        if (!read) return std::unexpected(std::move(read.error()));
        file.m_view = file.m_read;
        return file;
    }
    const int fd = os.Open(path.c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (fd < 0) return std::unexpected(MakeSystemError(errno, path, "无法打开文件"));
    struct stat opened {};
    if (os.Fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        const int error = errno;
        os.Close(fd);
        return std::unexpected(MakeSystemError(error != 0 ? error : EINVAL, path, "无法打开文件"));
    }
    const auto size = static_cast<std::size_t>(opened.st_size);
    void* map = size == 0 ? nullptr : ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
    const int mapError = errno;
    os.Close(fd);
    if (map == MAP_FAILED) return std::unexpected(MakeSystemError(mapError, path, "读取失败"));
    if (map != nullptr) ::madvise(map, size, MADV_SEQUENTIAL);
    file.m_map = map;
    file.m_mapSize = size;
    file.m_view = std::string_view(static_cast<const char*>(map), map == nullptr ? 0 : size);
    return file;
}

MappedFile::MappedFile(MappedFile&& other) noexcept { *this = std::move(other); }

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this == &other) return *this;
    if (m_map != nullptr) ::munmap(m_map, m_mapSize);
    const bool ownView = other.m_map == nullptr;
    m_read = std::move(other.m_read);
    m_map = std::exchange(other.m_map, nullptr);
    m_mapSize = std::exchange(other.m_mapSize, 0);
    m_view = ownView ? std::string_view(m_read) : other.m_view;
    m_released = std::exchange(other.m_released, 0);
    other.m_view = {};
    return *this;
}

MappedFile::~MappedFile() {
    if (m_map != nullptr) ::munmap(m_map, m_mapSize);
}

bool MappedFile::Holds(std::string_view piece) const {
    return !m_view.empty() && piece.data() >= m_view.data() && piece.data() + piece.size() <= m_view.data() + m_view.size();
}

void MappedFile::ReleaseBefore(const char* at) const {
    if (m_map == nullptr || at < m_view.data()) return;
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t offset = std::min<std::size_t>(static_cast<std::size_t>(at - m_view.data()), m_mapSize) / page * page;
    // A place before the last one let go starts a new pass from the first byte.
    if (offset < m_released) m_released = 0;
    if (offset < m_released + kReleaseStep) return;
    ::madvise(static_cast<char*>(m_map) + m_released, offset - m_released, MADV_DONTNEED);
    m_released = offset;
}

}  // namespace varnel
