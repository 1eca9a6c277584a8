// Every case in tests/cases/ loads through `zelhost load --json` and fails
// with exactly the messages of its .expected file, in order, leaving no host
// allocation behind. "{dir}" in an expected line stands for tests/cases, "\n"
// for a line end within a message.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "case_fixture.h"

namespace {

namespace fs = std::filesystem;

fs::path CasesDir() { return fs::path(QUORIX_TESTS_DIR) / "cases"; }

std::vector<std::string> ExpectedMessages(const fs::path& file) {
    std::vector<std::string> lines;
    std::ifstream in(file);
    const std::string dir = CasesDir().string();
    for (std::string line; std::getline(in, line);)
        lines.push_back(casetest::ReplaceAll(casetest::ReplaceAll(line, "{dir}", dir), "\\n", "\n"));
    return lines;
}

std::vector<fs::path> CaseFiles() {
    std::vector<fs::path> cases;
    for (const auto& entry : fs::directory_iterator(CasesDir())) {
        if (entry.path().extension() == ".case") cases.push_back(entry.path());
    }
    std::sort(cases.begin(), cases.end());
    return cases;
}

TEST(CaseMessages, EveryCaseFailsWithItsMessages) {
    const std::vector<fs::path> cases = CaseFiles();
    ASSERT_GE(cases.size(), 40u);
    for (const fs::path& casePath : cases) {
        SCOPED_TRACE(casePath.filename().string());
        const fs::path expectedPath = fs::path(casePath).replace_extension(".expected");
        ASSERT_TRUE(fs::exists(expectedPath));
        const e2e::RunResult run = e2e::LoadCase(casePath.string());
        ASSERT_TRUE(run.report.has_value()) << run.Describe();
        EXPECT_EQ(run.status, 1) << run.Describe();
        EXPECT_FALSE((*run.report)["loaded"].boolean);
        EXPECT_EQ(e2e::Texts(*run.report, "error"), ExpectedMessages(expectedPath));
        e2e::ExpectClean(run);
    }
}

}  // namespace
