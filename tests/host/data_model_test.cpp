// Zones, variables and their shapes as the add-on creates them.
#include <bit>
#include <cmath>

#include "host/statistics_sum.h"
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

TEST_F(DataModelTest, UnusedOrderedCellsStayOutOfTheStatistics) {
    ASSERT_TRUE(MakeDataSet({"X"}));
    ZoneSpec block;
    block.imax = 3;
    block.jmax = 2;
    ASSERT_TRUE(AddZone(block));
    ASSERT_TRUE(AddVariable("P", ZelLocationCellCentered));
    ASSERT_TRUE(ZelUtilDataValueAlloc(1, 2));
    const float values[6] = {1, 2, 100, 100, 100, 100};  // cells (1,1), (2,1); i = 3 or j = 2 unused
    ASSERT_TRUE(ZelUtilDataValueArraySetByRef(ZelUtilDataValueGetWritableRef(1, 2), 1, 6, values));
    const zelhost::FieldReport report = zelhost::Field(1, 2);
    EXPECT_EQ(report.stats.count, 2);
    EXPECT_EQ(report.stats.min, 1.0);
    EXPECT_EQ(report.stats.max, 2.0);
    EXPECT_EQ(report.stats.mean, 1.5);
    EXPECT_EQ(report.hash, zelhost::HashBytes(values, sizeof values));
}

// Whole blocks of floats go by lanes: each row must give what the values one
// by one give, bit for bit (zero signs, means rounded along the way included).
TEST_F(DataModelTest, StatisticsOfFloatsMatchValueByValue) {
    struct Row {
        const char* name;
        float (*value)(int64_t i);
    };
    const Row rows[] = {
        {"eighths: every sum exact", [](int64_t i) { return static_cast<float>(i % 64 - 32) * 0.125f; }},
        {"full significands", [](int64_t i) { return 1.0f / static_cast<float>(i % 7 + 1) + i; }},
        {"low bits lost in order", [](int64_t i) { return i % 2 ? 2048.0f : std::ldexp(1.0f + i % 5 * 0.25f, -29); }},
        {"-0 first, +0 in an earlier lane", [](int64_t i) { return i == 3 ? -0.0f : i == 4 ? 0.0f : 1.0f; }},
        {"+0 first as the max", [](int64_t i) { return i == 7 ? 0.0f : i == 8 ? -0.0f : -1.0f; }},
        {"NaN and infinities", [](int64_t i) { return i % 97 == 0 ? NAN : i == 3000 ? -INFINITY : 0.5f * i; }},
        {"subnormals and huge", [](int64_t i) { return std::ldexp(1.0f + i % 3, static_cast<int>(i % 270) - 148); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<float> values(5003);  // blocks and a tail
        for (size_t i = 0; i < values.size(); ++i) values[i] = row.value(static_cast<int64_t>(i));
        zelhost::StatisticsSum lanes, one;
        lanes.AddFloats(values.data(), static_cast<int64_t>(values.size()));
        for (float value : values) one.Add(value);
        const zelhost::Statistics got = lanes.Result(), want = one.Result();
        EXPECT_EQ(got.count, want.count);
        EXPECT_EQ(got.finite, want.finite);
        for (auto field : {&zelhost::Statistics::min, &zelhost::Statistics::max, &zelhost::Statistics::mean}) {
            EXPECT_EQ(std::bit_cast<uint64_t>(got.*field), std::bit_cast<uint64_t>(want.*field));
        }
    }
}

double ConstantOne(const FieldData_pa, LgIndex_t) { return 1.0; }

TEST_F(DataModelTest, PointZoneCountsEveryPoint) {
    ASSERT_TRUE(MakeDataSet({"X"}));
    ZoneSpec points;
    points.imax = 4;
    ASSERT_TRUE(AddZone(points));
    ASSERT_TRUE(AddVariable("P", ZelLocationCellCentered));
    const float values[4] = {1, 2, 3, 6};
    ASSERT_TRUE(ZelUtilDataValueArraySetByRef(ZelUtilDataValueGetWritableRef(1, 2), 1, 4, values));
    const zelhost::FieldReport report = zelhost::Field(1, 2);
    EXPECT_EQ(report.stats.count, 4);
    EXPECT_EQ(report.stats.max, 6.0);
    EXPECT_EQ(report.stats.mean, 3.0);
}

TEST_F(DataModelTest, GetValueFunctionIsReportedAsIfHeld) {
    ASSERT_TRUE(MakeDataSet({"X", "IBlank"}));
    ZoneSpec a;
    a.imax = 4;
    a.dataTypes = {ZelFieldFloat, ZelFieldInt32};
    ASSERT_TRUE(AddZone(a));
    ASSERT_TRUE(AddZone(a));
    ASSERT_TRUE(ZelUtilDataValueCustomLOD(1, 2, nullptr, nullptr, nullptr, ConstantOne, nullptr, 0));
    const int32_t ones[4] = {1, 1, 1, 1};
    ASSERT_TRUE(ZelUtilDataValueArraySetByRef(ZelUtilDataValueGetWritableRef(2, 2), 1, 4, ones));
    const zelhost::FieldReport computed = zelhost::Field(1, 2);
    EXPECT_TRUE(computed.present);
    EXPECT_TRUE(computed.computed);
    EXPECT_EQ(computed.stats.min, 1.0);
    EXPECT_EQ(computed.stats.max, 1.0);
    EXPECT_EQ(computed.hash, zelhost::Field(2, 2).hash);
    EXPECT_TRUE(zelhost::PendingLoadRequests().empty());
}

TEST_F(DataModelTest, DataSetCreateReplacesTheCurrentOneWithItsCleanups) {
    FakeSource& source = Source();
    ASSERT_TRUE(MakeDataSet({"X"}));
    ASSERT_TRUE(AddZone(ZoneSpec{}));
    ASSERT_TRUE(RegisterValues(1, 1, source));
    ASSERT_TRUE(MakeDataSet({"A", "B"}));
    EXPECT_EQ(source.cleanups, 1);
    EXPECT_EQ(zelhost::ZoneCount(), 0);
    EXPECT_EQ(zelhost::FrameCount(), 1);
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
