#include "ensight6/connectivity_reader.h"

#include <gtest/gtest.h>

#include <vector>

#include "casefile/element_types.h"

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

}  // namespace
}  // namespace quorix
