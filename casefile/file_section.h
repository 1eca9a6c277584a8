// FILE section lines and the check that every file set has steps.
#pragma once

#include <string_view>

#include "casefile/case_record.h"
#include "casefile/scanner.h"

namespace quorix {

// One non-header FILE line; the scanner stands after the keyword and ": \t".
bool ParseFileLine(zelvane::strutil::Scanner& scanner, std::string_view keyword, FileSectionInfo*& fileSets);

// Drivers step through a file set by its numberOfSteps: every set needs one.
bool CheckFileSets(const FileSectionInfo* fileSets);

}  // namespace quorix
