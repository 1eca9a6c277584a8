// Loading a parsed Gold case: scan every file's structure, make zones and
// variables, register the loaders that read values on demand.
#pragma once

#include <vector>

#include "casefile/case_record.h"

namespace quorix {

// One parsed case of a load.
struct GoldCase {
    const GeometrySectionInfo& geometry;
    const VariableSectionInfo* variables;
    const TimeSectionInfo* timeSets;
    const FileSectionInfo* fileSets;
};

// Loads the cases into one data set, each case's zones after the previous
// one's; a variable name that several cases hold is one variable of the data set.
bool LoadGoldCases(const std::vector<GoldCase>& cases);

bool LoadGoldCase(const GeometrySectionInfo& geometry, const VariableSectionInfo* variables,
                  const TimeSectionInfo* timeSets, const FileSectionInfo* fileSets);

}  // namespace quorix
