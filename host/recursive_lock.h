// The one host lock: recursive, held per thread, serialising threads.
#pragma once

#include <mutex>

namespace zelhost {

class RecursiveLock {
public:
    void Lock();
    // False when this thread does not hold the lock (the call is then ignored).
    bool Unlock();
    int Depth() const;  // this thread's nesting depth

private:
    std::mutex mutex_;
};

RecursiveLock& TheHostLock();

// Holds the host lock for a scope (the host's own calls take it too).
class HostGuard {
public:
    HostGuard() { TheHostLock().Lock(); }
    ~HostGuard() { TheHostLock().Unlock(); }
    HostGuard(const HostGuard&) = delete;
    HostGuard& operator=(const HostGuard&) = delete;
};

}  // namespace zelhost
