// The readable summary of `zelhost load`: one line per zone, the variables
// with their location (and range once loaded), and a totals line, each
// agreeing with the JSON report of the same load.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "zelhost_runner.h"

namespace {

using e2e::Json;

using e2e::Sample;

// Whether a line of `text` is `wanted`, or only begins with it.
bool HasLine(const std::string& text, const std::string& wanted, bool beginningOnly = false) {
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (beginningOnly ? line.rfind(wanted, 0) == 0 : line == wanted) return true;
  }
  return false;
}

bool HasLineStarting(const std::string& text, const std::string& prefix) { return HasLine(text, prefix, true); }

std::string G(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

struct ZoneRow {
  const char* name;
  std::string casePath;
  std::vector<std::string> zoneLines;  // as the writer of the sample laid the parts out
};

TEST(ZelhostSummary, ZoneLinesNameShapeCountsAndTime) {
  const ZoneRow rows[] = {
      {"one hexa8", Sample("gold/cube/cube.case"),
       {"zone 1  \"Vol: cube\"  8-corner cells \u00b7 8 nodes \u00b7 1 element \u00b7 t=0"}},
      {"uniform block, then quads and triangles", Sample("gold/struct_uniform/le/struct_uniform.case"),
       {"zone 1  \"uniform\"  3\u00d73\u00d72 block \u00b7 18 nodes \u00b7 4 elements \u00b7 t=0",
        "zone 2  \"Surf: after uniform\"  4-corner faces \u00b7 8 nodes \u00b7 4 elements \u00b7 t=0"}},
      // Tetra, pyramid and penta beside a hexa make a brick zone: no "hexa8" for them.
      {"mixed types", Sample("gold/mixed/le/mixed.case"),
       {"zone 2  \"Vol: volume\"  8-corner cells \u00b7 13 nodes \u00b7 4 elements \u00b7 t=0",
        "zone 3  \"Line: lines\"  2-node lines \u00b7 6 nodes \u00b7 6 elements \u00b7 t=0",
        "zone 5  \"Surf: polygons\"  polygons \u00b7 6 nodes \u00b7 2 elements \u00b7 t=0",
        "zone 6  \"Vol: polyhedra\"  polyhedra \u00b7 9 nodes \u00b7 2 elements \u00b7 t=0",
        "zone 9  \"Surf: two triangle blocks\"  3-corner faces \u00b7 6 nodes \u00b7 3 elements \u00b7 t=0"}},
      {"second time step", Sample("gold/transient_geometry/ascii/transient_geometry.case"),
       {"zone 3  \"Surf: surface\"  4-corner faces \u00b7 8 nodes \u00b7 4 elements \u00b7 t=0.25"}},
  };
  for (const ZoneRow& row : rows) {
    SCOPED_TRACE(row.name);
    const e2e::RunResult run = e2e::RunZelhost({"load", row.casePath});
    ASSERT_EQ(run.status, 0) << run.Describe();
    for (const std::string& line : row.zoneLines) EXPECT_TRUE(HasLine(run.out, line)) << line << "\n" << run.out;
    EXPECT_EQ(run.out.find("hexa"), std::string::npos) << run.out;
  }
}

// Every number the text shows comes from the same data as the JSON report.
TEST(ZelhostSummary, VariablesAndTotalsAgreeWithTheJsonReport) {
  const std::string cases[] = {Sample("gold/mixed/le/mixed.case"), Sample("gold/struct_uniform/be/struct_uniform.case"),
                               Sample("ensight6/mixed/ascii/mixed.case")};
  for (const std::string& casePath : cases) {
    SCOPED_TRACE(casePath);
    const e2e::RunResult text = e2e::RunZelhost({"load", casePath, "--load-all"});
    const e2e::RunResult json = e2e::LoadCase(casePath, {"--load-all"});
    ASSERT_EQ(text.status, 0) << text.Describe();
    ASSERT_TRUE(json.report) << json.Describe();
    const Json& report = *json.report;
    int64_t nodes = 0, elements = 0;
    for (const Json& zone : report["zones"].items) {
      nodes += static_cast<int64_t>(zone["nodes"].number);
      elements += static_cast<int64_t>(zone["elements"].number);
    }
    const size_t zones = report["zones"].items.size();
    const std::string totals = "total: " + std::to_string(zones) + (zones == 1 ? " zone" : " zones") + " \u00b7 " +
                               std::to_string(nodes) + " nodes \u00b7 " + std::to_string(elements) + " elements \u00b7 ";
    EXPECT_TRUE(HasLineStarting(text.out, totals)) << totals << "\n" << text.out;
    EXPECT_TRUE(HasLineStarting(text.out, "loaded \"" + report["datasetTitle"].Str() + "\": ")) << text.out;
    for (const Json& name : report["variables"].items) {
      double low = 0, high = 0;
      bool any = false, nodal = false, cell = false;
      for (const Json& zone : report["zones"].items) {
        const Json* values = zone["values"].Find(name.Str());
        if (values == nullptr || (*values)["min"].IsNull()) continue;
        (*values)["location"].Str() == "nodal" ? nodal = true : cell = true;
        low = any ? std::min(low, (*values)["min"].number) : (*values)["min"].number;
        high = any ? std::max(high, (*values)["max"].number) : (*values)["max"].number;
        any = true;
      }
      ASSERT_TRUE(any) << name.Str();
      ASSERT_FALSE(nodal && cell) << name.Str();
      std::string line = "  " + name.Str();
      line.resize(2 + 11 + 2, ' ');  // the longest sample name, "temperature"
      line += nodal ? "nodal         " : "cell-centred  ";
      line += "min " + G(low) + "  max " + G(high);
      EXPECT_TRUE(HasLine(text.out, line)) << "[" << line << "]\n" << text.out;
    }
    EXPECT_NE(text.out.find("forced "), std::string::npos) << text.out;
  }
}

TEST(ZelhostSummary, WithoutForcingValuesReadNotLoaded) {
  const e2e::RunResult run = e2e::RunZelhost({"load", Sample("gold/mixed/le/mixed.case")});
  ASSERT_EQ(run.status, 0) << run.Describe();
  EXPECT_TRUE(HasLineStarting(run.out, "variables")) << run.out;
  EXPECT_TRUE(HasLine(run.out, "  cellid       cell-centred  not loaded")) << run.out;
  EXPECT_TRUE(HasLine(run.out, "  temperature  nodal         not loaded")) << run.out;
  EXPECT_EQ(run.out.find("forced"), std::string::npos) << run.out;
}

TEST(ZelhostSummary, AFailedLoadSaysSo) {
  const e2e::RunResult run = e2e::RunZelhost({"load", "/nonexistent/none.case"});
  EXPECT_EQ(run.status, 1) << run.Describe();
  EXPECT_EQ(run.out.rfind("load failed, no data set\n", 0), 0u) << run.out;
  EXPECT_TRUE(HasLineStarting(run.out, "total: 0 zones \u00b7 0 nodes \u00b7 0 elements")) << run.out;
  EXPECT_NE(run.err.find("/nonexistent/none.case"), std::string::npos) << run.err;
}

}  // namespace
