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
    std::byte* data() const { return data_; }
    int64_t bytes() const { return bytes_; }

private:
    std::byte* data_ = nullptr;
    int64_t bytes_ = 0;
    bool mapped_ = false;
    bool present_ = false;
};

// The host allocates a loaded array before calling its loader (under the host
// lock) and maps its pages outside the lock, so loads on several threads fault
// in parallel. `Data` has Allocate() and a HostBuffer `storage`.
template <class Data>
bool PrepareLoadArray(Data& data) {
    {
        HostGuard guard;
        if (!data.Allocate()) return false;
    }
    data.storage.Prefault();
    return true;
}

}  // namespace zelhost
