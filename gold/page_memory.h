// Page memory: where the add-on's arrays come from. Under a shadow-paging
// hypervisor each small page traps on its first touch (about 4 µs), so an
// array from PageMapThreshold up takes a mapping of its own: it starts on a
// huge-page boundary, asks for huge pages, ends on a whole huge page when that
// adds at most an eighth (a small-page tail traps even when populated), and
// is populated in one call when made, before anything is written to it.
// Below the threshold the heap recycles pages already touched. libzel maps
// the host's arrays with the same helper (page_mapping.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "host_api/page_mapping.h"

namespace quorix {

using pagemap::HugePageBytes;
using pagemap::PageMapThreshold;

// The holder's own memory of `bytes` bytes, not zero-filled; null when there is none.
void* TakePages(size_t bytes);
void GivePages(void* data, size_t bytes);
// Pages lent by the calling thread: what its previous borrower faulted in is
// used again. `bytes` may grow to the size of the spare lent.
void* BorrowPages(size_t& bytes);
void ReturnPages(void* data, size_t bytes);

// `count` values of T (at least room for one), not initialised; empty (null)
// when the count is negative, absurd, or there is no memory for it.
template <class T, bool Lent>
class PageMemoryArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    PageMemoryArray() = default;
    explicit PageMemoryArray(int64_t count) {
        if (count < 0 || static_cast<uint64_t>(count) > SIZE_MAX / 2 / sizeof(T)) return;
        bytes_ = static_cast<size_t>(count > 0 ? count : 1) * sizeof(T);
        data_ = static_cast<T*>(Lent ? BorrowPages(bytes_) : TakePages(bytes_));
        count_ = data_ != nullptr ? count : 0;
    }
    ~PageMemoryArray() {
        if (data_ == nullptr) return;
        if constexpr (Lent) {
            ReturnPages(data_, bytes_);
        } else {
            GivePages(data_, bytes_);
        }
    }
    PageMemoryArray(PageMemoryArray&& other) noexcept { Swap(other); }
    PageMemoryArray& operator=(PageMemoryArray&& other) noexcept {
        PageMemoryArray(std::move(other)).Swap(*this);
        return *this;
    }

    T* get() const { return data_; }
    T& operator[](int64_t i) const { return data_[i]; }
    int64_t size() const { return count_; }
    explicit operator bool() const { return data_ != nullptr; }

private:
    void Swap(PageMemoryArray& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(bytes_, other.bytes_);
        std::swap(count_, other.count_);
    }
    T* data_ = nullptr;
    size_t bytes_ = 0;
    int64_t count_ = 0;
};

// Held for as long as its holder needs it: the arrays of a whole load, values kept for the host.
template <class T>
using PageArray = PageMemoryArray<T, false>;
// Working memory of an open file or of one load (read buffers, chunks): lent
// by its thread, it holds whatever its previous borrower left in it. From the
// threshold up it takes whole huge pages, as it is lent again and again.
template <class T>
using ScratchArray = PageMemoryArray<T, true>;

}  // namespace quorix
