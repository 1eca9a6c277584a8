#include "host/host_buffer.h"

#include <sys/mman.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>
#include <utility>

#include "host/host_state.h"
#include "host/ledger.h"
#include "host_api/page_mapping.h"

namespace zelhost {
namespace {
// As the add-on's page memory (gold/page_memory.h): from the same threshold
// an array is mapped from a huge-page boundary, on huge pages, rounded as
// there; populated by Prefault, outside the host lock, or as a slab hands it out.
constexpr int64_t MapThreshold = int64_t{pagemap::PageMapThreshold};
using pagemap::MapAligned;
using pagemap::MappedSize;

// Arrays under a quarter of a slab share huge pages: each slab is handed out
// front to back, its pages populated as arrays take them, and unmapped when
// its last array goes. Fresh slab memory is zero and none is handed out twice.
constexpr size_t SlabBytes = size_t{32} << 20;

class Slabs {
public:
    std::byte* Take(size_t bytes) {
        bytes = (bytes + 4095) & ~size_t{4095};
        std::lock_guard<std::mutex> guard(mutex_);
        if (current_ == 0 || SlabBytes - slabs_[current_].used < bytes) {
            void* memory = MapAligned(SlabBytes);
            if (memory == nullptr) return nullptr;
            madvise(memory, SlabBytes, MADV_HUGEPAGE);
            current_ = reinterpret_cast<uintptr_t>(memory);
        }
        Slab& slab = slabs_[current_];
        std::byte* at = reinterpret_cast<std::byte*>(current_) + slab.used;
#ifdef MADV_POPULATE_WRITE
        madvise(at, bytes, MADV_POPULATE_WRITE);
#endif
        slab.used += bytes;
        ++slab.live;
        return at;
    }
    void Give(const std::byte* data) {
        std::lock_guard<std::mutex> guard(mutex_);
        auto slab = slabs_.upper_bound(reinterpret_cast<uintptr_t>(data));
        if (slab == slabs_.begin()) return;
        --slab;
        if (--slab->second.live > 0) return;
        if (slab->first == current_) current_ = 0;
        munmap(reinterpret_cast<void*>(slab->first), SlabBytes);
        slabs_.erase(slab);
    }

private:
    struct Slab {
        size_t used = 0;
        int64_t live = 0;
    };
    std::mutex mutex_;
    std::map<uintptr_t, Slab> slabs_;  // by start address
    uintptr_t current_ = 0;            // the slab being handed out, 0: none
};

std::atomic<int64_t> placementNanos{0};

Slabs& TheSlabs() {
    static Slabs* slabs = new Slabs;  // arrays may outlive static destruction
    return *slabs;
}
}  // namespace

PlacementTimer::PlacementTimer() : start_(HostClock::now()) {}

PlacementTimer::~PlacementTimer() { AddSince(placementNanos, start_); }

double LoadArraysPlacedSeconds() { return static_cast<double>(placementNanos.load()) * 1e-9; }

bool HostBuffer::Allocate(int64_t bytes) {
    Release();
    if (bytes < 0 || static_cast<uint64_t>(bytes) > pagemap::LargestMapping) return false;
    if (bytes >= MapThreshold && static_cast<size_t>(bytes) < SlabBytes / 4) {
        data_ = TheSlabs().Take(static_cast<size_t>(bytes));
        if (data_ == nullptr) return false;
        kind_ = Kind::Slab;
    } else if (bytes >= MapThreshold) {
        const size_t mapped = MappedSize(static_cast<size_t>(bytes));
        void* memory = MapAligned(mapped);
        if (memory == nullptr) return false;
        // Page faults dominate a fresh load; huge pages cut them 512-fold.
        madvise(memory, mapped, MADV_HUGEPAGE);
        data_ = static_cast<std::byte*>(memory);
        kind_ = Kind::Mapped;
    } else {
        data_ = static_cast<std::byte*>(std::calloc(static_cast<size_t>(bytes > 0 ? bytes : 1), 1));
        if (data_ == nullptr) return false;
    }
    bytes_ = bytes;
    present_ = true;
    TheLedger().Add(data_, "Host Array", bytes);
    return true;
}

void HostBuffer::Prefault() const {
#ifdef MADV_POPULATE_WRITE
    if (kind_ == Kind::Mapped) madvise(data_, MappedSize(static_cast<size_t>(bytes_)), MADV_POPULATE_WRITE);
#endif
}

void HostBuffer::Release() {
    if (present_) TheLedger().Remove(data_);
    if (kind_ == Kind::Mapped) {
        munmap(data_, MappedSize(static_cast<size_t>(bytes_)));
    } else if (kind_ == Kind::Slab) {
        TheSlabs().Give(data_);
    } else {
        std::free(data_);
    }
    data_ = nullptr;
    bytes_ = 0;
    kind_ = Kind::Heap;
    present_ = false;
}

void HostBuffer::Swap(HostBuffer& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(bytes_, other.bytes_);
    std::swap(kind_, other.kind_);
    std::swap(present_, other.present_);
}

bool HostInts::Allocate(int64_t count) {
    Release();
    if (count < 0 || count > INT64_MAX / 4 || !buffer_.Allocate(count * 4)) return false;
    count_ = count;
    return true;
}

void HostInts::Swap(HostInts& other) noexcept {
    buffer_.Swap(other.buffer_);
    std::swap(count_, other.count_);
}

bool ReportLoadArrayShortage() {
    RecordMessage("error", "Not enough memory to hold the data of a deferred load.");
    return false;
}

}  // namespace zelhost
