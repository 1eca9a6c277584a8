// Cases written by independent writers (../shared/data/realwriter), checked
// against their oracle.json with compare_report.py: the structure after a
// plain load, every array after a forced load, also from 8 threads.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "zelhost_runner.h"
#include "support/realwriter.h"

namespace {

namespace fs = std::filesystem;

// Which cases must pass, and what they need from the loader.
struct RealCase {
  const char* name;
  bool expectPass;
  const char* needs;
};

void PrintTo(const RealCase& c, std::ostream* os) { *os << c.name; }

const RealCase kRealCases[] = {
    {"er_cell_types", true, "every element type in one part (C binary LE): Gold geometry, face maps"},
    {"gen_e6_ascii", true, "EnSight 6 path, ASCII"},
    {"gen_e6_cbinary", true, "EnSight 6 path, C binary"},
    {"gen_gold_ascii_unstructured", true, "ASCII Gold, all variable kinds, nsided/nfaced, lower-category blocks"},
    {"gen_gold_struct_be", true, "big-endian structured blocks, flat block cells, per-element block values"},
    {"gen_gold_transient_ascii", true, "transient geometry, measured particles, variables per step"},
    {"of_cavity", true, "filename numbers from 0, '*' run in a directory name, per-element variables"},
    {"pv_sphere", true, "ParaView writer: part number handling, nodal scalar"},
    {"vtkw_mixed", true, "VTK writer: several parts of one description, point parts, quadratic elements"},
    {"vtkw_transient", true, "VTK writer: transient geometry with file-name time steps"},
};

fs::path CaseDir(const RealCase& c) { return fs::path(QUORIX_REALWRITER) / c.name; }

fs::path CaseFile(const fs::path& dir) {
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (entry.path().extension() == ".case") return entry.path();
  }
  return {};
}

// zelhost's report for the case, checked by compare_report.py against the oracle.
void ExpectOracleMatch(const RealCase& c, const std::vector<std::string>& extra, bool structureOnly) {
  const fs::path dir = CaseDir(c);
  const fs::path casePath = CaseFile(dir);
  ASSERT_FALSE(casePath.empty()) << "no case file in " << dir;
  const auto run = e2e::LoadCase(casePath.string(), extra);
  ASSERT_TRUE(run.report.has_value()) << "no JSON report\n" << run.Describe();
  e2e::TempFile report("report");
  report.Write(run.out);
  std::vector<std::string> argv{"python3", std::string(QUORIX_SHARED_TOOLS) + "/compare_report.py"};
  if (structureOnly) argv.push_back("--structure");
  argv.push_back(report.Path());
  argv.push_back((dir / "oracle.json").string());
  const auto cmp = e2e::RunProgram(argv);
  EXPECT_EQ(cmp.status, 0) << "compare_report.py:\n" << cmp.out << cmp.err << "\nzelhost stderr:\n" << run.err;
}

class RealWriterCase : public ::testing::TestWithParam<RealCase> {
 protected:
  void SetUp() override {
    SKIP_WITHOUT_REALWRITER();
    if (!GetParam().expectPass) GTEST_SKIP() << "not expected to pass yet: " << GetParam().needs;
  }
};

TEST_P(RealWriterCase, StructureMatchesOracle) {
  SCOPED_TRACE(GetParam().needs);
  ExpectOracleMatch(GetParam(), {}, true);
}

TEST_P(RealWriterCase, ForcedLoadMatchesOracle) {
  SCOPED_TRACE(GetParam().needs);
  ExpectOracleMatch(GetParam(), {"--load-all"}, false);
}

TEST_P(RealWriterCase, ForcedLoadFromEightThreadsMatchesOracle) {
  SCOPED_TRACE(GetParam().needs);
  ExpectOracleMatch(GetParam(), {"--load-all", "--threads", "8"}, false);
}

INSTANTIATE_TEST_SUITE_P(Oracles, RealWriterCase, ::testing::ValuesIn(kRealCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RealWriterCases, EveryCaseIsInTheTable) {
  SKIP_WITHOUT_REALWRITER();
  for (const auto& entry : fs::directory_iterator(QUORIX_REALWRITER)) {
    if (!fs::exists(entry.path() / "oracle.json")) continue;
    const std::string name = entry.path().filename().string();
    const bool listed = std::any_of(std::begin(kRealCases), std::end(kRealCases),
                                    [&](const RealCase& c) { return name == c.name; });
    EXPECT_TRUE(listed) << name << " has an oracle but no row in kRealCases";
  }
}

}  // namespace
