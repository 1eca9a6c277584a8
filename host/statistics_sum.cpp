#include "host/statistics_sum.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace zelhost {
namespace {

// The sizes of SSE2 registers: wider vectors than the target has go lane by lane.
typedef float Floats __attribute__((vector_size(16)));
typedef int32_t Ints __attribute__((vector_size(16)));
typedef double Doubles __attribute__((vector_size(16)));
constexpr int64_t Lanes = 4;
// Small enough to stay in L1 for the sequential sum when a block needs it.
constexpr int64_t BlockValues = 2048;
constexpr float Infinity = std::numeric_limits<float>::infinity();

// The two halves as doubles; GCC would spell the shuffles lane by lane.
inline Doubles LowAsDoubles(Floats v) {
#ifdef __SSE2__
    return _mm_cvtps_pd(v);
#else
    return __builtin_convertvector(__builtin_shufflevector(v, v, 0, 1), Doubles);
#endif
}
inline Doubles HighAsDoubles(Floats v) {
#ifdef __SSE2__
    return _mm_cvtps_pd(_mm_movehl_ps(v, v));
#else
    return __builtin_convertvector(__builtin_shufflevector(v, v, 2, 3), Doubles);
#endif
}

// The exponent of a nonzero double's lowest set bit.
int LowestBit(double value) {
    const auto bits = std::bit_cast<uint64_t>(value);
    const auto exponent = static_cast<int>((bits >> 52) & 0x7ff);
    const uint64_t significand = (bits & ((uint64_t{1} << 52) - 1)) | (exponent != 0 ? uint64_t{1} << 52 : 0);
    return std::max(exponent, 1) - 1075 + std::countr_zero(significand);
}

// The first zero among the values: of +0 and -0, the one a running min or max keeps.
float FirstZero(const float* values, int64_t count) {
    for (int64_t i = 0; i < count; ++i) {
        if (values[i] == 0.0f) return values[i];
    }
    return 0.0f;
}

}  // namespace

void StatisticsSum::Add(double value) {
    if (!std::isfinite(value)) {
        stats_.finite = false;
        return;
    }
    if (stats_.count == 0 || value < stats_.min) stats_.min = value;
    if (stats_.count == 0 || value > stats_.max) stats_.max = value;
    sum_ += value;
    ++stats_.count;
}

void StatisticsSum::AddFloats(const float* values, int64_t count) {
    const int64_t whole = count - count % Lanes;
    for (int64_t i = 0; i < whole; i += BlockValues) AddBlock(values + i, std::min(BlockValues, whole - i));
    for (int64_t i = whole; i < count; ++i) Add(values[i]);
}

// Lanes give the range, count and sum at once; a block holding an infinity
// goes value by value. The lanes' sum equals the one in position order
// whenever no partial sum in either order can round: all are multiples of the
// lowest set bit among the values and the running sum, and stay below 2^53
// times it (2^52 here, a margin for the rounding of the bound). Otherwise the
// block is summed again in order, from L1.
void StatisticsSum::AddBlock(const float* values, int64_t count) {
    Floats min = Floats{} + Infinity, max = Floats{} - Infinity, smallest = Floats{} + Infinity;
    Doubles sumLow{}, sumHigh{};
    Ints nanCount{}, bitsOr{};
    for (int64_t i = 0; i < count; i += Lanes) {
        Floats v;
        std::memcpy(&v, values + i, sizeof v);
        min = v < min ? v : min;  // NaN never compares: left out
        max = v > max ? v : max;
        nanCount -= v != v;
        sumLow += LowAsDoubles(v);
        sumHigh += HighAsDoubles(v);
        const Ints magnitude = (Ints)v & 0x7fffffff;
        const auto nonzero = (Floats)(magnitude | ((magnitude == 0) & 0x7f800000));  // zero as infinity
        smallest = nonzero < smallest ? nonzero : smallest;
        bitsOr |= (Ints)v;
    }
    float blockMin = Infinity, blockMax = -Infinity, blockSmallest = Infinity;
    int64_t nans = 0;
    int32_t significands = 0;
    double blockSum = 0.0;
    for (int l = 0; l < Lanes; ++l) {
        blockMin = std::min(blockMin, min[l]);
        blockMax = std::max(blockMax, max[l]);
        blockSmallest = std::min(blockSmallest, smallest[l]);
        nans += nanCount[l];
        significands |= bitsOr[l];
        blockSum += l < 2 ? sumLow[l] : sumHigh[l - 2];
    }
    if (blockMin == -Infinity || blockMax == Infinity) {
        for (int64_t i = 0; i < count; ++i) Add(values[i]);
        return;
    }
    if (nans > 0) stats_.finite = false;
    if (nans == count) return;
    if (stats_.count == 0 || blockMin < stats_.min) stats_.min = blockMin == 0 ? FirstZero(values, count) : blockMin;
    if (stats_.count == 0 || blockMax > stats_.max) stats_.max = blockMax == 0 ? FirstZero(values, count) : blockMax;
    stats_.count += count - nans;
    if (blockSmallest == Infinity) return;  // only zeros: the sum stays
    // No value has a set bit below the smallest exponent plus the fewest trailing zeros of any significand.
    const int exponent = std::max(static_cast<int>(std::bit_cast<uint32_t>(blockSmallest) >> 23), 1);
    int bit = exponent - 150 + std::countr_zero(static_cast<uint32_t>(significands & 0x7fffff) | 0x800000u);
    if (sum_ != 0.0) bit = std::min(bit, LowestBit(sum_));
    const double bound = std::abs(sum_) + static_cast<double>(count) * std::max(-blockMin, blockMax);
    if (nans == 0 && bound < std::ldexp(1.0, bit + 52)) {
        sum_ += blockSum;
        return;
    }
    double sum = sum_;
    for (int64_t i = 0; i < count; ++i) {
        if (!std::isnan(values[i])) sum += values[i];
    }
    sum_ = sum;
}

Statistics StatisticsSum::Result() const {
    Statistics result = stats_;
    result.mean = stats_.count > 0 ? sum_ / static_cast<double>(stats_.count) : 0.0;
    return result;
}

}  // namespace zelhost
