#include "ensight6/text_fields.h"

#include <gtest/gtest.h>

#include <string>

namespace quorix {
namespace {

struct CoordinateRow {
    const char* name;
    const char* line;
    int index;
    bool hasId;
    bool ok;
    float value;
};

TEST(Ensight6TextFields, CoordinateField) {
    const CoordinateRow rows[] = {
        {"id touching a negative x", "       1-1.00000e+00 2.00000e+00 3.00000e+00\n", 0, true, true, -1.0f},
        {"y after the touching id", "       1-1.00000e+00 2.00000e+00 3.00000e+00\n", 1, true, true, 2.0f},
        {"z", "       1-1.00000e+00 2.00000e+00 3.00000e+00", 2, true, true, 3.0f},
        {"without id, touching fields", " 1.00000e+00-2.00000e+00 3.00000e+00\n", 1, false, true, -2.0f},
        {"short line", "       1-1.00000e+00 2.00000e+00\n", 2, true, false, 0.0f},
        {"not a number", "       1 abc 2.00000e+00 3.00000e+00\n", 0, true, false, 0.0f},
        {"empty line", "\n", 0, false, false, 0.0f},
        {"index out of range", " 1.0 2.0 3.0", 3, false, false, 0.0f},
    };
    for (const CoordinateRow& row : rows) {
        SCOPED_TRACE(row.name);
        float value = 0;
        ASSERT_EQ(CoordinateField(row.line, row.index, row.hasId, value), row.ok);
        if (row.ok) {
            EXPECT_EQ(value, row.value);
        }
    }
}

struct ValuesRow {
    const char* name;
    const char* line;
    int maxCount;
    int expected;
    float first;
};

TEST(Ensight6TextFields, FixedWidthValues) {
    const ValuesRow rows[] = {
        {"touching negatives", "-1.00000E+00-2.00000E+00 3.00000E+00\n", 6, 3, -1.0f},
        {"six values", " 1.00000e+00 2.00000e+00 3.00000e+00 4.00000e+00 5.00000e+00 6.00000e+00\n", 6, 6, 1.0f},
        {"blank line", "   \n", 6, 0, 0.0f},
        {"garbage", " 1.00000e+00 x.00000e+00\n", 6, -1, 0.0f},
    };
    for (const ValuesRow& row : rows) {
        SCOPED_TRACE(row.name);
        float values[8] = {};
        ASSERT_EQ(ParseFixedWidthValues(row.line, values, row.maxCount), row.expected);
        if (row.expected > 0) {
            EXPECT_EQ(values[0], row.first);
        }
    }
}

struct IntegerRow {
    const char* name;
    const char* line;
    int count;
    bool ok;
    int32_t first, last;
};

TEST(Ensight6TextFields, IntegerLines) {
    const IntegerRow rows[] = {
        {"separated", "   70000     101     103\n", 3, true, 70000, 103},
        {"8-digit fields touching", "1234567887654321\n", 2, true, 12345678, 87654321},
        {"too few", "       1       2\n", 3, false, 0, 0},
        {"not a number", "       1       x\n", 2, false, 0, 0},
        {"beyond int32", " 99999999999\n", 1, false, 0, 0},
    };
    for (const IntegerRow& row : rows) {
        SCOPED_TRACE(row.name);
        int32_t values[4] = {};
        ASSERT_EQ(ParseIntegerLine(row.line, values, row.count), row.ok);
        if (row.ok) {
            EXPECT_EQ(values[0], row.first);
            EXPECT_EQ(values[row.count - 1], row.last);
        }
    }
}

TEST(Ensight6TextFields, HeaderAndPartLines) {
    EXPECT_EQ(IdOptionFromLine("node id given\n"), IdGiven);
    EXPECT_EQ(IdOptionFromLine("element id IGNORE"), IdIgnore);
    EXPECT_EQ(IdOptionFromLine("node id assign"), IdAssign);
    EXPECT_EQ(IdOptionFromLine("node id"), IdUnknown);
    struct PartRow {
        const char* line;
        bool ok;
        int32_t number;
    };
    const PartRow parts[] = {{"part 12\n", true, 12}, {"PART        0", true, 0}, {"part x", false, 0},
                             {"partial 3", false, 0}, {"", false, 0}};
    for (const PartRow& row : parts) {
        SCOPED_TRACE(row.line);
        int32_t number = -1;
        ASSERT_EQ(ReadPartLine(row.line, number), row.ok);
        if (row.ok) {
            EXPECT_EQ(number, row.number);
        }
    }
}

TEST(Ensight6TextFields, RecordTextStopsAtTheRecordEnd) {
    std::string full(80, 'a');
    EXPECT_EQ(RecordText(full.data(), full.size()), full);  // no terminator: all 80 kept
    std::string padded = std::string("part 1\n", 7) + std::string(73, '\0');
    EXPECT_EQ(RecordText(padded.data(), padded.size()), "part 1");
}

}  // namespace
}  // namespace quorix
