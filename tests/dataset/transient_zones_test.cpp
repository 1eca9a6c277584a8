// Zones of later steps when only the variables (or the measured variables) are transient.
#include <memory>
#include <string>
#include <vector>

#include "dataset/transient_zones.h"
#include "dataset/zone_creation.h"
#include "zones_test_host.h"

namespace quorix::zonetest {
namespace {

void Append(VarList<VarSVT>& list, VarSVT& entry) {
    if (list.tail != nullptr) {
        list.tail->next = &entry;
    } else {
        list.head = &entry;
    }
    list.tail = &entry;
}

// The time sets 1..n of a case, linked as the parser links them (the handle is the last).
class TimeSets {
public:
    explicit TimeSets(std::vector<std::vector<float>> valueLists, std::vector<int32_t> stepCounts = {})
        : count_(valueLists.size()), sets_(std::make_unique<TimeSectionInfo[]>(count_)) {
        for (size_t s = 0; s < count_; ++s) {
            int32_t steps = s < stepCounts.size() ? stepCounts[s] : static_cast<int32_t>(valueLists[s].size());
            FillTimeSet(sets_[s], static_cast<int32_t>(s + 1), steps, valueLists[s]);
            if (s > 0) {
                sets_[s].previous = &sets_[s - 1];
                sets_[s - 1].next = &sets_[s];
            }
        }
    }
    const TimeSectionInfo* handle() const { return count_ == 0 ? nullptr : &sets_[count_ - 1]; }

private:
    size_t count_;
    std::unique_ptr<TimeSectionInfo[]> sets_;
};

class TransientTest : public HostTest {
protected:
    // Static geometry: a surface, a volume and a block, each in step 1.
    void MakeStaticGeometry(bool withIBlank = false) {
        AddUnstructured(collection, 1, 1, 3, {ElementTria3}, 10, "skin");
        AddUnstructured(collection, 2, 1, 4, {ElementHexa8}, 10, "fluid");
        AddBlock(collection, 5, 1, 2, 3, 4, "block").iblankOffset = withIBlank ? 500 : 0;
        ASSERT_TRUE(CreateGeometryZones(collection, false, nullptr, zoneSet));
    }
    void MakeParticles(int32_t count) {
        AddParticles(collection, 1, count);
        ASSERT_TRUE(CreateParticleZones(collection, false, nullptr, zoneSet));
    }

