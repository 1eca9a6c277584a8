// Where the steps of a file-set file begin: "BEGIN TIME STEP" records (all
// three words) at word boundaries only, and across the slices the file is read in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "casefile/file_section.h"
#include "support/files.h"

namespace {

using quorix::FindStepStarts;

std::string Record(const std::string& text, char pad = '\0') { return text + std::string(80 - text.size(), pad); }

TEST(StepStarts, BinaryRecordsAtWordBoundaries) {
    std::string bytes = Record("C Binary") + Record("BEGIN TIME STEP") + Record("d");
    bytes += std::string(2, 'x') + Record("BEGIN TIME STEP") + std::string(2, 'y');  // not at a word
    const int64_t second = static_cast<int64_t>(bytes.size());
    bytes += Record("BEGIN TIME STEP", ' ') + Record("END TIME STEP") + Record("BEGIN TIME") + Record("BEGIN STEP");
    const quorix::test::TempDir dir;
    EXPECT_EQ(FindStepStarts(dir.Write("steps.bin", bytes)), (std::vector<int64_t>{80, second}));
}

// The file is read a MiB at a time: records on and around that boundary count once.
TEST(StepStarts, AcrossSlices) {
    constexpr int64_t Slice = int64_t{1} << 20;
    const quorix::test::TempDir dir;
    for (int64_t at : {Slice - 80, Slice - 8, Slice - 4, Slice, Slice + 4}) {
        SCOPED_TRACE(at);
        std::string bytes(static_cast<size_t>(at), '\x01');
        bytes += Record("BEGIN TIME STEP") + std::string(4096, '\x02') + Record("BEGIN TIME STEP");
        EXPECT_EQ(FindStepStarts(dir.Write("steps.bin", bytes)), (std::vector<int64_t>{at, at + 80 + 4096}));
    }
}

}  // namespace
