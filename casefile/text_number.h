// Locale-free decimal numbers of text over [first, last): the character classes,
// the exact powers of ten and every integer and real conversion of the add-on.
// Nothing is read at or past `last`.
#pragma once

#include <cstdint>
#include <string_view>

namespace quorix {

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The blanks strtol and strtod skip, in the C locale.
inline bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The blanks of a text line: around its words, at its end and padding a string record.
inline constexpr std::string_view LineBlanks = " \t\r\n";

// The blanks around and between the fields of a data line.
inline bool IsFieldBlank(char c) { return c == ' ' || c == '\t'; }
inline const char* SkipFieldBlanks(const char* p, const char* last) {
    while (p != last && IsFieldBlank(*p)) ++p;
    return p;
}

// 10^0 .. 10^22: every one is exact in a double (5^22 < 2^53), so a mantissa
// below 2^53 times or over one of them rounds once, as a full conversion does.
inline constexpr double ExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
inline constexpr int MaxExactPowerOfTen = 22;

// --- Free text: a number at the start, whatever follows it ---

// Accepted: optional blanks (IsBlank), optional '+' or '-', decimal digits,
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
// hexadecimal forms, a Fortran exponent without its letter ("1.0-05" reads
// 1.0), or a magnitude beyond single precision ("1e39"); values too small for
// a double read as zero. `end` is just past the number.
struct RealResult {
    const char* end = nullptr;
    bool ok = false;
    double value = 0.0;
};
RealResult ParseReal(const char* first, const char* last);

// A whole token as an int32: ParseInt32 with neither blanks before nor
// anything after the digits ("+7", "-3"; not " 7", "12abc", "+-5").
bool ParseInt32Token(std::string_view token, int32_t& value);

// --- Fixed-width fields: the whole field is the number ---

enum class FieldStatus {
    Full,        // the whole range was the number (field blanks around it allowed)
    Partial,     // something other than field blanks follows the number, or no number at all
    OutOfRange,  // a number, but too large for its type
};

struct FieldResult {
    const char* ptr;  // first character not used
    FieldStatus status;
};

// [field blanks] [+|-] digits [field blanks]. An all-blank field is 0 (Full),
// as the fixed field rule wants. "  -12" -> -12; "12a" -> Partial (`value`
// 12); "9999999999" -> OutOfRange (`value` 0).
FieldResult ParseFixedInt32Field(const char* first, const char* last, int32_t& value);
// [field blanks] real [field blanks], decimal with optional fraction and exponent
// ("-1.00000e+00", "2.", ".5E3", "1.0E5"), rounded once to float; "inf" and
// "nan" read too. All blanks -> 0. Beyond float range -> OutOfRange; below it
// -> 0. "1.0-05" -> Partial (`value` 1).
FieldResult ParseFixedRealField(const char* first, const char* last, float& value);

}  // namespace quorix
