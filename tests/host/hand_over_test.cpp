// Hand-over calls refuse what does not fit, and a refused call changes nothing.
#include "host_fixture.h"

namespace hosttest {
namespace {

class HandOverTest : public HostTest {};

TEST_F(HandOverTest, ValuePositionsMustLieInTheField) {
    const RangeRow rows[] = {
        {"whole field", 1, 5, true},
        {"last value", 5, 1, true},
        {"nothing, just past the end", 6, 0, true},
        {"position 0", 0, 1, false},
        {"one past the end", 5, 2, false},
        {"negative count", 1, -1, false},
        {"count that overflows", 2, INT64_MAX, false},
        {"first that overflows", INT64_MAX, 1, false},
    };
    ASSERT_TRUE(MakeDataSet({"X"}));
    ASSERT_TRUE(AddZone({.imax = 5}));
    const float values[5] = {1, 2, 3, 4, 5};
    FieldData_pa field = ZelUtilDataValueGetWritableRef(1, 1);
    for (const RangeRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ZelUtilDataValueArraySetByRef(field, row.first, row.count, values) != ZEL_FALSE, row.accepted);
    }
    EXPECT_FALSE(ZelUtilDataValueArraySetByRef(nullptr, 1, 1, values));
    EXPECT_EQ(zelhost::FieldValues(1, 1), (std::vector<double>{1, 2, 3, 4, 1}));
}

TEST_F(HandOverTest, NodeMapPositionsAndNodesMustFit) {
    const RangeRow rows[] = {
        {"whole map", 1, 6, true},
        {"second element", 4, 3, true},
        {"one past the end", 4, 4, false},
        {"position 0", 0, 3, false},
        {"negative count", 1, -2, false},
    };
    ASSERT_TRUE(MakeDataSet({"X"}));
    ASSERT_TRUE(AddZone({.zoneType = ZelZoneTriangle, .imax = 4, .jmax = 2}));
    NodeMap_pa nodeMap = ZelUtilDataNodeGetWritableRef(1);
    const int32_t nodes[8] = {1, 2, 3, 2, 4, 3, 1, 1};
    for (const RangeRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ZelUtilDataNodeArraySetByRef(nodeMap, row.first, row.count, nodes) != ZEL_FALSE, row.accepted);
    }
    for (const int32_t node : {0, -1, 5}) {  // 5: beyond the zone's nodes
        SCOPED_TRACE(node);
        const int32_t bad[3] = {1, node, 2};
        EXPECT_FALSE(ZelUtilDataNodeArraySetByRef(nodeMap, 1, 3, bad));
        EXPECT_FALSE(ZelUtilDataNodeSetByRef(nodeMap, 1, 1, node));
    }
    EXPECT_EQ(zelhost::NodeMapNodes(1), (std::vector<int32_t>{1, 2, 3, 1, 2, 3}));
    EXPECT_FALSE(ZelUtilDataNodeSetByRef(nodeMap, 0, 1, 1));
    EXPECT_FALSE(ZelUtilDataNodeSetByRef(nodeMap, 3, 1, 1));
    EXPECT_FALSE(ZelUtilDataNodeSetByRef(nodeMap, 1, 0, 1));
    EXPECT_FALSE(ZelUtilDataNodeSetByRef(nodeMap, 1, 4, 1));
    EXPECT_TRUE(ZelUtilDataNodeSetByRef(nodeMap, 2, 3, 4));
    EXPECT_EQ(zelhost::NodeMapNodes(1).back(), 4);
}

