#include "casefile/text_number.h"

#include <cfloat>
#include <charconv>
#include <cmath>

namespace quorix {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

const char* SkipBlanks(const char* p, const char* last) {
    while (p != last && IsBlank(*p)) ++p;
    return p;
}

const char* SkipDigits(const char* p, const char* last) {
    while (p != last && IsDigit(*p)) ++p;
    return p;
}

// Decimal exponent of the leading digit of [first, last) (digits with an
// optional '.', at least one non-zero digit): "12.5" gives 2, "0.003" gives -2.
int64_t LeadingMagnitude(const char* first, const char* last) {
    int64_t magnitude = 0;
    bool beforePoint = true;
    bool leadingZeros = true;
    for (const char* p = first; p != last && leadingZeros; ++p) {
        if (*p == '.') {
            beforePoint = false;
        } else if (*p != '0') {
            leadingZeros = false;
            if (!beforePoint) --magnitude;
        } else if (!beforePoint) {
            --magnitude;
        }
    }
    if (beforePoint) {
        const char* p = first;
        while (p != last && *p == '0') ++p;
        while (p != last && IsDigit(*p)) { ++p; ++magnitude; }
    }
    return magnitude;
}

// Exponent digits after "e[sign]" as a clamped value (huge exponents stay huge).
int64_t ExponentValue(const char* first, const char* last) {
    bool negative = false;
    if (first != last && (*first == '+' || *first == '-')) negative = *first++ == '-';
    int64_t value = 0;
    for (const char* p = first; p != last && IsDigit(*p); ++p) {
        if (value < 100000000) value = value * 10 + (*p - '0');
    }
    return negative ? -value : value;
}

}  // namespace

IntResult ParseInt32(const char* first, const char* last) {
    const char* p = SkipBlanks(first, last);
    bool negative = false;
    if (p != last && (*p == '+' || *p == '-')) negative = *p++ == '-';
    const char* digits = p;
    // Unsigned accumulation cannot overflow: digits past the 11th only mark the value as too large.
    uint64_t value = 0;
    for (; p != last && IsDigit(*p); ++p) {
        if (value <= 10000000000ULL) value = value * 10 + static_cast<uint64_t>(*p - '0');
    }
    if (p == digits) return {first, false, 0};
    const uint64_t limit = negative ? 2147483648ULL : 2147483647ULL;
    if (value > limit) return {first, false, 0};
    const int64_t signedValue = negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
    return {p, true, static_cast<int32_t>(signedValue)};
}

RealResult ParseReal(const char* first, const char* last) {
    const char* p = SkipBlanks(first, last);
    bool negative = false;
    if (p != last && (*p == '+' || *p == '-')) negative = *p++ == '-';
    const char* mantissa = p;
    p = SkipDigits(p, last);
    bool anyDigit = p != mantissa;
    if (p != last && *p == '.') {
        const char* fraction = p + 1;
        p = SkipDigits(fraction, last);
        anyDigit = anyDigit || p != fraction;
    }
    if (!anyDigit) return {first, false, 0.0};
    const char* mantissaEnd = p;
    // Like strtod, an "e" without digits after it is not part of the number.
    if (p != last && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        if (q != last && (*q == '+' || *q == '-')) ++q;
        if (q != last && IsDigit(*q)) p = SkipDigits(q, last);
    }
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(mantissa, p, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        const int64_t exponent = p == mantissaEnd ? 0 : ExponentValue(mantissaEnd + 1, p);
        if (LeadingMagnitude(mantissa, mantissaEnd) + exponent > 0) return {first, false, 0.0};
        value = 0.0;
    } else if (ec != std::errc() || ptr != p) {
        return {first, false, 0.0};
    }
    if (std::fabs(value) > static_cast<double>(FLT_MAX)) return {first, false, 0.0};
    return {p, true, negative ? -value : value};
}

}  // namespace quorix
