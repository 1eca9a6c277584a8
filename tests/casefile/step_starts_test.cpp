// Where the steps of a file-set file begin: "BEGIN TIME STEP" records found in
// ASCII lines and C binary records, and across the slices the file is read in.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "casefile/file_section.h"
#include "casefile/time_step_mark.h"

namespace {

using quorix::FindStepStarts;

std::string Saved(const std::string& bytes) {
    static int counter = 0;
    const auto path = std::filesystem::temp_directory_path() /
                      ("quorix_step_starts_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
}

std::string Record(const std::string& text, char pad = '\0') { return text + std::string(80 - text.size(), pad); }

// The one recogniser every reader asks, Gold and EnSight 6, lines and records.
TEST(StepStarts, MarksInAnyCaseAndSpacing) {
    using namespace std::literals;
    using quorix::TimeStepMark;
    const struct {
        std::string_view line;
        TimeStepMark expected;
    } rows[] = {
        {"BEGIN TIME STEP", TimeStepMark::Begin},   {"  end\ttime  step\r\n", TimeStepMark::End},
        {"begin time step 3", TimeStepMark::Begin}, {"BEGIN TIME STEPS", TimeStepMark::None},
        {"BEGIN TIME", TimeStepMark::None},         {"begin\0time step"sv, TimeStepMark::None},
        {"begun time step", TimeStepMark::None},    {"", TimeStepMark::None},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        EXPECT_EQ(quorix::TimeStepMarkOf(row.line), row.expected);
    }
}

TEST(StepStarts, AsciiLines) {
    const std::string text = "BEGIN TIME STEP\nd\nBEGIN TIME STEPS\n x BEGIN TIME STEP\n"
                             "begin time step  \r\nd\nEND TIME STEP\nBEGIN TIME STEP";
    const std::vector<int64_t> want{0, 54, static_cast<int64_t>(text.size()) - 15};
    EXPECT_EQ(FindStepStarts(Saved(text)), want);
}

TEST(StepStarts, BinaryRecordsAtWordBoundaries) {
    std::string bytes = Record("C Binary") + Record("BEGIN TIME STEP") + Record("d");
    bytes += std::string(2, 'x') + Record("BEGIN TIME STEP") + std::string(2, 'y');  // not at a word
    const int64_t second = static_cast<int64_t>(bytes.size());
    bytes += Record("BEGIN TIME STEP", ' ') + Record("END TIME STEP");
    EXPECT_EQ(FindStepStarts(Saved(bytes)), (std::vector<int64_t>{80, second}));
}

// The file is read a MiB at a time: records on and around that boundary count once.
TEST(StepStarts, AcrossSlices) {
    constexpr int64_t Slice = int64_t{1} << 20;
    for (int64_t at : {Slice - 80, Slice - 8, Slice - 4, Slice, Slice + 4}) {
        SCOPED_TRACE(at);
        std::string bytes(static_cast<size_t>(at), '\x01');
        bytes += Record("BEGIN TIME STEP") + std::string(4096, '\x02') + Record("BEGIN TIME STEP");
        EXPECT_EQ(FindStepStarts(Saved(bytes)), (std::vector<int64_t>{at, at + 80 + 4096}));
    }
}

TEST(StepStarts, MissingFileHasNone) { EXPECT_TRUE(FindStepStarts("/nonexistent/quorix/file").empty()); }

}  // namespace
