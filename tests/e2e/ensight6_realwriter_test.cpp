// The EnSight 6 cases of ../shared/data/realwriter: the oracle holds with
// node maps written through the host's reference path too, and every thread
// count gives the same report.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "zelhost_runner.h"
#include "support/realwriter.h"

namespace {

namespace fs = std::filesystem;

const char* const kCases[] = {"gen_e6_ascii", "gen_e6_cbinary"};

e2e::RunResult Load(const char* name, const std::vector<std::string>& extra) {
    return e2e::LoadCase((fs::path(QUORIX_REALWRITER) / name / "e6.case").string(), extra);
}

TEST(Ensight6RealWriter, OracleHoldsForEveryLoadPath) {
    SKIP_WITHOUT_REALWRITER();
    const std::vector<std::vector<std::string>> paths = {
        {"--load-all"}, {"--load-all", "--threads", "8"}, {"--load-all", "--no-raw-node-map"}};
    for (const char* name : kCases) {
        for (const auto& extra : paths) {
            SCOPED_TRACE(std::string(name) + " " + extra.back());
            const e2e::RunResult run = Load(name, extra);
            ASSERT_TRUE(run.report) << run.Describe();
            EXPECT_EQ(e2e::OracleMismatch(run, fs::path(QUORIX_REALWRITER) / name / "oracle.json"), "");
        }
    }
}

TEST(Ensight6RealWriter, EveryRegistrationIsReleasedOnce) {
    SKIP_WITHOUT_REALWRITER();
    for (const char* name : kCases) {
        SCOPED_TRACE(name);
        auto run = Load(name, {"--load-all", "--threads", "8"});
        ASSERT_TRUE(run.report) << run.Describe();
        const auto& clientData = (*run.report)["clientData"];
        EXPECT_EQ(clientData["registered"].text, clientData["released"].text);
        EXPECT_TRUE((*run.report)["leaks"].members.empty()) << run.out;
        EXPECT_EQ((*run.report)["forced"]["failures"].text, "0");
    }
}

}  // namespace
