// Zero-filled storage for field values and connectivity; large arrays ask for huge pages.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/recursive_lock.h"

namespace zelhost {

class HostBuffer {
public:
    HostBuffer() = default;
    HostBuffer(const HostBuffer&) = delete;
    HostBuffer& operator=(const HostBuffer&) = delete;
    ~HostBuffer() { Release(); }

    // Zero-filled; false (and empty) when memory is short or the size is absurd.
    bool Allocate(int64_t bytes);
    void Release();
    // Maps the pages of a large array now, so that filling it later does not
    // fault page by page (a loader fills it under the host lock).
    void Prefault() const;
    bool present() const { return present_; }
    void Swap(HostBuffer& other) noexcept;
    std::byte* data() const { return data_; }
    int64_t bytes() const { return bytes_; }

private:
    enum class Kind { Heap, Mapped, Slab };
    std::byte* data_ = nullptr;
    int64_t bytes_ = 0;
    Kind kind_ = Kind::Heap;
    bool present_ = false;
};

// Adds its lifetime to the time spent placing loaded arrays (LoadArraysPlacedSeconds).
class PlacementTimer {
public:
    PlacementTimer();
    ~PlacementTimer();
    PlacementTimer(const PlacementTimer&) = delete;
    PlacementTimer& operator=(const PlacementTimer&) = delete;

private:
    HostClock::time_point start_;
};

// The host's own error when it cannot hold an array to be loaded; false.
bool ReportLoadArrayShortage();

// The host allocates a loaded array before calling its loader (under the host
// lock) and maps its pages outside the lock, so loads on several threads fault
// in parallel. `Data` has Allocate() and a HostBuffer `storage`.
template <class Data>
bool PrepareLoadArray(Data& data) {
    const PlacementTimer timer;
    {
        HostGuard guard;
        if (!data.Allocate()) return ReportLoadArrayShortage();
    }
    data.storage.Prefault();
    return true;
}

// int32 values on a HostBuffer.
class HostInts {
public:
    // Zero-filled.
    bool Allocate(int64_t count);
    void Release() {
        buffer_.Release();
        count_ = 0;
    }
    void Swap(HostInts& other) noexcept;
    int32_t* data() { return reinterpret_cast<int32_t*>(buffer_.data()); }
    const int32_t* data() const { return reinterpret_cast<const int32_t*>(buffer_.data()); }
    size_t size() const { return static_cast<size_t>(count_); }
    const int32_t* begin() const { return data(); }
    const int32_t* end() const { return data() + count_; }

private:
    HostBuffer buffer_;
    int64_t count_ = 0;
};

}  // namespace zelhost
