// What values, node maps and face maps share: an optional load-on-demand
// registration that loads at most once, however many threads ask.
#pragma once

#include <cstdint>

#include "host_api/zel_api.h"

namespace zelhost {

class DeferredData {
public:
    DeferredData() = default;
    DeferredData(const DeferredData&) = delete;
    DeferredData& operator=(const DeferredData&) = delete;
    virtual ~DeferredData() = default;

    // Loads through the registration unless already loaded; call without the
    // host lock, since the add-on's load callback takes it to hand data over.
    bool Ensure();
    // Registered, with a load callback, and not loaded yet.
    bool LoadPending() const;
    bool registered() const { return registered_; }
    ArbParam_t clientData() const { return clientData_; }
    // The data can be read: loaded, set directly or computed.
    virtual bool present() const = 0;
    // Rough bytes a load fills, so a pool of loaders can start with the largest.
    virtual int64_t LoadBytesHint() const = 0;

protected:
    // Accepts a registration unless one exists or the test hook refuses it.
    bool AcceptRegistration(ArbParam_t clientData, bool hasLoad, bool hasCleanup);
    // The clean-up must run from the derived destructor, while the handle is whole.
    bool CleanupDue() const { return hasCleanup_; }
    void CleanupDone();

    virtual bool CallLoad() = 0;
    virtual void Discard() = 0;         // a failed load leaves nothing half-written
    virtual bool MakePresent() = 0;     // a load that set nothing still yields data

private:
    enum class LoadState { Idle, Loading, Done };
    bool FinishLoad(bool ok);

    bool registered_ = false;
    bool hasLoad_ = false;
    bool hasCleanup_ = false;
    ArbParam_t clientData_ = 0;
    LoadState state_ = LoadState::Idle;
};

}  // namespace zelhost
