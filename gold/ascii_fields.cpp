#include "gold/ascii_fields.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cstddef>
#include <cstring>

namespace quorix {

std::string_view DataPart(std::string_view line) {
    if (line.empty()) return {};  // its data may be null, which memchr must not see
    const char* text = line.data();
    size_t end = line.size();
    if (const void* lineEnd = std::memchr(text, '\n', end)) end = static_cast<size_t>(static_cast<const char*>(lineEnd) - text);
    if (const void* cr = std::memchr(text, '\r', end)) end = static_cast<size_t>(static_cast<const char*>(cr) - text);
    while (end > 0 && IsFieldBlank(text[end - 1])) --end;
    return std::string_view(text, end);
}

namespace {

// Fortran prints an exponent of three digits without its letter: "0.58830-318"
// is 0.58830e-318. Accepted: [sign] digits [. digits] (+|-) digits and nothing
// else, judged then as the same number with its letter; a token of another
// form, or one longer than any such print, is no number (Partial).
FieldStatus FortranExponentReal(const char* first, const char* last, float& value) {
    constexpr std::ptrdiff_t Longest = 40;
    if (last - first > Longest) return FieldStatus::Partial;
    const char* p = first;
    if (p != last && (*p == '+' || *p == '-')) ++p;
    const char* digits = p;
    while (p != last && (IsDigit(*p) || *p == '.')) ++p;
    if (p == digits || p == last || (*p != '+' && *p != '-') || last - p < 2) return FieldStatus::Partial;
    const char* exponent = p;
    for (++p; p != last; ++p) {
        if (!IsDigit(*p)) return FieldStatus::Partial;
    }
    char text[Longest + 1];
    const size_t mantissa = static_cast<size_t>(exponent - first);
    std::memcpy(text, first, mantissa);
    text[mantissa] = 'e';
    std::memcpy(text + mantissa + 1, exponent, static_cast<size_t>(last - exponent));
    return ParseFixedRealField(text, text + (last - first) + 1, value).status;
}

FieldStatus FortranExponentReal(const char*, const char*, int32_t&) { return FieldStatus::Partial; }

template <class T, class Parse>
int64_t Tokens(std::string_view text, T* out, int64_t capacity, Parse parse) {
    const char* p = text.data();
    const char* last = p + text.size();
    int64_t n = 0;
    for (p = SkipFieldBlanks(p, last); p != last; p = SkipFieldBlanks(p, last)) {
        const char* end = p;
        while (end != last && !IsFieldBlank(*end)) ++end;
        T value{};
        FieldStatus status = parse(p, end, value).status;
        if (status == FieldStatus::Partial) status = FortranExponentReal(p, end, value);
        if (status != FieldStatus::Full) return -1;
        if (n < capacity) out[n] = value;
        ++n;
        p = end;
    }
    return n;
}

template <class T, class Parse>
int64_t ConvertLine(std::string_view line, size_t width, T* out, int64_t capacity, Parse parse) {
    std::string_view text = DataPart(line);
    if (text.empty()) return 0;
    const char* first = text.data();
    const char* last = first + text.size();
    const char* token = SkipFieldBlanks(first, last);
    if (std::find_if(token, last, IsFieldBlank) == last) {
        // One token: one number, unless it is several fixed fields that touch.
        T value{};
        FieldResult single = parse(token, last, value);
        if (single.status == FieldStatus::OutOfRange) return -1;
        if (single.status == FieldStatus::Full) {
            if (capacity > 0) out[0] = value;
            return 1;
        }
    }
    int64_t n = 0;
    for (const char* field = first; field < last; field += std::min(width, static_cast<size_t>(last - field))) {
        const char* end = field + std::min(width, static_cast<size_t>(last - field));
        T value{};
        FieldStatus status = parse(field, end, value).status;
        if (status == FieldStatus::OutOfRange) return -1;
        if (status == FieldStatus::Partial) return Tokens(text, out, capacity, parse);
        if (n < capacity) out[n] = value;
        ++n;
    }
    return n;
}

// Plain lines, as writers print them, convert without the general machinery:
// fixed fields of [blanks][sign]digits (integers) or [blanks][sign]digits[.digits]
// [e sign digits] (reals) that fill the line up to its end ("\n" or "\r\n").
// Anything else — touching fields that form one token, trailing blanks, tabs,
// long mantissas, out-of-range values — is left to the general converter, so
// both give the same result on every line. The plain parsers read a number
// from the start of [p, limit) and return where it ends, null when there is none.
constexpr int64_t NotPlain = -2;

bool PlainSign(const char*& p, const char* limit) {
    while (p != limit && *p == ' ') ++p;
    const bool negative = p != limit && *p == '-';
    if (p != limit && (*p == '-' || *p == '+')) ++p;
    return negative;
}

// Eight characters are one little-endian word, the first in the lowest byte;
// `Ones` times a byte repeats that byte in all eight lanes.
constexpr uint64_t Ones = 0x0101010101010101;

// Eight ASCII digits, the first the most significant, as a number. Each step
// merges neighbouring lanes, the lower one holding the higher digits:
// 2561 = 10 * 2^8 + 1 gives 2-digit values in 16-bit lanes, 6553601 =
// 100 * 2^16 + 1 4-digit values in 32-bit lanes, 42949672960001 =
// 10000 * 2^32 + 1 the 8-digit value in the top 32 bits.
[[gnu::always_inline]] inline uint32_t EightDigits(uint64_t w) {
    w &= 0x0F * Ones;
    w = (w * 2561) >> 8 & 0x00FF00FF00FF00FF;
    w = (w * 6553601) >> 16 & 0x0000FFFF0000FFFF;
    return static_cast<uint32_t>((w * 42949672960001) >> 32);
}

// Every byte 0x30..0x39: high nibble 3, and adding 6 carries no low nibble
// above 9 into it.
[[gnu::always_inline]] inline bool AllDigits(uint64_t w) {
    return (w & (0xF0 * Ones)) == 0x30 * Ones && ((w + 6 * Ones) & (0xF0 * Ones)) == 0x30 * Ones;
}

// The usual node or element number: a field of blanks, then up to eight
// digits that end the field. The last eight bytes are read at once: every byte
// a blank (0x20) or a digit, the blanks before the digits, blanks reading as
// zeros. `value` gets the number even when the word does not qualify, so
// that a line of fields needs one branch only.
[[gnu::always_inline]] inline bool RightAlignedWord(uint64_t w, int32_t& value) {
    const uint64_t digitBytes = ((w & (0x10 * Ones)) >> 4) * 0xFF;  // 0xFF in each 0x3X lane
    const uint64_t low = w & (0x0F * Ones);
    const uint64_t blankBytes = ~digitBytes;  // must be the leading (low) bytes: x & (x + 1) == 0
    value = static_cast<int32_t>(EightDigits(low));
    // Each lane 0x2X or 0x3X; a blank lane is 0x20 exactly; a digit lane's low nibble + 6 stays below 0x10.
    return (((w & (0xF0 * Ones)) | (0x10 * Ones)) == 0x30 * Ones) & ((low & ~digitBytes) == 0) &
           (((low + 6 * Ones) & (0x10 * Ones)) == 0) & (digitBytes != 0) & ((blankBytes & (blankBytes + 1)) == 0);
}

[[gnu::always_inline]] inline bool RightAlignedDigits(const char* p, const char* limit, int32_t& value) {
    if constexpr (std::endian::native != std::endian::little) return false;
    if (limit - p < 8) return false;
    for (const char* q = p; q != limit - 8; ++q) {
        if (*q != ' ') return false;
    }
    uint64_t w = 0;
    std::memcpy(&w, limit - 8, sizeof w);
    int32_t number = 0;
    if (!RightAlignedWord(w, number)) return false;
    value = number;
    return true;
}

const char* PlainInt(const char* p, const char* limit, int32_t& value) {
    if (RightAlignedDigits(p, limit, value)) return limit;
    const bool negative = PlainSign(p, limit);
    const char* digits = p;
    uint32_t magnitude = 0;
    while (p != limit && IsDigit(*p)) magnitude = magnitude * 10 + static_cast<uint32_t>(*p++ - '0');
    if (p == digits || p - digits > 9) return nullptr;  // 9 digits cannot overflow
    value = negative ? -static_cast<int32_t>(magnitude) : static_cast<int32_t>(magnitude);
    return p;
}

// A double on the midpoint of two floats may stand for a decimal on either side
// of it, which only the text can tell; below the normal floats the spacing
// changes. Both are left to the general converter.
[[gnu::always_inline]] inline bool FloatRoundingOpen(double number) {
    uint64_t bits = 0;
    std::memcpy(&bits, &number, sizeof bits);
    constexpr uint64_t Dropped = (uint64_t{1} << 29) - 1;  // double fraction bits a float has not
    return (bits & Dropped) == (uint64_t{1} << 28) || (number != 0.0 && number < static_cast<double>(FLT_MIN));
}

// The mantissa (at most 15 digits) and an exact power of ten give the double
// a full decimal conversion would. Returns `end`, or null when the value is
// left to the general converter.
[[gnu::always_inline]] inline const char* ScaledReal(bool negative, uint64_t mantissa, int power, const char* end, float& value) {
    if (power < -MaxExactPowerOfTen || power > MaxExactPowerOfTen) return nullptr;
    // One factor is 1, so the other operation is the single rounding; no branch
    // on the sign of `power` or of the value, which vary from line to line.
    const double number = static_cast<double>(mantissa) * ExactPowersOfTen[power > 0 ? power : 0] /
                          ExactPowersOfTen[power < 0 ? -power : 0];
    if (number > static_cast<double>(FLT_MAX) || FloatRoundingOpen(number)) return nullptr;
    value = std::bit_cast<float>(std::bit_cast<uint32_t>(static_cast<float>(number)) | uint32_t{negative} << 31);
    return end;
}

// The writers' own layout, "%12.5e" ([ |-]d.ddddde[+|-]dd), read at fixed
// positions: the leading digit moved next to the other five, the sign and the
// point read as zeros, and all eight digits converted at once.
[[gnu::always_inline]] inline bool E12Point5(const char* p, const char* limit, bool& negative, uint64_t& mantissa,
                                             int& power) {
    if constexpr (std::endian::native != std::endian::little) return false;
    if (limit - p != RealWidth) return false;
    uint64_t w = 0;
    uint32_t tail = 0;  // "e+dd"
    std::memcpy(&w, p, sizeof w);
    std::memcpy(&tail, p + 8, sizeof tail);
    const unsigned sign = w & 0xFF, point = w >> 16 & 0xFF, e = tail & 0xFF, exponentSign = tail >> 8 & 0xFF;
    const unsigned e1 = (tail >> 16 & 0xFF) - '0', e2 = (tail >> 24) - '0';
    // Bytes 3..7 keep the five digits, byte 1 (the leading digit) moves to byte 2, bytes 0 and 1 become '0'.
    const uint64_t digits = (w & ~uint64_t{0xFFFFFF}) | (w & 0xFF00) << 8 | 0x3030;
    // One branch for the whole layout; 0x20 is the ASCII lower-case bit: 'E' | 0x20 == 'e'.
    const bool layout = ((sign == ' ') | (sign == '-')) & (point == '.') & ((e | 0x20) == 'e') &
                        ((exponentSign == '+') | (exponentSign == '-')) & AllDigits(digits) & (e1 <= 9) & (e2 <= 9);
    if (!layout) return false;
    mantissa = EightDigits(digits);
    const int exponent = static_cast<int>(e1 * 10 + e2);
    const int flip = -static_cast<int>(exponentSign == '-');
    power = ((exponent ^ flip) - flip) - 5;
    negative = sign == '-';
    return true;
}

const char* PlainReal(const char* p, const char* limit, float& value) {
    bool negative = false;
    uint64_t mantissa = 0;
    int power = 0;
    if (E12Point5(p, limit, negative, mantissa, power)) return ScaledReal(negative, mantissa, power, limit, value);
    negative = PlainSign(p, limit);
    int digits = 0, fraction = 0;
    for (; p != limit && IsDigit(*p); ++p, ++digits) mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
    if (p != limit && *p == '.') {
        for (++p; p != limit && IsDigit(*p); ++p, ++digits, ++fraction)
            mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
    }
    if (digits == 0 || digits > 15) return nullptr;
    int exponent = 0;
    if (p != limit && (*p == 'e' || *p == 'E')) {
        const bool negativeExponent = ++p != limit && *p == '-';
        if (p != limit && (*p == '-' || *p == '+')) ++p;
        const char* exponentDigits = p;
        for (; p != limit && IsDigit(*p) && p - exponentDigits < 3; ++p) exponent = exponent * 10 + (*p - '0');
        if (p == exponentDigits || (p != limit && IsDigit(*p))) return nullptr;
        if (negativeExponent) exponent = -exponent;
    }
    return ScaledReal(negative, mantissa, exponent - fraction, p, value);
}

// The line end at `p` ("\n", "\r\n", or "\r" and the end of the text): where
// the next line starts, null when `p` is not at a line end.
const char* AfterLineEnd(const char* p, const char* last) {
    if (p == last) return last;
    if (*p == '\n') return p + 1;
    if (*p == '\r') {
        if (p + 1 == last) return last;
        if (p[1] == '\n') return p + 2;
    }
    return nullptr;
}

// One plain line from `first` (text up to `last`): its values into out[0,
// capacity), their number in `n`; returns where the next line starts, null
// when the line is not plain.
template <class T, class Plain>
const char* PlainLine(const char* first, const char* last, size_t width, T* out, int64_t capacity, int64_t& n,
                      Plain plain) {
    n = 0;
    bool blankAfterFirstField = false;
    for (const char* field = first;; ++n) {
        const char* limit = field + std::min(width, static_cast<size_t>(last - field));
        if (field != first) blankAfterFirstField = blankAfterFirstField || *field == ' ';
        T value{};
        const char* end = plain(field, limit, value);
        if (end == nullptr) return nullptr;
        if (n < capacity) out[n] = value;
        if (const char* next = AfterLineEnd(end, last)) {
            // Touching fields make one token, which the general rules read first.
            return n == 0 || blankAfterFirstField ? (++n, next) : nullptr;
        }
        if (end != limit) return nullptr;
        field = end;
    }
}

template <class T, class Plain>
int64_t PlainLineValues(std::string_view line, size_t width, T* out, int64_t capacity, Plain plain) {
    int64_t n = 0;
    if (line.empty()) return NotPlain;
    return PlainLine(line.data(), line.data() + line.size(), width, out, capacity, n, plain) != nullptr ? n : NotPlain;
}

// Writers print every line of an array alike, so a run of lines shaped like
// the one at `p` (the same number of fixed fields, the same line end) is read
// at a fixed stride, each line with one branch. A run stops at the first line
// that is not so (or whose values would pass `capacity`), leaving it to
// `PlainLine`, and gives every line it takes the result `PlainLine` gives.
// Returns where it stopped.
template <class T, class Fields>
const char* Run(const char* p, const char* last, size_t width, T* out, int64_t capacity, int64_t& values, Fields fields) {
    if constexpr (std::endian::native != std::endian::little) return p;
    constexpr size_t MaxFields = 16;
    const void* hit = std::memchr(p, '\n', std::min(static_cast<size_t>(last - p), MaxFields * width + 2));
    if (hit == nullptr) return p;
    size_t body = static_cast<size_t>(static_cast<const char*>(hit) - p);
    const size_t lineEnd = body > 0 && p[body - 1] == '\r' ? 2 : 1;
    body -= lineEnd - 1;
    const int64_t perLine = static_cast<int64_t>(body / width);
    if (perLine == 0 || body % width != 0) return p;
    const size_t stride = body + lineEnd;
    const int64_t lines = std::min(static_cast<int64_t>(static_cast<size_t>(last - p) / stride), (capacity - values) / perLine);
    for (int64_t i = 0; i < lines; ++i, p += stride) {
        if (p[stride - 1] != '\n' || (lineEnd == 2 && p[body] != '\r') || !fields(p, perLine, out + values)) break;
        values += perLine;
    }
    return p;
}

// Touching fields make one token, which the general rules read first: a
// line of several fields needs a blank at the start of one after the first.
bool BlankAfterFirstField(const char* p, int64_t fields, size_t width) {
    bool blank = fields == 1;
    for (int64_t k = 1; k < fields; ++k) blank |= p[static_cast<size_t>(k) * width] == ' ';
    return blank;
}

// `fields` right-aligned integer fields of `Width` bytes at `p` into out[0, fields).
template <size_t Width>
bool RightAlignedFields(const char* p, int64_t fields, int32_t* out) {
    static_assert(Width >= 8);
    bool plain = true;
    for (int64_t k = 0; k < fields; ++k) {
        const char* field = p + static_cast<size_t>(k) * Width;
        uint64_t w = 0;
        std::memcpy(&w, field + Width - 8, sizeof w);
        plain &= RightAlignedWord(w, out[k]);
        for (size_t lead = 0; lead < Width - 8; ++lead) plain &= field[lead] == ' ';
    }
    return plain && BlankAfterFirstField(p, fields, Width);
}

// `fields` "%12.5e" fields at `p` into out[0, fields). Touching ones need no
// blank: no two such fields read as one number, so the general rules split
// them by width too.
bool E12Point5Fields(const char* p, int64_t fields, float* out) {
    for (int64_t k = 0; k < fields; ++k) {
        const char* field = p + static_cast<size_t>(k) * RealWidth;
        bool negative = false;
        uint64_t mantissa = 0;
        int power = 0;
        if (!E12Point5(field, field + RealWidth, negative, mantissa, power) ||
            ScaledReal(negative, mantissa, power, field, out[k]) == nullptr)
            return false;
    }
    return true;
}

// Lambdas rather than function pointers, so that the line readers are inlined into the runs.
const char* UniformRun(const char* p, const char* last, size_t width, float* out, int64_t capacity, int64_t& values) {
    if (width != static_cast<size_t>(RealWidth)) return p;
    return Run(p, last, width, out, capacity, values, [](const char* line, int64_t n, float* o) { return E12Point5Fields(line, n, o); });
}

const char* UniformRun(const char* p, const char* last, size_t width, int32_t* out, int64_t capacity, int64_t& values) {
    if (width == GoldIntWidth) {
        return Run(p, last, width, out, capacity, values,
                   [](const char* line, int64_t n, int32_t* o) { return RightAlignedFields<GoldIntWidth>(line, n, o); });
    }
    if (width == Ensight6IntWidth) {
        return Run(p, last, width, out, capacity, values,
                   [](const char* line, int64_t n, int32_t* o) { return RightAlignedFields<Ensight6IntWidth>(line, n, o); });
    }
    return p;
}

template <class T, class Plain>
size_t PlainLines(std::string_view text, size_t width, T* out, int64_t capacity, int64_t& values, Plain plain) {
    const char* p = text.data();
    const char* last = p + text.size();
    values = 0;
    while (p != last && values < capacity) {
        p = UniformRun(p, last, width, out, capacity, values);
        if (p == last || values == capacity) break;
        int64_t n = 0;
        const char* next = PlainLine(p, last, width, out + values, capacity - values, n, plain);
        if (next == nullptr || n > capacity - values) break;
        values += n;
        p = next;
    }
    return static_cast<size_t>(p - text.data());
}

}  // namespace

// Function objects, so that the parsers are inlined into the line loops.
struct IntParser {
    FieldResult operator()(const char* first, const char* last, int32_t& value) const {
        return ParseFixedInt32Field(first, last, value);
    }
};
struct RealParser {
    FieldResult operator()(const char* first, const char* last, float& value) const {
        return ParseFixedRealField(first, last, value);
    }
};
struct PlainIntParser {
    const char* operator()(const char* p, const char* limit, int32_t& value) const { return PlainInt(p, limit, value); }
};
struct PlainRealParser {
    const char* operator()(const char* p, const char* limit, float& value) const { return PlainReal(p, limit, value); }
};

int64_t ConvertIntLine(std::string_view line, int width, int32_t* out, int64_t capacity) {
    if (width > 0) {
        const int64_t n = PlainLineValues(line, static_cast<size_t>(width), out, capacity, PlainIntParser{});
        if (n != NotPlain) return n;
    }
    return ConvertIntLineGeneral(line, width, out, capacity);
}

int64_t ConvertRealLine(std::string_view line, float* out, int64_t capacity) {
    const int64_t n = PlainLineValues(line, static_cast<size_t>(RealWidth), out, capacity, PlainRealParser{});
    return n != NotPlain ? n : ConvertRealLineGeneral(line, out, capacity);
}

size_t ConvertPlainIntLines(std::string_view text, int width, int32_t* out, int64_t capacity, int64_t& values) {
    values = 0;
    return width > 0 ? PlainLines(text, static_cast<size_t>(width), out, capacity, values, PlainIntParser{}) : 0;
}

size_t ConvertPlainRealLines(std::string_view text, float* out, int64_t capacity, int64_t& values) {
    return PlainLines(text, static_cast<size_t>(RealWidth), out, capacity, values, PlainRealParser{});
}

size_t ConvertPlainRealColumn(std::string_view text, int perLine, int column, float* out, int64_t capacity,
                              int64_t& values) {
    values = 0;
    if (perLine < 1 || column < 0 || column >= perLine) return 0;
    const size_t body = static_cast<size_t>(perLine) * RealWidth;
    const char* p = text.data();
    const char* last = p + text.size();
    for (const char* next = nullptr;
         values < capacity && static_cast<size_t>(last - p) > body && (next = AfterLineEnd(p + body, last)) != nullptr;
         p = next) {
        bool plain = true;
        // An exponent within +-37 always converts, so the fields passed over need no conversion.
        for (int k = 0; plain && k < perLine; ++k) {
            const char* field = p + static_cast<size_t>(k) * RealWidth;
            bool negative = false;
            uint64_t mantissa = 0;
            int power = 0;
            plain = E12Point5(field, field + RealWidth, negative, mantissa, power) &&
                    (k == column ? ScaledReal(negative, mantissa, power, field, out[values]) != nullptr
                                 : power >= -42 && power <= 32);
        }
        if (!plain) break;
        ++values;
    }
    return static_cast<size_t>(p - text.data());
}

int64_t ConvertIntTokens(std::string_view line, int32_t* out, int64_t capacity) {
    return Tokens(DataPart(line), out, capacity, IntParser{});
}

int64_t ConvertRealTokens(std::string_view line, float* out, int64_t capacity) {
    return Tokens(DataPart(line), out, capacity, RealParser{});
}

int64_t ConvertIntLineGeneral(std::string_view line, int width, int32_t* out, int64_t capacity) {
    return ConvertLine(line, static_cast<size_t>(width), out, capacity, IntParser{});
}

int64_t ConvertRealLineGeneral(std::string_view line, float* out, int64_t capacity) {
    return ConvertLine(line, static_cast<size_t>(RealWidth), out, capacity, RealParser{});
}

}  // namespace quorix
