// Locks, host memory and its ledger, lists, dialogs, status, version and state changes.
#include <future>

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

TEST_F(HostServicesTest, ThreadMutexesAreIndependentOfTheHostLock) {
    Mutex_pa mutex = ZelUtilThreadMutexAlloc();
    ZelUtilLockOn();
    auto other = std::async(std::launch::async, [mutex] {
        ZelUtilThreadMutexLock(mutex);
        ZelUtilThreadMutexUnlock(mutex);
    });
    EXPECT_EQ(other.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    ZelUtilLockOff();
    ZelUtilThreadMutexDealloc(&mutex);
    EXPECT_EQ(mutex, nullptr);
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

TEST_F(HostServicesTest, StringListsCountFromOne) {
    StringList_pa list = ZelUtilStringListAlloc();
    EXPECT_EQ(ZelUtilStringListGetCount(list), 0);
    ZelUtilStringListAppendString(list, "first");
    ZelUtilStringListAppendString(list, "");
    EXPECT_FALSE(ZelUtilStringListAppendString(list, nullptr));
    EXPECT_EQ(ZelUtilStringListGetCount(list), 2);
    EXPECT_EQ(ZelUtilStringListGetString(list, 0), nullptr);
    EXPECT_EQ(ZelUtilStringListGetString(list, 3), nullptr);
    char* first = ZelUtilStringListGetString(list, 1);
    char* second = ZelUtilStringListGetString(list, 2);
    EXPECT_STREQ(first, "first");
    EXPECT_STREQ(second, "");
    ZelUtilStringDealloc(&first);
    ZelUtilStringDealloc(&second);
    ZelUtilStringListDealloc(&list);
    EXPECT_EQ(list, nullptr);
}

TEST_F(HostServicesTest, SetsHoldEachMemberFromOneOnce) {
    Set_pa set = ZelUtilSetAlloc(ZEL_FALSE);
    EXPECT_TRUE(ZelUtilSetAddMember(set, 3, ZEL_FALSE));
    EXPECT_TRUE(ZelUtilSetAddMember(set, 1, ZEL_FALSE));
    EXPECT_TRUE(ZelUtilSetAddMember(set, 3, ZEL_FALSE));
    EXPECT_FALSE(ZelUtilSetAddMember(set, 0, ZEL_FALSE));
    EXPECT_EQ(ZelUtilSetGetMemberCount(set), 2);
    ZelUtilStateChanged(ZelStateZonesAdded, set);
    ZelUtilSetDealloc(&set);
    ASSERT_EQ(zelhost::StateChanges().size(), 1u);
    EXPECT_EQ(zelhost::StateChanges()[0].code, 3);
    EXPECT_EQ(zelhost::StateChanges()[0].members, (std::vector<int64_t>{1, 3}));
}

TEST_F(HostServicesTest, BasePathEndsAtTheLastSlash) {
    struct Row {
        const char* name;
        const char* expected;
    };
    for (const Row& row : {Row{"/data/run/case.case", "/data/run/"}, Row{"case.case", ""}, Row{"/case", "/"},
                           Row{"dir/", "dir/"}, Row{"", ""}}) {
        SCOPED_TRACE(row.name);
        char* base = ZelUtilGetBasePath(row.name);
        EXPECT_STREQ(base, row.expected);
        ZelUtilStringDealloc(&base);
    }
}

TEST_F(HostServicesTest, VersionIsSettable) {
    EXPECT_EQ(ZelUtilZelvaneGetMajorVersion(), 12);
    EXPECT_EQ(ZelUtilZelvaneGetMinorVersion(), 1);
    EXPECT_EQ(ZelUtilZelvaneGetMajorRevision(), 0);
    EXPECT_EQ(ZelUtilZelvaneGetMinorRevision(), 0);
    struct Row {
        const char* text;
        bool valid;
        std::array<int32_t, 4> version;
    };
    const Row rows[] = {{"12.0.0.0", true, {12, 0, 0, 0}}, {"12.1-0-3", true, {12, 1, 0, 3}},
                        {"12.1", false, {}},             {"12.1.0.0.0", false, {}},
                        {"12.x.0.0", false, {}},         {"-1.0.0.0", false, {}}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        std::array<int32_t, 4> version{};
        EXPECT_EQ(zelhost::ParseVersion(row.text, version), row.valid);
        if (row.valid) {
            EXPECT_EQ(version, row.version);
        }
    }
    Configure([](zelhost::Settings& s) { s.version = {12, 0, 0, 0}; });
    EXPECT_EQ(ZelUtilZelvaneGetMinorVersion(), 0);
}

TEST_F(HostServicesTest, DialogsAnswerFromTheSettings) {
    ZelUtilDialogErrMsg("Invalid file name.");
    EXPECT_TRUE(ZelUtilDialogMessageBox("Warning: All current data will be lost. Continue?", 4));
    EXPECT_TRUE(ZelUtilDialogMessageBox("The following variables were not loaded", 2));
    Configure([](zelhost::Settings& s) { s.messageBoxAnswer = false; });
    EXPECT_FALSE(ZelUtilDialogMessageBox("Continue?", 4));
    EXPECT_TRUE(ZelUtilDialogMessageBox("info stays true", 2));
    const auto messages = zelhost::Messages();
    ASSERT_EQ(messages.size(), 5u);
    EXPECT_EQ(messages[0].kind, "error");
    EXPECT_EQ(messages[0].text, "Invalid file name.");
    EXPECT_EQ(messages[1].kind, "question");
    EXPECT_EQ(messages[2].kind, "info");
    EXPECT_FALSE(ZelUtilMacroIsBatchModeActive());
    Configure([](zelhost::Settings& s) { s.batchMode = true; });
    EXPECT_TRUE(ZelUtilMacroIsBatchModeActive());
}

TEST_F(HostServicesTest, FileDialogCancelsUnlessGivenAPath) {
    char* name = nullptr;
    EXPECT_FALSE(ZelUtilDialogGetFileName(0, &name, "EnSight Case", nullptr, "*.*case"));
    EXPECT_EQ(name, nullptr);
    Configure([](zelhost::Settings& s) { s.dialogAnswer = "/data/a.case"; });
    ASSERT_TRUE(ZelUtilDialogGetFileName(0, &name, "EnSight Case", "/old.case", "*.*case"));
    EXPECT_STREQ(name, "/data/a.case");
    ZelUtilStringDealloc(&name);
    const auto requests = zelhost::DialogRequests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].title, "EnSight Case");
    EXPECT_EQ(requests[1].defaultName, "/old.case");
    EXPECT_EQ(requests[1].filter, "*.*case");
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

TEST_F(HostServicesTest, InterruptStopsTheRunningStatus) {
    ZelUtilStatusStartPercentDone("Loading", ZEL_TRUE, ZEL_FALSE);
    EXPECT_TRUE(ZelUtilStatusCheckPercentDone(1));
    zelhost::Interrupt();
    EXPECT_FALSE(ZelUtilStatusCheckPercentDone(2));
    ZelUtilStatusFinishPercentDone();
}

std::vector<int32_t> receivedCodes;
void OnStateChange(int32_t code) { receivedCodes.push_back(code); }

TEST_F(HostServicesTest, StateChangeCallbacksReceiveQuit) {
    receivedCodes.clear();
    ArgList_pa args = ZelUtilArgListAlloc();
    ZelUtilArgListAppendFunction(args, "CALLBACKFUNCTION", reinterpret_cast<ZelFunction_pf>(&OnStateChange));
    ZelUtilArgListAppendInt(args, "STATECHANGEMODE", 2);
    EXPECT_TRUE(ZelUtilStateChangeAddCallbackX(args));
    ZelUtilArgListClear(args);
    EXPECT_FALSE(ZelUtilStateChangeAddCallbackX(args));
    ZelUtilArgListDealloc(&args);
    zelhost::SendStateChange(ZelStateQuit);
    EXPECT_EQ(receivedCodes, (std::vector<int32_t>{15}));
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
