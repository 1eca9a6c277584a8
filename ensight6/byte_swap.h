// Reversing the bytes of binary words written on a machine of the other byte order.
#pragma once

#include <cstdint>
#include <cstring>

namespace quorix {

// Reverses `size` bytes in place.
inline void SwapByteOrder(void* value, int size) {
    auto* bytes = static_cast<unsigned char*>(value);
    switch (size) {
        case 2: {
            uint16_t v;
            std::memcpy(&v, bytes, 2);
            v = __builtin_bswap16(v);
            std::memcpy(bytes, &v, 2);
            return;
        }
        case 4: {
            uint32_t v;
            std::memcpy(&v, bytes, 4);
            v = __builtin_bswap32(v);
            std::memcpy(bytes, &v, 4);
            return;
        }
        case 8: {
            uint64_t v;
            std::memcpy(&v, bytes, 8);
            v = __builtin_bswap64(v);
            std::memcpy(bytes, &v, 8);
            return;
        }
        default:
            for (int i = 0, j = size - 1; i < j; ++i, --j) {
                unsigned char t = bytes[i];
                bytes[i] = bytes[j];
                bytes[j] = t;
            }
    }
}

// One pass over a run of 4-byte words read in bulk.
inline void SwapWords(void* words, int64_t count) {
    auto* bytes = static_cast<unsigned char*>(words);
    for (int64_t i = 0; i < count; ++i) SwapByteOrder(bytes + 4 * i, 4);
}

inline int32_t SwappedInt32(int32_t value) {
    SwapByteOrder(&value, 4);
    return value;
}

}  // namespace quorix
