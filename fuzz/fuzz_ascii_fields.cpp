// One data line through the integer and real field converters; the parsers
// must stay inside [first, last), agree with their own counts, and the fast
// path for plain lines must give exactly what the general rules give.
#include <cstdint>
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
    int32_t value = 0;
    float real = 0.0f;
    quorix::FieldResult a = quorix::ParseInt32(text.data(), text.data() + text.size(), value);
    quorix::FieldResult b = quorix::ParseReal(text.data(), text.data() + text.size(), real);
    if (a.ptr > text.data() + text.size() || b.ptr > text.data() + text.size()) __builtin_trap();
    return 0;
}
