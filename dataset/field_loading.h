// The work of the deferred loaders: read what a client-data record names and
// hand it to the host in chunks, each at its position, under a short host lock.
#pragma once

#include <array>
#include <cstdint>

#include "dataset/deferred_load_info.h"
#include "host_api/hand_over.h"
#include "host_api/zel_api.h"

namespace quorix {

// Values of one field (coordinates, iblank, variable values); false when the
// file no longer holds what the scan recorded.
bool LoadFieldValues(const DeferredLoadInfo& info, FieldData_pa field);
bool LoadZoneNodeMap(const DeferredLoadInfo& info, NodeMap_pa nodeMap);
bool LoadZoneFaceMap(const DeferredLoadInfo& info, FaceMap_pa faceMap);

// The pieces of those loads that readers of other layouts share (with HandOver).
// Word `component` of each of `records` interleaved records of `stride` words
// into `to`, which may be `from` itself (the write index never passes the read index).
template <class T>
void GatherComponent(const T* from, T* to, int64_t records, int64_t stride, int64_t component) {
    for (int64_t r = 0; r < records; ++r) to[r] = from[r * stride + component];
}
// A bar3 value goes to both of its segments: `count` values become 2·count.
void DoubleValues(const float* values, int64_t count, float* doubled);
// Cells `first`.. of an I x J x K block in file order (i fastest) to the host,
// which keeps cell values in the I·J·K node layout.
bool HandOverStructuredCells(FieldData_pa field, const std::array<int32_t, 3>& dims, int64_t first,
                             const float* values, int64_t count);

}  // namespace quorix
