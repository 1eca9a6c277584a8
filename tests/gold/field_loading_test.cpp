// Values handed to host fields in slices, their range, and the error report.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "gold/ensight_reader.h"
#include "host/field_data.h"
#include "host/zel_host.h"
#include "support/ensight_writer.h"

namespace quorix {
namespace {

using test::Encoding;
using test::EnsightWriter;

// A fresh host data set with one ordered zone of `n` points; its "IBlank" (int32) and X fields.
class FieldLoading : public ::testing::Test {
protected:
    void MakeZone(int64_t n) {
        zelhost::ResetHost();
        ZelUtilLockStart(nullptr);
        StringList_pa names = ZelUtilStringListAlloc();
        for (const char* name : {"X", "Y", "Z", "IBlank"}) ZelUtilStringListAppendString(names, name);
        ASSERT_TRUE(ZelUtilDataSetCreate("fields", names, ZEL_TRUE));
        ZelUtilStringListDealloc(&names);
        ArgList_pa args = ZelUtilArgListAlloc();
        const int32_t types[4] = {1, 1, 1, 3};
        ZelUtilArgListAppendString(args, "NAME", "zone");
        ZelUtilArgListAppendInt(args, "ZONETYPE", 0);
        ZelUtilArgListAppendInt(args, "IMAX", n);
        ZelUtilArgListAppendInt(args, "JMAX", 1);
        ZelUtilArgListAppendInt(args, "KMAX", 1);
        ZelUtilArgListAppendArray(args, "VARDATATYPE", types);
        ASSERT_TRUE(ZelUtilDataSetAddZoneX(args));
        ZelUtilArgListDealloc(&args);
        iblank_ = ZelUtilDataValueGetWritableRef(1, 4);
        x_ = ZelUtilDataValueGetWritableRef(1, 1);
        ZelUtilLockFinish(nullptr);
        ASSERT_NE(iblank_, nullptr);
        ASSERT_NE(x_, nullptr);
    }
    void TearDown() override { zelhost::ResetHost(); }

    void OpenOn(CFileEnsight& reader, const EnsightWriter& w) {
        std::string path = test::TempPath("field.bin");
        w.Save(path);
        ASSERT_TRUE(reader.Open(path, true, w.binary() ? EncodingCBinary : EncodingAscii,
                                w.encoding() == Encoding::BinaryBE ? BigEndian : LittleEndian, 0));
    }

    FieldData_pa iblank_ = nullptr;
    FieldData_pa x_ = nullptr;
};

TEST_F(FieldLoading, IntegersWithTheirRange) {
    struct Row {
        const char* name;
        std::vector<int32_t> values;
    };
    const Row rows[] = {
        {"small", {3, -1, 7}},
        {"int32 limits", {INT32_MAX, INT32_MIN, 0}},
        {"one value", {5}},
    };
    for (const auto& row : rows) {
        for (Encoding e : test::AllEncodings) {
            SCOPED_TRACE(std::string(row.name) + " " + test::EncodingName(e));
            MakeZone(static_cast<int64_t>(row.values.size()));
            EnsightWriter w(e);
            w.Ints(row.values);
            CFileEnsight reader;
            OpenOn(reader, w);
            ASSERT_TRUE(reader.ReadIntsToField(iblank_, static_cast<int64_t>(row.values.size())))
                << reader.errorText();
            std::vector<double> expected(row.values.begin(), row.values.end());
            EXPECT_EQ(zelhost::FieldValues(1, 4), expected);
            ASSERT_TRUE(iblank_->hasMinMax);
            EXPECT_EQ(iblank_->minValue, *std::min_element(expected.begin(), expected.end()));
            EXPECT_EQ(iblank_->maxValue, *std::max_element(expected.begin(), expected.end()));
            EXPECT_TRUE(zelhost::Faults().empty());
        }
    }
}

TEST_F(FieldLoading, AsciiLinesAcrossSlices) {
    // Three values to a line: some line straddles the 2^20-value slice boundary.
    const int64_t n = (int64_t{1} << 20) + 5;
    MakeZone(n);
    std::vector<float> values(static_cast<size_t>(n));
    for (int64_t i = 0; i < n; ++i) values[static_cast<size_t>(i)] = static_cast<float>(i % 1000);
    EnsightWriter w(Encoding::Ascii);
    w.Floats(values, 3);
    CFileEnsight reader;
    OpenOn(reader, w);
    ASSERT_TRUE(reader.ReadFloatsToField(x_, n)) << reader.errorText();
    std::vector<double> held = zelhost::FieldValues(1, 1);
    ASSERT_EQ(static_cast<int64_t>(held.size()), n);
    for (int64_t i : {int64_t{0}, (int64_t{1} << 20) - 1, int64_t{1} << 20, n - 1}) {
        EXPECT_EQ(held[static_cast<size_t>(i)], static_cast<double>(i % 1000));
    }
}

TEST_F(FieldLoading, CountBeyondTheFileIsRefused) {
    MakeZone(4);
    for (Encoding e : test::AllEncodings) {
        SCOPED_TRACE(test::EncodingName(e));
        EnsightWriter w(e);
        w.Ints({1, 2});
        CFileEnsight reader;
        OpenOn(reader, w);
        EXPECT_FALSE(reader.ReadIntsToField(iblank_, int64_t{1} << 40));
        EXPECT_FALSE(reader.ReadIntsToField(iblank_, -1));
        EXPECT_FALSE(reader.errorText().empty());
    }
}

// Batch mode shows no dialog, but the same text reaches the host's log.
TEST_F(FieldLoading, ErrorReportInEveryMode) {
    for (bool batch : {false, true}) {
        SCOPED_TRACE(batch);
        zelhost::ResetHost();
        zelhost::Settings settings;
        settings.batchMode = batch;
        zelhost::Configure(settings);
        CFileEnsight reader;
        EXPECT_FALSE(reader.Open("/nonexistent/data.geo", true, EncodingAscii, LittleEndian, 0));
        reader.ReportError();
        auto messages = zelhost::Messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].kind, "error");
        EXPECT_EQ(messages[0].text, "Error when reading file /nonexistent/data.geo\nUnable to open file for reading");
        EXPECT_EQ(messages[0].dialog, !batch);
    }
}

}  // namespace
}  // namespace quorix
