#include "host/zone.h"

namespace zelhost {

int32_t NodesPerElementOf(int32_t zoneType) {
    switch (zoneType) {
    case ZelZoneLineSeg: return 2;
    case ZelZoneTriangle: return 3;
    case ZelZoneQuad: return 4;
    case ZelZoneTetra: return 4;
    case ZelZoneBrick: return 8;
    default: return 0;
    }
}

bool IsKnownZoneType(int32_t zoneType) { return zoneType >= ZelZoneOrdered && zoneType <= ZelZonePolyhedron; }

bool IsPolytope(int32_t zoneType) { return zoneType == ZelZonePolygon || zoneType == ZelZonePolyhedron; }

int64_t Zone::ElementCount() const {
    if (!IsOrdered()) return jmax;
    int64_t cells = 1;
    bool any = false;
    for (int64_t d : {imax, jmax, kmax}) {
        if (d > 1) {
            cells *= d - 1;
            any = true;
        }
    }
    return any ? cells : 0;
}

int64_t Zone::ValueCount(int32_t location) const {
    if (IsOrdered() || location == ZelLocationNodal) return NodeCount();
    return jmax;
}

}  // namespace zelhost
