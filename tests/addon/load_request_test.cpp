// The instruction list and the percent done, in process through our host;
// zelhost drives the version gate and the file dialog (tests/e2e).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "addon/load_request.h"
#include "addon/progress_monitor.h"
#include "addon/zel_api.h"
#include "host/zel_host.h"

namespace {

const std::string Cube = std::string(QUORIX_SAMPLES) + "/gold/cube/ascii/cube.case";
const std::string Missing = std::string(QUORIX_SAMPLES) + "/no/such.case";

std::vector<std::string> ErrorTexts() {
    std::vector<std::string> texts;
    for (const auto& m : zelhost::Messages()) {
        if (m.kind == "error") texts.push_back(m.text);
    }
    return texts;
}

class AddOnTest : public ::testing::Test {
protected:
    void SetUp() override { zelhost::ResetHost(); }
    void TearDown() override {
        zelhost::SendStateChange(ZelStateQuit);
        zelhost::ResetHost();
        EXPECT_TRUE(zelhost::LiveAllocations().empty());
    }
};

struct Parsed {
    bool result = false;
    quorix::LoadOptions options;
    std::vector<int32_t> zones, vars;
};

Parsed Parse(const std::vector<std::string>& list) {
    StringList_pa instructions = ZelUtilStringListAlloc();
    for (const auto& s : list) ZelUtilStringListAppendString(instructions, s.c_str());
    Parsed parsed;
    parsed.result = quorix::ParseLoadInstructions(instructions, parsed.options);
    for (int32_t i = 0; parsed.options.ZoneArray && i < parsed.options.ZoneCount; ++i)
        parsed.zones.push_back(parsed.options.ZoneArray[i]);
    for (int32_t i = 0; parsed.options.VarArray && i < parsed.options.VarCount; ++i)
        parsed.vars.push_back(parsed.options.VarArray[i]);
    quorix::ReleaseLoadOptions(parsed.options);
    ZelUtilStringListDealloc(&instructions);
    return parsed;
}

struct InstructionRow {
    const char* name;
    std::vector<std::string> list;
    bool result;
    int32_t zoneCount;
    std::vector<int32_t> zones;
    int32_t varCount;
    std::vector<int32_t> vars;
    std::vector<std::string> errors;
};

TEST_F(AddOnTest, InstructionListRules) {
    const std::string c = Cube;
    const std::vector<InstructionRow> rows = {
        {"only the case file", {"FILENAME_CASEFILE", c}, true, 0, {}, 0, {}, {}},
        {"syntax 1.1 refuses silently", {"STANDARDSYNTAX", "1.1", "FILENAME_CASEFILE", c}, false, 0, {}, 0, {}, {}},
        {"file test runs before the refusal",
         {"FILENAME_CASEFILE", Missing, "STANDARDSYNTAX", "1.1"}, false, 0, {}, 0, {}, {"Invalid file name.", "Case file: " + std::string(Missing)}},
        {"empty file name", {"STANDARDSYNTAX", "1.0", "FILENAME_CASEFILE", ""}, false, 0, {}, 0, {}, {"Invalid file name."}},
        {"keywords in any case", {"zonecount", "2", "Zone", "3", "ZONE", "7", "FILENAME_CASEFILE", c}, true, 2, {3, 7}, 0, {}, {}},
        {"standardsyntax in lower case is no keyword", {"standardsyntax", "9", "FILENAME_CASEFILE", c}, true, 0, {}, 0, {}, {}},
        {"VARCOUNT 0 selects no variable", {"VARCOUNT", "0", "FILENAME_CASEFILE", c}, true, 0, {}, -1, {}, {}},
        {"odd last string is not read", {"FILENAME_CASEFILE", c, "ZONECOUNT"}, true, 0, {}, 0, {}, {}},
        {"ZONE before its count is ignored", {"ZONE", "4", "ZONECOUNT", "1", "ZONE", "5"}, true, 1, {5}, 0, {}, {}},
        {"ZONE beyond the count is ignored", {"ZONECOUNT", "1", "ZONE", "5", "ZONE", "6"}, true, 1, {5}, 0, {}, {}},
        {"second count replaces the first", {"VARCOUNT", "2", "VAR", "1", "VARCOUNT", "1", "VAR", "3"}, true, 0, {}, 1, {3}, {}},
        {"negative count allocates nothing", {"ZONECOUNT", "-3", "ZONE", "1"}, true, -3, {}, 0, {}, {}},
        {"count beyond the pairs left", {"ZONECOUNT", "2147483647", "ZONE", "1"}, true, -1, {}, 0, {}, {}},
        {"fewer entries than the count", {"VARCOUNT", "3", "VAR", "2", "ISkip", "0", "ISkip", "0"}, true, 0, {}, 1, {2}, {}},
        {"count beyond the pairs left ignores its entries", {"VARCOUNT", "3", "VAR", "2"}, true, 0, {}, -1, {}, {}},
        {"count that is not a number", {"ZONECOUNT", "two", "ZONE", "1"}, true, 0, {}, 0, {}, {}},
        {"VARCOUNT not a number while 0", {"VARCOUNT", "x"}, true, 0, {}, -1, {}, {}},
        {"count beyond int32 is no number", {"VARCOUNT", "99999999999"}, true, 0, {}, -1, {}, {}},
        {"ZONE not a number stores 0", {"ZONECOUNT", "1", "ZONE", "abc"}, true, 1, {0}, 0, {}, {}},
        {"%d reads leading digits", {"ZONECOUNT", " +1x", "ZONE", "12abc"}, true, 1, {12}, 0, {}, {}},
        {"skips are accepted", {"ISkip", "2", "JSkip", "x", "KSkip", "", "FILENAME_CASEFILE", c}, true, 0, {}, 0, {}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        zelhost::ResetHost();
        Parsed parsed = Parse(row.list);
        EXPECT_EQ(parsed.result, row.result);
        EXPECT_EQ(parsed.options.ZoneCount, row.zoneCount);
        EXPECT_EQ(parsed.zones, row.zones);
        EXPECT_EQ(parsed.options.VarCount, row.varCount);
        EXPECT_EQ(parsed.vars, row.vars);
        EXPECT_EQ(ErrorTexts(), row.errors);
        EXPECT_TRUE(zelhost::LiveAllocations().empty());
    }
}

struct PercentRow {
    double current, total;
    int32_t percent;
};

TEST(ProgressMonitorTest, PercentIsClamped) {
    const std::vector<PercentRow> rows = {
        {1, 1, 100}, {1, 3, 33}, {2, 3, 66}, {3, 3, 100}, {0, 0, 0}, {5, 0, 0},
        {7, 3, 100}, {-1, 3, 0}, {1, -2, 0}, {1e300, 1e-300, 100},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.current) + "/" + std::to_string(row.total));
        EXPECT_EQ(quorix::ProgressMonitor::Percent(row.current, row.total), row.percent);
    }
}

}  // namespace
