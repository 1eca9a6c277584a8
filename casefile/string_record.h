// The string record of the EnSight binary encodings, and the text it holds:
// 80 bytes, of which writers fill at most 79 characters (the last is room for
// C's terminator), ended by a NUL or padded with blanks. An ASCII file holds
// the same text as a line.
#pragma once

#include <cstddef>
#include <string_view>

#include "casefile/text_number.h"

namespace quorix {

constexpr size_t StringRecordBytes = 80;
constexpr size_t StringTextLength = StringRecordBytes - 1;

// The text of the first `keep` bytes of a record: up to the first NUL, without
// the blanks and line ends of its padding.
inline std::string_view StringRecordText(const char* record, size_t keep) {
    std::string_view text(record, keep);
    text = text.substr(0, text.find('\0'));
    const size_t last = text.find_last_not_of(LineBlanks);
    return text.substr(0, last == std::string_view::npos ? 0 : last + 1);
}

}  // namespace quorix
