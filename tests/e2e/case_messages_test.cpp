// Every case in tests/cases/ loads through `zelhost load --json` and fails
// with exactly the messages of its .expected file, in order, leaving no host
// allocation behind. "{dir}" in an expected line stands for tests/cases.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "zelhost_runner.h"

namespace {

namespace fs = std::filesystem;

fs::path CasesDir() { return fs::path(QUORIX_TESTS_DIR) / "cases"; }

std::vector<std::string> ExpectedMessages(const fs::path& file) {
    std::vector<std::string> lines;
    std::ifstream in(file);
    const std::string dir = CasesDir().string();
    for (std::string line; std::getline(in, line);) {
        if (const size_t at = line.find("{dir}"); at != std::string::npos) line.replace(at, 5, dir);
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> ErrorTexts(const e2e::Json& report) {
    std::vector<std::string> texts;
    for (const e2e::Json& message : report["messages"].items) {
        if (message["kind"].Str() == "error") texts.push_back(message["text"].Str());
    }
    return texts;
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
        fs::path expectedPath = casePath;
        expectedPath.replace_extension(".expected");
        ASSERT_TRUE(fs::exists(expectedPath));
        const e2e::RunResult run = e2e::LoadCase(casePath.string());
        ASSERT_TRUE(run.report.has_value()) << run.Describe();
        EXPECT_EQ(run.status, 1) << run.Describe();
        EXPECT_FALSE((*run.report)["loaded"].boolean);
        EXPECT_EQ(ErrorTexts(*run.report), ExpectedMessages(expectedPath));
        EXPECT_TRUE((*run.report)["leaks"].members.empty()) << run.Describe();
    }
}

}  // namespace
