// Runs of values from the fixed-width lines of an ASCII EnSight 6 file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "gold/file_a.h"

namespace quorix {

class AsciiValueReader {
public:
    explicit AsciiValueReader(File_a& file) : file_(file) {}

    // `count` reals, `perLine` to a full line; false on a short line, a
    // non-number or the end of the file.
    bool ReadValues(float* values, int64_t count, int perLine);
    bool ReadIntegers(int32_t* values, int64_t count, int perLine);
    bool SkipValues(int64_t count, int perLine);
    // Value `column` of each of `count` lines of `perLine` reals.
    bool ReadColumn(float* values, int64_t count, int perLine, int column);
    // One line, line end kept; false at the end of the file.
    bool ReadLine(std::string& line);
    // Back to the start of the line just read.
    bool Unread(int64_t lineStart) { return file_.Seek(lineStart, 0); }
    // Reads lines until one starts with "part" or marks a step (any case) or the file ends;
    // the file is left at the start of that line.
    bool SkipToNextPart();

private:
    bool NextDataLine(std::string_view& line);
    template <class T>
    int64_t ReadPlainLines(T* values, int64_t lines, int perLine);
    template <class T>
    bool ReadNumbers(T* values, int64_t count, int perLine);

    File_a& file_;
    std::string line_;
};

}  // namespace quorix
