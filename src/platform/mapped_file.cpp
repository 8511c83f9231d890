#include "platform/mapped_file.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <mutex>
#include <utility>

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_io.h"
#include "platform/owned_fd.h"

namespace varnel {

namespace {

// Letting go page by page would cost a call for every few kilobytes read.
constexpr std::size_t kReleaseStep = std::size_t{16} << 20;

// The mappings in use, for the SIGBUS handler: touching a page of a mapped file
// past its end (another program cut it short) raises SIGBUS, which would end the
// program. The handler puts zero pages over the rest of that mapping instead and
// marks it, and the access goes on. Slots are claimed and freed with atomics only,
// as a signal handler can read them at any moment.
struct GuardSlot {
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<bool> cut{false};
    std::atomic<bool> taken{false};
};
constexpr std::size_t kGuardSlots = 64;
std::array<GuardSlot, kGuardSlots> gGuardSlots;
struct sigaction gPreviousBusAction {};

void OnBusError(int signal, siginfo_t* info, void* context) {
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (GuardSlot& slot : gGuardSlots) {
        const std::uintptr_t begin = slot.begin.load(std::memory_order_acquire);
        const std::uintptr_t end = slot.end.load(std::memory_order_acquire);
        if (begin == 0 || address < begin || address >= end) continue;
        const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
        const std::uintptr_t from = address / page * page;
        void* zeros = ::mmap(reinterpret_cast<void*>(from), end - from, PROT_READ,
                             MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
        if (zeros != MAP_FAILED) {
            slot.cut.store(true, std::memory_order_release);
            return;
        }
        break;
    }
    // Not one of ours (or no zeros to put there): what would have happened anyway.
    if (gPreviousBusAction.sa_flags & SA_SIGINFO) {
        if (gPreviousBusAction.sa_sigaction != nullptr) return gPreviousBusAction.sa_sigaction(signal, info, context);
    } else if (gPreviousBusAction.sa_handler != SIG_DFL && gPreviousBusAction.sa_handler != SIG_IGN) {
        return gPreviousBusAction.sa_handler(signal);
    }
    ::signal(SIGBUS, SIG_DFL);
    ::raise(SIGBUS);
}

void InstallBusGuard() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action {};
        action.sa_sigaction = OnBusError;
        action.sa_flags = SA_SIGINFO | SA_ONSTACK;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, &gPreviousBusAction);
    });
}

// A slot for the mapping, or -1 when all are taken (the mapping is then unguarded).
int GuardMapping(const void* map, std::size_t size) {
    InstallBusGuard();
    for (std::size_t i = 0; i < kGuardSlots; ++i) {
        bool free = false;
        if (!gGuardSlots[i].taken.compare_exchange_strong(free, true)) continue;
        gGuardSlots[i].cut.store(false);
        gGuardSlots[i].end.store(reinterpret_cast<std::uintptr_t>(map) + size, std::memory_order_release);
        gGuardSlots[i].begin.store(reinterpret_cast<std::uintptr_t>(map), std::memory_order_release);
        return static_cast<int>(i);
    }
    return -1;
}

void UnguardMapping(int slot) {
    if (slot < 0) return;
    gGuardSlots[static_cast<std::size_t>(slot)].begin.store(0, std::memory_order_release);
    gGuardSlots[static_cast<std::size_t>(slot)].end.store(0, std::memory_order_release);
    gGuardSlots[static_cast<std::size_t>(slot)].taken.store(false, std::memory_order_release);
}

}  // namespace

std::expected<MappedFile, Error> MappedFile::Open(const std::string& path, PosixApi& os, std::size_t mapFrom) {
    // Opened as every reader of a user's file is: a FIFO or a device never holds
    // the run, and anything but a regular file is refused with what it is.
    struct stat opened {};
    auto fd = OpenUserFileForReading(path, os, &opened);
    if (!fd) return std::unexpected(std::move(fd.error()));
    MappedFile file;
    file.m_status = opened;
    if (static_cast<std::size_t>(opened.st_size) < mapFrom) {
        // Room for the whole file at once: growing by doubling would hold up to twice it.
        file.m_read.reserve(static_cast<std::size_t>(opened.st_size));
        auto read = ReadOpenFileInChunksWhile(
            fd->Get(), path,
            [&file](std::string_view chunk) {
                file.m_read.append(chunk);
                return true;
            },
            os);
        if (!read) return std::unexpected(std::move(read.error()));
        file.m_view = file.m_read;
        return file;
    }
    const auto size = static_cast<std::size_t>(opened.st_size);
    // The mapping holds the file by itself: the descriptor closes when this returns.
    void* map = size == 0 ? nullptr : ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd->Get(), 0);
    if (map == MAP_FAILED) return std::unexpected(MakeSystemError(errno, path, "读取失败"));
    if (map != nullptr) {
        ::madvise(map, size, MADV_SEQUENTIAL);
        file.m_guard = GuardMapping(map, size);
    }
    file.m_map = map;
    file.m_mapSize = size;
    file.m_view = std::string_view(static_cast<const char*>(map), map == nullptr ? 0 : size);
    return file;
}

MappedFile::MappedFile(MappedFile&& other) noexcept { *this = std::move(other); }

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this == &other) return *this;
    UnguardMapping(std::exchange(m_guard, -1));
    if (m_map != nullptr) ::munmap(m_map, m_mapSize);
    const bool ownView = other.m_map == nullptr;
    m_read = std::move(other.m_read);
    m_status = other.m_status;
    m_map = std::exchange(other.m_map, nullptr);
    m_mapSize = std::exchange(other.m_mapSize, 0);
    m_view = ownView ? std::string_view(m_read) : other.m_view;
    m_released = std::exchange(other.m_released, 0);
    m_guard = std::exchange(other.m_guard, -1);
    other.m_view = {};
    return *this;
}

MappedFile::~MappedFile() {
    // Unguarded first: the range may be anyone's once unmapped.
    UnguardMapping(m_guard);
    if (m_map != nullptr) ::munmap(m_map, m_mapSize);
}

bool MappedFile::Truncated() const {
    return m_guard >= 0 && gGuardSlots[static_cast<std::size_t>(m_guard)].cut.load(std::memory_order_acquire);
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
