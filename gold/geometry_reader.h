// Gold geometry files: format and byte-order detection, and the structure scan.
#pragma once

#include "dataset/part_collection.h"
#include "gold/ensight_reader.h"

namespace quorix {

class CFileEnsightGeom : public CFileEnsight {
public:
    bool nodeIdsPresent = false;
    bool elementIdsPresent = false;
};

class CFileEnsightGeomGold : public CFileEnsightGeom {
public:
    // Positioned at the first part (or particle section) header on success.
    virtual bool Open(const std::string& path);
    // One file of the series; `step` is its 0-based step index.
    bool ScanParts(PartCollection& collection, int32_t step);
};

}  // namespace quorix
