// Values read in slices, and the error report.
#include <gtest/gtest.h>

#include <vector>

#include "gold/ensight_reader.h"
#include "host/zel_host.h"
#include "support/ensight_writer.h"

namespace quorix {
namespace {

using test::Encoding;
using test::EnsightWriter;

class FieldLoading : public ::testing::Test {
protected:
    void TearDown() override { zelhost::ResetHost(); }
};

TEST_F(FieldLoading, AsciiLinesAcrossSlices) {
    // Three values to a line: some line straddles the 2^19-value slice boundary.
    const int64_t n = (int64_t{1} << 19) + 5;
    std::vector<int32_t> values(static_cast<size_t>(n));
    for (int64_t i = 0; i < n; ++i) values[static_cast<size_t>(i)] = static_cast<int32_t>(i % 1000);
    EnsightWriter w(Encoding::Ascii);
    w.Ints(values, 3);
    const std::string path = test::TempPath("slices.txt");
    w.Save(path);
    CFileEnsight reader;
    ASSERT_TRUE(reader.Open(path, true, EncodingAscii, LittleEndian, 0));
    std::vector<int32_t> held;
    ASSERT_TRUE(reader.ReadIntsInSlices(n, [&](const int32_t* slice, int64_t count) {
        held.insert(held.end(), slice, slice + count);
        return true;
    })) << reader.errorText();
    EXPECT_EQ(held, values);
    EXPECT_FALSE(reader.ReadIntsInSlices(int64_t{1} << 40, [](const int32_t*, int64_t) { return true; }));
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
