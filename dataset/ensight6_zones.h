// Zones for EnSight 6 parts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "casefile/element_types.h"
#include "gold/part_collection.h"

namespace quorix {

// The EnSight 6 part fields zone creation reads, filled by the EnSight 6 driver
// from its GeometryPart: zone creation lies a layer below ensight6/ and so
// cannot see that record, and it needs only these of its fields.
struct Ensight6ZoneShape {
    PartKind kind = PartCurvilinear;  // a block, or PartUnstructured
    std::string description;
    int32_t imax = 1, jmax = 1, kmax = 1;
    int32_t maxNodesPerElement = 0;  // among the loaded blocks (a bar3 segment has 2)
    ElementCategoryCode category = CategoryUnknown;  // highest loadable element category
    bool polytope = false;           // higher-order elements: polygons or polyhedra
};

// Ordered for blocks and point parts; otherwise by category and the largest element.
int32_t ZoneTypeForEnsight6Part(const Ensight6ZoneShape& part);
// The new zone's number; 0 when the part has no zone (empty, no loadable
// elements) or the host refused it. Every zone carries `strand` and
// `solutionTime`; `shareZone` > 0 shares its connectivity and variables 1..4.
int32_t CreateEnsight6PartZone(const Ensight6ZoneShape& part, int32_t strand, int32_t shareZone, float solutionTime);

}  // namespace quorix
