#include "ensight6/node_id_map.h"

#include <algorithm>

#include "host_api/zel_api.h"

namespace quorix {
namespace {

template <class T>
T* HostValues(int64_t count) {
    return reinterpret_cast<T*>(ZelUtilStringAlloc(count * static_cast<int64_t>(sizeof(T)), "Connectivity Map"));
}

template <class T>
void FreeValues(T*& values) {
    char* memory = reinterpret_cast<char*>(values);
    ZelUtilStringDealloc(&memory);
    values = nullptr;
}

}  // namespace

bool NodeIdMap::Build(const int32_t* ids, int64_t count, std::string& errorText) {
    Release();
    int64_t largest = -1;
    for (int64_t i = 0; i < count; ++i) {
        if (ids[i] < 0) {
            errorText = "Negative node id " + std::to_string(ids[i]) + " at node " + std::to_string(i + 1) + ".";
            return false;
        }
        largest = std::max<int64_t>(largest, ids[i]);
    }
    bool ok = largest <= 4 * count + 1024 ? BuildDense(ids, count, largest, errorText)
                                          : BuildPairs(ids, count, errorText);
    present_ = ok;
    if (!ok) Release();
    return ok;
}

bool NodeIdMap::BuildDense(const int32_t* ids, int64_t count, int64_t largest, std::string& errorText) {
    denseSize_ = largest + 1;
    dense_ = HostValues<int32_t>(std::max<int64_t>(denseSize_, 1));
    if (dense_ == nullptr) {
        errorText = "Not enough memory to load data";
        return false;
    }
    std::fill(dense_, dense_ + denseSize_, -1);
    for (int64_t i = 0; i < count; ++i) {
        if (dense_[ids[i]] != -1) {
            errorText = "Node id " + std::to_string(ids[i]) + " occurs twice";
            return false;
        }
        dense_[ids[i]] = static_cast<int32_t>(i + 1);
    }
    return true;
}

bool NodeIdMap::BuildPairs(const int32_t* ids, int64_t count, std::string& errorText) {
    pairs_ = HostValues<uint64_t>(std::max<int64_t>(count, 1));
    if (pairs_ == nullptr) {
        errorText = "Not enough memory to load data";
        return false;
    }
    pairCount_ = count;
    for (int64_t i = 0; i < count; ++i)
        pairs_[i] = (static_cast<uint64_t>(static_cast<uint32_t>(ids[i])) << 32) | static_cast<uint64_t>(i + 1);
    std::sort(pairs_, pairs_ + count);
    for (int64_t i = 1; i < count; ++i) {
        if ((pairs_[i] >> 32) == (pairs_[i - 1] >> 32)) {
            errorText = "Node id " + std::to_string(pairs_[i] >> 32) + " occurs twice";
            return false;
        }
    }
    return true;
}

void NodeIdMap::Release() {
    FreeValues(dense_);
    FreeValues(pairs_);
    denseSize_ = 0;
    pairCount_ = 0;
    present_ = false;
}

int32_t NodeIdMap::Position(int64_t id) const {
    if (id < 0) return -1;
    if (dense_ != nullptr) return id < denseSize_ ? dense_[id] : -1;
    if (id > 0xFFFFFFFFLL) return -1;
    uint64_t key = static_cast<uint64_t>(id) << 32;
    const uint64_t* found = std::lower_bound(pairs_, pairs_ + pairCount_, key);
    if (found == pairs_ + pairCount_ || (*found >> 32) != static_cast<uint64_t>(id)) return -1;
    return static_cast<int32_t>(*found & 0xFFFFFFFFu);
}

}  // namespace quorix
