// Node-map writes in runs, through the host's raw storage or its reference.
#include <cstdint>
#include <vector>

#include "dataset/node_map_access.h"
#include "zones_test_host.h"

namespace quorix::zonetest {
namespace {

class NodeMapAccessTest : public HostTest {
protected:
    // A brick zone of 2 elements over 12 nodes with its node map allocated, as the EnSight 6 path makes it.
    void MakeBrickZone(bool withholdRaw) {
        zelhost::Settings settings = zelhost::CurrentSettings();
        settings.withholdRawNodeMap = withholdRaw;
        zelhost::Configure(settings);
        HostLock lock;
        StringList_pa names = ZelUtilStringListAlloc();
        for (const char* name : {"X", "Y", "Z"}) ZelUtilStringListAppendString(names, name);
        ASSERT_TRUE(ZelUtilDataSetCreate("test", names, ZEL_TRUE));
        ZelUtilStringListDealloc(&names);
        ArgList_pa args = ZelUtilArgListAlloc();
        ZelUtilArgListAppendString(args, "NAME", "bricks");
        ZelUtilArgListAppendInt(args, "ZONETYPE", ZelZoneBrick);
        ZelUtilArgListAppendInt(args, "IMAX", 12);
        ZelUtilArgListAppendInt(args, "JMAX", 2);
        ZelUtilArgListAppendInt(args, "KMAX", 1);
        ASSERT_TRUE(ZelUtilDataSetAddZoneX(args));
        ZelUtilArgListDealloc(&args);
        ASSERT_TRUE(ZelUtilDataNodeAlloc(1));
    }
};

TEST_F(NodeMapAccessTest, WritesReachTheSameEntryEitherWay) {
    for (bool withholdRaw : {false, true}) {
        SCOPED_TRACE(withholdRaw ? "by reference" : "raw storage");
        zelhost::ResetHost();
        MakeBrickZone(withholdRaw);
        HostLock lock;
        NodeMapAccess access = WritableNodeMapAccess(1);
        EXPECT_EQ(access.raw == nullptr, withholdRaw);
        EXPECT_EQ(access.ref == nullptr, !withholdRaw);
        EXPECT_EQ(access.elementCount, 2);
        EXPECT_EQ(access.nodesPerElement, 8);
        EXPECT_EQ(access.nodeCount, 12);
        EXPECT_TRUE(SetEntry(access, 2, 1, 7));
        EXPECT_TRUE(SetEntry(access, 1, 8, 12));
        std::vector<int32_t> nodes = zelhost::NodeMapNodes(1);
        ASSERT_EQ(nodes.size(), 16u);
        EXPECT_EQ(nodes[8], 7);
        EXPECT_EQ(nodes[7], 12);
    }
}

TEST_F(NodeMapAccessTest, WritesOutsideTheMapAreRefused) {
    struct Row {
        const char* name;
        int64_t element;
        int32_t corner;
        int32_t node;
    } rows[] = {
        {"element 0", 0, 1, 1},      {"element past the last", 3, 1, 1}, {"huge element", INT64_MAX, 1, 1},
        {"corner 0", 1, 0, 1},       {"corner 9 of a brick", 1, 9, 1},  {"node 0", 1, 1, 0},
        {"negative node", 1, 1, -5}, {"node past the zone", 1, 1, 13},
    };
    for (bool withholdRaw : {false, true}) {
        SCOPED_TRACE(withholdRaw ? "by reference" : "raw storage");
        zelhost::ResetHost();
        MakeBrickZone(withholdRaw);
        HostLock lock;
        NodeMapAccess access = WritableNodeMapAccess(1);
        std::vector<int32_t> before = zelhost::NodeMapNodes(1);
        for (const auto& row : rows) {
            SCOPED_TRACE(row.name);
            EXPECT_FALSE(SetEntry(access, row.element, row.corner, row.node));
        }
        EXPECT_EQ(zelhost::NodeMapNodes(1), before);
    }
}

}  // namespace
}  // namespace quorix::zonetest
