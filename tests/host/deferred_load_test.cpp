// Load on demand: at most once, retried after a failure, shared, cleaned up exactly once.
#include <thread>

#include "host/data_set.h"
#include "host_fixture.h"

namespace hosttest {
namespace {

class DeferredLoadTest : public HostTest {
protected:
    // One data set of `zones` triangle zones (3 nodes, 1 element) with variables X and V.
    static void MakeTriangles(int zones) {
        ASSERT_TRUE(MakeDataSet({"X", "V"}));
        for (int z = 0; z < zones; ++z) ASSERT_TRUE(AddZone({.zoneType = ZelZoneTriangle, .imax = 3}));
    }
};

TEST_F(DeferredLoadTest, LoadsOnceWhenEightThreadsAskAtOnce) {
    MakeTriangles(1);
    FakeSource& source = Source();
    source.values = {1, 2, 3};
    source.delayMs = 50;
    ASSERT_TRUE(RegisterValues(1, 1, source));
    std::vector<std::thread> threads;
    std::atomic<int> succeeded{0};
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&] { succeeded += zelhost::ForceField(1, 1) ? 1 : 0; });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(source.loads, 1);
    EXPECT_EQ(succeeded, 8);
    EXPECT_EQ(zelhost::FieldValues(1, 1), (std::vector<double>{1, 2, 3}));
    EXPECT_TRUE(zelhost::PendingLoadRequests().empty());
}

TEST_F(DeferredLoadTest, FailedLoadLeavesNothingAndIsRetried) {
    MakeTriangles(1);
    FakeSource& source = Source();
    source.values = {1, 2, 3};
    source.fail = true;
    ASSERT_TRUE(RegisterValues(1, 1, source));
    EXPECT_FALSE(zelhost::ForceField(1, 1));
    EXPECT_FALSE(zelhost::Field(1, 1).present);
    EXPECT_EQ(zelhost::ZoneInfo(1)->loadFailures, 1);
    EXPECT_EQ(zelhost::PendingLoadRequests().size(), 1u);
    source.fail = false;
    EXPECT_TRUE(zelhost::ForceField(1, 1));
    EXPECT_EQ(source.loads, 2);
    EXPECT_TRUE(zelhost::Field(1, 1).present);
}

Boolean_t HalfThenFail(FieldData_pa field) {
    const float half[2] = {5, 6};
    ZelUtilLockStart(nullptr);
    ZelUtilDataValueArraySetByRef(field, 1, 2, half);
    ZelUtilLockFinish(nullptr);
    return ZEL_FALSE;
}

TEST_F(DeferredLoadTest, PartialValuesOfAFailedLoadAreNotVisible) {
    MakeTriangles(1);
    ASSERT_TRUE(ZelUtilDataValueCustomLOD(1, 1, HalfThenFail, nullptr, nullptr, nullptr, nullptr, 0));
    EXPECT_FALSE(zelhost::ForceField(1, 1));
    EXPECT_FALSE(zelhost::Field(1, 1).present);
}

TEST_F(DeferredLoadTest, SharedFieldLoadsOnceThroughTheSourceAndIsCleanedUpOnce) {
    MakeTriangles(3);
    FakeSource& source = Source();
    source.values = {7, 8, 9};
    ASSERT_TRUE(RegisterValues(1, 1, source));
    EXPECT_TRUE(ZelUtilDataValueIsSharingOk(1, 2, 1));
    ASSERT_TRUE(ZelUtilDataValueShare(1, 2, 1));
    ASSERT_TRUE(ZelUtilDataValueShare(1, 3, 1));
    EXPECT_EQ(zelhost::FieldIdentity(1, 1), zelhost::FieldIdentity(3, 1));
    EXPECT_EQ(zelhost::PendingLoadRequests().size(), 1u);  // listed once
    EXPECT_TRUE(zelhost::ForceField(3, 1));
    EXPECT_TRUE(zelhost::ForceField(1, 1));
    EXPECT_EQ(source.loads, 1);
    EXPECT_EQ(zelhost::Field(2, 1).hash, zelhost::Field(1, 1).hash);
    ASSERT_TRUE(ZelUtilFrameDeleteTop());
    EXPECT_EQ(source.cleanups, 1);
}