    PartCollection collection{0, 1, 0, 1};
    VariableSectionInfo variables;
};

// Zones 1-3 are step 1; step k's copies follow in zone order and share the geometry of zones 1-3.
TEST_F(TransientTest, StaticGeometryWithFourStepScalarGivesTwelveZones) {
    for (bool withIBlank : {false, true}) {
        SCOPED_TRACE(withIBlank ? "with IBlank" : "without IBlank");
        zelhost::ResetHost();
        collection = PartCollection(0, 1, 0, 1);
        MakeStaticGeometry(withIBlank);
        TimeSets timeSets({{0.0f, 0.25f, 0.5f, 1.0f}});
        VarSVT scalar;
        scalar.timeSet = 1;
        variables = {};
        Append(variables.scalarPerNode, scalar);
        ASSERT_TRUE(CreateTransientVariableZones(collection, zoneSet, &variables, timeSets.handle()));
        ASSERT_EQ(zelhost::ZoneCount(), 12);
        EXPECT_EQ(ZelUtilSetGetMemberCount(zoneSet), 12);
        EXPECT_EQ(collection.modelTimeSet, 1);
        const double times[] = {0.0, 0.25, 0.5, 1.0};
        const int32_t partNumbers[] = {1, 2, 5};
        int32_t sharedCount = withIBlank ? 4 : 3;
        for (int32_t z = 1; z <= 12; ++z) {
            SCOPED_TRACE("zone " + std::to_string(z));
            int32_t source = (z - 1) % 3 + 1;
            int32_t step = (z - 1) / 3 + 1;
            zelhost::ZoneSummary zone = Zone(z);
            zelhost::ZoneSummary first = Zone(source);
            EXPECT_EQ(zone.strand, source);
            EXPECT_EQ(zone.solutionTime, times[step - 1]);
            EXPECT_EQ(zone.name, first.name);
            EXPECT_EQ(zone.zoneType, first.zoneType);
            EXPECT_EQ(collection.ZoneForPartStep(partNumbers[source - 1], step), z);
            for (int32_t v = 1; v <= sharedCount; ++v) {
                EXPECT_EQ(zelhost::FieldIdentity(z, v), zelhost::FieldIdentity(source, v)) << "variable " << v;
            }
        }
        for (int32_t z : {4, 7, 10}) EXPECT_EQ(zelhost::NodeMapIdentity(z), zelhost::NodeMapIdentity(1));
        for (int32_t z : {5, 8, 11}) EXPECT_EQ(zelhost::NodeMapIdentity(z), zelhost::NodeMapIdentity(2));
        // Copies load nothing of their own: the geometry is read once, through zones 1-3.
        for (const auto& request : zelhost::PendingLoadRequests()) EXPECT_LE(request.zone, 3);
    }
}

struct EntryRow {
    const char* name;
    std::vector<std::vector<float>> timeSets;
    std::vector<int32_t> entrySets;  // one entry per list slot below, 0 = no entry there
    int32_t chosenSet;               // 0: nothing added
};

// Walk order: scalar, vector, tensor symm, tensor asym per node, then the same per element.
TEST_F(TransientTest, FirstEntryWithSeveralStepsDecides) {
    const EntryRow rows[] = {
        {"no entry has a time set", {{0.0f, 1.0f}}, {0, 0, 0, 0, 0, 0, 0, 0}, 0},
        {"one-step set passed over", {{5.0f}, {0.0f, 1.0f, 2.0f, 3.0f, 4.0f}}, {1, 2, 0, 0, 0, 0, 0, 0}, 2},
        {"per element only", {{0.0f, 1.0f, 2.0f}}, {0, 0, 0, 0, 0, 0, 0, 1}, 1},
        {"per node before per element", {{0.0f, 1.0f}, {0.0f, 1.0f, 2.0f}}, {0, 0, 0, 2, 1, 0, 0, 0}, 2},
        {"set naming no set", {{0.0f, 1.0f}}, {3, 0, 0, 0, 0, 0, 0, 0}, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        zelhost::ResetHost();
        collection = PartCollection(0, 1, 0, 1);
        MakeStaticGeometry();
        TimeSets timeSets(row.timeSets);
        variables = {};
        VarList<VarSVT>* lists[] = {&variables.scalarPerNode,    &variables.vectorPerNode,
                                    &variables.tensorSymmPerNode, &variables.tensorAsymPerNode,
                                    &variables.scalarPerElement, &variables.vectorPerElement,
                                    &variables.tensorSymmPerElement, &variables.tensorAsymPerElement};
        std::vector<VarSVT> entries(8);
        for (size_t i = 0; i < 8; ++i) {
            if (row.entrySets[i] == 0) continue;
            entries[i].timeSet = row.entrySets[i];
            Append(*lists[i], entries[i]);
        }
        ASSERT_TRUE(CreateTransientVariableZones(collection, zoneSet, &variables, timeSets.handle()));
        int32_t steps = row.chosenSet == 0 ? 1 : static_cast<int32_t>(row.timeSets[row.chosenSet - 1].size());
        EXPECT_EQ(zelhost::ZoneCount(), 3 * steps);
        EXPECT_EQ(collection.modelTimeSet, row.chosenSet);
    }
}

TEST_F(TransientTest, TransientGeometryAddsNothing) {
    TimeSets timeSets({{0.0f, 1.0f, 2.0f}});
    PartCollection transient(1, 3, 0, 1);
    for (int32_t step : {1, 2, 3}) AddUnstructured(transient, 1, step, 3, {ElementTria3});
    ASSERT_TRUE(CreateGeometryZones(transient, true, timeSets.handle(), zoneSet));
    VarSVT scalar;
    scalar.timeSet = 1;
    Append(variables.scalarPerNode, scalar);
    ASSERT_TRUE(CreateTransientVariableZones(transient, zoneSet, &variables, timeSets.handle()));
    EXPECT_EQ(zelhost::ZoneCount(), 3);
    EXPECT_EQ(Zone(3).solutionTime, 2.0);
}

TEST_F(TransientTest, TimeSetShortOfValuesFailsNamingTheSet) {
    for (bool batch : {false, true}) {
        SCOPED_TRACE(batch ? "batch mode" : "interactive");
        zelhost::ResetHost();
        if (batch) SetBatchMode();
        collection = PartCollection(0, 1, 0, 1);
        MakeStaticGeometry();
        TimeSets timeSets({{0.0f}, {0.0f, 1.0f}}, {1, 4});
        VarSVT vector;
        vector.timeSet = 2;
        variables = {};
        Append(variables.vectorPerNode, vector);
        EXPECT_FALSE(CreateTransientVariableZones(collection, zoneSet, &variables, timeSets.handle()));
        EXPECT_EQ(zelhost::ZoneCount(), 3);
        const std::vector<std::string> expected{"Time set 2 holds no time value for step 3. Aborting read."};
        EXPECT_EQ(ErrorTexts(), expected);
        EXPECT_EQ(DialogCount(), batch ? 0u : 1u);
    }
}

// A zone the host will not copy (here: another shape on the part's strand) is
// remembered; the other copies are still made, then the load is told it failed.
TEST_F(TransientTest, RefusedCopyFailsAfterTheOthersAreMade) {
    for (bool batch : {false, true}) {
        SCOPED_TRACE(batch ? "batch mode" : "interactive");
        zelhost::ResetHost();
        if (batch) SetBatchMode();
        collection = PartCollection(0, 1, 0, 1);
        AddUnstructured(collection, 1, 1, 3, {ElementTria3}, 10, "skin");
        ASSERT_TRUE(CreateGeometryZones(collection, false, nullptr, zoneSet));
        {
            HostLock lock;
            ArgList_pa args = ZelUtilArgListAlloc();
            ZelUtilArgListAppendString(args, "NAME", "foreign");
            ZelUtilArgListAppendInt(args, "STRANDID", 1);
            ASSERT_TRUE(ZelUtilDataSetAddZoneX(args));
            ZelUtilArgListDealloc(&args);
        }
        TimeSets timeSets({{0.0f, 1.0f, 2.0f}});
        VarSVT scalar;
        scalar.timeSet = 1;
        variables = {};
        Append(variables.scalarPerElement, scalar);
        EXPECT_FALSE(CreateTransientVariableZones(collection, zoneSet, &variables, timeSets.handle()));
        ASSERT_EQ(zelhost::ZoneCount(), 4);
        EXPECT_EQ(Zone(4).solutionTime, 2.0);
        EXPECT_EQ(collection.ZoneForPartStep(1, 3), 4);
        const std::vector<std::string> expected{"Error when attempting to create zones for transient variables."};
        EXPECT_EQ(ErrorTexts(), expected);
        EXPECT_EQ(DialogCount(), batch ? 0u : 1u);
        zelhost::ResetHost();  // forgets the refusal the host noted
    }
}

// Only the measured variables are transient: model zones stay at time 0, particles get a copy per further step.
TEST_F(TransientTest, MeasuredOnlyTimeSet) {
    MakeStaticGeometry(true);
    MakeParticles(6);
    TimeSets timeSets({{0.5f, 1.5f, 2.5f}});
    VarSVT modelScalar;
    Append(variables.scalarPerNode, modelScalar);
    VarSVT measuredScalar;
    measuredScalar.timeSet = 1;
    Append(variables.scalarPerMeasuredNode, measuredScalar);

    ASSERT_TRUE(CreateTransientVariableZones(collection, zoneSet, &variables, timeSets.handle()));
    ASSERT_EQ(zelhost::ZoneCount(), 4);
    ASSERT_TRUE(AddVariables(1, "p", 1));
    ASSERT_TRUE(CreateTransientParticleZones(collection, zoneSet, &variables, timeSets.handle()));
    ASSERT_EQ(zelhost::ZoneCount(), 6);
    EXPECT_EQ(collection.measuredTimeSet, 1);
    EXPECT_EQ(collection.modelTimeSet, 0);
    for (int32_t z = 1; z <= 3; ++z) EXPECT_EQ(Zone(z).solutionTime, 0.0);
    const double times[] = {0.5, 1.5, 2.5};
    for (int32_t z = 4; z <= 6; ++z) {
        SCOPED_TRACE("zone " + std::to_string(z));
        zelhost::ZoneSummary zone = Zone(z);
        EXPECT_EQ(zone.name, "Particle: ");
        EXPECT_EQ(zone.imax, 6);
        EXPECT_EQ(zone.jmax, 1);
        EXPECT_EQ(zone.strand, 4);
        EXPECT_EQ(zone.solutionTime, times[z - 4]);
        EXPECT_EQ(collection.ZoneForPartStep(ParticlePartNumber, z - 3), z);
        for (int32_t v = 1; v <= 4; ++v) EXPECT_EQ(zelhost::FieldIdentity(z, v), zelhost::FieldIdentity(4, v));
        // Copies made after the variables carry them too.
        EXPECT_EQ(zelhost::Field(z, 5).length, 6);
        EXPECT_TRUE(zelhost::Field(z, 4).computed);
    }
}

TEST_F(TransientTest, ParticleCopiesNeedParticlesAndTheirZone) {
    struct Row {
        const char* name;
        int32_t particles;  // -1: no particles part
    } rows[] = {{"no particles part", -1}, {"no particles in the step", 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        zelhost::ResetHost();
        collection = PartCollection(0, 1, 0, 1);
        MakeStaticGeometry();
        if (row.particles >= 0) MakeParticles(row.particles);
        TimeSets timeSets({{0.0f, 1.0f}});
        VarSVT measured;
        measured.timeSet = 1;
        variables = {};
        Append(variables.vectorPerMeasuredNode, measured);
        EXPECT_TRUE(CreateTransientParticleZones(collection, zoneSet, &variables, timeSets.handle()));
        EXPECT_EQ(zelhost::ZoneCount(), 3);
        EXPECT_TRUE(zelhost::Messages().empty());
    }
}

TEST_F(TransientTest, TransientMeasuredGeometryAddsNoParticleCopies) {
    TimeSets timeSets({{0.0f, 1.0f}});
    PartCollection measured(0, 1, 1, 2);
    AddUnstructured(measured, 1, 1, 3, {ElementTria3});
    ASSERT_TRUE(CreateGeometryZones(measured, false, nullptr, zoneSet));
    AddParticles(measured, 1, 3);
    AddParticles(measured, 2, 3);
    ASSERT_TRUE(CreateParticleZones(measured, true, timeSets.handle(), zoneSet));
    VarSVT scalar;
    scalar.timeSet = 1;
    Append(variables.scalarPerMeasuredNode, scalar);
    ASSERT_TRUE(CreateTransientParticleZones(measured, zoneSet, &variables, timeSets.handle()));
    EXPECT_EQ(zelhost::ZoneCount(), 3);
}

}  // namespace
}  // namespace quorix::zonetest
