// Skips of many ASCII lines in a scan: the line ends of a far skip are counted
// on two threads at once.
#pragma once

#include <cstdint>

#include "gold/file_a.h"

namespace quorix {

// Passes `count` lines of `file` as File_a::SkipLines does.
bool SkipFarLines(File_a& file, int64_t count);

}  // namespace quorix
