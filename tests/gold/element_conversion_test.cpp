// Node numbers and face sizes from a file must be sound before they reach the
// host: ours refuses the others too, the host we stand in for may not.
#include <gtest/gtest.h>

#include "dataset/element_conversion.h"

TEST(ElementConversion, NodeNumbersInRangeAtBothEnds) {
    const int32_t nodes[] = {1, 8, 9, 0, -1, INT32_MIN};
    for (int32_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(nodes[i]);
        EXPECT_EQ(quorix::NodesInRange(nodes + i, 1, 8), nodes[i] == 1 || nodes[i] == 8);
    }
}

TEST(ElementConversion, EverySizeAtLeastOneAndTheSumAsScanned) {
    const int32_t sizes[] = {3, 5, 0, 8};
    EXPECT_TRUE(quorix::SizesAddUp(sizes, 2, 8));
    EXPECT_FALSE(quorix::SizesAddUp(sizes, 2, 9));
    EXPECT_FALSE(quorix::SizesAddUp(sizes + 2, 2, 8));  // a polygon of no nodes
}
