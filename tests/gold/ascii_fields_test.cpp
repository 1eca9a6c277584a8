// Fixed-width fields first, whitespace tokens where a line does not split
// cleanly, one token as one number.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "gold/ascii_fields.h"

namespace quorix {
namespace {

struct IntLineCase {
    const char* name;
    std::string line;
    int width;
    std::vector<int32_t> expected;  // empty with `fails`: the line does not convert
    bool fails = false;
};

TEST(AsciiFields, IntLines) {
    const IntLineCase cases[] = {
        {"10 wide right aligned", "         1\n", 10, {1}},
        {"8 wide single value is one token", "       1\n", 10, {1}},
        {"three 10 wide fields", "         1         2         3\n", 10, {1, 2, 3}},
        {"8 wide values in 10 wide fields", "       1       2       3       4\n", 10, {1, 2, 3, 4}},
        {"8 wide reader", "       1       2\n", 8, {1, 2}},
        {"blank field inside is 0", "         1                   3\n", 10, {1, 0, 3}},
        {"left aligned field", "1         2\n", 10, {1, 2}},
        {"negative touching fields", "        -1        -2\n", 10, {-1, -2}},
        {"blank line", "\n", 10, {}},
        {"crlf line end", "        12\r\n", 10, {12}},
        {"trailing blanks are no field", "         7   \n", 10, {7}},
        {"tokens where fields do not convert", "1 2 3 4 5 6 7\n", 10, {1, 2, 3, 4, 5, 6, 7}},
        {"tabs separate tokens", "4\t5\t6\n", 10, {4, 5, 6}},
        {"int32 limits", "2147483647 -2147483648\n", 11, {2147483647, INT32_MIN}},
        {"one token over int32 fails", "9999999999\n", 10, {}, true},
        {"eleven digits fail", "12345678901\n", 10, {}, true},
        {"garbage fails", "abc\n", 10, {}, true},
        {"real in an integer line fails", "1.5 2.5\n", 10, {}, true},
        {"sign alone fails", "  -  \n", 10, {}, true},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        std::vector<int32_t> out(16, -99);
        int64_t n = ConvertIntLine(row.line, row.width, out.data(), 16);
        if (row.fails) {
            EXPECT_EQ(n, -1);
            continue;
        }
        ASSERT_EQ(n, static_cast<int64_t>(row.expected.size()));
        out.resize(static_cast<size_t>(n));
        EXPECT_EQ(out, row.expected);
    }
}

struct RealLineCase {
    const char* name;
    std::string line;
    std::vector<float> expected;
    bool fails = false;
};

TEST(AsciiFields, RealLines) {
    const RealLineCase cases[] = {
        {"one 12 wide", " 1.00000e+00\n", {1.0f}},
        {"negative fields touch", "-1.00000e+00-2.00000e+00\n", {-1.0f, -2.0f}},
        {"three fields", " 1.00000e+00 2.50000e+00-3.00000e-01\n", {1.0f, 2.5f, -0.3f}},
        {"tokens of another width", "   1.000000E+00   2.000000E+00\n", {1.0f, 2.0f}},
        {"plain decimals as tokens", "0.5 1 -2.\n", {0.5f, 1.0f, -2.0f}},
        {"leading plus", "+1.5\n", {1.5f}},
        {"blank line", "   \n", {}},
        {"beyond float range fails", "1e39\n", {}, true},
        {"largest float as round-trip printers write it", "3.4028235e+38 -3.4028235e38\n", {FLT_MAX, -FLT_MAX}},
        {"above what rounds to the largest float fails", "3.4028236e+38\n", {}, true},
        {"letters fail", "1.0x\n", {}, true},
        {"exponent without digits fails", "1.0e \n", {}, true},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        std::vector<float> out(8, -99.0f);
        int64_t n = ConvertRealLine(row.line, out.data(), 8);
        if (row.fails) {
            EXPECT_EQ(n, -1);
            continue;
        }
        ASSERT_EQ(n, static_cast<int64_t>(row.expected.size()));
        for (size_t i = 0; i < row.expected.size(); ++i) EXPECT_FLOAT_EQ(out[i], row.expected[i]);
    }
}

// Each real is rounded once, from its text, to the nearest float: through a
// double, decimals whose nearest double is the midpoint of two floats would
// land one unit off. Exact compares: a unit is what is tested.
TEST(AsciiFields, RealsRoundOnceToFloat) {
    const struct {
        const char* line;
        float expected;
    } cases[] = {
        {"1.0000000596046448\n", 0x1.000002p0f},  // the double 1 + 2^-24 printed to round trip
        {"-1.0000000596046448\n", -0x1.000002p0f},
        {"7.20579505202135e+16\n", 0x1.000052p56f},  // 15 digits, just below a midpoint
        {"16777217\n", 16777216.0f},                  // exactly a midpoint: to even
        {"1e-46\n", 0.0f},                            // below the smallest float
        {"1e-310\n", 0.0f},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.line);
        float out = -99.0f;
        ASSERT_EQ(ConvertRealLine(row.line, &out, 1), 1);
        EXPECT_EQ(out, row.expected);
    }
}

// Writers' lines ("%10d", "%8d", "%12.5e"), some with one byte changed: the
// fast path for plain lines must give what the general rules give, bit for bit.
TEST(AsciiFields, PlainLinesConvertAsTheGeneralRules) {
    std::mt19937 random(7);
    const char changes[] = " -+.eE09\t\rx/:";
    const auto mutate = [&](std::string line) {
        if (random() % 3 == 0) line[random() % line.size()] = changes[random() % (sizeof changes - 1)];
        return line;
    };
    const auto same = [](const auto& fast, const auto& general, int64_t n) {
        return n <= 0 || std::memcmp(fast.data(), general.data(), sizeof(fast[0]) * static_cast<size_t>(n)) == 0;
    };
    char text[64];
    for (int i = 0; i < 20000; ++i) {
        const int width = i % 2 == 0 ? GoldIntWidth : Ensight6IntWidth;
        const int32_t number = static_cast<int32_t>(random()) >> (random() % 32);
        std::snprintf(text, sizeof text, "%*d%*d\n", width, number, width, number / 7);
        const std::string ints = mutate(text);
        std::vector<int32_t> fast(4), general(4);
        const int64_t n = ConvertIntLine(ints, width, fast.data(), 4);
        ASSERT_EQ(n, ConvertIntLineGeneral(ints, width, general.data(), 4)) << ints;
        ASSERT_TRUE(same(fast, general, n)) << ints;

        float bits = 0;
        const uint32_t word = static_cast<uint32_t>(random());
        std::memcpy(&bits, &word, sizeof bits);
        std::snprintf(text, sizeof text, "%12.5e\n", static_cast<double>(bits));
        const std::string reals = mutate(text);
        std::vector<float> fastReals(4), generalReals(4);
        const int64_t m = ConvertRealLine(reals, fastReals.data(), 4);
        ASSERT_EQ(m, ConvertRealLineGeneral(reals, generalReals.data(), 4)) << reals;
        ASSERT_TRUE(same(fastReals, generalReals, m)) << reals;
    }
}

// Runs of writers' lines (LF and CRLF; "%10d" or "%8d" several to a line,
// "%12.5e" one or six to a line), some with one byte changed, and capacities that end
// inside a run: the run readers must convert what they take as the general
// rules convert each line, bit for bit, and take every line of small numbers.
TEST(AsciiFields, PlainRunsConvertAsTheGeneralRules) {
    std::mt19937 random(11);
    const char changes[] = " -+.eE09\t\rx/:";
    char text[64];
    for (int i = 0; i < 3000; ++i) {
        const bool crlf = i % 2 == 1, small = i % 3 == 0;  // small: eight digits at most, nothing changed
        const int width = i % 4 < 2 ? GoldIntWidth : Ensight6IntWidth;
        const int fields = 1 + static_cast<int>(random() % 10);
        const int realFields = i % 5 == 0 ? 6 : 1;
        const int lines = 1 + static_cast<int>(random() % 40);
        const auto change = [&](std::string& line) {
            if (!small && random() % 50 == 0) line[random() % line.size()] = changes[random() % (sizeof changes - 1)];
        };
        std::string ints, reals;
        for (int line = 0; line < lines; ++line) {
            std::string row;
            for (int k = 0; k < fields; ++k) {
                const int32_t number = static_cast<int32_t>(random()) >> (random() % 32);
                std::snprintf(text, sizeof text, "%*d", width, small ? std::abs(number % 10000000) : number);
                row += text;
            }
            std::string real;
            for (int k = 0; k < realFields; ++k) {
                float bits = 0;
                const uint32_t word = static_cast<uint32_t>(random());
                std::memcpy(&bits, &word, sizeof bits);
                std::snprintf(text, sizeof text, "%12.5e", static_cast<double>(bits));
                real += text;
            }
            change(row);
            change(real);
            ints += row + (crlf ? "\r\n" : "\n");
            reals += real + (crlf ? "\r\n" : "\n");
        }
        const int64_t capacity = 1 + static_cast<int64_t>(random() % static_cast<uint32_t>(std::max(fields, realFields) * lines + 8));
        const auto check = [&](const std::string& all, auto run, auto general, auto zero) {
            using T = decltype(zero);
            std::vector<T> fast(static_cast<size_t>(capacity)), slow(static_cast<size_t>(capacity));
            int64_t values = 0;
            const size_t used = run(all, fast.data(), capacity, values);
            ASSERT_LE(used, all.size());
            int64_t counted = 0;
            for (std::string_view rest(all.data(), used); !rest.empty();) {
                const size_t end = rest.find('\n') + 1;
                const int64_t n = general(rest.substr(0, end), slow.data() + counted, capacity - counted);
                ASSERT_GE(n, 0) << all;
                ASSERT_LE(n, capacity - counted) << all;
                counted += n;
                rest.remove_prefix(end);
            }
            ASSERT_EQ(counted, values) << all;
            ASSERT_EQ(std::memcmp(fast.data(), slow.data(), sizeof(T) * static_cast<size_t>(values)), 0) << all;
        };
        check(
            ints,
            [&](std::string_view t, int32_t* out, int64_t c, int64_t& v) { return ConvertPlainIntLines(t, width, out, c, v); },
            [&](std::string_view l, int32_t* out, int64_t c) { return ConvertIntLineGeneral(l, width, out, c); }, int32_t{});
        check(reals, ConvertPlainRealLines, ConvertRealLineGeneral, float{});
        if (small) {
            std::vector<int32_t> out(static_cast<size_t>(capacity));
            int64_t values = 0;
            const int64_t wholeLines = std::min<int64_t>(lines, capacity / fields);
            const size_t lineBytes = static_cast<size_t>(fields * width) + (crlf ? 2 : 1);
            EXPECT_EQ(ConvertPlainIntLines(ints, width, out.data(), capacity, values), lineBytes * static_cast<size_t>(wholeLines));
            EXPECT_EQ(values, wholeLines * fields);
        }
    }
}

TEST(AsciiFields, CountsBeyondCapacityWithoutWriting) {
    int32_t out[2] = {-1, -1};
    EXPECT_EQ(ConvertIntLine("         1         2         3", 10, out, 2), 3);
    EXPECT_EQ(out[1], 2);
    EXPECT_EQ(ConvertIntLine("         1         2         3", 10, nullptr, 0), 3);
}

TEST(AsciiFields, EmptyViewWithoutData) {
    // Found by fuzz_ascii_fields: an empty line whose data pointer is null.
    EXPECT_EQ(ConvertIntLine(std::string_view(), 10, nullptr, 0), 0);
    EXPECT_EQ(ConvertRealLine(std::string_view(), nullptr, 0), 0);
    EXPECT_TRUE(DataPart(std::string_view()).empty());
}

TEST(AsciiFields, ParsersStopAtLast) {
    const char text[] = "12345";
    int32_t value = 0;
    FieldResult result = ParseFixedInt32Field(text, text + 3, value);  // "123", the rest is not its field
    EXPECT_EQ(result.status, FieldStatus::Full);
    EXPECT_EQ(value, 123);
    float real = 0.0f;
    const char reals[] = "-1.00000e+00-2.00000e+00";
    EXPECT_EQ(ParseFixedRealField(reals, reals + 12, real).status, FieldStatus::Full);
    EXPECT_FLOAT_EQ(real, -1.0f);
}

}  // namespace
}  // namespace quorix
