#include "dataset/node_map_access.h"

#include "casefile/checked_math.h"

namespace quorix {

NodeMapAccess WritableNodeMapAccess(EntIndex_t zone) {
    NodeMapAccess access;
    access.raw = ZelUtilDataNodeGetWritableRawPtr(zone);
    if (access.raw == nullptr) access.ref = ZelUtilDataNodeGetWritableRef(zone);
    LgIndex_t nodes = 0;
    LgIndex_t elements = 0;
    LgIndex_t perElement = 0;
    ZelUtilZoneGetInfo(zone, &nodes, &elements, &perElement);
    // Dimensions the map cannot have leave it empty, so that every write is refused.
    bool sane = nodes >= 0 && elements >= 0 && perElement >= 0 &&
                IsCount32(perElement) && CheckedMul(elements, perElement).has_value();
    if (!sane) return access;
    access.nodeCount = nodes;
    access.elementCount = elements;
    access.nodesPerElement = static_cast<int32_t>(perElement);
    return access;
}

bool SetEntry(const NodeMapAccess& access, int64_t e, int32_t c, int32_t n) {
    if (e < 1 || e > access.elementCount || c < 1 || c > access.nodesPerElement || n < 1 || n > access.nodeCount) {
        return false;
    }
    if (access.raw != nullptr) {
        access.raw[(e - 1) * access.nodesPerElement + (c - 1)] = n - 1;
        return true;
    }
    return access.ref != nullptr && ZelUtilDataNodeSetByRef(access.ref, e, c, n) != ZEL_FALSE;
}

}  // namespace quorix
