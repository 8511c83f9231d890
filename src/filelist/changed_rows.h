// Rows whose cells changed and the view has not yet been told of: a worker marks
// them (cheap, no wake-up), the UI thread takes them on its sync tick as a few
// contiguous ranges and tells the view once per range. Any thread.
#pragma once

#include <cstddef>
#include <mutex>
#include <utility>
#include <vector>

namespace varnel {

class ChangedRows {
public:
    // First and last row of a contiguous run of changed rows.
    using Range = std::pair<std::size_t, std::size_t>;

    void Mark(std::size_t row);
    // Every row, however many the list has by the next take.
    void MarkAll();
    // The rows marked since the last take, as sorted, disjoint, non-adjacent
    // ranges; the marks are cleared.
    std::vector<Range> Take();
    // Forgets every mark (the whole view was refreshed anyway).
    void Discard();
    bool Empty() const;

private:
    // Marks beyond this many ranges are merged, so a scattered run stays cheap.
    static constexpr std::size_t kMaxRanges = 256;
    static void Merge(std::vector<Range>& ranges);

    mutable std::mutex m_mutex;
    std::vector<Range> m_ranges;
};

}  // namespace varnel
