#include "ensight6/connectivity_reader.h"

#include <gtest/gtest.h>

#include <vector>

#include "casefile/element_types.h"
#include "ensight6/value_source.h"

namespace quorix {
namespace {

TEST(Ensight6Connectivity, WriteNodeRunThroughRawStorageIsBounded) {
    std::vector<int32_t> storage(16, -7);
    NodeMapAccess access;
    access.raw = storage.data();
    access.elementCount = 2;
    access.nodesPerElement = 8;
    const int32_t seven = 7;
    // element 2, corner 1, node 7 of a brick zone is entry 8, stored from 0
    ASSERT_TRUE(WriteNodeRun(access, 8, 9, 1, &seven));
    EXPECT_EQ(storage[8], 6);
    std::vector<int32_t> run(8, 1);
    EXPECT_TRUE(WriteNodeRun(access, 8, 9, 8, run.data()));
    EXPECT_FALSE(WriteNodeRun(access, 8, 10, 8, run.data()));  // one entry past the map
    EXPECT_FALSE(WriteNodeRun(access, 4, 1, 1, run.data()));   // corners must be the zone's
    EXPECT_FALSE(WriteNodeRun(access, 8, 0, 1, run.data()));
}

TEST(Ensight6Connectivity, MapNodeIdsRejectsUnknownIds) {
    NodeIdMap map;
    std::string error;
    const int32_t ids[] = {5, 9, 7};
    ASSERT_TRUE(map.Build(ids, 3, error));
    int32_t nodes[] = {7, 5, 9};
    ASSERT_TRUE(MapNodeIds(map, nodes, 3));
    EXPECT_EQ(std::vector<int32_t>(nodes, nodes + 3), (std::vector<int32_t>{3, 1, 2}));
    int32_t unknown[] = {5, 6};
    EXPECT_FALSE(MapNodeIds(map, unknown, 2));
    int32_t beyond[] = {1000};
    EXPECT_FALSE(MapNodeIds(map, beyond, 1));
}

TEST(Ensight6Connectivity, BlockCellPositionsAdvanceByRowAndPlane) {
    // 4 x 3 x 3 nodes: cells 3 x 2 x 2, rows of 3 at stride I = 4, planes at I*J = 12
    struct Row {
        int64_t cell;
        int64_t position;
    };
    const Row rows[] = {{0, 1}, {2, 3}, {3, 5}, {5, 7}, {6, 13}, {9, 17}, {11, 19}};
    for (const Row& row : rows) EXPECT_EQ(BlockCellPosition(4, 3, 3, row.cell), row.position) << row.cell;
    EXPECT_EQ(BlockCellPosition(1, 5, 1, 3), 4);  // a 1-D block: one cell per row
}

}  // namespace
}  // namespace quorix
