// The work of the deferred loaders: read what a client-data record names and
// hand it to the host in chunks, each at its position, under a short host lock.
#pragma once

#include "addon/zel_api.h"
#include "dataset/deferred_load_info.h"

namespace quorix {

// Values of one field (coordinates, iblank, variable values); false when the
// file no longer holds what the scan recorded.
bool LoadFieldValues(const DeferredLoadInfo& info, FieldData_pa field);
bool LoadZoneNodeMap(const DeferredLoadInfo& info, NodeMap_pa nodeMap);
bool LoadZoneFaceMap(const DeferredLoadInfo& info, FaceMap_pa faceMap);

}  // namespace quorix
