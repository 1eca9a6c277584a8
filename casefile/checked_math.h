// Counts read from files, combined without overflow.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>

namespace quorix {

inline std::optional<int64_t> CheckedMul(int64_t a, int64_t b) {
    int64_t product = 0;
    if (__builtin_mul_overflow(a, b, &product)) return std::nullopt;
    return product;
}

inline std::optional<int64_t> CheckedAdd(int64_t a, int64_t b) {
    int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) return std::nullopt;
    return sum;
}

// `count` items of `itemBytes` bytes each fit in `bytesLeft`: the one check
// of every count read from a file before it sizes or skips anything. Items of
// no size always fit; a negative count or room never does.
inline bool FitsIn(int64_t count, int64_t itemBytes, int64_t bytesLeft) {
    return count >= 0 && bytesLeft >= 0 && (itemBytes <= 0 || count <= bytesLeft / itemBytes);
}

// A count the host's 32-bit sizes can hold.
inline bool IsCount32(int64_t n) { return n >= 0 && n <= std::numeric_limits<int32_t>::max(); }

inline std::optional<int32_t> Count32(std::optional<int64_t> n) {
    if (!n || !IsCount32(*n)) return std::nullopt;
    return static_cast<int32_t>(*n);
}

// Nodes of an i x j x k block; none when a dimension is negative or the
// count passes int32. A zero dimension gives 0.
inline std::optional<int32_t> BlockNodeCount(int64_t i, int64_t j, int64_t k) {
    if (!IsCount32(i) || !IsCount32(j) || !IsCount32(k)) return std::nullopt;
    std::optional<int64_t> ij = CheckedMul(i, j);
    return Count32(ij ? CheckedMul(*ij, k) : ij);
}

// Cells of an i x j x k block, under the same limits as its nodes. A
// dimension of 1 adds no factor (flat blocks have cells over the other two);
// a zero dimension means no nodes, so no cells.
inline std::optional<int32_t> BlockCellCount(int64_t i, int64_t j, int64_t k) {
    if (!IsCount32(i) || !IsCount32(j) || !IsCount32(k)) return std::nullopt;
    if (i == 0 || j == 0 || k == 0) return 0;
    std::optional<int64_t> cells = int64_t{1};
    for (int64_t n : {i, j, k}) {
        if (n > 1) cells = CheckedMul(*cells, n - 1);
        if (!cells) return std::nullopt;
    }
    return Count32(cells);
}

}  // namespace quorix
