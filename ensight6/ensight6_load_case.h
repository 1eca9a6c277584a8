// The EnSight 6 load: geometry series, zones, node maps, variables.
#pragma once

#include <cstdint>

#include "casefile/case_record.h"

namespace quorix {

// What a load request selects of an EnSight 6 case: part numbers and 1-based
// variable ordinals; with no count, all of them; a VarCount of -1, none.
struct Ensight6Selection {
    int32_t ZoneCount = 0;
    const int32_t* ZoneArray = nullptr;
    int32_t VarCount = 0;
    const int32_t* VarArray = nullptr;
};

bool Ensight6LoadCase(const Ensight6Selection& options, GeometrySectionInfo& geometry,
                      const VariableSectionInfo* variables, const TimeSectionInfo* timeSets,
                      const FileSectionInfo* fileSets);

}  // namespace quorix
