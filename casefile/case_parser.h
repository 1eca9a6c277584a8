// Reading a case file into the case record.
#pragma once

#include "casefile/case_record.h"

namespace quorix {

// Reads `caseFileName` and the time-values and filename-numbers files it names.
// Sets isEnsight6 from the FORMAT section (left as it was without one). On
// failure the outputs hold what was parsed and the caller releases them.
bool ParseCaseFile(const char* caseFileName, bool& isEnsight6, GeometrySectionInfo& geometry,
                   VariableSectionInfo*& variables, TimeSectionInfo*& timeSets, FileSectionInfo*& fileSets);

// A case that parses yet names no model geometry holds nothing to load: says
// so, naming the case file, and returns false.
bool NamesModelGeometry(const char* caseFileName, const GeometrySectionInfo& geometry);

}  // namespace quorix
