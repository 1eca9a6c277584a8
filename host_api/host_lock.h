// The add-on's identity with the host and the host lock taken with it.
#pragma once

#include "host_api/zel_api.h"

namespace quorix {

// Set once at entry; every ZelUtilLockStart/Finish of the add-on passes it.
AddOn_pa AddOnId();
void SetAddOnId(AddOn_pa id);

// Holds the host lock for a scope; the host's locks nest.
class HostLock {
public:
    HostLock() { ZelUtilLockStart(AddOnId()); }
    ~HostLock() { ZelUtilLockFinish(AddOnId()); }
    HostLock(const HostLock&) = delete;
    HostLock& operator=(const HostLock&) = delete;
};

}  // namespace quorix
