#include "host/host_state.h"

#include <mutex>

namespace zelhost {
namespace {
// Faults can be noticed under add-on mutexes, so they have a lock of their own.
std::mutex& FaultMutex() {
    static std::mutex* mutex = new std::mutex;
    return *mutex;
}
}  // namespace

bool HostState::AdmitRegistration() {
    const int64_t attempt = registrationAttempts.fetch_add(1) + 1;
    return attempt != settings.refuseRegistration;
}

void HostState::Fault(std::string text) {
    std::lock_guard<std::mutex> guard(FaultMutex());
    faults.push_back(std::move(text));
}

std::vector<std::string> HostState::FaultList() const {
    std::lock_guard<std::mutex> guard(FaultMutex());
    return faults;
}

void HostState::ClearFaults() {
    std::lock_guard<std::mutex> guard(FaultMutex());
    faults.clear();
}

HostState& State() {
    static HostState* state = new HostState;  // callbacks may still arrive during static destruction
    return *state;
}

}  // namespace zelhost
