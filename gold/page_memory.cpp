#include "gold/page_memory.h"

#include <sys/mman.h>

#include <array>
#include <cstdint>
#include <new>
#include <utility>

namespace quorix {

namespace {
constexpr size_t HugePage = size_t{2} << 20;

size_t WholeHugePages(size_t bytes) { return (bytes + HugePage - 1) & ~(HugePage - 1); }

// Whole huge pages when that adds at most an eighth: a tail on small pages
// costs a trap per page on first touch under a shadow-paging hypervisor, even
// when populated.
size_t MappedSize(size_t bytes) {
    const size_t whole = WholeHugePages(bytes);
    return (whole - bytes) * 8 <= bytes ? whole : bytes;
}
}  // namespace

void* MapPages(size_t requested) {
    if (requested == 0 || requested > SIZE_MAX - 2 * HugePage) return nullptr;
    const size_t bytes = MappedSize(requested);
    const size_t padded = bytes + HugePage;
    void* memory = mmap(nullptr, padded, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (memory == MAP_FAILED) return nullptr;
    // Starting on a huge-page boundary lets the whole array take huge pages, not just its aligned middle.
    const auto start = reinterpret_cast<uintptr_t>(memory);
    const uintptr_t aligned = (start + HugePage - 1) & ~uintptr_t{HugePage - 1};
    if (aligned > start) munmap(memory, aligned - start);
    const size_t tail = padded - (aligned - start) - bytes;
    if (tail > 0) munmap(reinterpret_cast<void*>(aligned + bytes), tail);
    void* data = reinterpret_cast<void*>(aligned);
    madvise(data, bytes, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
    madvise(data, bytes, MADV_POPULATE_WRITE);
#endif
    return data;
}

void UnmapPages(void* data, size_t bytes) {
    if (data != nullptr) munmap(data, MappedSize(bytes));
}

PageArray::PageArray(size_t bytes) : bytes_(bytes), mapped_(bytes >= PageMapThreshold) {
    data_ = mapped_ ? MapPages(bytes) : ::operator new(bytes > 0 ? bytes : 1, std::nothrow);
    if (data_ == nullptr) bytes_ = 0;
}

PageArray::~PageArray() { Release(); }

PageArray::PageArray(PageArray&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), bytes_(std::exchange(other.bytes_, 0)), mapped_(other.mapped_) {}

PageArray& PageArray::operator=(PageArray&& other) noexcept {
    if (this != &other) {
        Release();
        data_ = std::exchange(other.data_, nullptr);
        bytes_ = std::exchange(other.bytes_, 0);
        mapped_ = other.mapped_;
    }
    return *this;
}

void PageArray::Release() {
    if (mapped_) {
        UnmapPages(data_, bytes_);
    } else {
        ::operator delete(data_);
    }
    data_ = nullptr;
    bytes_ = 0;
}

namespace {
// Enough for a file's buffer and the two chunks of a load; larger arrays are
// not kept, so that an idle thread holds little.
thread_local std::array<PageArray, 3> spares;
constexpr size_t LargestSpare = size_t{8} << 20;

PageArray TakeSpare(size_t bytes) {
    PageArray* best = nullptr;
    for (PageArray& spare : spares)
        if (spare.get() != nullptr && spare.bytes() >= bytes && (best == nullptr || spare.bytes() < best->bytes()))
            best = &spare;
    return best != nullptr ? std::move(*best) : PageArray(bytes);
}

void GiveSpare(PageArray&& memory) {
    if (memory.bytes() > LargestSpare) return;
    PageArray* smallest = &spares[0];
    for (PageArray& spare : spares)
        if (spare.bytes() < smallest->bytes()) smallest = &spare;
    if (memory.bytes() > smallest->bytes()) *smallest = std::move(memory);
}
}  // namespace

// Whole huge pages: the memory is used again and again, so its rounding costs
// once per thread, and small pages would trap one by one on first touch.
ScratchArray::ScratchArray(size_t bytes)
    : memory_(TakeSpare(bytes >= PageMapThreshold && bytes <= SIZE_MAX - HugePage ? WholeHugePages(bytes) : bytes)) {}

ScratchArray::~ScratchArray() {
    if (memory_.get() != nullptr) GiveSpare(std::move(memory_));
}

ScratchArray& ScratchArray::operator=(ScratchArray&& other) noexcept {
    if (this != &other) {
        if (memory_.get() != nullptr) GiveSpare(std::move(memory_));
        memory_ = std::move(other.memory_);
    }
    return *this;
}

}  // namespace quorix
