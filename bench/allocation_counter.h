// Counts the bytes the program holds through operator new, and their peak, so a
// benchmark can tell what a piece of work holds at its worst whatever the allocator
// kept from earlier work (resident memory cannot: freed memory stays resident).
// Replaces the global operator new and delete: include it in one file of a
// benchmark program only.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <functional>
#include <new>

#include <malloc.h>

namespace varnel::bench {

inline std::atomic<std::size_t> gHeldBytes{0};
inline std::atomic<std::size_t> gPeakHeldBytes{0};

inline void* CountedAllocate(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    const std::size_t held = gHeldBytes.fetch_add(::malloc_usable_size(block)) + ::malloc_usable_size(block);
    std::size_t peak = gPeakHeldBytes.load();
    while (held > peak && !gPeakHeldBytes.compare_exchange_weak(peak, held)) {
    }
    return block;
}

inline void CountedFree(void* block) {
    if (block == nullptr) return;
    gHeldBytes.fetch_sub(::malloc_usable_size(block));
    std::free(block);
}

// The bytes by which `work` raised what the program holds, at its peak.
inline double PeakAllocatedGrowth(const std::function<void()>& work) {
    const std::size_t before = gHeldBytes.load();
    gPeakHeldBytes.store(before);
    work();
    return static_cast<double>(gPeakHeldBytes.load() - before);
}

}  // namespace varnel::bench

void* operator new(std::size_t size) { return varnel::bench::CountedAllocate(size); }
void* operator new[](std::size_t size) { return varnel::bench::CountedAllocate(size); }
void operator delete(void* block) noexcept { varnel::bench::CountedFree(block); }
void operator delete[](void* block) noexcept { varnel::bench::CountedFree(block); }
void operator delete(void* block, std::size_t) noexcept { varnel::bench::CountedFree(block); }
void operator delete[](void* block, std::size_t) noexcept { varnel::bench::CountedFree(block); }
