// Text fields of EnSight 6 ASCII lines and 80-byte binary strings.
// Every parser reads only inside the view it is given.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "casefile/ascii_case.h"
#include "casefile/element_types.h"
#include "casefile/scanner.h"
#include "casefile/string_record.h"
#include "casefile/text_number.h"
#include "casefile/time_step_mark.h"
#include "gold/file_a.h"

namespace quorix {

using zelvane::strutil::nextToken;

std::string_view CutLineEnd(std::string_view line);
// The line's first whitespace token as an int32.
bool LeadingInt32(std::string_view line, int32_t& value);

// Values of one line of 12-wide reals ('-1.00000E+00-2.00000E+00 3.00000E+00'):
// the count parsed (at most maxCount) before the line ends; -1 when a field
// is not a number.
int ParseFixedWidthValues(std::string_view line, float* values, int maxCount);

// Exactly `count` reals of one line: its fixed-width fields, or where they do
// not give `count` numbers, its blank- or tab-separated tokens
// ('\t0.000000e+00\t6.000000e+00\t').
bool ParseValueLine(std::string_view line, float* values, int count);

// Exactly `count` integers of one line: 8-wide fields, also touching
// ('   70000123456789'), or where they do not give `count` numbers, its blank-
// or tab-separated tokens ('\t         1\t\t        27\t\t        11').
bool ParseIntegerLine(std::string_view line, int32_t* values, int count);

// Coordinate `index` (0..2) of '[id] x y z'; the id ends at a blank, tab or '-'
// ('       1-1.00000e+00 2.00000e+00 3.00000e+00').
bool CoordinateField(std::string_view line, int index, bool hasId, float& value);

// Third token of 'node id given' as an id option (255 when missing).
IdOption IdOptionFromLine(std::string_view line);
// 'part 12': true with the number; any case.
bool ReadPartLine(std::string_view line, int32_t& partNumber);

// Reads one string record as StringRecordText gives it; false when the file ends inside it.
bool ReadStringRecord(File_a& file, std::string& text);

}  // namespace quorix
