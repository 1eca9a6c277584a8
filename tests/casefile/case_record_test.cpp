// Set lookups, file numbers of steps, and the release of partial records.

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "casefile/case_parser.h"
#include "casefile/case_record.h"
#include "host/zel_host.h"

namespace {

using namespace quorix;
namespace fs = std::filesystem;

// A sequence of time sets written with these numbers; released with the object.
struct TimeSetChain {
    TimeSectionInfo* last = nullptr;
    explicit TimeSetChain(std::initializer_list<int32_t> numbers) {
        for (int32_t number : numbers) {
            TimeSectionInfo* set = HostNew<TimeSectionInfo>("Time section info");
            set->number = number;
            set->previous = last;
            if (last != nullptr) last->next = set;
            last = set;
        }
    }
    ~TimeSetChain() { ReleaseTimeSets(last); }
};

TEST(CaseRecord, FindTimeSetByNumberThenPosition) {
    struct Row {
        const char* name;
        std::initializer_list<int32_t> written;
        int32_t n;
        int32_t found;  // number of the set found, -1 for none
    };
    const Row rows[] = {
        {"written 2 then 1, asking 1", {2, 1}, 1, 1},  {"written 2 then 1, asking 2", {2, 1}, 2, 2},
        {"5 and 7, asking 5", {5, 7}, 5, 5},           {"5 and 7, asking 2 by position", {5, 7}, 2, 7},
        {"5 and 7, asking 3", {5, 7}, 3, -1},          {"n = 0", {1}, 0, -1},
        {"negative n", {1}, -1, -1},                   {"no sets", {}, 1, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TimeSetChain chain(row.written);
        const TimeSectionInfo* set = FindTimeSet(chain.last, row.n);
        EXPECT_EQ(set != nullptr ? set->number : -1, row.found);
    }
}

TEST(CaseRecord, FileNumberForStep) {
    TimeSetChain chain({1});
    TimeSectionInfo& set = *chain.last;
    FileSectionInfo files;
    files.filenameIndex = 9;
    set.numberOfSteps = 3;
    EXPECT_EQ(FileNumberForStep(nullptr, &files, 1), 0);  // rule 1
    EXPECT_EQ(FileNumberForStep(&set, nullptr, 1), 0);    // rule 5
    EXPECT_EQ(FileNumberForStep(&set, &files, 1), 9);     // rule 4
    set.filenameStartNumberGiven = true;                  // start 0, no increment: counts by one
    EXPECT_EQ(FileNumberForStep(&set, &files, 2), 2);
    set.filenameStartNumber = 2147483640;
    set.filenameIncrement = 5;
    set.filenameIncrementGiven = true;
    EXPECT_EQ(FileNumberForStep(&set, &files, 1), 2147483645);  // rule 3
    EXPECT_EQ(FileNumberForStep(&set, &files, 2), 0);           // would overflow: never UB
    for (int32_t number : {4, 8, 15}) set.filenameNumbers.Append(number, "Filename numbers");
    EXPECT_EQ(FileNumberForStep(&set, &files, 2), 15);  // rule 2
    EXPECT_EQ(FileNumberForStep(&set, &files, 3), 0);   // outside the list
    EXPECT_EQ(FileNumberForStep(&set, &files, -1), 0);
    float time = -1.0f;
    EXPECT_FALSE(TimeValueForStep(&set, 0, time));
    set.timeValues.Append(0.5f, "Time values");
    EXPECT_TRUE(TimeValueForStep(&set, 0, time));
    EXPECT_EQ(time, 0.5f);
    EXPECT_FALSE(TimeValueForStep(&set, 1, time));
    EXPECT_FALSE(TimeValueForStep(nullptr, 0, time));
}

class ParsedCase : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "quorix_parse_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        Release();
        std::error_code error;
        fs::remove_all(dir_, error);
    }
    std::string Write(const std::string& name, const std::string& text) {
        std::ofstream(dir_ / name, std::ios::binary) << text;
        return (dir_ / name).string();
    }
    bool Parse(const std::string& path) {
        return ParseCaseFile(path.c_str(), isEnsight6_, geometry_, variables_, timeSets_, fileSets_);
    }
    void Release() {
        ReleaseVariableSectionInfo(variables_);
        ReleaseTimeSets(timeSets_);
        ReleaseFileSets(fileSets_);
        geometry_ = GeometrySectionInfo();
    }
    static int64_t LiveBlocks() {
        int64_t count = 0;
        for (const auto& [label, live] : zelhost::LiveAllocations()) count += live.count;
        return count;
    }

