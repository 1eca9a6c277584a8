// zelhost at a terminal: the progress line, and Ctrl-C as the host's Stop.
#include <gtest/gtest.h>

#include <string>

#include "terminal_runner.h"
#include "zelhost_runner.h"

namespace {

const std::string CubeCase = std::string(QUORIX_SAMPLES) + "/gold/cube/cube.case";
// Two geometry steps, each scanned under the status line: a Ctrl-C can land between them.
const std::string TransientCase =
    std::string(QUORIX_SAMPLES) + "/gold/transient_geometry/ascii/transient_geometry.case";
// Each percent-done check and each forced load then takes this long.
const char* const SlowHook = "ZELHOST_TEST_DELAY_MS=300";
const char* const ClearLine = "\r\x1b[K";
const char* const StoppedLine = "zelhost: stopped by Ctrl-C; the data set was removed";

TEST(ZelhostProgress, TerminalShowsScanAndForcingProgressAndClearsIt) {
  const e2e::TerminalRun run = e2e::RunZelhostOnTerminal({"load", CubeCase, "--load-all"});
  ASSERT_EQ(run.status, 0) << run.Describe();
  EXPECT_NE(run.err.find("Scanning geometry data"), std::string::npos) << run.Describe();
  EXPECT_NE(run.err.find("100%"), std::string::npos) << run.Describe();
  EXPECT_NE(run.err.find("Loading 8 of 8 loads"), std::string::npos) << run.Describe();
  // The last drawing is wiped: nothing but the clearing follows it.
  const size_t lastPercent = run.err.rfind('%');
  ASSERT_NE(lastPercent, std::string::npos);
  EXPECT_EQ(run.err.substr(lastPercent + 1), ClearLine) << run.Describe();
  EXPECT_NE(run.out.find("zone 1"), std::string::npos) << run.out;
}

TEST(ZelhostProgress, NoDrawingWithJsonOrWithoutTerminal) {
  const e2e::TerminalRun json = e2e::RunZelhostOnTerminal({"load", CubeCase, "--load-all", "--json"});
  EXPECT_EQ(json.status, 0) << json.Describe();
  EXPECT_EQ(json.err, "") << json.Describe();
  EXPECT_TRUE(e2e::ParseJson(json.out)) << json.out;
  const e2e::RunResult piped = e2e::RunZelhost({"load", CubeCase, "--load-all"});
  EXPECT_EQ(piped.status, 0) << piped.Describe();
  EXPECT_EQ(piped.err, "") << piped.Describe();
}

// A slow load of the transient case, Ctrl-C pressed once `after` shows; the
// stop is clean: status 130, its line, no host block left.
e2e::TerminalRun InterruptedLoad(const std::string& after) {
  e2e::TerminalOptions options;
  options.env = {SlowHook};
  options.interruptAfter = after;
  const e2e::TerminalRun run = e2e::RunZelhostOnTerminal({"load", TransientCase, "--load-all"}, options);
  EXPECT_TRUE(run.interrupted) << run.Describe();
  EXPECT_EQ(run.status, 130) << run.Describe();
  EXPECT_NE(run.err.find(StoppedLine), std::string::npos) << run.Describe();
  EXPECT_EQ(run.out.find("leak"), std::string::npos) << run.out;
  return run;
}

TEST(ZelhostProgress, CtrlCDuringTheScanStopsTheLoadAndRemovesTheDataSet) {
  const e2e::TerminalRun run = InterruptedLoad("Scanning geometry data");
  EXPECT_EQ(run.err.find("Scanning variable data"), std::string::npos) << "the scan went on\n" << run.Describe();
  EXPECT_EQ(run.out.rfind("load failed, no data set\n", 0), 0u) << run.out;
}

TEST(ZelhostProgress, CtrlCWhileForcingLeavesTheRemainingLoads) {
  const e2e::TerminalRun run = InterruptedLoad("Loading 1 of");
  EXPECT_NE(run.out.find("the rest left by Ctrl-C"), std::string::npos) << run.out;
}

}  // namespace
