#include "casefile/checked_math.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using namespace quorix;

constexpr int64_t Max64 = std::numeric_limits<int64_t>::max();
constexpr int64_t Max32 = std::numeric_limits<int32_t>::max();

// The room for a count is judged by division, so no product can overflow.
TEST(CheckedMath, CountsFitInTheBytesLeft) {
    EXPECT_TRUE(FitsIn(3, 4, 12));
    EXPECT_FALSE(FitsIn(3, 4, 11));
    EXPECT_TRUE(FitsIn(0, 16, 0));
    EXPECT_FALSE(FitsIn(-1, 4, 100));
    EXPECT_FALSE(FitsIn(0, 4, -1));
    EXPECT_FALSE(FitsIn(Max64, 16, Max64));
    EXPECT_TRUE(FitsIn(Max64 / 16, 16, Max64));
    EXPECT_TRUE(FitsIn(Max64, 0, 0));
}

TEST(CheckedMath, BlockNodesAndCells) {
    struct Row {
        int64_t i, j, k;
        std::optional<int32_t> nodes, cells;
    };
    const Row rows[] = {
        {2, 3, 4, 24, 6},
        {4, 4, 1, 16, 9},  // flat: cells over the other two dimensions
        {1, 1, 1, 1, 1},
        {5, 1, 1, 5, 4},
        {0, 3, 4, 0, 0},  // no nodes, no cells
        {3, 0, 1, 0, 0},
        {0, 0, 0, 0, 0},
        {-1, 3, 4, std::nullopt, std::nullopt},
        {3, 4, -2, std::nullopt, std::nullopt},
        {Max32, 1, 1, Max32, Max32 - 1},
        {Max32 + 1, 1, 1, std::nullopt, std::nullopt},
        {65536, 32768, 1, std::nullopt, 65535 * 32767},  // 2^31 nodes: one too many
        {65536, 32767, 1, 65536 * 32767, 65535 * 32766},
        {Max32, Max32, Max32, std::nullopt, std::nullopt},  // the products pass int64 too
        {Max32, 2, 0, 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.i << " x " << r.j << " x " << r.k);
        EXPECT_EQ(BlockNodeCount(r.i, r.j, r.k), r.nodes);
        EXPECT_EQ(BlockCellCount(r.i, r.j, r.k), r.cells);
    }
}

}  // namespace
