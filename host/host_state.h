// Everything the host knows: configuration, frames, the add-on's registrations
// and the records tests read. Guarded by the host lock unless atomic.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/data_set.h"
#include "host/zel_host.h"
#include "host_api/zel_api.h"

namespace zelhost {

struct HostState {
    Settings settings;

    // Top frame last; a frame without a data set holds null. Shared: a data
    // set held by handle outlives its frame.
    std::vector<std::shared_ptr<DataSet>> frames;
    DataSet* Current() const { return frames.empty() ? nullptr : frames.back().get(); }

    DataSetLoader_pf loader = nullptr;
    std::string loaderName;
    DynamicMenuCallback_pf loaderSelected = nullptr;
    std::vector<StateChangeAddOnCallback_pf> stateCallbacks;
    int64_t loaderInstructionCalls = 0;

    std::vector<Message> messages;
    std::vector<std::string> statusTexts;
    std::vector<StateChangeRecord> stateChanges;
    bool stopRequested = false;  // of the current percent-done status
    bool cancelHookFired = false;
    bool progressShown = false;

    std::atomic<int64_t> clientDataRegistered{0};
    std::atomic<int64_t> clientDataReleased{0};
    std::atomic<int64_t> memoryKB{0};
    std::atomic<int64_t> registrationAttempts{0};
    std::atomic<bool> interrupted{false};

    // Counts a registration attempt; false for the one the test hook refuses.
    bool AdmitRegistration();
    void Fault(std::string text);
    std::vector<std::string> FaultList() const;
    void ClearFaults();

private:
    std::vector<std::string> faults;
};

HostState& State();

// How every error and message box reaches the user: always the log (and
// stderr when echoed), a dialog only outside batch mode.
void RecordMessage(const char* kind, const std::string& text);

}  // namespace zelhost
