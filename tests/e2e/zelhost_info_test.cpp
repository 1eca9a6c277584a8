// `zelhost info`: what a case holds, from its case file and the geometry's
// structure scan, without reading a value.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "case_fixture.h"
#include "zelhost_runner.h"

namespace {

using e2e::Json;
namespace fs = std::filesystem;

using e2e::Sample;

e2e::RunResult Info(const std::string& casePath) { return e2e::RunZelhost({"info", casePath, "--json"}); }

struct FormatRow {
  const char* name;
  std::string casePath;
  const char* format;
  const char* encoding;
  const char* byteOrder;  // null for ASCII
  const char* firstPartKind;
  const char* firstBlockType;  // null: a structured part has none
};

TEST(ZelhostInfo, FormatEncodingByteOrderAndParts) {
  const FormatRow rows[] = {
      {"Gold C binary little-endian", Sample("gold/cube/cube.case"), "gold", "C binary", "little-endian",
       "unstructured", "hexa8"},
      {"Gold C binary big-endian", Sample("gold/mixed/be/mixed.case"), "gold", "C binary", "big-endian",
       "unstructured", "tria3"},
      {"Gold ASCII", Sample("gold/mixed/ascii/mixed.case"), "gold", "ASCII", nullptr, "unstructured", "tria3"},
      {"Gold Fortran big-endian", Sample("gold/struct_uniform/fortran_be/struct_uniform.case"), "gold",
       "Fortran binary", "big-endian", "uniform", nullptr},
      {"Gold Fortran little-endian", Sample("gold/struct_rectilinear/fortran_le/struct_rectilinear.case"), "gold",
       "Fortran binary", "little-endian", "rectilinear", nullptr},
      {"EnSight 6 ASCII", Sample("ensight6/mixed/ascii/mixed.case"), "ensight6", "ASCII", nullptr, "unstructured",
       "tria3"},
      {"EnSight 6 C binary big-endian", Sample("ensight6/mixed/be/mixed.case"), "ensight6", "C binary", "big-endian",
       "unstructured", "tria3"},
  };
  for (const FormatRow& row : rows) {
    SCOPED_TRACE(row.name);
    const e2e::RunResult run = Info(row.casePath);
    ASSERT_EQ(run.status, 0) << run.Describe();
    ASSERT_TRUE(run.report) << run.Describe();
    const Json& info = *run.report;
    EXPECT_EQ(info["format"].Str(), row.format);
    EXPECT_EQ(info["encoding"].Str(), row.encoding);
    if (row.byteOrder != nullptr) {
      EXPECT_EQ(info["byteOrder"].Str(), row.byteOrder);
    } else {
      EXPECT_TRUE(info["byteOrder"].IsNull());
    }
    EXPECT_TRUE(info["scanned"].boolean);
    EXPECT_TRUE(info["missing"].items.empty());
    ASSERT_FALSE(info["parts"].items.empty());
    const Json& part = info["parts"].items.front();
    EXPECT_EQ(part["kind"].Str(), row.firstPartKind);
    if (row.firstBlockType != nullptr) {
      ASSERT_FALSE(part["blocks"].items.empty());
      EXPECT_EQ(part["blocks"].items.front()["type"].Str(), row.firstBlockType);
    } else {
      EXPECT_EQ(part["ijk"].items.size(), 3u);
    }
    // EnSight 6 parts index one node list; Gold parts have their own.
    EXPECT_EQ(info["globalNodes"].IsNull(), std::string(row.format) == "gold");
    EXPECT_EQ(part["nodes"].IsNull(), std::string(row.format) == "ensight6" && row.firstBlockType != nullptr);
  }
}

// The element counts as the file writes them, per block, with the part's nodes.
TEST(ZelhostInfo, PartsListEveryElementBlock) {
  const e2e::RunResult run = Info(Sample("gold/cube/cube.case"));
  ASSERT_TRUE(run.report) << run.Describe();
  const Json& part = (*run.report)["parts"].items.at(0);
  EXPECT_EQ(part["number"].text, "1");
  EXPECT_EQ(part["name"].Str(), "cube");
  EXPECT_EQ(part["nodes"].text, "8");
  ASSERT_EQ(part["blocks"].items.size(), 1u);
  EXPECT_EQ(part["blocks"].items[0]["elements"].text, "1");
  const e2e::RunResult text = e2e::RunZelhost({"info", Sample("gold/cube/cube.case")});
  EXPECT_EQ(text.status, 0) << text.Describe();
  EXPECT_NE(text.out.find("format    Gold, C binary, little-endian\n"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("  part 1  \"cube\"  unstructured \u00b7 8 nodes \u00b7 hexa8 \u00d7 1\n"), std::string::npos)
      << text.out;
  EXPECT_NE(text.out.find("missing   none\n"), std::string::npos) << text.out;
}

TEST(ZelhostInfo, TimeStepsWithTheirValuesAndFirstAndLastFile) {
  const e2e::RunResult run = Info(Sample("gold/transient_geometry/ascii/transient_geometry.case"));
  ASSERT_TRUE(run.report) << run.Describe();
  const Json& info = *run.report;
  ASSERT_EQ(info["timeSets"].items.size(), 1u);
  EXPECT_EQ(info["timeSets"].items[0]["steps"].text, "2");
  EXPECT_EQ(info["timeSets"].items[0]["timeValues"].items.size(), 2u);
  const Json& model = info["files"].items.at(0);
  EXPECT_EQ(model["name"].Str(), "model");
  EXPECT_EQ(model["steps"].text, "2");
  EXPECT_NE(model["first"].Str(), model["last"].Str());
  // One file of a file set holds every step.
  const e2e::RunResult one = Info(Sample("gold/ten_steps_one_file/le/ten_steps_one_file.case"));
  ASSERT_TRUE(one.report) << one.Describe();
  const Json& geometry = (*one.report)["files"].items.at(0);
  EXPECT_EQ(geometry["steps"].text, "10");
  EXPECT_EQ(geometry["first"].Str(), geometry["last"].Str());
}

TEST(ZelhostInfo, MissingFilesAreListedAndFailTheCommand) {
  const std::string casePath = Sample("gold/missing_variable/le/missing_variable.case");
  const e2e::RunResult run = Info(casePath);
  EXPECT_EQ(run.status, 1) << run.Describe();
  ASSERT_TRUE(run.report) << run.Describe();
  ASSERT_EQ((*run.report)["missing"].items.size(), 1u) << run.out;
  EXPECT_EQ(fs::path((*run.report)["missing"].items[0].Str()).filename(), "absent.scl");
  EXPECT_TRUE((*run.report)["scanned"].boolean);
  const e2e::RunResult text = e2e::RunZelhost({"info", casePath});
  EXPECT_NE(text.out.find("missing\n  "), std::string::npos) << text.out;
}

// Values are never read: damaged variable files pass, a damaged geometry does not.
TEST(ZelhostInfo, ReadsStructureOnly) {
  quorix::test::TempDir dir;
  const std::string casePath = dir.Write("cube.case",
                                         "FORMAT\ntype: ensight gold\nGEOMETRY\nmodel: cube.geo\nVARIABLE\n"
                                         "scalar per node: temperature cube.temperature\n"
                                         "vector per node: velocity cube.velocity\n");
  fs::copy_file(Sample("gold/cube/le/cube.geo"), dir.Prefix() + "cube.geo");
  dir.Write("cube.temperature", "garbage");
  dir.Write("cube.velocity", "");
  const e2e::RunResult fine = Info(casePath);
  EXPECT_EQ(fine.status, 0) << fine.Describe();
  EXPECT_EQ(fine.err, "") << fine.Describe();

  dir.Write("cube.geo", "C Binary\nnot a geometry");
  const e2e::RunResult broken = Info(casePath);
  EXPECT_EQ(broken.status, 1) << broken.Describe();
  ASSERT_TRUE(broken.report) << broken.Describe();
  EXPECT_FALSE((*broken.report)["scanned"].boolean);
  EXPECT_FALSE((*broken.report)["scanError"].Str().empty()) << broken.out;
}

TEST(ZelhostInfo, AnUnreadableCaseFails) {
  const e2e::RunResult run = e2e::RunZelhost({"info", "/nonexistent/none.case"});
  EXPECT_EQ(run.status, 1) << run.Describe();
  EXPECT_NE(run.err.find("/nonexistent/none.case"), std::string::npos) << run.err;
}

}  // namespace
