// One zone of a data set: shape, strand, time and its data per variable.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/face_map.h"
#include "host/field_data.h"
#include "host/node_map.h"

namespace zelhost {

// Nodes per element of a finite-element zone type; 0 for ordered and polytope zones.
int32_t NodesPerElementOf(int32_t zoneType);
bool IsKnownZoneType(int32_t zoneType);
bool IsPolytope(int32_t zoneType);

struct Zone {
    std::string name;
    int32_t zoneType = ZelZoneOrdered;
    int64_t imax = 1;  // finite elements: nodes
    int64_t jmax = 1;  // finite elements: elements
    int64_t kmax = 1;  // finite elements: nodes per element (0 for polytopes)
    int32_t strand = 0;
    double solutionTime = 0.0;
    std::vector<std::shared_ptr<ZelFieldData_s>> fields;  // one per variable
    std::shared_ptr<ZelNodeMap_s> nodeMap;                // finite elements but polytopes
    std::shared_ptr<ZelFaceMap_s> faceMap;                // polytopes
    int64_t loadFailures = 0;

    bool IsOrdered() const { return zoneType == ZelZoneOrdered; }
    int64_t NodeCount() const { return IsOrdered() ? imax * jmax * kmax : imax; }
    // Ordered zones: cells of the dimensions above 1 (0 for a single point).
    int64_t ElementCount() const;
    // Values a field holds at this location: ordered cell-centred fields keep the I*J*K layout.
    int64_t ValueCount(int32_t location) const;
    // Calls visit(first, count) on each run of ordered cell-centred positions
    // holding a cell, in order. Those with i = I, j = J or k = K (where above 1)
    // hold none, except in an I x 1 x 1 zone: a point part, one value per point.
    template <class Visit>
    void ForEachUsedCellRun(Visit visit) const {
        if (jmax == 1 && kmax == 1) return visit(int64_t{0}, imax);
        const auto used = [](int64_t d) { return d > 1 ? d - 1 : d; };
        for (int64_t k = 0; k < used(kmax); ++k) {
            for (int64_t j = 0; j < used(jmax); ++j) visit((k * jmax + j) * imax, used(imax));
        }
    }
};

}  // namespace zelhost
