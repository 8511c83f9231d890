#include "filelist/changed_rows.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace varnel {
namespace {

using Ranges = std::vector<ChangedRows::Range>;

TEST(ChangedRows, MarksBecomeSortedDisjointRanges) {
    struct Case {
        const char* what;
        std::vector<std::size_t> marks;
        Ranges expected;
    };
    const std::vector<Case> cases = {
        {"nothing marked", {}, {}},
        {"one row", {7}, {{7, 7}}},
        {"a run down", {3, 4, 5, 6}, {{3, 6}}},
        {"a run up", {6, 5, 4, 3}, {{3, 6}}},
        {"row 0 and its neighbour", {1, 0}, {{0, 1}}},
        {"repeats", {4, 4, 5, 4}, {{4, 5}}},
        {"gaps stay gaps", {1, 2, 10, 11, 5}, {{1, 2}, {5, 5}, {10, 11}}},
        {"later marks join earlier ranges", {1, 2, 10, 11, 3, 9, 4, 5, 6, 7, 8}, {{1, 11}}},
        {"out of order, touching", {20, 10, 21, 11, 19}, {{10, 11}, {19, 21}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ChangedRows changed;
        for (const std::size_t row : c.marks) changed.Mark(row);
        EXPECT_EQ(changed.Empty(), c.marks.empty());
        EXPECT_EQ(changed.Take(), c.expected);
        EXPECT_TRUE(changed.Empty());
        EXPECT_EQ(changed.Take(), Ranges{});
    }
}

TEST(ChangedRows, ScatteredMarksStayFewAndCoverEveryRow) {
    ChangedRows changed;
    std::vector<std::size_t> marks;
    for (std::size_t row = 0; row < 100000; row += 7) marks.push_back((row * 7919) % 100000);
    for (const std::size_t row : marks) changed.Mark(row);
    const Ranges ranges = changed.Take();
    ASSERT_FALSE(ranges.empty());
    EXPECT_LE(ranges.size(), 256u);
    for (const std::size_t row : marks) {
        const bool covered = std::any_of(ranges.begin(), ranges.end(),
                                         [row](const auto& r) { return r.first <= row && row <= r.second; });
        ASSERT_TRUE(covered) << row;
    }
}

TEST(ChangedRows, MarksFromSeveralThreadsAreAllTaken) {
    ChangedRows changed;
    Ranges taken;
    std::atomic<bool> done{false};
    std::thread taker([&] {
        while (!done) {
            for (const auto& range : changed.Take()) taken.push_back(range);
        }
    });
    std::thread a([&] { for (std::size_t row = 0; row < 50000; ++row) changed.Mark(row); });
    std::thread b([&] { for (std::size_t row = 50000; row < 100000; ++row) changed.Mark(row); });
    a.join();
    b.join();
    done = true;
    taker.join();
    for (const auto& range : changed.Take()) taken.push_back(range);
    std::vector<bool> seen(100000, false);
    for (const auto& [first, last] : taken) {
        for (std::size_t row = first; row <= last; ++row) seen[row] = true;
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), false), 0);
}

TEST(ChangedRows, DiscardForgetsEveryMark) {
    ChangedRows changed;
    changed.Mark(3);
    changed.Mark(300);
    changed.Discard();
    EXPECT_TRUE(changed.Empty());
    EXPECT_EQ(changed.Take(), Ranges{});
}

}  // namespace
}  // namespace varnel
