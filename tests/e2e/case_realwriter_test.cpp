// Case files of independent writers read through `zelhost case --json`:
// the format and times their oracles give, and every geometry file present.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

#include "case_fixture.h"
#include "support/realwriter.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> RealWriterCases() {
    std::vector<fs::path> cases;
    for (const auto& dir : fs::directory_iterator(QUORIX_REALWRITER)) {
        if (!dir.is_directory()) continue;
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            if (entry.path().extension() == ".case") cases.push_back(entry.path());
        }
    }
    std::sort(cases.begin(), cases.end());
    return cases;
}

bool SameFloat(double a, double b) { return std::fabs(a - b) <= 1e-6 * std::max(1.0, std::fabs(b)); }

TEST(CaseRealWriter, RecordsMatchTheOracles) {
    SKIP_WITHOUT_REALWRITER();
    const std::vector<fs::path> cases = RealWriterCases();
    ASSERT_FALSE(cases.empty());
    for (const fs::path& casePath : cases) {
        SCOPED_TRACE(casePath.string());
        const auto oracle = e2e::ReadJsonFile(casePath.parent_path() / "oracle.json");
        ASSERT_TRUE(oracle.has_value());
        const e2e::RunResult run = casetest::ReadCase(casePath.string());
        ASSERT_TRUE(run.report.has_value()) << run.Describe();
        const e2e::Json& record = *run.report;
        EXPECT_EQ(run.status, 0) << run.Describe();
        EXPECT_EQ(record["format"].Str(), (*oracle)["format"].Str());

        std::vector<double> parsedTimes;
        for (const e2e::Json& set : record["timeSets"].items) {
            for (const e2e::Json& time : set["timeValues"].items) parsedTimes.push_back(time.number);
        }
        std::vector<double> oracleTimes;
        for (const e2e::Json& step : (*oracle)["steps"].items) {
            if (!step["time"].IsNull()) oracleTimes.push_back(step["time"].number);
        }
        for (double time : oracleTimes) {
            EXPECT_TRUE(std::any_of(parsedTimes.begin(), parsedTimes.end(), [&](double t) { return SameFloat(t, time); }))
                << "time " << time;
        }
        if (record["timeSets"].items.size() == 1) {
            ASSERT_EQ(parsedTimes.size(), oracleTimes.size());
            for (size_t i = 0; i < oracleTimes.size(); ++i) EXPECT_TRUE(SameFloat(parsedTimes[i], oracleTimes[i]));
        }
        const e2e::Json& steps = record["model"]["steps"];
        EXPECT_FALSE(steps.items.empty());
        for (const e2e::Json& step : steps.items) EXPECT_TRUE(step["exists"].boolean) << step["path"].Str();
    }
}

}  // namespace
