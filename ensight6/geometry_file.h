// What the scan of one EnSight 6 geometry file leaves for the load: its
// parts, node ids, byte order and title.
#pragma once

#include <cstdint>
#include <string>

#include "casefile/byte_order.h"
#include "casefile/case_record.h"
#include "ensight6/geometry_part.h"
#include "ensight6/node_id_map.h"
#include "host_api/host_memory.h"

namespace quorix {

struct Ensight6GeometryFile {
    std::string path;
    GeometryEncoding encoding = EncodingUnknown;
    ByteOrder byteOrder = NativeByteOrder();  // of binary words
    int32_t nodeCount = 0;      // the global coordinate list
    int32_t idMode = IdsNone;
    HostString title;           // "DataSetTitle"
    GeometryPartList parts;
    NodeIdMap nodeIdMap;        // present only with node ids; released after the node maps are written
};

}  // namespace quorix
