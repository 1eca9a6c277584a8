// Cases written by independent writers (../shared/data/realwriter, wild) and
// the field's reference data (../shared/data/reference), checked against their
// oracle.json with compare_report.py in batch mode: the structure after a
// plain load, every array after a forced load, from 1 and 4 threads and, for
// EnSight 6, with node maps through the host's reference path; each load
// leaves the host clean.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "zelhost_runner.h"
#include "support/realwriter.h"

namespace {

namespace fs = std::filesystem;

// Which cases must pass, and what they need from the loader. `misread`
// names a variable whose values the independent reader behind the oracle
// misreads: its mismatches are expected, every other check must pass.
struct RealCase {
  const char* name;
  bool expectPass;
  const char* needs;
  const char* misread = nullptr;
};

void PrintTo(const RealCase& c, std::ostream* os) { *os << c.name; }

const RealCase kRealCases[] = {
    {"realwriter/er_cell_types", true, "every element type in one part (C binary LE): Gold geometry, face maps"},
    {"realwriter/gen_e6_ascii", true, "EnSight 6 path, ASCII"},
    {"realwriter/gen_e6_cbinary", true, "EnSight 6 path, C binary"},
    {"realwriter/gen_gold_ascii_unstructured", true, "ASCII Gold, all variable kinds, nsided/nfaced, lower-category blocks"},
    {"realwriter/gen_gold_struct_be", true, "big-endian structured blocks, flat block cells, per-element block values"},
    {"realwriter/gen_gold_transient_ascii", true, "transient geometry, measured particles, variables per step"},
    {"realwriter/of_cavity", true, "filename numbers from 0, '*' run in a directory name, per-element variables"},
    {"realwriter/pv_sphere", true, "ParaView writer: part number handling, nodal scalar"},
    {"realwriter/vtkw_mixed", true, "VTK writer: several parts of one description, point parts, quadratic elements"},
    {"realwriter/vtkw_transient", true, "VTK writer: transient geometry with file-name time steps"},
    {"reference/vtk_LShape", true, "FE code: C binary single-file transient variables"},
    {"reference/vtk_RectGrid_bin", true, "VTK writer: rectilinear block, C binary"},
    {"reference/vtk_TEST", true, "variables in a one-step time set on a steady geometry"},
    {"reference/vtk_blow1_ascii", true, "VTK writer: ASCII Gold file sets"},
    {"reference/vtk_blow2_bin", true, "VTK writer: C binary Gold, per-step files"},
    {"reference/vtk_blow3_bin", true, "EnSight 6 C binary file sets"},
    {"reference/vtk_blow5_ascii", true, "EnSight 6 ASCII"},
    {"reference/vtk_elements", true, "Gold complex variables, every element type"},
    {"reference/vtk_elements6", true, "EnSight 6 higher-order volume elements, complex variables"},
    {"reference/vtk_ironProt_ascii", true, "VTK writer: ASCII structured block"},
    {"reference/vtk_mandelbrot1", true, "VTK writer: structured block"},
    {"reference/vtk_mandelbrot2", true, "VTK writer: structured block"},
    {"reference/vtk_office_ascii", true, "VTK writer: ASCII structured blocks, vectors"},
    {"solver/sol_big_endian_moving", true, "CFD solver: big-endian moving mesh, change_coords_only with full geometry"},
    {"solver/sol_empty_part_steps", true, "CFD solver: parts empty at some steps, their variable sections bare"},
    {"solver/sol_fixed_fields_bin", true, "CFD solver: a field with no time set at every step"},
    {"solver/sol_text_polyhedra", true, "CFD solver: ASCII, nfaced, a fixed field at every step"},
    {"solver/sol_two_ranks", true, "CFD solver: two ranks' fixed fields at every step"},
    {"gold-features/cco_ascii", false, "its oracle is the independent reader dropping the elements of coordinates-only steps; samples/gold/coordinates_only checks the sound load"},
    {"gold-features/undef_partial_ascii_surface", true, "undef and partial sections, ASCII"},
    {"gold-features/undef_partial_cbin_be_block", true, "undef and partial sections, big-endian block"},
    {"gold-features/undef_partial_cbin_le_volume", true, "undef and partial sections, C binary volume"},
    {"wild/kratos_e6_ascii", true, "FE framework: EnSight 6 ASCII with tab-separated 10-wide element lines and values"},
    // "0.58830-318" is Fortran's 5.883e-319, 0 in single precision; the oracle reads 0.5883.
    {"wild/parafem_p126", true, "textbook FE program: ids declared given but absent, a blank line before the descriptions",
     "load"},
    {"wild/pizza_multifile_points", true, "particle toolkit: wildcard file names with no time-set number"},
};

fs::path DataRoot() { return fs::path(QUORIX_REALWRITER).parent_path(); }

// The oracle names the case file it was made from.
fs::path CaseFile(const fs::path& dir) {
  const auto oracle = e2e::ReadJsonFile(dir / "oracle.json");
  if (!oracle) return {};
  return dir / (*oracle)["case"].Str();
}

// compare_report.py's output less its mismatches of the misread variable's
// arrays; empty when nothing else mismatched.
std::string WithoutMisread(const std::string& mismatches, const char* misread) {
  if (misread == nullptr || mismatches.empty()) return mismatches;
  std::istringstream lines(mismatches);
  std::string kept;
  for (std::string line; std::getline(lines, line);) {
    const bool expected = line.find("': " + std::string(misread)) != std::string::npos;
    if (line.rfind("MISMATCH", 0) == 0 && !expected) kept += line + "\n";
  }
  return kept;
}

// zelhost's report for the case, checked by compare_report.py against the oracle.
void ExpectOracleMatch(const RealCase& c, const std::vector<std::string>& extra, bool structureOnly) {
  const fs::path dir = DataRoot() / c.name;
  const fs::path casePath = CaseFile(dir);
  ASSERT_FALSE(casePath.empty()) << "no case file in " << dir;
  std::vector<std::string> options{"--batch"};
  options.insert(options.end(), extra.begin(), extra.end());
  const auto run = e2e::LoadCase(casePath.string(), options);
  ASSERT_TRUE(run.report.has_value()) << "no JSON report\n" << run.Describe();
  EXPECT_EQ(WithoutMisread(e2e::OracleMismatch(run, dir / "oracle.json", structureOnly), c.misread), "")
      << "zelhost stderr:\n" << run.err;
  e2e::ExpectClean(run);
  if (!structureOnly) {
    EXPECT_EQ((*run.report)["forced"]["failures"].text, "0") << run.out;
  }
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

TEST_P(RealWriterCase, ForcedLoadFromFourThreadsMatchesOracle) {
  SCOPED_TRACE(GetParam().needs);
  ExpectOracleMatch(GetParam(), {"--load-all", "--threads", "4"}, false);
}

// Only EnSight 6 connectivity is written through the host's raw node map when it has one.
TEST_P(RealWriterCase, Ensight6NodeMapsThroughTheReferencePathMatchOracle) {
  const auto oracle = e2e::ReadJsonFile(DataRoot() / GetParam().name / "oracle.json");
  if (!oracle || (*oracle)["format"].Str() != "ensight6") GTEST_SKIP() << "not an EnSight 6 case";
  SCOPED_TRACE(GetParam().needs);
  ExpectOracleMatch(GetParam(), {"--load-all", "--no-raw-node-map"}, false);
}

INSTANTIATE_TEST_SUITE_P(Oracles, RealWriterCase, ::testing::ValuesIn(kRealCases),
                         [](const auto& info) { return fs::path(info.param.name).filename().string(); });

TEST(RealWriterCases, EveryCaseIsInTheTable) {
  SKIP_WITHOUT_REALWRITER();
  for (const char* set : {"realwriter", "reference", "solver", "gold-features", "wild"}) {
    if (!fs::is_directory(DataRoot() / set)) continue;
    for (const auto& entry : fs::directory_iterator(DataRoot() / set)) {
      if (!fs::exists(entry.path() / "oracle.json")) continue;
      const std::string name = std::string(set) + "/" + entry.path().filename().string();
      const bool listed = std::any_of(std::begin(kRealCases), std::end(kRealCases),
                                      [&](const RealCase& c) { return name == c.name; });
      EXPECT_TRUE(listed) << name << " has an oracle but no row in kRealCases";
    }
  }
}

}  // namespace
