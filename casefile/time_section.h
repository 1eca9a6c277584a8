// TIME section lines, the time-values and filename-numbers files, and the
// checks that make every time set complete.
#pragma once

#include <string_view>

#include "casefile/case_record.h"
#include "casefile/scanner.h"

namespace quorix {

// One non-header TIME line; the scanner stands after the keyword and ": \t".
bool ParseTimeLine(zelvane::strutil::Scanner& scanner, std::string_view keyword, TimeSectionInfo*& timeSets);

// Post-passes over every set naming such a file, first to last.
bool ReadTimeValuesFiles(TimeSectionInfo* timeSets, std::string_view caseDirectory);
bool ReadFilenameNumbersFiles(TimeSectionInfo* timeSets, std::string_view caseDirectory);

// After the post-passes: every set holds numberOfSteps time values (and
// filename numbers when given), and its file numbers fit in int32.
bool CheckTimeSets(TimeSectionInfo* timeSets);

}  // namespace quorix
