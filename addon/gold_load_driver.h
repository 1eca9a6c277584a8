// Loading a parsed Gold case: scan every file's structure, make zones and
// variables, register the loaders that read values on demand.
#pragma once

#include "casefile/case_record.h"
#include "casefile/load_options.h"

namespace quorix {

bool LoadGoldCase(const LoadOptions& options, const GeometrySectionInfo& geometry,
                  const VariableSectionInfo* variables, const TimeSectionInfo* timeSets,
                  const FileSectionInfo* fileSets);

}  // namespace quorix
