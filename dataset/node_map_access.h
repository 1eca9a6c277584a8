// Writing a zone's node map entry by entry, through the host's raw storage
// when it offers it.
#pragma once

#include <cstdint>

#include "host_api/zel_api.h"

namespace quorix {

struct NodeMapAccess {
    NodeMap_pa ref = nullptr;
    int32_t* raw = nullptr;
    int64_t elementCount = 0;
    int32_t nodesPerElement = 0;
    int64_t nodeCount = 0;  // nodes of the zone: the range of a node number
};

NodeMapAccess WritableNodeMapAccess(EntIndex_t zone);
// e and c from 1, n a 1-based node number; false outside the map or the zone's nodes.
bool SetEntry(const NodeMapAccess& access, int64_t e, int32_t c, int32_t n);

}  // namespace quorix
