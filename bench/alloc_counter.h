#pragma once
// Counts every operator new of the program, so that benchmarks can report
// allocations per token or bytes per parse.

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace bench {

inline std::atomic<int64_t> allocationCount{0};
inline std::atomic<int64_t> allocationBytes{0};

struct AllocationSnapshot {
    int64_t count = allocationCount.load();
    int64_t bytes = allocationBytes.load();
};

}  // namespace bench

// The replacements pair malloc with free on purpose.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
    bench::allocationCount.fetch_add(1, std::memory_order_relaxed);
    bench::allocationBytes.fetch_add(static_cast<int64_t>(size), std::memory_order_relaxed);
    if (void* p = std::malloc(size > 0 ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
