// Memory mapped in whole pages from a huge-page boundary, for the arrays the
// add-on (gold/page_memory.cpp) and the host (host/host_buffer.cpp) map
// themselves. Header-only, as libzel must not link the add-on.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>

namespace pagemap {

constexpr size_t HugePageBytes = size_t{2} << 20;
// Where malloc starts mapping fresh small pages of its own; an array from here
// up takes a mapping of its own.
constexpr size_t PageMapThreshold = size_t{128} << 10;

// Sizes beyond this have no room for the rounding and padding below.
constexpr size_t LargestMapping = SIZE_MAX - 2 * HugePageBytes;

inline size_t WholeHugePages(size_t bytes) { return (bytes + HugePageBytes - 1) & ~(HugePageBytes - 1); }

// Ends on a whole huge page when that adds at most an eighth: a small-page tail
// traps page by page even when populated.
inline size_t MappedSize(size_t bytes) {
    if (bytes > LargestMapping) return bytes;
    const size_t whole = WholeHugePages(bytes);
    return (whole - bytes) * 8 <= bytes ? whole : bytes;
}

// `bytes` of fresh zero memory from a huge-page boundary, so that the whole of
// it can take huge pages, not just its aligned middle; null when there is none.
inline void* MapAligned(size_t bytes) {
    if (bytes > LargestMapping) return nullptr;
    const size_t padded = bytes + HugePageBytes;
    void* memory = mmap(nullptr, padded, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (memory == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<uintptr_t>(memory);
    const uintptr_t aligned = (start + HugePageBytes - 1) & ~uintptr_t{HugePageBytes - 1};
    if (aligned > start) munmap(memory, aligned - start);
    const size_t tail = padded - (aligned - start) - bytes;
    if (tail > 0) munmap(reinterpret_cast<void*>(aligned + bytes), tail);
    return reinterpret_cast<void*>(aligned);
}

}  // namespace pagemap
