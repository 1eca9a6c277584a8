#include "host/deferred_data.h"

#include <condition_variable>
#include <mutex>

#include "host/host_state.h"
#include "host/recursive_lock.h"

namespace zelhost {
namespace {
// Guards every load state; never held while calling the add-on.
std::mutex& LoadMutex() {
    static std::mutex* mutex = new std::mutex;
    return *mutex;
}
std::condition_variable& LoadDone() {
    static std::condition_variable* done = new std::condition_variable;
    return *done;
}
}  // namespace

bool DeferredData::Ensure() {
    {
        std::unique_lock<std::mutex> lock(LoadMutex());
        if (!registered_ || !hasLoad_) return true;
        LoadDone().wait(lock, [this] { return state_ != LoadState::Loading; });
        if (state_ == LoadState::Done) return true;
        state_ = LoadState::Loading;
    }
    return FinishLoad(CallLoad());
}

bool DeferredData::FinishLoad(bool ok) {
    {
        HostGuard guard;
        if (ok) {
            ok = MakePresent();
        } else {
            Discard();
        }
    }
    {
        std::lock_guard<std::mutex> lock(LoadMutex());
        state_ = ok ? LoadState::Done : LoadState::Idle;
    }
    LoadDone().notify_all();
    return ok;
}

bool DeferredData::LoadPending() const {
    std::lock_guard<std::mutex> lock(LoadMutex());
    return registered_ && hasLoad_ && state_ != LoadState::Done;
}

bool DeferredData::AcceptRegistration(ArbParam_t clientData, bool hasLoad, bool hasCleanup) {
    if (registered_ || !State().AdmitRegistration()) return false;
    std::lock_guard<std::mutex> lock(LoadMutex());  // a forcing thread may be looking
    registered_ = true;
    hasLoad_ = hasLoad;
    hasCleanup_ = hasCleanup;
    clientData_ = clientData;
    if (hasCleanup) State().clientDataRegistered.fetch_add(1);
    return true;
}

void DeferredData::CleanupDone() {
    hasCleanup_ = false;
    State().clientDataReleased.fetch_add(1);
}

}  // namespace zelhost
