// One data line through the integer and real field converters; the parsers
// must stay inside [first, last) and agree with their own counts.
#include <cstdint>
#include <string_view>
#include <vector>

#include "gold/ascii_fields.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096 || size == 0) return 0;
    // Copy into an exact-size block so a read past the end is caught.
    std::vector<char> text(data + 1, data + size);
    std::string_view line(text.data(), text.size());
    int width = 8 + (data[0] % 5);
    std::vector<int32_t> ints(8);
    std::vector<float> reals(8);
    int64_t nInts = quorix::ConvertIntLine(line, width, ints.data(), static_cast<int64_t>(ints.size()));
    int64_t nReals = quorix::ConvertRealLine(line, reals.data(), static_cast<int64_t>(reals.size()));
    if (nInts != quorix::ConvertIntLine(line, width, nullptr, 0)) __builtin_trap();
    if (nReals != quorix::ConvertRealLine(line, nullptr, 0)) __builtin_trap();
    int32_t value = 0;
    float real = 0.0f;
    quorix::FieldResult a = quorix::ParseInt32(text.data(), text.data() + text.size(), value);
    quorix::FieldResult b = quorix::ParseReal(text.data(), text.data() + text.size(), real);
    if (a.ptr > text.data() + text.size() || b.ptr > text.data() + text.size()) __builtin_trap();
    return 0;
}
