#include "host/recursive_lock.h"

#include "host/zel_host.h"

namespace zelhost {
namespace {

// One lock per process, so one depth per thread is enough.
thread_local int depth = 0;
// The add-on's outermost hold on this thread, and the host calls inside it.
thread_local bool addOnHolds = false;
thread_local HostClock::time_point holdStart;
thread_local int callDepth = 0;
thread_local HostClock::time_point callStart;

std::atomic<int64_t> heldNanos{0};
std::atomic<int64_t> hostCallNanos{0};
}  // namespace

void RecursiveLock::Lock() {
    if (depth == 0) mutex_.lock();
    ++depth;
}

void RecursiveLock::LockForAddOn() {
    Lock();
    if (depth == 1) {
        addOnHolds = true;
        holdStart = HostClock::now();
    }
}

bool RecursiveLock::Unlock() {
    if (depth == 0) return false;
    if (--depth == 0) {
        if (addOnHolds) AddSince(heldNanos, holdStart);
        addOnHolds = false;
        mutex_.unlock();
    }
    return true;
}

int RecursiveLock::Depth() const { return depth; }

RecursiveLock& TheHostLock() {
    static RecursiveLock* lock = new RecursiveLock;  // outlives every static destructor
    return *lock;
}

void EnterHostCall() {
    if (addOnHolds && callDepth++ == 0) callStart = HostClock::now();
}

void LeaveHostCall() {
    if (addOnHolds && callDepth > 0 && --callDepth == 0) AddSince(hostCallNanos, callStart);
}

LockTimes AddOnLockTimes() { return {heldNanos.load() * 1e-9, hostCallNanos.load() * 1e-9}; }

}  // namespace zelhost
