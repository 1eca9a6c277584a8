// Zones for EnSight 6 parts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorix {

// The EnSight 6 part fields zone creation reads (filled by the EnSight 6 scan).
struct Ensight6ZoneShape {
    int32_t kind = 0;                // 0 structured block, 3 unstructured
    std::string description;
    int32_t imax = 1, jmax = 1, kmax = 1;
    int32_t maxNodesPerElement = 0;
    int32_t firstBlockType = 255;    // ElementType of the first block
    int32_t category = 255;
};

int32_t ZoneTypeForEnsight6Part(const Ensight6ZoneShape& part);
// True when the host made the zone; `strand` is also the zone shared from when `share`.
bool CreateEnsight6PartZone(const Ensight6ZoneShape& part, bool transient, int32_t strand, bool share,
                            float solutionTime);

}  // namespace quorix
