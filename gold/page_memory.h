// Large arrays in mappings of their own, started on a huge-page boundary and
// populated in one call: filling them then faults no page. Faulting page by
// page as the data lands costs far more, above all under a hypervisor.
#pragma once

#include <cstddef>

namespace quorix {

// Below this the heap does better than a mapping of its own.
constexpr size_t PageMapThreshold = size_t{128} << 10;

// Zero-filled pages for `bytes`; null when they cannot be had.
void* MapPages(size_t bytes);
void UnmapPages(void* data, size_t bytes);

// An array of `bytes` from the heap below the threshold, else from MapPages.
class PageArray {
public:
    PageArray() = default;
    explicit PageArray(size_t bytes);
    ~PageArray();
    PageArray(PageArray&& other) noexcept;
    PageArray& operator=(PageArray&& other) noexcept;
    void* get() const { return data_; }
    size_t bytes() const { return bytes_; }

private:
    void Release();
    void* data_ = nullptr;
    size_t bytes_ = 0;
    bool mapped_ = false;
};

// Working memory of an open file or a load, lent by its thread: pages the
// thread's previous user faulted in are used again instead of fresh ones,
// so they hold whatever was left in them.
class ScratchArray {
public:
    ScratchArray() = default;
    explicit ScratchArray(size_t bytes);
    ~ScratchArray();
    ScratchArray(ScratchArray&& other) noexcept = default;
    ScratchArray& operator=(ScratchArray&& other) noexcept;
    void* get() const { return memory_.get(); }

private:
    PageArray memory_;
};

}  // namespace quorix
