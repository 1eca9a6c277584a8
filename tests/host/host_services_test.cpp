// Locks, the ledger of host memory, the stop request and the loader call.
#include "host_fixture.h"

namespace hosttest {
namespace {

class HostServicesTest : public HostTest {};

TEST_F(HostServicesTest, LocksNestPerThreadAndSerialiseThreads) {
    ZelUtilLockOn();
    ZelUtilLockStart(nullptr);
    ZelUtilLockStart(nullptr);
    EXPECT_EQ(zelhost::HostLockDepth(), 3);
    std::atomic<bool> entered{false};
    std::thread other([&] {
        ZelUtilLockStart(nullptr);
        entered = true;
        EXPECT_EQ(zelhost::HostLockDepth(), 1);
        ZelUtilLockFinish(nullptr);
    });
    ZelUtilLockFinish(nullptr);
    ZelUtilLockFinish(nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(entered);  // still held once
    ZelUtilLockOff();
    other.join();
    EXPECT_TRUE(entered);
}

TEST_F(HostServicesTest, UnbalancedLockReleaseIsAFault) {
    ZelUtilLockFinish(nullptr);
    EXPECT_EQ(zelhost::Faults().size(), 1u);
    EXPECT_EQ(zelhost::HostLockDepth(), 0);
    zelhost::ResetHost();
}

TEST_F(HostServicesTest, LedgerCountsLiveBlocksByLabel) {
    char* a = ZelUtilStringAlloc(10, "Client Data");
    char* b = ZelUtilStringAlloc(6, "Client Data");
    char* c = ZelUtilStringAlloc(0, "File Name");
    EXPECT_EQ(ZelUtilStringAlloc(-1, "File Name"), nullptr);
    auto live = zelhost::LiveAllocations();
    EXPECT_EQ(live["Client Data"].count, 2);
    EXPECT_EQ(live["Client Data"].bytes, 16);
    EXPECT_EQ(live["File Name"].count, 1);
    ZelUtilStringDealloc(&a);
    ZelUtilStringDealloc(&b);
    ZelUtilStringDealloc(&c);
    EXPECT_EQ(a, nullptr);
    ZelUtilStringDealloc(&a);  // empty: nothing to do
    ZelUtilStringDealloc(nullptr);
    EXPECT_EQ(zelhost::LiveAllocations().count("Client Data"), 0u);
}

TEST_F(HostServicesTest, ReleasingAForeignBlockIsAFault) {
    char local[4] = "abc";
    char* foreign = local;
    ZelUtilStringDealloc(&foreign);
    EXPECT_EQ(foreign, nullptr);
    EXPECT_EQ(zelhost::Faults().size(), 1u);
    zelhost::ResetHost();
}

TEST_F(HostServicesTest, CancelAtStopsOnceThePercentIsReached) {
    Configure([](zelhost::Settings& s) { s.cancelAtPercent = 50; });
    ZelUtilStatusStartPercentDone("Scanning geometry.... ", ZEL_TRUE, ZEL_TRUE);
    EXPECT_TRUE(ZelUtilStatusCheckPercentDone(10));
    EXPECT_TRUE(ZelUtilStatusCheckPercentDone(49));
    EXPECT_FALSE(ZelUtilStatusCheckPercentDone(50));
    EXPECT_FALSE(ZelUtilStatusCheckPercentDone(20));  // the stop request stands
    ZelUtilStatusSetPercentDoneText("Cancel request acknowledged, please wait...");
    ZelUtilStatusFinishPercentDone();
    ZelUtilStatusStartPercentDone("Next stage", ZEL_TRUE, ZEL_TRUE);
    EXPECT_TRUE(ZelUtilStatusCheckPercentDone(90));  // the hook fired once
    ZelUtilStatusFinishPercentDone();
    EXPECT_EQ(zelhost::StatusTexts(), (std::vector<std::string>{"Scanning geometry.... ",
                                                                "Cancel request acknowledged, please wait...",
                                                                "Next stage"}));
}

std::vector<std::string> receivedInstructions;
bool leaveLockHeld = false;
Boolean_t FakeLoader(StringList_pa instructions) {
    receivedInstructions.clear();
    for (LgIndex_t i = 1; i <= ZelUtilStringListGetCount(instructions); ++i) {
        char* s = ZelUtilStringListGetString(instructions, i);
        receivedInstructions.emplace_back(s);
        ZelUtilStringDealloc(&s);
    }
    if (leaveLockHeld) ZelUtilLockStart(nullptr);
    return ZEL_TRUE;
}

TEST_F(HostServicesTest, LoaderGetsTheInstructionsAndMustReleaseTheLock) {
    EXPECT_FALSE(zelhost::CallLoader({"a"}));  // nothing registered yet
    ASSERT_TRUE(ZelUtilImportAddLoader(FakeLoader, "Quorix", nullptr, nullptr));
    EXPECT_EQ(zelhost::LoaderName(), "Quorix");
    leaveLockHeld = false;
    EXPECT_TRUE(zelhost::CallLoader({"STANDARDSYNTAX", "1.0", "FILENAME_CASEFILE", "x.case"}));
    EXPECT_EQ(receivedInstructions, (std::vector<std::string>{"STANDARDSYNTAX", "1.0", "FILENAME_CASEFILE", "x.case"}));
    EXPECT_TRUE(zelhost::Faults().empty());
    leaveLockHeld = true;
    EXPECT_TRUE(zelhost::CallLoader({"odd"}));
    EXPECT_EQ(zelhost::Faults().size(), 1u);
    EXPECT_EQ(zelhost::HostLockDepth(), 0);
    zelhost::ResetHost();
}

}  // namespace
}  // namespace hosttest
