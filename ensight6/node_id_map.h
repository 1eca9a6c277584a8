// Node id -> 1-based position in the file's coordinate list.
#pragma once

#include <cstdint>
#include <string>

namespace quorix {

// Dense when the ids are compact (largest id <= 4 * count + 1024), else
// sorted (id, position) pairs, so that one huge id costs nothing extra.
// Host allocation "Connectivity Map".
class NodeIdMap {
public:
    NodeIdMap() = default;
    NodeIdMap(const NodeIdMap&) = delete;
    NodeIdMap& operator=(const NodeIdMap&) = delete;
    ~NodeIdMap() { Release(); }

    // ids[i] is the id of node i + 1. False with `errorText` on a negative or
    // repeated id, or when the host has no memory.
    bool Build(const int32_t* ids, int64_t count, std::string& errorText);
    void Release();
    bool present() const { return present_; }
    // 1-based position, -1 when the id does not occur.
    int32_t Position(int64_t id) const;

private:
    bool BuildDense(const int32_t* ids, int64_t count, int64_t largest, std::string& errorText);
    bool BuildPairs(const int32_t* ids, int64_t count, std::string& errorText);

    bool present_ = false;
    int32_t* dense_ = nullptr;    // indexed by id
    int64_t denseSize_ = 0;
    uint64_t* pairs_ = nullptr;   // id << 32 | position, sorted
    int64_t pairCount_ = 0;
};

}  // namespace quorix
