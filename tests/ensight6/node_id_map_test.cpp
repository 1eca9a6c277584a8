#include "ensight6/node_id_map.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorix {
namespace {

TEST(Ensight6NodeIdMap, PositionsOfGivenIds) {
    NodeIdMap map;
    std::string error;
    const int32_t ids[] = {5, 9, 7};
    ASSERT_TRUE(map.Build(ids, 3, error)) << error;
    EXPECT_TRUE(map.dense());
    const int32_t expected[10] = {-1, -1, -1, -1, -1, 1, -1, 3, -1, 2};
    for (int32_t id = 0; id < 10; ++id) EXPECT_EQ(map.Position(id), expected[id]) << id;
    EXPECT_EQ(map.Position(10), -1);
    EXPECT_EQ(map.Position(-1), -1);
}

TEST(Ensight6NodeIdMap, HugeIdsUseSortedPairs) {
    NodeIdMap map;
    std::string error;
    const int32_t ids[] = {2147483647, 3, 100000};
    ASSERT_TRUE(map.Build(ids, 3, error)) << error;
    EXPECT_FALSE(map.dense());
    EXPECT_EQ(map.Position(2147483647), 1);
    EXPECT_EQ(map.Position(3), 2);
    EXPECT_EQ(map.Position(100000), 3);
    EXPECT_EQ(map.Position(4), -1);
    EXPECT_EQ(map.Position(4294967296LL), -1);
}

TEST(Ensight6NodeIdMap, BadIdsAreErrors) {
    struct Row {
        const char* name;
        std::vector<int32_t> ids;
        const char* error;
    };
    const Row rows[] = {
        {"negative", {1, -4, 2}, "Negative node id -4"},
        {"repeated, dense", {1, 2, 1}, "Node id 1 occurs twice"},
        {"repeated, sparse", {2000000000, 7, 2000000000}, "Node id 2000000000 occurs twice"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        NodeIdMap map;
        std::string error;
        EXPECT_FALSE(map.Build(row.ids.data(), static_cast<int64_t>(row.ids.size()), error));
        EXPECT_NE(error.find(row.error), std::string::npos) << error;
        EXPECT_FALSE(map.present());
    }
}

}  // namespace
}  // namespace quorix
