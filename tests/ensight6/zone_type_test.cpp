#include <gtest/gtest.h>

#include "addon/zel_api.h"
#include "dataset/ensight6_zones.h"

namespace quorix {
namespace {

TEST(Ensight6ZoneType, ByCategoryAndLargestElement) {
    struct Row {
        const char* name;
        int32_t kind, category, maxNodes;
        int32_t zoneType;
    };
    const Row rows[] = {
        {"structured block", 0, 255, 0, ZelZoneOrdered},
        {"point part", 3, 1, 1, ZelZoneOrdered},
        {"bar2", 3, 2, 2, ZelZoneLineSeg},
        {"bar3 as segments", 3, 2, 2, ZelZoneLineSeg},
        {"tria3", 3, 3, 3, ZelZoneTriangle},
        {"tria3 and quad4", 3, 3, 4, ZelZoneQuad},
        {"tetra4", 3, 4, 4, ZelZoneTetra},
        {"pyramid5", 3, 4, 5, ZelZoneBrick},
        {"penta6", 3, 4, 6, ZelZoneBrick},
        {"tetra4 and hexa8", 3, 4, 8, ZelZoneBrick},
        {"no loadable block", 3, 255, 0, ZelZoneInvalid},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Ensight6ZoneShape shape;
        shape.kind = row.kind;
        shape.category = row.category;
        shape.maxNodesPerElement = row.maxNodes;
        EXPECT_EQ(ZoneTypeForEnsight6Part(shape), row.zoneType);
    }
}

}  // namespace
}  // namespace quorix
