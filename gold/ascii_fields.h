// Numbers of ASCII EnSight data lines. Parsers take [first, last) and never
// read past `last`; no locale, no allocation.
#pragma once

#include <cstdint>
#include <string_view>

#include "casefile/text_number.h"

namespace quorix {

// The characters of a line that hold values: up to the first line end, trailing blanks dropped.
std::string_view DataPart(std::string_view line);

// Converts the numbers of one data line into out[0 .. capacity) and returns how
// many the line holds (also beyond capacity), -1 when it does not convert.
// A single token is one number; otherwise fixed-width fields from column 1
// (fields may touch: "-1.00000e+00-2.00000e+00"); when a field does not fully
// convert, whitespace-separated tokens, a real token also in Fortran's form
// without the exponent letter ("0.58830-318"). A number out of range fails the line.
int64_t ConvertIntLine(std::string_view line, int width, int32_t* out, int64_t capacity);
int64_t ConvertRealLine(std::string_view line, float* out, int64_t capacity);
// The plain lines (as writers print them: fixed fields filling the line) at the
// start of `text`, converted into out[0, capacity) as the line converters would:
// stops before the first other line and before a line whose values would pass
// `capacity`. Returns the bytes used; `values` gets how many came.
size_t ConvertPlainIntLines(std::string_view text, int width, int32_t* out, int64_t capacity, int64_t& values);
size_t ConvertPlainRealLines(std::string_view text, float* out, int64_t capacity, int64_t& values);
// As ConvertPlainRealLines over lines of `perLine` "%12.5e" fields, keeping
// field `column` of each line: one value per line, the others only checked,
// so a line is taken exactly when the line converters would take it whole.
size_t ConvertPlainRealColumn(std::string_view text, int perLine, int column, float* out, int64_t capacity,
                              int64_t& values);
// The line's blank- or tab-separated tokens, each one number, for lines whose
// fields are not fixed width ("\t        27\t\t        11"); returns as above.
int64_t ConvertIntTokens(std::string_view line, int32_t* out, int64_t capacity);
int64_t ConvertRealTokens(std::string_view line, float* out, int64_t capacity);
// The line converters without the fast path for plain lines; the fuzz target checks both agree.
int64_t ConvertIntLineGeneral(std::string_view line, int width, int32_t* out, int64_t capacity);
int64_t ConvertRealLineGeneral(std::string_view line, float* out, int64_t capacity);

constexpr int GoldIntWidth = 10;
constexpr int Ensight6IntWidth = 8;
constexpr int RealWidth = 12;

}  // namespace quorix
