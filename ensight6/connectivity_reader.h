// Writing an unstructured part's node map (or face map) at load time from
// the element blocks of its geometry file.
#pragma once

#include <cstdint>
#include <string>

#include "casefile/show_error.h"
#include "dataset/node_map_access.h"
#include "ensight6/geometry_file.h"
#include "gold/file_a.h"
#include "host_api/zel_api.h"

namespace quorix {

// Replaces node ids by 1-based positions; false at the first id not in the map.
bool MapNodeIds(const NodeIdMap& map, int32_t* nodes, int64_t count);

// Writes `count` node numbers at consecutive entries from `first` (1-based,
// element-major, `corners` to an element); false outside the map.
bool WriteNodeRun(const NodeMapAccess& access, int32_t corners, int64_t first, int64_t count, const int32_t* nodes);

// Builds the zone's node map from the part's in-category blocks.
bool Ensight6ReadConnectivity(EntIndex_t zone, File_a& file, const GeometryPart& part,
                              const Ensight6GeometryFile& geometry, Failure& failure);

// The face map of a polygon or polyhedron zone (higher-order elements): read
// now, handed to the host when it first asks.
bool Ensight6ReadFaceMap(EntIndex_t zone, File_a& file, const GeometryPart& part,
                         const Ensight6GeometryFile& geometry, Failure& failure);

}  // namespace quorix