TEST_F(DeferredLoadTest, RefusedRegistrationIsNeverCleanedUp) {
    Configure([](zelhost::Settings& s) { s.refuseRegistration = 2; });
    MakeTriangles(1);
    FakeSource& x = Source();
    FakeSource& v = Source();
    FakeSource& nodes = Source();
    EXPECT_TRUE(RegisterValues(1, 1, x));
    EXPECT_FALSE(RegisterValues(1, 2, v));
    EXPECT_TRUE(RegisterNodes(1, nodes));
    EXPECT_EQ(zelhost::RegistrationAttempts(), 3);
    ASSERT_TRUE(ZelUtilFrameDeleteTop());
    EXPECT_EQ(x.cleanups, 1);
    EXPECT_EQ(v.cleanups, 0);
    EXPECT_EQ(nodes.cleanups, 1);
    EXPECT_EQ(zelhost::ClientDataRegistered(), 2);
}

Boolean_t LoadFaces(FaceMap_pa) { return ZEL_TRUE; }
std::atomic<int> faceCleanups{0};
void CleanupFaces(FaceMap_pa) { ++faceCleanups; }

TEST_F(DeferredLoadTest, DeletingTheFrameRunsEveryCleanupOnce) {
    MakeTriangles(2);
    ASSERT_TRUE(AddZone({.zoneType = ZelZonePolygon, .imax = 4}));
    FakeSource& x1 = Source();
    FakeSource& v2 = Source();
    FakeSource& nodes1 = Source();
    faceCleanups = 0;
    ASSERT_TRUE(RegisterValues(1, 1, x1));
    ASSERT_TRUE(RegisterValues(2, 2, v2));
    ASSERT_TRUE(RegisterNodes(1, nodes1));
    EXPECT_FALSE(RegisterNodes(3, nodes1));  // polygons have a face map instead
    ASSERT_TRUE(ZelUtilDataFaceMapCustomLOD(3, 0, 0, 0, 0, LoadFaces, nullptr, CleanupFaces, 0));
    EXPECT_EQ(zelhost::PendingLoadRequests().size(), 4u);
    EXPECT_EQ(x1.loads + v2.loads + nodes1.loads, 0);  // listing forces nothing
    ASSERT_TRUE(ZelUtilFrameDeleteTop());
    EXPECT_EQ(x1.cleanups, 1);
    EXPECT_EQ(v2.cleanups, 1);
    EXPECT_EQ(nodes1.cleanups, 1);
    EXPECT_EQ(faceCleanups, 1);
}

// Data sets side by side, each in a frame of its own and forced through its
// handle; a handle keeps its data set and arrays after the frame is gone.
TEST_F(DeferredLoadTest, AHeldDataSetLoadsThroughItsHandleAndOutlivesItsFrame) {
    MakeTriangles(1);
    FakeSource& first = Source();
    first.values = {1, 2, 3};
    ASSERT_TRUE(RegisterValues(1, 2, first));
    zelhost::DataSetHandle held = zelhost::TopDataSet();
    zelhost::PushFrame();
    MakeTriangles(1);
    FakeSource& second = Source();
    ASSERT_TRUE(RegisterValues(1, 2, second));
    EXPECT_EQ(zelhost::PendingLoadCount(held), 1);
    EXPECT_EQ(zelhost::ForceAllLoads(held, 2).loads, 1);
    EXPECT_EQ(second.loads, 0);
    const void* array = held->Field(1, 2)->storage.data();
    EXPECT_TRUE(zelhost::RemoveFrameOf(held.get()));
    EXPECT_FALSE(zelhost::RemoveFrameOf(held.get()));
    EXPECT_EQ(zelhost::FrameCount(), 1);
    EXPECT_TRUE(zelhost::HostArrayAlive(array));
    EXPECT_EQ(first.cleanups, 0);
    held.reset();
    EXPECT_FALSE(zelhost::HostArrayAlive(array));
    EXPECT_EQ(first.cleanups, 1);
}

TEST_F(DeferredLoadTest, ConnectShareZoneSharesTheNodeMap) {
    MakeTriangles(1);
    ASSERT_TRUE(AddZone({.zoneType = ZelZoneTriangle, .imax = 3, .shareZone = 1}));
    FakeSource& nodes = Source();
    nodes.nodes = {3, 1, 2};
    ASSERT_TRUE(RegisterNodes(1, nodes));
    EXPECT_EQ(zelhost::NodeMapIdentity(1), zelhost::NodeMapIdentity(2));
    EXPECT_TRUE(zelhost::ForceNodeMap(2));
    EXPECT_TRUE(zelhost::ForceNodeMap(1));
    EXPECT_EQ(nodes.loads, 1);
    EXPECT_EQ(zelhost::NodeMapNodes(2), (std::vector<int32_t>{3, 1, 2}));
    ASSERT_TRUE(ZelUtilFrameDeleteTop());
    EXPECT_EQ(nodes.cleanups, 1);
}

}  // namespace
}  // namespace hosttest
