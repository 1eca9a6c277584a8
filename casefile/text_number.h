// Locale-independent conversion of decimal text numbers over [first, last).
#pragma once

#include <cstdint>

namespace quorix {

// Accepted: optional blanks (" \t\n\v\f\r"), optional '+' or '-', decimal digits,
// as base-10 strtol reads them; e.g. " +42". Not a number: no digit ("-", "x1"),
// or a value outside int32 ("2147483648"). `end` is just past the last digit.
struct IntResult {
    const char* end = nullptr;
    bool ok = false;
    int32_t value = 0;
};
IntResult ParseInt32(const char* first, const char* last);

// Accepted: optional blanks, optional sign, digits with an optional '.', at least
// one digit, then an exponent only when "e"/"E" [sign] digits follows, as strtod
// reads plain decimals; e.g. "-1.5e-3", "2.", ".5". Not a number: "inf", "nan",
// hexadecimal forms, or a magnitude beyond single precision ("1e39"); values
// too small for a double read as zero. `end` is just past the number.
struct RealResult {
    const char* end = nullptr;
    bool ok = false;
    double value = 0.0;
};
RealResult ParseReal(const char* first, const char* last);

// The blanks strtol and strtod skip, in the C locale.
inline bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace quorix
