// One data line through the integer and real field converters; the parsers
// must stay inside [first, last), agree with their own counts, and the fast
// path for plain lines must give exactly what the general rules give.
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "gold/ascii_fields.h"

namespace {

template <class T, class Convert, class General>
void CheckSame(std::string_view line, Convert convert, General general) {
    std::vector<T> fast(8), slow(8);
    const int64_t n = convert(line, fast.data(), static_cast<int64_t>(fast.size()));
    if (n != general(line, slow.data(), static_cast<int64_t>(slow.size()))) __builtin_trap();
    if (n != convert(line, nullptr, 0)) __builtin_trap();
    if (n > 0 && std::memcmp(fast.data(), slow.data(), sizeof(T) * static_cast<size_t>(n < 8 ? n : 8)) != 0) __builtin_trap();
}

// A run of plain lines converts as the general rules convert each of its lines.
// A capacity below 64 makes runs stop inside the text.
template <class T, class Run, class General>
void CheckRun(std::string_view text, int64_t capacity, Run run, General general) {
    std::vector<T> fast(64), slow(64);
    int64_t values = 0;
    const size_t used = run(text, fast.data(), capacity, values);
    if (used > text.size() || values > capacity) __builtin_trap();
    int64_t counted = 0;
    for (std::string_view rest = text.substr(0, used); !rest.empty();) {
        const size_t end = std::min(rest.find('\n'), rest.size() - 1) + 1;
        const int64_t n = general(rest.substr(0, end), slow.data() + counted, capacity - counted);
        if (n < 0 || n > capacity - counted) __builtin_trap();
        counted += n;
        rest.remove_prefix(end);
    }
    if (counted != values || std::memcmp(fast.data(), slow.data(), sizeof(T) * static_cast<size_t>(values)) != 0)
        __builtin_trap();
}

// Lines taken by the column reader are whole lines the general rules read in
// full, and the column holds what they read there.
void CheckColumn(std::string_view text, int perLine, int column, int64_t capacity) {
    std::vector<float> fast(64), slow(16);
    int64_t values = 0;
    const size_t used = quorix::ConvertPlainRealColumn(text, perLine, column, fast.data(), capacity, values);
    if (used > text.size() || values > capacity) __builtin_trap();
    int64_t line = 0;
    for (std::string_view rest = text.substr(0, used); !rest.empty(); ++line) {
        const size_t end = std::min(rest.find('\n'), rest.size() - 1) + 1;
        if (quorix::ConvertRealLineGeneral(rest.substr(0, end), slow.data(), 16) != perLine ||
            std::memcmp(&slow[static_cast<size_t>(column)], &fast[static_cast<size_t>(line)], sizeof(float)) != 0)
            __builtin_trap();
        rest.remove_prefix(end);
    }
    if (line != values) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096 || size == 0) return 0;
    // Copy into an exact-size block so a read past the end is caught.
    std::vector<char> text(data + 1, data + size);
    std::string_view line(text.data(), text.size());
    const int width = 8 + (data[0] % 5);
    CheckSame<int32_t>(
        line, [&](std::string_view l, int32_t* out, int64_t c) { return quorix::ConvertIntLine(l, width, out, c); },
        [&](std::string_view l, int32_t* out, int64_t c) { return quorix::ConvertIntLineGeneral(l, width, out, c); });
    CheckSame<float>(line, quorix::ConvertRealLine, quorix::ConvertRealLineGeneral);
    const int64_t capacity = 1 + (data[0] / 5) % 64;
    CheckRun<int32_t>(
        line, capacity,
        [&](std::string_view t, int32_t* out, int64_t c, int64_t& v) {
            return quorix::ConvertPlainIntLines(t, width, out, c, v);
        },
        [&](std::string_view l, int32_t* out, int64_t c) { return quorix::ConvertIntLineGeneral(l, width, out, c); });
    CheckRun<float>(line, capacity, quorix::ConvertPlainRealLines, quorix::ConvertRealLineGeneral);
    const int perLine = 1 + data[0] % 6;
    CheckColumn(line, perLine, (data[0] / 6) % perLine, capacity);
    int32_t value = 0;
    float real = 0.0f;
    quorix::FieldResult a = quorix::ParseFixedInt32Field(text.data(), text.data() + text.size(), value);
    quorix::FieldResult b = quorix::ParseFixedRealField(text.data(), text.data() + text.size(), real);
    if (a.ptr > text.data() + text.size() || b.ptr > text.data() + text.size()) __builtin_trap();
    return 0;
}
