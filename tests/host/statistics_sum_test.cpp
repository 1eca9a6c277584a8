// The report's statistics: whole blocks go by lanes, which must agree with one value at a time.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <vector>

#include "host/statistics_sum.h"

namespace {

// Whole blocks of floats go by lanes: each row must give what the values one
// by one give, bit for bit (zero signs, means rounded along the way included).
TEST(StatisticsSum, FloatsByLanesMatchValueByValue) {
    struct Row {
        const char* name;
        float (*value)(int64_t i);
    };
    const Row rows[] = {
        {"eighths: every sum exact", [](int64_t i) { return static_cast<float>(i % 64 - 32) * 0.125f; }},
        {"full significands", [](int64_t i) { return 1.0f / static_cast<float>(i % 7 + 1) + i; }},
        {"low bits lost in order", [](int64_t i) { return i % 2 ? 2048.0f : std::ldexp(1.0f + i % 5 * 0.25f, -29); }},
        {"-0 first, +0 in an earlier lane", [](int64_t i) { return i == 3 ? -0.0f : i == 4 ? 0.0f : 1.0f; }},
        {"+0 first as the max", [](int64_t i) { return i == 7 ? 0.0f : i == 8 ? -0.0f : -1.0f; }},
        {"NaN and infinities", [](int64_t i) { return i % 97 == 0 ? NAN : i == 3000 ? -INFINITY : 0.5f * i; }},
        {"subnormals and huge", [](int64_t i) { return std::ldexp(1.0f + i % 3, static_cast<int>(i % 270) - 148); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<float> values(5003);  // blocks and a tail
        for (size_t i = 0; i < values.size(); ++i) values[i] = row.value(static_cast<int64_t>(i));
        zelhost::StatisticsSum lanes, one;
        lanes.AddFloats(values.data(), static_cast<int64_t>(values.size()));
        for (float value : values) one.Add(value);
        const zelhost::Statistics got = lanes.Result(), want = one.Result();
        EXPECT_EQ(got.count, want.count);
        EXPECT_EQ(got.finite, want.finite);
        for (auto field : {&zelhost::Statistics::min, &zelhost::Statistics::max, &zelhost::Statistics::mean}) {
            EXPECT_EQ(std::bit_cast<uint64_t>(got.*field), std::bit_cast<uint64_t>(want.*field));
        }
    }
}

}  // namespace
