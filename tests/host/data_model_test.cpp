// Zones, variables and their shapes as the add-on creates them.
#include "host_fixture.h"

namespace hosttest {
namespace {

class DataModelTest : public HostTest {};

struct ZoneRow {
    const char* name;
    int32_t zoneType;
    int64_t imax, jmax, kmax;
    bool added;
    int64_t expectedKmax;  // what ZelUtilZoneGetInfo reports
};

TEST_F(DataModelTest, ZoneCreationChecksTypeAndDimensions) {
    const ZoneRow rows[] = {
        {"ordered block", ZelZoneOrdered, 3, 2, 4, true, 4},
        {"brick, KMAX is the id mode 0", ZelZoneBrick, 8, 1, 0, true, 8},
        {"triangles, KMAX ignored", ZelZoneTriangle, 3, 1, 99, true, 3},
        {"quadrilaterals", ZelZoneQuad, 4, 1, 1, true, 4},
        {"tetrahedra", ZelZoneTetra, 4, 1, 1, true, 4},
        {"line segments", ZelZoneLineSeg, 2, 1, 3, true, 2},
        {"polygons have no fixed corner count", ZelZonePolygon, 5, 2, 1, true, 0},
        {"polyhedra", ZelZonePolyhedron, 8, 1, 1, true, 0},
        {"zone type 255", ZelZoneInvalid, 3, 1, 1, false, 0},
        {"zone type 8", 8, 3, 1, 1, false, 0},
        {"negative zone type", -1, 3, 1, 1, false, 0},
        {"no nodes", ZelZoneTriangle, 0, 1, 1, false, 0},
        {"no elements", ZelZoneTriangle, 3, 0, 1, false, 0},
        {"ordered K of 0", ZelZoneOrdered, 3, 2, 0, false, 0},
        {"negative I", ZelZoneOrdered, -3, 2, 1, false, 0},
        {"I*J*K beyond any memory", ZelZoneOrdered, int64_t{1} << 30, int64_t{1} << 30, 1 << 20, false, 0},
        {"more nodes than int32 numbers", ZelZoneTriangle, int64_t{1} << 32, 1, 1, false, 0},
    };
    for (const ZoneRow& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(MakeDataSet({"X"}));
        ZoneSpec spec;
        spec.zoneType = row.zoneType;
        spec.imax = row.imax;
        spec.jmax = row.jmax;
        spec.kmax = row.kmax;
        EXPECT_EQ(AddZone(spec), row.added);
        EntIndex_t zones = -1;
        ZelUtilDataSetGetInfo(nullptr, &zones, nullptr);
        EXPECT_EQ(zones, row.added ? 1 : 0);
        if (!row.added) continue;
        LgIndex_t i = 0, j = 0, k = 0;
        ZelUtilZoneGetInfo(1, &i, &j, &k);
        EXPECT_EQ(i, row.imax);
        EXPECT_EQ(j, row.jmax);
        EXPECT_EQ(k, row.expectedKmax);
    }
}

TEST_F(DataModelTest, VariablesReachEveryZoneAtTheirLocation) {
    ASSERT_TRUE(MakeDataSet({"X"}));
    ZoneSpec block;
    block.imax = 3;
    block.jmax = 2;
    ASSERT_TRUE(AddZone(block));
    ZoneSpec bricks;
    bricks.zoneType = ZelZoneBrick;
    bricks.imax = 12;
    bricks.jmax = 2;
    ASSERT_TRUE(AddZone(bricks));
    ASSERT_TRUE(AddVariable("P", ZelLocationCellCentered));
    EXPECT_EQ(zelhost::VariableNames(), (std::vector<std::string>{"X", "P"}));
    // Ordered cell-centred values keep the I*J*K layout; finite elements hold one per element.
    EXPECT_EQ(zelhost::Field(1, 2).length, 6);
    EXPECT_EQ(zelhost::Field(2, 2).length, 2);
    EXPECT_EQ(zelhost::Field(2, 1).length, 12);
    EXPECT_EQ(zelhost::Field(2, 2).location, ZelLocationCellCentered);
    EXPECT_FALSE(zelhost::Field(2, 2).present);  // deferred: nothing until loaded or set
}

TEST_F(DataModelTest, UnknownZoneArgumentIsAHostFault) {
    ASSERT_TRUE(MakeDataSet({"X"}));
    ArgList_pa args = ZelUtilArgListAlloc();
    ZelUtilArgListAppendInt(args, "IMAXX", 3);
    EXPECT_TRUE(ZelUtilDataSetAddZoneX(args));
    ZelUtilArgListDealloc(&args);
    ASSERT_EQ(zelhost::Faults().size(), 1u);
    EXPECT_NE(zelhost::Faults()[0].find("IMAXX"), std::string::npos);
    zelhost::ResetHost();
}

}  // namespace
}  // namespace hosttest
