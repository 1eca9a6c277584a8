#include "casefile/text_number.h"

#include <cfloat>
#include <charconv>
#include <cmath>

namespace quorix {
namespace {

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

// Digits of [p, last) appended to `mantissa` while it stays exact in a double.
const char* AccumulateDigits(const char* p, const char* last, uint64_t& mantissa, int& significant, int& count) {
    for (; p != last && IsDigit(*p); ++p, ++count) {
        if (mantissa == 0 && *p == '0') continue;  // leading zeros carry no precision
        if (++significant <= 15) mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
    }
    return p;
}

// [sign] digits from `p`: where they end (past the sign alone when no digit
// follows) and their value when it fits an int32.
struct SignedDigits {
    const char* end;
    bool digits;
    bool inRange;
    int32_t value;
};

SignedDigits ReadSignedDigits(const char* p, const char* last) {
    bool negative = false;
    if (p != last && (*p == '+' || *p == '-')) negative = *p++ == '-';
    const char* digits = p;
    // Unsigned accumulation cannot overflow: digits past the 11th only mark the value as too large.
    uint64_t magnitude = 0;
    for (; p != last && IsDigit(*p); ++p) {
        if (magnitude <= 10000000000ULL) magnitude = magnitude * 10 + static_cast<uint64_t>(*p - '0');
    }
    const uint64_t limit = negative ? 2147483648ULL : 2147483647ULL;
    if (p == digits || magnitude > limit) return {p, p != digits, false, 0};
    const int64_t value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    return {p, true, true, static_cast<int32_t>(value)};
}

// What follows a number decides whether the field held only that number.
FieldResult FinishField(const char* ptr, const char* last) {
    const char* end = SkipFieldBlanks(ptr, last);
    return {end, end == last ? FieldStatus::Full : FieldStatus::Partial};
}

}  // namespace

IntResult ParseInt32(const char* first, const char* last) {
    const SignedDigits number = ReadSignedDigits(SkipBlanks(first, last), last);
    if (!number.inRange) return {first, false, 0};
    return {number.end, true, number.value};
}

bool ParseInt32Token(std::string_view token, int32_t& value) {
    if (token.empty() || IsBlank(token.front())) return false;
    const char* last = token.data() + token.size();
    const IntResult number = ParseInt32(token.data(), last);
    if (!number.ok || number.end != last) return false;
    value = number.value;
    return true;
}

RealResult ParseReal(const char* first, const char* last) {
    const char* p = SkipBlanks(first, last);
    bool negative = false;
    if (p != last && (*p == '+' || *p == '-')) negative = *p++ == '-';
    const char* mantissa = p;
    uint64_t digits = 0;
    int significant = 0;
    int integerDigits = 0;
    int fractionDigits = 0;
    p = AccumulateDigits(p, last, digits, significant, integerDigits);
    if (p != last && *p == '.') p = AccumulateDigits(p + 1, last, digits, significant, fractionDigits);
    if (integerDigits + fractionDigits == 0) return {first, false, 0.0};
    const char* mantissaEnd = p;
    int64_t exponent = 0;
    // Like strtod, an "e" without digits after it is not part of the number.
    if (p != last && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        if (q != last && (*q == '+' || *q == '-')) ++q;
        if (q != last && IsDigit(*q)) {
            exponent = ExponentValue(p + 1, last);
            p = SkipDigits(q, last);
        }
    }
    // Up to 15 digits and a power of ten up to 22 are both exact in a double,
    // so one multiplication or division rounds correctly (the common case).
    const int64_t power = exponent - fractionDigits;
    if (significant <= 15 && power >= -MaxExactPowerOfTen && power <= MaxExactPowerOfTen) {
        const double value = power < 0 ? static_cast<double>(digits) / ExactPowersOfTen[-power]
                                       : static_cast<double>(digits) * ExactPowersOfTen[power];
        if (value > static_cast<double>(FLT_MAX)) return {first, false, 0.0};
        return {p, true, negative ? -value : value};
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

FieldResult ParseFixedInt32Field(const char* first, const char* last, int32_t& value) {
    value = 0;
    const char* p = SkipFieldBlanks(first, last);
    if (p == last) return {p, FieldStatus::Full};
    const SignedDigits number = ReadSignedDigits(p, last);
    if (!number.digits) return {number.end, FieldStatus::Partial};
    if (!number.inRange) return {number.end, FieldStatus::OutOfRange};
    value = number.value;
    return FinishField(number.end, last);
}

FieldResult ParseFixedRealField(const char* first, const char* last, float& value) {
    value = 0.0f;
    const char* p = SkipFieldBlanks(first, last);
    if (p == last) return {p, FieldStatus::Full};
    // from_chars takes no leading plus.
    if (*p == '+' && last - p > 1 && (IsDigit(p[1]) || p[1] == '.')) ++p;
    // Straight to float: through a double, a decimal the double rounds onto the
    // midpoint of two floats (1.0000000596046448, a double printed to round
    // trip) would be rounded a second time.
    float number = 0.0f;
    auto [ptr, ec] = std::from_chars(p, last, number, std::chars_format::general);
    if (ec == std::errc::invalid_argument) return {p, FieldStatus::Partial};
    if (ec == std::errc::result_out_of_range) {
        // Rounded to zero or to infinity; within a double's range a tiny value reads as zero.
        double wide = 0.0;
        if (std::from_chars(p, last, wide, std::chars_format::general).ec != std::errc{} || std::fabs(wide) >= 1.0)
            return {ptr, FieldStatus::OutOfRange};
        number = static_cast<float>(wide);
    }
    value = number;
    return FinishField(ptr, last);
}

}  // namespace quorix
