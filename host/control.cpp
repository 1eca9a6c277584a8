// zelhost's control of the host: settings, callbacks and records.
#include <cstdio>
#include <sstream>

#include "host/host_state.h"
#include "host/host_strings.h"
#include "host/ledger.h"
#include "host/recursive_lock.h"
#include "host/zel_host.h"

namespace zelhost {

bool RemoveTopFrame();  // api_dataset.cpp

void Configure(const Settings& settings) {
    HostGuard guard;
    State().settings = settings;
}

Settings CurrentSettings() {
    HostGuard guard;
    return State().settings;
}

bool ParseVersion(const std::string& text, std::array<int32_t, 4>& version) {
    std::array<int32_t, 4> parts{};
    size_t at = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            if (at >= text.size() || (text[at] != '.' && text[at] != '-')) return false;
            ++at;
        }
        const size_t start = at;
        int64_t value = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && value < 1000000) {
            value = value * 10 + (text[at++] - '0');
        }
        if (at == start || value >= 1000000) return false;
        parts[i] = static_cast<int32_t>(value);
    }
    if (at != text.size()) return false;
    version = parts;
    return true;
}

void ResetHost() {
    DeleteAllFrames();
    HostGuard guard;
    HostState& state = State();
    state.settings = Settings{};
    state.loader = nullptr;
    state.loaderName.clear();
    state.loaderSelected = nullptr;
    state.stateCallbacks.clear();
    state.loaderInstructionCalls = 0;
    state.messages.clear();
    state.statusTexts.clear();
    state.stateChanges.clear();
    state.ClearFaults();
    state.stopRequested = false;
    state.cancelHookFired = false;
    state.progressShown = false;
    state.clientDataRegistered = 0;
    state.clientDataReleased = 0;
    state.memoryKB = 0;
    state.registrationAttempts = 0;
    state.interrupted = false;
}

void Interrupt() { State().interrupted.store(true); }
void ClearInterrupt() { State().interrupted.store(false); }
bool Interrupted() { return State().interrupted.load(); }

namespace {
// A copy of one record, taken under the host lock.
template <class T>
T Copied(T HostState::*member) {
    HostGuard guard;
    return State().*member;
}
}  // namespace

bool HasLoader() {
    HostGuard guard;
    return State().loader != nullptr;
}

std::string LoaderName() {
    HostGuard guard;
    return State().loaderName;
}

namespace {
// The add-on's callbacks run as the host's would: the host lock is not held,
// and one left held is a fault (then released, so the host goes on).
void CheckLockReleased(const char* after) {
    bool held = false;
    while (TheHostLock().Depth() > 0) {
        TheHostLock().Unlock();
        held = true;
    }
    if (held) State().Fault(std::string("host lock still held after ") + after);
}
}  // namespace

bool CallLoader(const std::vector<std::string>& instructions) {
    DataSetLoader_pf loader = nullptr;
    {
        HostGuard guard;
        loader = State().loader;
    }
    if (loader == nullptr) return false;
    StringList_pa list = MakeStringList(instructions);
    if (list == nullptr) return false;
    const bool loaded = loader(list) != ZEL_FALSE;
    CheckLockReleased("the loader");
    ZelUtilStringListDealloc(&list);
    return loaded;
}

bool CallLoaderSelected() {
    DynamicMenuCallback_pf selected = nullptr;
    int64_t before = 0;
    {
        HostGuard guard;
        selected = State().loaderSelected;
        before = State().loaderInstructionCalls;
    }
    if (selected == nullptr) return false;
    selected();
    CheckLockReleased("the loader-selected callback");
    HostGuard guard;
    return State().loaderInstructionCalls > before;
}

void SendStateChange(int32_t code) {
    std::vector<StateChangeAddOnCallback_pf> callbacks;
    {
        HostGuard guard;
        callbacks = State().stateCallbacks;
    }
    for (StateChangeAddOnCallback_pf callback : callbacks) {
        callback(code);
        CheckLockReleased("a state-change callback");
    }
}

std::vector<Message> Messages() { return Copied(&HostState::messages); }

std::vector<std::string> StatusTexts() { return Copied(&HostState::statusTexts); }

std::vector<StateChangeRecord> StateChanges() { return Copied(&HostState::stateChanges); }

std::vector<std::string> Faults() { return State().FaultList(); }

std::map<std::string, LiveBlocks> LiveAllocations() {
    std::map<std::string, LiveBlocks> live;
    for (const auto& [label, entry] : TheLedger().Live()) live[label] = LiveBlocks{entry.count, entry.bytes};
    return live;
}

bool HostArrayAlive(const void* data) { return TheLedger().Holds(data); }

int64_t ClientDataRegistered() { return State().clientDataRegistered.load(); }
int64_t ClientDataReleased() { return State().clientDataReleased.load(); }
int64_t RegistrationAttempts() { return State().registrationAttempts.load(); }
int64_t MemoryNotifiedKB() { return State().memoryKB.load(); }
int32_t HostLockDepth() { return TheHostLock().Depth(); }

bool HasDataSet() {
    HostGuard guard;
    return State().Current() != nullptr;
}

int32_t FrameCount() {
    HostGuard guard;
    return static_cast<int32_t>(State().frames.size());
}

bool DeleteTopFrame() { return RemoveTopFrame(); }

void DeleteAllFrames() {
    while (RemoveTopFrame()) {
    }
}

}  // namespace zelhost
