// Gold variable files (per node, per element, measured): format detection and
// the scan that records where each component's values lie.
#pragma once

#include "dataset/part_collection.h"
#include "gold/ensight_reader.h"
#include "gold/variable_info.h"

namespace quorix {

class CFileEnsightVarGold : public CFileEnsight {
public:
    // `geometry` settles the byte order of files whose first part number is 0.
    bool Open(const std::string& path, const PartCollection& geometry);
    bool ScanVariableParts(PartCollection& collection, VariableKind& kind, int32_t step);
    bool OpenMeasuredVariable(PartCollection& collection, VariableKind& kind, const std::string& path,
                              int32_t step, int32_t stride);
    bool ScanMeasuredValues(PartCollection& collection, VariableKind& kind, int32_t step);
};

}  // namespace quorix
