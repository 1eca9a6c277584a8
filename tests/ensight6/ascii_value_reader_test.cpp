// Runs of plain lines must give what the line rules give, line by line: the
// values bit for bit, success or failure, the line reached and the position.
#include "ensight6/ascii_value_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ensight6/text_fields.h"
#include "support/ensight_writer.h"

namespace quorix {
namespace {

struct Outcome {
    bool ok = false;
    std::vector<uint32_t> bits;  // values as read, bit for bit
    int64_t position = 0;        // after the last line read, the failing one included
};

// The line rules alone: each line holds min(perLine, left) values.
template <class T>
Outcome ByLines(const std::string& text, int64_t count, int perLine) {
    Outcome out;
    std::vector<T> values(static_cast<size_t>(count));
    size_t at = 0;
    int64_t done = 0;
    out.ok = true;
    while (done < count) {
        if (at == text.size()) {
            out.ok = false;
            break;
        }
        const size_t end = std::min(text.find('\n', at), text.size() - 1);  // a last line may lack its end
        const std::string_view line(text.data() + at, end + 1 - at);
        at = end + 1;
        const int want = static_cast<int>(std::min<int64_t>(perLine, count - done));
        bool parsed = false;
        if constexpr (std::is_same_v<T, float>) {
            parsed = ParseFixedWidthValues(line, values.data() + done, want) == want;
        } else {
            parsed = ParseIntegerLine(line, values.data() + done, want);
        }
        if (!parsed) {
            out.ok = false;
            break;
        }
        done += want;
    }
    if (out.ok) {
        for (const T& v : values) {
            uint32_t b;
            std::memcpy(&b, &v, 4);
            out.bits.push_back(b);
        }
    }
    out.position = static_cast<int64_t>(at);
    return out;
}

template <class T>
Outcome ByReader(const std::string& text, int64_t count, int perLine) {
    const std::string path = test::TempPath("values.txt");
    std::ofstream(path, std::ios::binary) << text;
    File_a* file = File_a::Open(path, "rb", NativeByteOrder());
    EXPECT_NE(file, nullptr);
    Outcome out;
    if (file == nullptr) return out;
    AsciiValueReader reader(*file);
    std::vector<T> values(static_cast<size_t>(count));
    if constexpr (std::is_same_v<T, float>) {
        out.ok = reader.ReadValues(values.data(), count, perLine);
    } else {
        out.ok = reader.ReadIntegers(values.data(), count, perLine);
    }
    if (out.ok) {
        for (const T& v : values) {
            uint32_t b;
            std::memcpy(&b, &v, 4);
            out.bits.push_back(b);
        }
    }
    out.position = file->Tell();
    File_a::Close(file);
    return out;
}

std::string Reals(int64_t count, int perLine, const char* eol = "\n", int64_t from = 0) {
    std::ostringstream s;
    char field[32];
    for (int64_t i = 0; i < count; ++i) {
        std::snprintf(field, sizeof field, "%12.5e", (from + i) * -1.37e-3 + (i % 7) * 4.1e2);
        s << field;
        if ((i + 1) % perLine == 0 || i + 1 == count) s << eol;
    }
    return s.str();
}

std::string Ints(int64_t count, int perLine, int64_t base) {
    std::ostringstream s;
    char field[32];
    for (int64_t i = 0; i < count; ++i) {
        std::snprintf(field, sizeof field, "%8lld", static_cast<long long>(base + i * 7919 % 100000));
        s << field;
        if ((i + 1) % perLine == 0 || i + 1 == count) s << "\n";
    }
    return s.str();
}

struct Layout {
    const char* name;
    std::string text;
    int64_t count;
    int perLine;
};

template <class T, size_t N>
void ExpectTheLineRules(const Layout (&layouts)[N]) {
    for (const Layout& l : layouts) {
        const Outcome expected = ByLines<T>(l.text, l.count, l.perLine);
        const Outcome got = ByReader<T>(l.text, l.count, l.perLine);
        EXPECT_EQ(got.ok, expected.ok) << l.name;
        EXPECT_EQ(got.bits, expected.bits) << l.name;
        EXPECT_EQ(got.position, expected.position) << l.name;
    }
}

TEST(AsciiValueReader, RealRunsReadAsTheLineRules) {
    const std::string next = "part 2\n";
    const Layout layouts[] = {
        {"six to a line, a short last line", Reals(13, 6) + next, 13, 6},
        {"CRLF", Reals(13, 6, "\r\n") + next, 13, 6},
        {"whole lines only", Reals(60000, 6) + next, 60000, 6},
        {"three to a line (coordinates)", Reals(9000, 3) + next, 9000, 3},
        {"a blank-separated line between runs",
         Reals(12, 6) + "1.0 2.0 3.0 4.0 5.0 6.0\n" + Reals(12, 6, "\n", 20) + next, 30, 6},
        {"a line one value short", Reals(12, 6) + Reals(5, 5) + Reals(6, 6), 23, 6},
        {"a line one value long", Reals(12, 6) + Reals(7, 7) + Reals(6, 6), 25, 6},
        {"CRLF after LF", Reals(12, 6) + Reals(12, 6, "\r\n"), 24, 6},
        {"a bad field", Reals(12, 6) + "-1.00000e+00 2.0000xe+00\n", 14, 6},
        {"the file ends early", Reals(12, 6), 18, 6},
        {"no line end at the file's end", Reals(12, 6) + "-1.00000e+00", 13, 6},
    };
    ExpectTheLineRules<float>(layouts);
}

TEST(AsciiValueReader, IntegerRunsReadAsTheLineRules) {
    const Layout layouts[] = {
        {"ten to a line", Ints(95, 10, 1), 95, 10},
        {"eight-digit numbers touching", Ints(40, 10, 12345678), 40, 10},
        {"eight to a line (connectivity)", Ints(8 * 5000, 8, 1) + "part 2\n", 8 * 5000, 8},
        {"a blank-separated line between runs", Ints(20, 10, 1) + "1 2 3 4 5 6 7 8 9 10\n" + Ints(10, 10, 5), 40, 10},
        {"a line one value short", Ints(20, 10, 1) + Ints(9, 9, 1) + Ints(10, 10, 1), 39, 10},
        {"a bad field", Ints(10, 10, 1) + "       1      2x\n", 12, 10},
    };
    ExpectTheLineRules<int32_t>(layouts);
}

}  // namespace
}  // namespace quorix