    fs::path dir_;
    bool isEnsight6_ = true;
    GeometrySectionInfo geometry_;
    VariableSectionInfo* variables_ = nullptr;
    TimeSectionInfo* timeSets_ = nullptr;
    FileSectionInfo* fileSets_ = nullptr;
};

// Every prefix of a case using every kind of record, and every prefix with a
// bad line after it, parses or fails and releases to an empty ledger.
TEST_F(ParsedCase, EveryPartialRecordIsReleased) {
    const std::vector<std::string> lines = {
        "FORMAT", "type: ensight gold", "GEOMETRY", "model: 1 1 geo*", "measured: 1 m*",
        "VARIABLE", "constant per case: 1 Mach 0.5", "constant per case file: 1 D d.txt",
        "scalar per node: 1 1 p p*", "complex vector per element: 1 c cr* ci* 10",
        "VARIABLE", "vector per node: 1 v v*", "TIME", "time set: 1 run one", "number of steps: 3",
        "filename start number: 0", "time values: 0", "1", "time values file: t.txt",
        "filename numbers: 1 2", "filename numbers file: n.txt", "FILE", "file set: 1",
        "filename index: 2", "number of steps: 1",
    };
    Write("t.txt", "2\n");
    Write("n.txt", "3\n");
    const int64_t before = LiveBlocks();
    std::string text;
    for (size_t n = 0; n <= lines.size(); ++n) {
        for (const char* bad : {"", "bogus line here\n"}) {
            SCOPED_TRACE(std::to_string(n) + (bad[0] != '\0' ? " + bad line" : ""));
            Parse(Write("c.case", text + bad));
            Release();
            EXPECT_EQ(LiveBlocks(), before);
        }
        if (n < lines.size()) text += lines[n] + "\n";
    }
    ASSERT_TRUE(Parse(Write("c.case", text)));
    EXPECT_EQ(timeSets_->timeValues.size(), 3);
    EXPECT_EQ(timeSets_->filenameNumbers[2], 3);
}

// A step count read from the file bounds the arrays; the values read size them.
TEST_F(ParsedCase, HugeStepCountAllocatesForTheValuesOnly) {
    const std::string path = Write("c.case", "FORMAT\ntype: ensight gold\nTIME\ntime set: 1\n"
                                             "number of steps: 2147483647\ntime values: 0 1 2\n");
    EXPECT_FALSE(Parse(path));
    ASSERT_NE(timeSets_, nullptr);
    EXPECT_EQ(timeSets_->timeValues.size(), 3);
    EXPECT_LE(timeSets_->timeValues.capacity(), 16);
}

TEST_F(ParsedCase, ArraysNeverExceedTheStepCount) {
    const std::string path = Write("c.case", "FORMAT\ntype: ensight gold\nTIME\ntime set: 1\n"
                                             "number of steps: 20\ntime values: 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n"
                                             "17 18 19 20 21\n");
    EXPECT_TRUE(Parse(path));
    EXPECT_EQ(timeSets_->timeValues.size(), 20);
    EXPECT_EQ(timeSets_->timeValues.capacity(), 20);
}

TEST_F(ParsedCase, FewerStepsAfterValuesKeepsTheCount) {
    const std::string path = Write("c.case", "FORMAT\ntype: ensight gold\nTIME\ntime set: 1\n"
                                             "number of steps: 3\ntime values: 0 1 2\nnumber of steps: 2\n");
    EXPECT_TRUE(Parse(path));
    EXPECT_EQ(timeSets_->timeValues.size(), 2);
    EXPECT_EQ(timeSets_->timeValuesRead, 2);
}

TEST_F(ParsedCase, EmbeddedNulEndsTheLine) {
    const std::string path = Write("c.case", std::string("FORMAT\ntype: ensight gold\0 junk\nGEOMETRY\nmodel: g\0eo\n", 49));
    EXPECT_TRUE(Parse(path));
    EXPECT_FALSE(isEnsight6_);
    EXPECT_EQ(geometry_.modelFileName, "g");
}

}  // namespace
