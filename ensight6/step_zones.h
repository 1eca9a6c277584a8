// The zones of one time step: one per part of the step's geometry file
// that has a zone, so that parts without zones shift nothing.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "dataset/zone_creation.h"
#include "ensight6/geometry_file.h"

namespace quorix {

struct Ensight6StepZones {
    const Ensight6GeometryFile* geometry = nullptr;
    std::vector<int32_t> zones;  // parallel to geometry->parts; 0: no zone
    float time = 0.0f;

    // Index of the part with that number in the file, -1 when none.
    int32_t PartIndex(int32_t partNumber) const;
    void IndexParts();

private:
    std::unordered_map<int32_t, int32_t> indexOf_;
};

// The element blocks a variable file lists for a part, met in file order: each
// is the next block of its type after the one before, and blocks the file
// leaves out keep their place in the zone.
class PartBlockCursor {
public:
    explicit PartBlockCursor(const GeometryPart& part);
    // The next block of `type`; null when the part has none left.
    const GeometryElementBlock* Next(ElementType type);
    // Zone element (from 0) of the first element of the block last found; only
    // for loaded blocks.
    int64_t firstElement() const { return positions_[index_]; }

private:
    const GeometryElementBlock* next_;
    size_t nextIndex_ = 0;
    size_t index_ = 0;
    std::vector<int64_t> positions_;  // per block in file order
};

}  // namespace quorix
