// FILE section lines and the check that every file set has steps.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "casefile/case_record.h"
#include "casefile/scanner.h"

namespace quorix {

// One non-header FILE line; the scanner stands after the keyword and ": \t".
bool ParseFileLine(zelvane::strutil::Scanner& scanner, std::string_view keyword, FileSectionInfo*& fileSets);

// Drivers step through a file set by its numberOfSteps: every set needs one.
bool CheckFileSets(const FileSectionInfo* fileSets);

// Where each "BEGIN TIME STEP" record of a data file begins (a file of a file
// set holds its steps one after another); empty when the file has none or
// cannot be read. Reads the file once, a slice at a time.
std::vector<int64_t> FindStepStarts(const std::string& path);

}  // namespace quorix
