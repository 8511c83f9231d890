// A growable array of plain records kept in fixed-size chunks: appending never
// moves the records already stored (no regrowth copy, no doubling peak), and
// emptying keeps the chunks the last fill used, so a list loaded again at a similar
// size allocates nothing. Not thread-safe: its owner guards it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <type_traits>
#include <vector>

namespace varnel {

template <typename T, std::size_t ChunkShift = 14>
class ChunkedArray {
    static_assert(std::is_trivially_copyable_v<T>, "records are copied as bytes when rows move");

public:
    static constexpr std::size_t kChunkLength = std::size_t{1} << ChunkShift;

    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    // Records the chunks held can take without allocating.
    std::size_t capacity() const { return m_chunks.size() * kChunkLength; }

    T& operator[](std::size_t index) { return m_chunks[index >> ChunkShift][index & kMask]; }
    const T& operator[](std::size_t index) const { return m_chunks[index >> ChunkShift][index & kMask]; }

    void push_back(const T& value) {
        if (m_size == capacity()) m_chunks.push_back(std::make_unique_for_overwrite<T[]>(kChunkLength));
        (*this)[m_size++] = value;
    }

    // Drops the records from `count` on; the chunks stay.
    void truncate(std::size_t count) { m_size = std::min(m_size, count); }

    // Empties the array. The chunks the array filled are kept for the next fill;
    // the ones beyond them (kept from an earlier, larger fill) are given back, so
    // what is held follows the size of the latest lists.
    void clear() {
        const std::size_t used = std::max<std::size_t>((m_size + kChunkLength - 1) >> ChunkShift, 1);
        if (used < m_chunks.size()) m_chunks.resize(used);
        m_size = 0;
    }

    // Gives every chunk back.
    void release() {
        m_chunks.clear();
        m_chunks.shrink_to_fit();
        m_size = 0;
    }

    // Bytes held by the chunks and their index.
    std::size_t heldBytes() const {
        return m_chunks.size() * kChunkLength * sizeof(T) + m_chunks.capacity() * sizeof(void*);
    }

private:
    static constexpr std::size_t kMask = kChunkLength - 1;
    std::vector<std::unique_ptr<T[]>> m_chunks;
    std::size_t m_size = 0;
};

}  // namespace varnel
