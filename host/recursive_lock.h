// The one host lock: recursive, held per thread, serialising threads.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>

namespace zelhost {

// The host's times (lock holds, array placement) are summed over threads in nanoseconds.
using HostClock = std::chrono::steady_clock;
inline void AddSince(std::atomic<int64_t>& total, HostClock::time_point start) {
    total += std::chrono::duration_cast<std::chrono::nanoseconds>(HostClock::now() - start).count();
}

class RecursiveLock {
public:
    void Lock();
    // As Lock, for the add-on: its hold is timed (AddOnLockTimes).
    void LockForAddOn();
    // False when this thread does not hold the lock (the call is then ignored).
    bool Unlock();
    int Depth() const;  // this thread's nesting depth

private:
    std::mutex mutex_;
};

RecursiveLock& TheHostLock();

// Holds the host lock for a scope (the host's own calls take it too).
// Inside an add-on's hold, its scope counts as time in host calls.
void EnterHostCall();
void LeaveHostCall();

class HostGuard {
public:
    HostGuard() {
        TheHostLock().Lock();
        EnterHostCall();
    }
    ~HostGuard() {
        LeaveHostCall();
        TheHostLock().Unlock();
    }
    HostGuard(const HostGuard&) = delete;
    HostGuard& operator=(const HostGuard&) = delete;
};

}  // namespace zelhost
