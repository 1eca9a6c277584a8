// The EnSight 6 load: geometry series, zones, node maps, variables.
#pragma once

#include "casefile/case_record.h"
#include "dataset/load_options.h"

namespace quorix {

bool Ensight6LoadCase(const LoadOptions& options, GeometrySectionInfo& geometry, const VariableSectionInfo* variables,
                      const TimeSectionInfo* timeSets, const FileSectionInfo* fileSets);

}  // namespace quorix
