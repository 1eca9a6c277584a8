// Data set, geometry and particle zones, and variables, read back from our host.
#include <algorithm>
#include <string>
#include <vector>

#include "dataset/zone_creation.h"
#include "zones_test_host.h"

namespace quorix::zonetest {
namespace {

using ZonesTest = HostTest;

struct ZoneTypeRow {
    const char* name;
    int32_t category;
    std::initializer_list<int32_t> types;
    int32_t zoneType;
    int64_t kmax;  // as the host holds it: nodes per element, 0 for polytopes
};

// Every zone made from a part: the largest in-category element decides the shape.
TEST_F(ZonesTest, ZoneTypeFollowsTheElementMix) {
    const ZoneTypeRow rows[] = {
        {"point", 1, {ElementPoint}, ZelZoneOrdered, 1},
        {"bar2", 2, {ElementBar2}, ZelZoneLineSeg, 2},
        {"bar3", 2, {ElementBar3}, ZelZoneLineSeg, 2},
        {"bar2 and bar3", 2, {ElementBar2, ElementBar3}, ZelZoneLineSeg, 2},
        {"tria3", 3, {ElementTria3}, ZelZoneTriangle, 3},
        {"tria3 and quad4", 3, {ElementTria3, ElementQuad4}, ZelZoneQuad, 4},
        {"tria3 with bar2 edges", 3, {ElementBar2, ElementTria3}, ZelZoneTriangle, 3},
        {"quad8", 3, {ElementQuad8}, ZelZonePolygon, 0},
        {"tria6", 3, {ElementTria6}, ZelZonePolygon, 0},
        {"nsided", 3, {ElementNsided}, ZelZonePolygon, 0},
        {"quad4 and nsided", 3, {ElementQuad4, ElementNsided}, ZelZonePolygon, 0},
        {"tetra4", 4, {ElementTetra4}, ZelZoneTetra, 4},
        {"pyramid5 only", 4, {ElementPyramid5}, ZelZoneBrick, 8},
        {"penta6 only", 4, {ElementPenta6}, ZelZoneBrick, 8},
        {"tetra4 and pyramid5", 4, {ElementTetra4, ElementPyramid5}, ZelZoneBrick, 8},
        {"tetra4 and hexa8", 4, {ElementTetra4, ElementHexa8}, ZelZoneBrick, 8},
        {"hexa8 with quad4 skin", 4, {ElementQuad4, ElementHexa8}, ZelZoneBrick, 8},
        {"tetra10", 4, {ElementTetra10}, ZelZonePolyhedron, 0},
        {"hexa20", 4, {ElementHexa20}, ZelZonePolyhedron, 0},
        {"hexa8 and nfaced", 4, {ElementHexa8, ElementNfaced}, ZelZonePolyhedron, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        zelhost::ResetHost();
        PartCollection collection(0, 1, 0, 1);
        PartInfo& part = AddUnstructured(collection, 1, 1, row.category, row.types);
        EXPECT_EQ(ZoneTypeForPart(part), row.zoneType);
        ASSERT_TRUE(CreateGeometryZones(collection, false, nullptr, zoneSet));
        ASSERT_EQ(zelhost::ZoneCount(), 1);
        zelhost::ZoneSummary zone = Zone(1);
        EXPECT_EQ(zone.zoneType, row.zoneType);
        EXPECT_EQ(zone.kmax, row.kmax);
    }
}

TEST_F(ZonesTest, ZoneTypeOfShapesTheHostCannotHold) {
    struct Row {
        const char* name;
        int32_t kind;
        int32_t category;
        int32_t maxNodes;
        bool polytope;
        int32_t zoneType;
    } rows[] = {
        {"curvilinear block", PartCurvilinear, 255, 0, false, ZelZoneOrdered},
        {"rectilinear block", PartRectilinear, 255, 0, false, ZelZoneOrdered},
        {"uniform block", PartUniform, 255, 0, false, ZelZoneOrdered},
        {"particles", PartParticles, 1, 0, false, ZelZoneOrdered},
        {"surface of 5-node elements", PartUnstructured, 3, 5, false, ZelZoneInvalid},
        {"volume of 7-node elements", PartUnstructured, 4, 7, false, ZelZoneInvalid},
        {"volume of 3-node elements", PartUnstructured, 4, 3, false, ZelZoneInvalid},
        {"no category", PartUnstructured, 255, 3, false, ZelZoneInvalid},
        {"not loadable", PartUnstructured, 0, 3, false, ZelZoneInvalid},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        PartInfo part;
        part.kind = row.kind;
        part.category = row.category;
        part.maxNodesPerElement = row.maxNodes;
        part.polytope = row.polytope;
        EXPECT_EQ(ZoneTypeForPart(part), row.zoneType);
    }
}

// The host refuses zone type 255: that part is passed over silently, the others are made.
TEST_F(ZonesTest, PartTheHostRefusesGetsNoZoneAndNoMessage) {
    PartCollection collection(0, 1, 0, 1);
    AddUnstructured(collection, 1, 1, 3, {ElementTria3}, 20, "before");
    PartInfo& odd = AddUnstructured(collection, 2, 1, 4, {ElementTetra4}, 20, "odd");
    odd.maxNodesPerElement = 7;
    AddUnstructured(collection, 3, 1, 3, {ElementQuad4}, 20, "after");
    ASSERT_TRUE(CreateGeometryZones(collection, false, nullptr, zoneSet));
    ASSERT_EQ(zelhost::ZoneCount(), 2);
    EXPECT_EQ(Zone(1).name, "Surf: before");
    EXPECT_EQ(Zone(2).name, "Surf: after");
    EXPECT_EQ(Zone(2).strand, 3);
    EXPECT_EQ(collection.ZoneForPartStep(2, 1), 0);
    EXPECT_EQ(collection.ZoneForPartStep(3, 1), 2);
    EXPECT_EQ(ZelUtilSetGetMemberCount(zoneSet), 2);
    EXPECT_TRUE(zelhost::Messages().empty());
}

TEST_F(ZonesTest, ZoneNames) {
    const std::string longName(300, 'd');
    struct Row {
        const char* name;
        int32_t kind;
        int32_t category;
        std::string description;
        std::string zoneName;
    } rows[] = {
        {"point part", PartUnstructured, 1, "probe", "Point: probe"},
        {"line part", PartUnstructured, 2, "edges", "Line: edges"},
        {"surface, ASCII line end", PartUnstructured, 3, "wall\n", "Surf: wall"},
        {"surface, DOS line end", PartUnstructured, 3, "wall\r\n", "Surf: wall"},
        {"volume, binary fill", PartUnstructured, 4, std::string("fluid   \0\0\0\0", 12), "Vol: fluid"},
        {"trailing blanks", PartUnstructured, 4, "fluid  \t \n", "Vol: fluid"},
        {"inner blanks kept", PartUnstructured, 3, "inlet  wall", "Surf: inlet  wall"},
        {"only the first line", PartUnstructured, 3, "top\nbottom", "Surf: top"},
        {"empty description", PartUnstructured, 3, "", "Surf: "},
        {"block, no prefix", PartCurvilinear, 255, "block 7\n", "block 7"},
        {"uniform block", PartUniform, 255, "box", "box"},
        {"longer than any record", PartUnstructured, 3, longName + "\n", "Surf: " + longName},
    };
    PartCollection collection(0, 1, 0, 1);
    int32_t number = 0;
    for (const auto& row : rows) {
        ++number;
        PartInfo& part = row.kind == PartUnstructured
                             ? AddUnstructured(collection, number, 1, row.category,
                                               {row.category == 1   ? ElementPoint
                                                : row.category == 2 ? ElementBar2
                                                : row.category == 3 ? ElementTria3
                                                                    : ElementTetra4})
                             : AddBlock(collection, number, 1, 2, 2, 2);
        part.kind = row.kind;
        part.name = row.description;
    }
    ASSERT_TRUE(CreateGeometryZones(collection, false, nullptr, zoneSet));
    ASSERT_EQ(zelhost::ZoneCount(), number);
    for (int32_t z = 1; z <= number; ++z) {
        SCOPED_TRACE(rows[z - 1].name);
        EXPECT_EQ(Zone(z).name, rows[z - 1].zoneName);
    }
}

TEST_F(ZonesTest, ZoneDimensions) {
    struct Row {
        const char* name;
        bool block;
        int32_t category;
        std::initializer_list<int32_t> types;
        int32_t i, j, k;  // nodes for unstructured parts; dimensions for blocks
        bool made;
        int64_t imax, jmax, kmax;
    } rows[] = {
        // Point values are one per node: the zone is a row of nodes, whatever the element count.
        {"point part", false, 1, {ElementPoint, ElementPoint, ElementPoint}, 7, 0, 0, true, 7, 1, 1},
        {"surface", false, 3, {ElementTria3, ElementQuad4}, 6, 0, 0, true, 6, 2, 4},
        {"line with bar3 twice", false, 2, {ElementBar3}, 3, 0, 0, true, 3, 2, 2},
        {"block 3x4x5", true, 255, {}, 3, 4, 5, true, 3, 4, 5},
        {"flat block 4x4x1", true, 255, {}, 4, 4, 1, true, 4, 4, 1},
        {"block with i = 0", true, 255, {}, 0, 4, 5, false, 0, 0, 0},
        {"block with j = 0", true, 255, {}, 3, 0, 5, false, 0, 0, 0},
        {"block with k = 0", true, 255, {}, 3, 4, 0, false, 0, 0, 0},
        {"part without nodes", false, 3, {ElementTria3}, 0, 0, 0, false, 0, 0, 0},
        {"part without in-category elements", false, 3, {}, 5, 0, 0, false, 0, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        zelhost::ResetHost();
        PartCollection collection(0, 1, 0, 1);
        if (row.block) {
            AddBlock(collection, 1, 1, row.i, row.j, row.k);
        } else {
            AddUnstructured(collection, 1, 1, row.category, row.types, row.i);
        }
        AddBlock(collection, 2, 1, 2, 2, 2, "neighbour");
        ASSERT_TRUE(CreateGeometryZones(collection, false, nullptr, zoneSet));
        ASSERT_EQ(zelhost::ZoneCount(), row.made ? 2 : 1);
        EXPECT_EQ(Zone(zelhost::ZoneCount()).name, "neighbour");
        if (!row.made) continue;
        zelhost::ZoneSummary zone = Zone(1);
        EXPECT_EQ(zone.imax, row.imax);
        EXPECT_EQ(zone.jmax, row.jmax);
        EXPECT_EQ(zone.kmax, row.kmax);
    }
}

TEST_F(ZonesTest, SteadyPartsTakeStrandsInOrderOfFirstAppearance) {
    PartCollection collection(0, 1, 0, 1);
    for (int32_t number : {1, 2, 5}) AddUnstructured(collection, number, 1, 3, {ElementTria3});
    ASSERT_TRUE(CreateGeometryZones(collection, false, nullptr, zoneSet));
    EXPECT_EQ(zelhost::DataSetTitle(), "Ensight Gold");
    EXPECT_EQ(zelhost::VariableNames(), (std::vector<std::string>{"X", "Y", "Z"}));
    ASSERT_EQ(zelhost::ZoneCount(), 3);
    for (int32_t z = 1; z <= 3; ++z) {
        EXPECT_EQ(Zone(z).strand, z);
        EXPECT_EQ(Zone(z).solutionTime, 0.0);
    }
    EXPECT_EQ(collection.ZoneForPartStep(5, 1), 3);
    EXPECT_EQ(ZelUtilSetGetMemberCount(zoneSet), 3);
}

TEST_F(ZonesTest, TransientGeometryTakesEachStepsTime) {
    TimeSectionInfo timeSet;
    FillTimeSet(timeSet, 1, 2, {0.5f, 1.25f});
    PartCollection collection(1, 2, 0, 1);
    for (int32_t step : {1, 2}) {
        for (int32_t number : {1, 2}) AddUnstructured(collection, number, step, 3, {ElementTria3});
    }
    ASSERT_TRUE(CreateGeometryZones(collection, true, &timeSet, zoneSet));
    ASSERT_EQ(zelhost::ZoneCount(), 4);
    const int32_t strands[] = {1, 2, 1, 2};
    const double times[] = {0.5, 0.5, 1.25, 1.25};
    for (int32_t z = 1; z <= 4; ++z) {
        EXPECT_EQ(Zone(z).strand, strands[z - 1]);
        EXPECT_EQ(Zone(z).solutionTime, times[z - 1]);
    }
    EXPECT_EQ(collection.ZoneForPartStep(2, 2), 4);
}

TEST_F(ZonesTest, GeometryStepsBeyondTheTimeSetGetNoZone) {
    TimeSectionInfo timeSet;
    FillTimeSet(timeSet, 1, 2, {0.0f, 1.0f});
    PartCollection collection(1, 2, 0, 1);
    for (int32_t step : {1, 2, 3}) AddUnstructured(collection, 1, step, 3, {ElementTria3});
    ASSERT_TRUE(CreateGeometryZones(collection, true, &timeSet, zoneSet));
    EXPECT_EQ(zelhost::ZoneCount(), 2);
    EXPECT_EQ(collection.ZoneForPartStep(1, 3), 0);
    EXPECT_TRUE(zelhost::Messages().empty());
}

// A time set that declares no steps, or none at all, leaves the series steady: step 1 at time 0.
TEST_F(ZonesTest, TransientFlagWithoutUsableTimeSetIsSteady) {
    TimeSectionInfo empty;
    FillTimeSet(empty, 1, 0, {});
    for (const TimeSectionInfo* timeSet : {static_cast<const TimeSectionInfo*>(&empty),
                                           static_cast<const TimeSectionInfo*>(nullptr)}) {
        zelhost::ResetHost();
        PartCollection collection(1, 1, 0, 1);
        AddUnstructured(collection, 4, 1, 3, {ElementTria3});
        AddUnstructured(collection, 4, 2, 3, {ElementTria3});  // a later step has no time to go to
        ASSERT_TRUE(CreateGeometryZones(collection, true, timeSet, zoneSet));
        ASSERT_EQ(zelhost::ZoneCount(), 1);
        EXPECT_EQ(Zone(1).solutionTime, 0.0);
        EXPECT_EQ(collection.ZoneForPartStep(4, 1), 1);
    }
}

TEST_F(ZonesTest, MissingTimeValueFailsBeforeAnythingIsMade) {
    for (bool batch : {false, true}) {
        SCOPED_TRACE(batch ? "batch mode" : "interactive");
        zelhost::ResetHost();
        if (batch) SetBatchMode();
        TimeSectionInfo timeSet;
        FillTimeSet(timeSet, 7, 3, {0.0f, 1.0f});
        PartCollection collection(1, 3, 0, 1);
        for (int32_t step : {1, 2, 3}) AddUnstructured(collection, 1, step, 3, {ElementTria3});
        EXPECT_FALSE(CreateGeometryZones(collection, true, &timeSet, zoneSet));
        EXPECT_FALSE(zelhost::HasDataSet());
        const std::vector<std::string> expected{"Time set 7 holds no time value for step 3. Aborting read."};
        EXPECT_EQ(ErrorTexts(), expected);
        EXPECT_EQ(DialogCount(), batch ? 0u : 1u);
    }
}

TEST_F(ZonesTest, DataSetWithIBlankWhenSomeBlockHasIt) {
    PartCollection collection(0, 1, 0, 1);
    AddUnstructured(collection, 1, 1, 3, {ElementTria3});
    AddBlock(collection, 2, 1, 2, 2, 2).iblankOffset = 400;
    ASSERT_TRUE(CreateGeometryZones(collection, false, nullptr, zoneSet));
    EXPECT_EQ(zelhost::VariableNames(), (std::vector<std::string>{"X", "Y", "Z", "IBlank"}));
    for (int32_t z = 1; z <= 2; ++z) {
        EXPECT_EQ(zelhost::Field(z, 4).dataType, ZelFieldInt32);
        EXPECT_EQ(zelhost::Field(z, 1).dataType, ZelFieldFloat);
    }
}

TEST_F(ZonesTest, RefusedParticleZoneShowsTheMessage) {
    for (bool batch : {false, true}) {
        SCOPED_TRACE(batch ? "batch mode" : "interactive");
        zelhost::ResetHost();
        if (batch) SetBatchMode();
        PartCollection collection(0, 1, 0, 1);
        AddParticles(collection, 1, 3);
        // Without a data set the host cannot hold a particle zone.
        EXPECT_FALSE(CreateParticleZones(collection, false, nullptr, zoneSet));
        const std::vector<std::string> expected{"Error when attempting to create particle zones."};
        EXPECT_EQ(ErrorTexts(), expected);
        EXPECT_EQ(DialogCount(), batch ? 0u : 1u);
    }
}

// Each zone gets the loaders of its shape: connectivity by node map or face map, none for points.
TEST_F(ZonesTest, GeometryLoadersFollowTheZoneShape) {
    PartCollection collection(0, 1, 0, 1);
    AddUnstructured(collection, 1, 1, 1, {ElementPoint});
    AddUnstructured(collection, 2, 1, 2, {ElementBar2});
    AddUnstructured(collection, 3, 1, 3, {ElementTria3});
    AddUnstructured(collection, 4, 1, 3, {ElementNsided});
    AddUnstructured(collection, 5, 1, 4, {ElementHexa8});
    AddUnstructured(collection, 6, 1, 4, {ElementNfaced});
    AddBlock(collection, 7, 1, 2, 2, 2);
    ASSERT_TRUE(CreateGeometryZones(collection, false, nullptr, zoneSet));
    ASSERT_EQ(zelhost::ZoneCount(), 7);
    const char* connectivity[] = {"", "nodeMap", "nodeMap", "faceMap", "nodeMap", "faceMap", ""};
    std::vector<std::vector<std::string>> kinds(8);
    for (const auto& request : zelhost::PendingLoadRequests()) {
        std::string kind = request.kind == "values" ? "values" + std::to_string(request.variable) : request.kind;
        kinds[static_cast<size_t>(request.zone)].push_back(kind);
    }
    for (int32_t z = 1; z <= 7; ++z) {
        SCOPED_TRACE("zone " + std::to_string(z));
        std::vector<std::string> expected{"values1", "values2", "values3"};
        if (connectivity[z - 1][0] != '\0') expected.push_back(connectivity[z - 1]);
        std::sort(expected.begin(), expected.end());
        std::sort(kinds[static_cast<size_t>(z)].begin(), kinds[static_cast<size_t>(z)].end());
        EXPECT_EQ(kinds[static_cast<size_t>(z)], expected);
    }
}

TEST_F(ZonesTest, ParticleZonesAreRowsOfParticles) {
    PartCollection collection(0, 1, 0, 1);
    AddUnstructured(collection, 3, 1, 3, {ElementTria3});
    AddBlock(collection, 4, 1, 2, 2, 2).iblankOffset = 400;
    ASSERT_TRUE(CreateGeometryZones(collection, false, nullptr, zoneSet));
    AddParticles(collection, 1, 5);
    ASSERT_TRUE(CreateParticleZones(collection, false, nullptr, zoneSet));
    ASSERT_EQ(zelhost::ZoneCount(), 3);
    zelhost::ZoneSummary zone = Zone(3);
    EXPECT_EQ(zone.name, "Particle: ");
    EXPECT_EQ(zone.zoneType, ZelZoneOrdered);
    EXPECT_EQ(zone.imax, 5);
    EXPECT_EQ(zone.jmax, 1);
    EXPECT_EQ(zone.kmax, 1);
    EXPECT_EQ(zone.strand, 3);
    EXPECT_EQ(collection.FirstZoneForPart(ParticlePartNumber), 3);
    // Nothing holds iblank values for particles: they read 1 everywhere.
    zelhost::FieldReport iblank = zelhost::Field(3, 4);
    EXPECT_TRUE(iblank.computed);
    EXPECT_EQ(iblank.stats.min, 1.0);
    EXPECT_EQ(iblank.stats.max, 1.0);
}

TEST_F(ZonesTest, TransientParticlesSkipStepsWithoutParticles) {
    TimeSectionInfo timeSet;
    FillTimeSet(timeSet, 2, 3, {1.0f, 2.0f, 3.0f});
    PartCollection collection(0, 1, 2, 3);
    AddUnstructured(collection, 1, 1, 3, {ElementTria3});
    ASSERT_TRUE(CreateGeometryZones(collection, false, nullptr, zoneSet));
    AddParticles(collection, 1, 4);
    AddParticles(collection, 2, 0);
    AddParticles(collection, 3, 2);
    ASSERT_TRUE(CreateParticleZones(collection, true, &timeSet, zoneSet));
    ASSERT_EQ(zelhost::ZoneCount(), 3);
    EXPECT_EQ(Zone(2).solutionTime, 1.0);
    EXPECT_EQ(Zone(3).solutionTime, 3.0);
    EXPECT_EQ(Zone(3).imax, 2);
    EXPECT_EQ(collection.ZoneForPartStep(ParticlePartNumber, 2), 0);
    EXPECT_EQ(collection.ZoneForPartStep(ParticlePartNumber, 3), 3);
    EXPECT_TRUE(zelhost::Messages().empty());
}

TEST_F(ZonesTest, AddVariablesNamesEveryComponent) {
    struct Row {
        const char* name;
        int32_t components;
        const char* description;
        int32_t location;
        std::vector<std::string> added;
    } rows[] = {
        {"scalar", 1, "pressure", 1, {"pressure"}},
        {"vector", 3, "V", 1, {"VX", "VY", "VZ"}},
        {"symmetric tensor", 6, "S", 0, {"S11", "S22", "S33", "S12", "S13", "S23"}},
        {"asymmetric tensor", 9, "T", 0, {"T11", "T12", "T13", "T21", "T22", "T23", "T31", "T32", "T33"}},
        {"long description", 3, "a description well past eighty characters, which no record buffer cuts short here",
         1,
         {"a description well past eighty characters, which no record buffer cuts short hereX",
          "a description well past eighty characters, which no record buffer cuts short hereY",
          "a description well past eighty characters, which no record buffer cuts short hereZ"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        zelhost::ResetHost();
        PartCollection collection(0, 1, 0, 1);
        AddUnstructured(collection, 1, 1, 3, {ElementTria3});
        AddUnstructured(collection, 2, 1, 4, {ElementHexa8});
        ASSERT_TRUE(CreateGeometryZones(collection, false, nullptr, zoneSet));
        ASSERT_TRUE(AddVariables(row.components, row.description, row.location));
        std::vector<std::string> expected{"X", "Y", "Z"};
        expected.insert(expected.end(), row.added.begin(), row.added.end());
        EXPECT_EQ(zelhost::VariableNames(), expected);
        for (int32_t z = 1; z <= 2; ++z) {
            zelhost::FieldReport field = zelhost::Field(z, 4);
            EXPECT_EQ(field.location, row.location);
            EXPECT_EQ(field.dataType, ZelFieldFloat);
            EXPECT_FALSE(field.present);
        }
    }
}

TEST_F(ZonesTest, AddVariablesWithoutDataSetAddsNothing) {
    EXPECT_FALSE(AddVariables(3, "V", 1));
    EXPECT_FALSE(zelhost::HasDataSet());
}

}  // namespace
}  // namespace quorix::zonetest
