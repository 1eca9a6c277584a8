#include "host/recursive_lock.h"

namespace zelhost {
namespace {
// One lock per process, so one depth per thread is enough.
thread_local int depth = 0;
}

void RecursiveLock::Lock() {
    if (depth == 0) mutex_.lock();
    ++depth;
}

bool RecursiveLock::Unlock() {
    if (depth == 0) return false;
    if (--depth == 0) mutex_.unlock();
    return true;
}

int RecursiveLock::Depth() const { return depth; }

RecursiveLock& TheHostLock() {
    static RecursiveLock* lock = new RecursiveLock;  // outlives every static destructor
    return *lock;
}

}  // namespace zelhost
