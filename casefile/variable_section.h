// VARIABLE section lines.
#pragma once

#include <cstdint>
#include <string_view>

#include "casefile/case_record.h"
#include "casefile/scanner.h"

namespace quorix {

// One non-header VARIABLE line; the scanner stands after the keyword and
// ": \t". An unknown keyword or an empty entry fails without a message. When
// the line adds an entry whose file names a series, `series` points at the
// entry's time set (null otherwise).
bool ParseVariableLine(zelvane::strutil::Scanner& scanner, std::string_view keyword, VariableSectionInfo& variables,
                       int32_t*& series);

}  // namespace quorix
