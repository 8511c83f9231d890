#include "utilities/chunked_array.h"

#include <vector>

#include <gtest/gtest.h>

namespace varnel {
namespace {

using Small = ChunkedArray<int, 3>;  // chunks of 8

TEST(ChunkedArray, GrowingNeverMovesStoredRecords) {
    Small array;
    std::vector<const int*> addresses;
    for (int i = 0; i < 100; ++i) {
        array.push_back(i);
        addresses.push_back(&array[static_cast<std::size_t>(i)]);
    }
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(&array[static_cast<std::size_t>(i)], addresses[static_cast<std::size_t>(i)]);
        EXPECT_EQ(array[static_cast<std::size_t>(i)], i);
    }
    array.truncate(50);
    EXPECT_EQ(array.size(), 50u);
    array.truncate(70);  // never grows
    EXPECT_EQ(array.size(), 50u);
}

// Emptying keeps room for a fill of the size just held, and gives back what only an
// earlier, larger fill needed.
TEST(ChunkedArray, ClearKeepsTheRoomOfTheLastFill) {
    Small array;
    for (int i = 0; i < 100; ++i) array.push_back(i);  // 13 chunks
    array.clear();
    EXPECT_EQ(array.capacity(), 104u);
    for (int i = 0; i < 20; ++i) array.push_back(i);  // 3 chunks, reused
    EXPECT_EQ(array.capacity(), 104u);
    array.clear();
    EXPECT_EQ(array.capacity(), 24u);
    EXPECT_TRUE(array.empty());
    array.clear();  // an empty array keeps one chunk
    EXPECT_EQ(array.capacity(), 8u);
    array.release();
    EXPECT_EQ(array.capacity(), 0u);
    array.push_back(5);
    EXPECT_EQ(array[0], 5);
}

}  // namespace
}  // namespace varnel
