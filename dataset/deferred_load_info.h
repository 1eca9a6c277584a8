// Client data of the load-on-demand registrations: what to read, where, and
// how it reaches the host. Owned by the host's registration from the moment
// the host accepts it until the matching clean-up callback.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "dataset/element_conversion.h"
#include "gold/ensight_reader.h"
#include "gold/file_a.h"
#include "gold/page_memory.h"
#include "gold/variable_info.h"
#include "host_api/zel_api.h"

namespace quorix {

enum class LoadKind : int32_t {
    Floats,                // one array of reals
    FloatsWithRange,       // one array of reals with its range (EnSight 6 block coordinates)
    IBlank,                // one array of int32 with its range
    RectilinearCoords,     // one axis array expanded to every node
    UniformCoords,         // origin and spacing expanded to every node
    StridedFloats,         // one component of interleaved values (measured vectors)
    CellValues,            // per-element values of unstructured blocks, placed by the geometry
    StructuredCellValues,  // per-cell values placed in the host's I·J·K cell layout
                           // (both: one component of `stride` when interleaved)
    ClassicNodeMap,
    LineNodeMap,
    PolygonFaceMap,
    PolyhedronFaceMap,
};

struct DeferredLoadInfo {
    std::string fileName;
    int64_t dataOffset = 0;
    // Single arrays: values; face maps: face-node entries of the zone.
    int64_t valueCount = 0;
    int32_t component = 0;  // XVariable..IBlankVariable; stride above 1: 0-based component
    GeometryEncoding format = EncodingUndefined;
    ByteOrder byteOrder = ByteOrderUnknown;
    LoadKind kind = LoadKind::Floats;
    std::vector<LoadBlock> blocks;  // element order
    int64_t elementCount = 0;       // zone elements (node and face maps)
    int64_t faceCount = 0;          // polyhedron face maps: faces of the zone
    int32_t nodeCount = 0;          // node numbers must lie in 1..nodeCount
    int32_t width = 0;              // node maps: entries per zone element
    int32_t stride = 1;             // interleaved values: components per record
    std::array<int32_t, 3> dims{1, 1, 1};   // structured zone dimensions
    std::array<int32_t, 3> first{1, 1, 1};  // structured "range": first index used
    SectionForm form;                       // variable values of one array: undefined ones
};

// Shared by the three coordinate loaders of one particle zone.
struct ParticleCoordsCache {
    std::string fileName;
    GeometryEncoding format = EncodingUndefined;
    ByteOrder byteOrder = ByteOrderUnknown;
    int64_t offset = 0;
    int32_t particleCount = 0;
    int32_t componentCount = 3;
    PageArray<float> values;  // particleCount x 3, all X, then all Y, then all Z; empty until read
    int32_t refCount = 0;
    Mutex_pa mutex = nullptr;
};

struct ParticleCoordsRef {
    int32_t component = 0;  // 0 X, 1 Y, 2 Z
    ParticleCoordsCache* cache = nullptr;
};

}  // namespace quorix
