#include "gold/page_memory.h"

#include <sys/mman.h>

#include <array>
#include <cstdlib>

namespace quorix {
namespace {

using pagemap::MappedSize;
using pagemap::WholeHugePages;

void* MapPages(size_t requested) {
    const size_t bytes = MappedSize(requested);
    void* data = pagemap::MapAligned(bytes);
    if (data == nullptr) return nullptr;
    madvise(data, bytes, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
    madvise(data, bytes, MADV_POPULATE_WRITE);
#endif
    return data;
}

// Enough for a file's buffer and the two chunks of a load; larger memory is
// not kept, so that an idle thread holds little.
constexpr size_t Spares = 3;
constexpr size_t LargestSpare = size_t{8} << 20;

struct Spare {
    void* data = nullptr;
    size_t bytes = 0;
    ~Spare() { GivePages(data, bytes); }
};
thread_local std::array<Spare, Spares> spares;

}  // namespace

void* TakePages(size_t bytes) { return bytes < PageMapThreshold ? std::malloc(bytes) : MapPages(bytes); }

void GivePages(void* data, size_t bytes) {
    if (data == nullptr) return;
    if (bytes < PageMapThreshold) {
        std::free(data);
    } else {
        munmap(data, MappedSize(bytes));
    }
}

// The rounding costs once per thread; a tail on small pages would trap page by page.
void* BorrowPages(size_t& bytes) {
    if (bytes >= PageMapThreshold && bytes <= SIZE_MAX - HugePageBytes) bytes = WholeHugePages(bytes);
    Spare* best = nullptr;
    for (Spare& spare : spares)
        if (spare.data != nullptr && spare.bytes >= bytes && (best == nullptr || spare.bytes < best->bytes)) best = &spare;
    if (best == nullptr) return TakePages(bytes);
    bytes = best->bytes;
    best->bytes = 0;
    return std::exchange(best->data, nullptr);
}

void ReturnPages(void* data, size_t bytes) {
    Spare* smallest = &spares[0];
    for (Spare& spare : spares)
        if (spare.bytes < smallest->bytes) smallest = &spare;
    if (bytes > LargestSpare || bytes <= smallest->bytes) return GivePages(data, bytes);
    GivePages(smallest->data, smallest->bytes);
    smallest->data = data;
    smallest->bytes = bytes;
}

}  // namespace quorix
