// Byte-order evidence from real values: a float read in the wrong order is
// very often infinite, NaN or denormal, one read in the right order rarely is.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

#include "gold/file_a.h"

namespace quorix {

// Finite and either zero or normal.
inline bool IsOrdinaryFloat(float value) {
    return std::isfinite(value) && (value == 0.0f || std::isnormal(value));
}

// The 4-byte word at `bytes` as a float, reversed first when `swapped`.
inline float FloatFromWord(const unsigned char* bytes, bool swapped) {
    float value = 0.0f;
    std::memcpy(&value, bytes, sizeof value);
    if (swapped) ReverseWords(&value, 1);
    return value;
}

inline bool WordsAreOrdinary(const unsigned char* bytes, int64_t count, bool swapped) {
    for (int64_t i = 0; i < count; ++i) {
        if (!IsOrdinaryFloat(FloatFromWord(bytes + 4 * i, swapped))) return false;
    }
    return true;
}

// The byte order in which `count` words all read as ordinary floats;
// `otherwise` when both orders or neither do.
inline ByteOrder OrderOfValues(const unsigned char* bytes, int64_t count, ByteOrder otherwise) {
    const ByteOrder order = DetectByteOrder(
        [&](ByteOrder o) { return FitsIf(WordsAreOrdinary(bytes, count, o != NativeByteOrder())); },
        [&] { return otherwise; });
    return order == ByteOrderUnknown ? otherwise : order;
}

}  // namespace quorix
