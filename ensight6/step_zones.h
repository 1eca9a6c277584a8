// The zones of one time step: one per part of the step's geometry file
// that has a zone, so that parts without zones shift nothing.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

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

// First zone element (from 1) of each block of `part`, indexed in file order;
// 0 for blocks that are not loaded.
std::vector<int64_t> BlockZonePositions(const GeometryPart& part);

}  // namespace quorix
