#include "gold/ascii_fields.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>

namespace quorix {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

const char* SkipBlanks(const char* first, const char* last) {
    while (first != last && IsBlank(*first)) ++first;
    return first;
}

// What follows a number decides whether the field held only that number.
FieldResult Finish(const char* ptr, const char* last) {
    const char* end = SkipBlanks(ptr, last);
    return {end, end == last ? FieldStatus::Full : FieldStatus::Partial};
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

FieldResult ParseInt32(const char* first, const char* last, int32_t& value) {
    value = 0;
    const char* p = SkipBlanks(first, last);
    if (p == last) return {p, FieldStatus::Full};
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    // Unsigned accumulation cannot overflow before the saturation test stops it.
    uint64_t magnitude = 0;
    const char* digits = p;
    while (p != last && IsDigit(*p)) {
        if (magnitude <= UINT64_C(0xFFFFFFFF)) magnitude = magnitude * 10 + static_cast<uint64_t>(*p - '0');
        ++p;
    }
    if (p == digits) return {p, FieldStatus::Partial};
    uint64_t limit = negative ? UINT64_C(2147483648) : UINT64_C(2147483647);
    if (magnitude > limit) return {p, FieldStatus::OutOfRange};
    value = negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude)) : static_cast<int32_t>(magnitude);
    return Finish(p, last);
}

FieldResult ParseReal(const char* first, const char* last, float& value) {
    value = 0.0f;
    const char* p = SkipBlanks(first, last);
    if (p == last) return {p, FieldStatus::Full};
    // from_chars takes no leading plus.
    if (*p == '+' && last - p > 1 && (IsDigit(p[1]) || p[1] == '.')) ++p;
    double number = 0.0;
    auto [ptr, ec] = std::from_chars(p, last, number, std::chars_format::general);
    if (ec == std::errc::invalid_argument) return {p, FieldStatus::Partial};
    if (ec == std::errc::result_out_of_range) return {ptr, FieldStatus::OutOfRange};
    if (std::isfinite(number) && std::fabs(number) > static_cast<double>(FLT_MAX)) return {ptr, FieldStatus::OutOfRange};
    value = static_cast<float>(number);
    return Finish(ptr, last);
}

std::string_view DataPart(std::string_view line) {
    if (line.empty()) return {};  // its data may be null, which memchr must not see
    const char* text = line.data();
    size_t end = line.size();
    if (const void* lineEnd = std::memchr(text, '\n', end)) end = static_cast<size_t>(static_cast<const char*>(lineEnd) - text);
    if (const void* cr = std::memchr(text, '\r', end)) end = static_cast<size_t>(static_cast<const char*>(cr) - text);
    while (end > 0 && IsBlank(text[end - 1])) --end;
    return std::string_view(text, end);
}

namespace {

template <class T, class Parse>
int64_t Tokens(std::string_view text, T* out, int64_t capacity, Parse parse) {
    const char* p = text.data();
    const char* last = p + text.size();
    int64_t n = 0;
    for (p = SkipBlanks(p, last); p != last; p = SkipBlanks(p, last)) {
        const char* end = p;
        while (end != last && !IsBlank(*end)) ++end;
        T value{};
        if (parse(p, end, value).status != FieldStatus::Full) return -1;
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
    const char* token = SkipBlanks(first, last);
    if (std::find_if(token, last, IsBlank) == last) {
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

}  // namespace

// Function objects, so that the parsers are inlined into the line loops.
struct IntParser {
    FieldResult operator()(const char* first, const char* last, int32_t& value) const {
        return ParseInt32(first, last, value);
    }
};
struct RealParser {
    FieldResult operator()(const char* first, const char* last, float& value) const {
        return ParseReal(first, last, value);
    }
};

int64_t ConvertIntLine(std::string_view line, int width, int32_t* out, int64_t capacity) {
    return ConvertLine(line, static_cast<size_t>(width), out, capacity, IntParser{});
}

int64_t ConvertRealLine(std::string_view line, float* out, int64_t capacity) {
    return ConvertLine(line, static_cast<size_t>(RealWidth), out, capacity, RealParser{});
}

}  // namespace quorix