TEST_F(HandOverTest, RawNodeMapHoldsNodesFromZero) {
    ASSERT_TRUE(MakeDataSet({"X"}));
    ASSERT_TRUE(AddZone({.zoneType = ZelZoneBrick, .imax = 16, .jmax = 2}));
    ASSERT_TRUE(ZelUtilDataNodeAlloc(1));
    int32_t* raw = ZelUtilDataNodeGetWritableRawPtr(1);
    ASSERT_NE(raw, nullptr);
    raw[(2 - 1) * 8 + (1 - 1)] = 7 - 1;  // element 2, corner 1, node 7
    EXPECT_EQ(zelhost::NodeMapNodes(1)[8], 7);
    Configure([](zelhost::Settings& s) { s.withholdRawNodeMap = true; });
    EXPECT_EQ(ZelUtilDataNodeGetWritableRawPtr(1), nullptr);
    EXPECT_TRUE(ZelUtilDataNodeSetByRef(ZelUtilDataNodeGetWritableRef(1), 2, 1, 9));
    EXPECT_EQ(zelhost::NodeMapNodes(1)[8], 9);
    EXPECT_EQ(ZelUtilDataNodeGetWritableRawPtr(2), nullptr);
}

struct FaceRow {
    const char* name;
    bool polyhedron;
    int64_t announcedFaces;
    int64_t elementCount;
    std::vector<int32_t> elementCounts;
    std::vector<int32_t> faceNodeCounts;
    std::vector<int32_t> nodes;
    bool accepted;
};

TEST_F(HandOverTest, FaceMapCountsMustAddUp) {
    const std::vector<int32_t> tetNodes = {1, 3, 2, 2, 3, 4, 3, 1, 4, 1, 2, 4};
    const FaceRow rows[] = {
        {"triangle and quadrilateral", false, 0, 2, {3, 4}, {}, {1, 2, 3, 1, 3, 4, 5}, true},
        {"fewer elements than the zone", false, 0, 1, {3}, {}, {1, 2, 3}, false},
        {"polygon of no nodes", false, 0, 2, {0, 4}, {}, {1, 3, 4, 5}, false},
        {"negative polygon size", false, 0, 2, {-3, 4}, {}, {1, 3, 4, 5}, false},
        {"node beyond the zone", false, 0, 2, {3, 4}, {}, {1, 2, 3, 1, 3, 4, 6}, false},
        {"node 0", false, 0, 2, {3, 4}, {}, {0, 2, 3, 1, 3, 4, 5}, false},
        {"two tetrahedra", true, 8, 2, {4, 4}, {3, 3, 3, 3, 3, 3, 3, 3}, {}, true},
        {"faces disagree with the announced total", true, 9, 2, {4, 4}, {3, 3, 3, 3, 3, 3, 3, 3}, {}, false},
        {"face of no nodes", true, 0, 2, {4, 4}, {3, 3, 3, 0, 3, 3, 3, 3}, {}, false},
        {"element of no faces", true, 0, 2, {0, 4}, {3, 3, 3, 3}, {}, false},
        {"no face-node counts", true, 0, 2, {4, 4}, {}, {}, false},
    };
    for (const FaceRow& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(MakeDataSet({"X"}));
        ASSERT_TRUE(AddZone({.zoneType = row.polyhedron ? ZelZonePolyhedron : ZelZonePolygon, .imax = 5, .jmax = 2}));
        auto load = [](FaceMap_pa) -> Boolean_t { return ZEL_TRUE; };
        ASSERT_TRUE(ZelUtilDataFaceMapCustomLOD(1, row.announcedFaces, 0, 0, 0, load, nullptr, nullptr, 0));
        std::vector<int32_t> nodes = row.nodes;
        if (row.polyhedron && nodes.empty()) {  // both tetrahedra on nodes 1..4 (5 unused)
            nodes = tetNodes;
            nodes.insert(nodes.end(), tetNodes.begin(), tetNodes.end());
        }
        auto faceMap = static_cast<FaceMap_pa>(const_cast<void*>(zelhost::FaceMapIdentity(1)));
        const bool accepted = ZelUtilDataFaceMapAssignElemToNodeMap(
                                  faceMap, row.elementCount, row.elementCounts.data(),
                                  row.faceNodeCounts.empty() ? nullptr : row.faceNodeCounts.data(),
                                  nodes.data()) != ZEL_FALSE;
        EXPECT_EQ(accepted, row.accepted);
        EXPECT_EQ(zelhost::FaceMap(1).present, row.accepted);
        if (accepted) {
            EXPECT_EQ(zelhost::FaceMapContents(1)->nodes, nodes);
        }
    }
}

}  // namespace
}  // namespace hosttest
