#include "filelist/changed_rows.h"

#include <algorithm>
#include <cstdint>

namespace varnel {

void ChangedRows::Mark(std::size_t row) {
    std::lock_guard lock(m_mutex);
    // Runs go down the list: the newest range almost always takes the row.
    if (!m_ranges.empty()) {
        Range& last = m_ranges.back();
        if (row + 1 >= last.first && row <= last.second + 1) {
            last.first = std::min(last.first, row);
            last.second = std::max(last.second, row);
            return;
        }
    }
    m_ranges.emplace_back(row, row);
    if (m_ranges.size() > kMaxRanges) {
        Merge(m_ranges);
        // Still scattered: one range over all of them costs the view less than many.
        if (m_ranges.size() > kMaxRanges / 2) {
            m_ranges = {Range{m_ranges.front().first, m_ranges.back().second}};
        }
    }
}

void ChangedRows::MarkAll() {
    std::lock_guard lock(m_mutex);
    m_ranges = {Range{0, SIZE_MAX - 1}};
}

std::vector<ChangedRows::Range> ChangedRows::Take() {
    std::vector<Range> taken;
    {
        std::lock_guard lock(m_mutex);
        taken.swap(m_ranges);
    }
    Merge(taken);
    return taken;
}

void ChangedRows::Discard() {
    std::lock_guard lock(m_mutex);
    m_ranges.clear();
}

bool ChangedRows::Empty() const {
    std::lock_guard lock(m_mutex);
    return m_ranges.empty();
}

void ChangedRows::Merge(std::vector<Range>& ranges) {
    if (ranges.size() < 2) return;
    std::sort(ranges.begin(), ranges.end());
    std::size_t kept = 0;
    for (std::size_t i = 1; i < ranges.size(); ++i) {
        Range& last = ranges[kept];
        if (ranges[i].first <= last.second + 1) {
            last.second = std::max(last.second, ranges[i].second);
        } else {
            ranges[++kept] = ranges[i];
        }
    }
    ranges.resize(kept + 1);
}

}  // namespace varnel
