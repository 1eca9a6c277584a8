// The client data of one EnSight 6 load-on-demand registration: where a
// field's values lie in which file.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "casefile/byte_order.h"
#include "dataset/element_conversion.h"
#include "gold/page_memory.h"
#include "host_api/host_memory.h"
#include "host_api/zel_api.h"

namespace quorix {

// The x, y and z of an ASCII node list, converted in one pass by the first of
// its three loads; each of the other two takes its column from here, once.
struct NodeColumns {
    std::mutex mutex;
    bool read = false;
    PageArray<float> columns[3];
};

// Host allocation "Client Data".
struct Ensight6ValueSource {
    HostString fileName;    // "File Name"
    int64_t offset = 0;     // first value
    int32_t valueCount = 0;
    int32_t dim1 = 0, dim2 = 0, dim3 = 0;  // block I J K; variables: dim2 components, dim3 component from 1
    int32_t variable = 0;   // 1..3 X Y Z, 4 IBlank, else the host variable
    ByteOrder byteOrder = ByteOrderUnknown;
    int32_t blockComponents = 1;  // C binary block values: components interleaved per node or cell,
    int32_t blockComponent = 0;   // this source's one of them
    std::vector<LoadBlock> blocks;  // unstructured per-element values, one per loaded block
    std::shared_ptr<NodeColumns> nodeColumns;  // ASCII node coordinates: shared by X, Y and Z
};

// A new source naming `path`; null when the host has no memory.
Ensight6ValueSource* NewValueSource(std::string_view path);
// Hands the source to the host with `load`; a refused source is freed here.
bool RegisterValueSource(EntIndex_t zone, EntIndex_t variable, LoadOnDemandVarLoad_pf load,
                         Ensight6ValueSource* source);
// Cleanup callback of every registration.
void ReleaseValueSource(FieldData_pa field);

// Value callbacks: true when every value reached the host.
Boolean_t LoadBlockCoordinatesBinary(FieldData_pa field);
Boolean_t LoadNodeCoordinatesBinary(FieldData_pa field);
Boolean_t LoadBlockCoordinatesAscii(FieldData_pa field);
Boolean_t LoadNodeCoordinatesAscii(FieldData_pa field);
Boolean_t LoadBlockIBlankAscii(FieldData_pa field);
Boolean_t LoadBlockIBlankBinary(FieldData_pa field);
Boolean_t LoadNodeVariableBinary(FieldData_pa field);
Boolean_t LoadBlockNodeVariableBinary(FieldData_pa field);
Boolean_t LoadElementVariableBinary(FieldData_pa field);
Boolean_t LoadBlockElementVariableBinary(FieldData_pa field);

}  // namespace quorix
