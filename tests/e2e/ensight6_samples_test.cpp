// EnSight 6 samples (samples/ensight6, written by make_ensight6_samples.py)
// loaded through zelhost: zone structure, selections, transient steps, the
// three encodings agreeing, and failures reported with a message.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "case_fixture.h"
#include "zelhost_runner.h"

namespace {

namespace fs = std::filesystem;
using e2e::Json;

std::string SampleCase(const std::string& name, const std::string& encoding) {
    return (fs::path(QUORIX_SAMPLES) / "ensight6" / name / encoding / (name + ".case")).string();
}

std::string FailureCase(const std::string& name) {
    return (fs::path(QUORIX_SAMPLES) / "ensight6" / "failures" / (name + ".case")).string();
}

// The report without what differs from run to run (timings).
std::string Comparable(const Json& report) { return casetest::Compact(report, "times"); }

// The zones' values, node maps and face maps only (ASCII and binary registrations differ in count).
std::string ZoneData(const Json& report) {
    std::string out;
    for (const Json& z : report["zones"].items) {
        out += z["name"].Str() + " " + z["zoneType"].Str() + " " + casetest::Compact(z["nodeMap"]) + " " +
               casetest::Compact(z["faceMap"]) + "\n";
        for (const auto& [name, v] : z["values"].members) out += "  " + name + " " + v["hash"].Str() + "\n";
    }
    return out;
}

std::vector<std::string> Names(const Json& report, const char* key) {
    std::vector<std::string> out;
    for (const Json& z : report["zones"].items) out.push_back(key[0] == 'n' ? z[key].Str() : z[key].text);
    return out;
}

struct StructureRow {
    std::vector<const char*> samples;  // each loads into these zones
    std::vector<std::string> zoneNames;
    std::vector<std::string> zoneTypes;
    std::vector<std::string> strands;
    std::vector<std::string> times;
};

const StructureRow kStructure[] = {
    {{"mixed", "ids_ignore"},
     {"Surf: surface mix", "Vol: volume mix", "Line: bar3 line", "Surf: edge and skin", "Point: points",
      "block with iblank", "flat block"},
     {"quadrilateral", "brick", "linesegment", "triangle", "ordered", "ordered", "ordered"},
     {"1", "2", "3", "4", "5", "6", "7"},
     {"0", "0", "0", "0", "0", "0", "0"}},
    {{"steady_var3"},
     {"Surf: tri and quad", "Vol: hexes", "Surf: tri and quad", "Vol: hexes", "Surf: tri and quad", "Vol: hexes"},
     {"quadrilateral", "brick", "quadrilateral", "brick", "quadrilateral", "brick"},
     {"1", "2", "1", "2", "1", "2"},
     {"0.25", "0.25", "0.5", "0.5", "1", "1"}},
    {{"transient_geo2"},
     {"Surf: tri and quad", "Surf: tri and quad", "Vol: hexes"},
     {"quadrilateral", "quadrilateral", "brick"},
     {"1", "1", "2"},
     {"1", "2", "2"}},
    {{"fileset"},
     {"Surf: tri and quad", "Vol: hexes", "Surf: tri and quad", "Vol: hexes", "vector block", "Surf: tri and quad",
      "Vol: hexes"},
     {"quadrilateral", "brick", "quadrilateral", "brick", "ordered", "quadrilateral", "brick"},
     {"1", "2", "1", "2", "3", "1", "2"},
     {"0.5", "0.5", "1", "1", "1", "2", "2"}},
    {{"higher_order"},
     {"Surf: curved skin", "Vol: curved solid", "Vol: linear solid", "vector block", "flat vector block"},
     {"polygon", "polyhedron", "brick", "ordered", "ordered"},
     {"1", "2", "3", "4", "5"},
     {"0", "0", "0", "0", "0"}},
};

class Ensight6Encodings : public ::testing::TestWithParam<std::string> {};

TEST_P(Ensight6Encodings, BothByteOrdersGiveTheSameReportAndAsciiTheSameData) {
    const std::string name = GetParam();
    auto le = e2e::LoadCase(SampleCase(name, "le"), {"--load-all"});
    auto be = e2e::LoadCase(SampleCase(name, "be"), {"--load-all"});
    auto ascii = e2e::LoadCase(SampleCase(name, "ascii"), {"--load-all"});
    ASSERT_TRUE(le.report && be.report && ascii.report) << le.Describe() << be.Describe() << ascii.Describe();
    EXPECT_EQ(le.status, 0) << le.Describe();
    for (const Json& message : (*le.report)["messages"].items) EXPECT_NE(message["kind"].Str(), "error") << le.out;
    EXPECT_EQ(Comparable(*le.report), Comparable(*be.report));
    EXPECT_EQ(ZoneData(*le.report), ZoneData(*ascii.report));
    e2e::ExpectClean(le);
}

TEST_P(Ensight6Encodings, EightThreadsAndReferenceNodeMapsGiveTheSameData) {
    const std::string name = GetParam();
    for (const char* encoding : {"ascii", "be"}) {
        auto one = e2e::LoadCase(SampleCase(name, encoding), {"--load-all"});
        auto eight = e2e::LoadCase(SampleCase(name, encoding), {"--load-all", "--threads", "8"});
        auto byRef = e2e::LoadCase(SampleCase(name, encoding), {"--load-all", "--no-raw-node-map"});
        ASSERT_TRUE(one.report && eight.report && byRef.report);
        EXPECT_EQ(Comparable(*one.report), Comparable(*eight.report)) << encoding;
        EXPECT_EQ(ZoneData(*one.report), ZoneData(*byRef.report)) << encoding;
    }
}

INSTANTIATE_TEST_SUITE_P(Ensight6, Ensight6Encodings,
                         ::testing::Values("mixed", "ids_ignore", "ids_assign", "ids_off", "ids_given", "steady_var3",
                                           "parts1379", "transient_geo2", "complex", "higher_order", "fileset",
                                           "fileset_split"));

// The same nodes, elements and values written as Gold load into the same
// zones: higher-order elements as polygons and polyhedra, block values of
// every component count read interleaved per node or cell in C binary and
// component after component in ASCII, cell values in the zone's element order.
TEST(Ensight6Samples, GoldTwinGivesTheSameZonesAndValues) {
    auto twin = e2e::LoadCase(SampleCase("higher_order", "gold"), {"--load-all"});
    ASSERT_TRUE(twin.report) << twin.Describe();
    ASSERT_EQ(twin.status, 0) << twin.Describe();
    for (const char* encoding : {"ascii", "le", "be"}) {
        SCOPED_TRACE(encoding);
        auto run = e2e::LoadCase(SampleCase("higher_order", encoding), {"--load-all"});
        ASSERT_TRUE(run.report) << run.Describe();
        EXPECT_EQ(run.status, 0) << run.Describe();
        EXPECT_EQ(ZoneData(*run.report), ZoneData(*twin.report));
    }
}

// Steps between "BEGIN TIME STEP" and "END TIME STEP" of one file (a file
// set), the topology changing from step to step, load as the same steps
// written one file each.
TEST(Ensight6Samples, StepsInOneFileLoadAsOneFilePerStep) {
    for (const char* encoding : {"ascii", "le", "be"}) {
        SCOPED_TRACE(encoding);
        auto together = e2e::LoadCase(SampleCase("fileset", encoding), {"--load-all"});
        auto split = e2e::LoadCase(SampleCase("fileset_split", encoding), {"--load-all"});
        ASSERT_TRUE(together.report && split.report) << together.Describe() << split.Describe();
        EXPECT_EQ(together.status, 0) << together.Describe();
        for (const char* key : {"name", "zoneType", "strand", "solutionTime", "imax", "jmax", "kmax"})
            EXPECT_EQ(Names(*together.report, key), Names(*split.report, key)) << key;
        EXPECT_EQ(ZoneData(*together.report), ZoneData(*split.report));
    }
}

TEST(Ensight6Samples, ZonesStrandsAndTimes) {
    for (const StructureRow& row : kStructure)
    for (const char* sample : row.samples) {
        SCOPED_TRACE(sample);
        auto run = e2e::LoadCase(SampleCase(sample, "le"));
        ASSERT_TRUE(run.report) << run.Describe();
        EXPECT_EQ(Names(*run.report, "name"), row.zoneNames);
        EXPECT_EQ(Names(*run.report, "zoneType"), std::vector<std::string>(row.zoneTypes));
        EXPECT_EQ(Names(*run.report, "strand"), row.strands);
        EXPECT_EQ(Names(*run.report, "solutionTime"), row.times);
        // every zone is announced by its number, later steps' zones too
        const Json& added = (*run.report)["stateChanges"].items.at(0);
        EXPECT_EQ(added["code"].text, "3");
        EXPECT_EQ(added["members"].items.size(), row.zoneNames.size());
        EXPECT_EQ(added["members"].items.back().text, std::to_string(row.zoneNames.size()));
    }
}

// A field with no time set holds at every step whose mesh is the first
// step's, one array shared with the first step's zone, read once.
TEST(Ensight6Samples, FixedFieldHoldsWhereTheMeshIsTheFirstSteps) {
    struct Row {
        const char* sample;
        const char* variable;
        std::vector<size_t> sameAsZone;  // per zone: the zone whose values it has; 0 none
        size_t loadsInBinary;
        const char* message;  // substring of the not-loaded report, or empty
    };
    const Row rows[] = {
        {"steady_var3", "zoneid", {1, 2, 1, 2, 1, 2}, 2, ""},
        {"transient_geo2", "wall", {1, 0, 0}, 1, "wall.fixed (it has no time set; it fits the mesh of step 1, not that of step 2)"},
    };
    for (const Row& row : rows) {
        for (const char* encoding : {"ascii", "le", "be"}) {
            SCOPED_TRACE(std::string(row.sample) + " " + encoding);
            auto run = e2e::LoadCase(SampleCase(row.sample, encoding), {"--load-all"});
            ASSERT_TRUE(run.report) << run.Describe();
            const auto& zones = (*run.report)["zones"].items;
            ASSERT_EQ(zones.size(), row.sameAsZone.size());
            for (size_t z = 0; z < zones.size(); ++z) {
                const Json* values = zones[z]["values"].Find(row.variable);
                const size_t source = row.sameAsZone[z];
                ASSERT_EQ(values != nullptr, source != 0) << "zone " << z + 1;
                if (values != nullptr) {
                    EXPECT_EQ((*values)["hash"].Str(), zones[source - 1]["values"][row.variable]["hash"].Str());
                }
            }
            const auto& messages = (*run.report)["messages"].items;
            EXPECT_EQ(messages.empty(), row.message[0] == '\0') << run.out;
            if (!messages.empty()) {
                EXPECT_NE(messages[0]["text"].Str().find(row.message), std::string::npos) << run.out;
            }
            // a host that allows no sharing has the file read for each step
            auto apart = e2e::LoadCase(SampleCase(row.sample, encoding), {"--load-all", "--no-value-sharing"});
            ASSERT_TRUE(apart.report) << apart.Describe();
            EXPECT_EQ(ZoneData(*apart.report), ZoneData(*run.report));
            if (std::string(encoding) == "ascii") continue;  // read at once: no load requests
            auto lazy = e2e::LoadCase(SampleCase(row.sample, encoding), {"--dump-load-requests"});
            ASSERT_TRUE(lazy.report) << lazy.Describe();
            EXPECT_EQ(e2e::LoadRequestsOf(*lazy.report, row.variable), row.loadsInBinary);
        }
    }
}

TEST(Ensight6Samples, ValuesOfMixedParts) {
    auto run = e2e::LoadCase(SampleCase("mixed", "be"), {"--load-all"});
    ASSERT_TRUE(run.report) << run.Describe();
    const auto& zones = (*run.report)["zones"].items;
    ASSERT_EQ(zones.size(), 7u);
    struct Row {
        size_t zone;
        const char* variable;
        double min, max, mean;
    };
    // bar2 values of the edge-and-skin part are passed over; bar3 values cover both segments
    const Row rows[] = {
        {0, "cellid", 14, 16, 15},      {1, "cellid", 24, 27, 25.5}, {2, "cellid", 34, 35, 34.5},
        {3, "cellid", 48, 50, 49},      {5, "IBlank", 0, 1, 0.75}, {6, "IBlank", 1, 1, 1},
        {0, "X", -1, 1, 0},             {5, "X", 10, 12, 11},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.zone) + " " + r.variable);
        const Json& v = zones[r.zone]["values"][r.variable];
        EXPECT_NEAR(v["min"].number, r.min, 1e-5);
        EXPECT_NEAR(v["max"].number, r.max, 1e-5);
        EXPECT_NEAR(v["mean"].number, r.mean, 1e-5);
    }
    EXPECT_EQ(zones[0]["elements"].text, "3");
    EXPECT_EQ(zones[2]["elements"].text, "4");
    EXPECT_EQ(zones[3]["elements"].text, "3");
}

struct SelectionRow {
    const char* name;
    std::vector<std::string> instructions;
    std::vector<std::string> zoneNames;
    std::vector<std::string> variables;
    const char* message;  // substring of the one message, or empty
};

const SelectionRow kSelections[] = {
    {"zones 3 and 7", {"ZONECOUNT", "2", "ZONE", "3", "ZONE", "7"}, {"Surf: part 3", "Surf: part 7"},
     {"X", "Y", "Z", "IBlank", "first", "second"}, ""},
    {"zones out of order", {"ZONECOUNT", "2", "ZONE", "7", "ZONE", "3"}, {"Surf: part 3", "Surf: part 7"},
     {"X", "Y", "Z", "IBlank", "first", "second"}, ""},
    {"zone not in the file", {"ZONECOUNT", "2", "ZONE", "3", "ZONE", "5"}, {"Surf: part 3"},
     {"X", "Y", "Z", "IBlank", "first", "second"}, "has no part 5"},
    {"no variable", {"VARCOUNT", "0"}, {"Surf: part 1", "Surf: part 3", "Surf: part 7", "Surf: part 9"},
     {"X", "Y", "Z", "IBlank"}, ""},
    {"second variable", {"VARCOUNT", "1", "VAR", "2"},
     {"Surf: part 1", "Surf: part 3", "Surf: part 7", "Surf: part 9"}, {"X", "Y", "Z", "IBlank", "second"}, ""},
};

TEST(Ensight6Samples, PartAndVariableSelection) {
    for (const SelectionRow& row : kSelections) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> args{"run", "STANDARDSYNTAX", "1.0", "FILENAME_CASEFILE",
                                      SampleCase("parts1379", "ascii")};
        args.insert(args.end(), row.instructions.begin(), row.instructions.end());
        args.push_back("--json");
        args.push_back("--load-all");
        auto run = e2e::RunZelhost(args);
        ASSERT_TRUE(run.report) << run.Describe();
        EXPECT_EQ(Names(*run.report, "name"), row.zoneNames);
        EXPECT_EQ(e2e::Strings((*run.report)["variables"]), row.variables);
        const auto& messages = (*run.report)["messages"].items;
        if (row.message[0] == '\0') {
            EXPECT_TRUE(messages.empty()) << run.out;
        } else {
            ASSERT_EQ(messages.size(), 1u) << run.out;
            EXPECT_NE(messages[0]["text"].Str().find(row.message), std::string::npos) << run.out;
        }
    }
}

const char* const kIntegers = " -0123456789";
const char* const kReals = " -+.eE0123456789";

// The fields of a line of `width`-wide numbers written with `characters`, none when it is not one.
std::vector<std::string> FixedFields(const std::string& line, size_t width, const char* characters) {
    std::vector<std::string> fields;
    if (line.empty() || line.size() % width != 0) return {};
    for (size_t at = 0; at < line.size(); at += width) {
        const std::string field = line.substr(at, width);
        if (field.find_first_not_of(characters) != std::string::npos || field.find_first_of("0123456789") == std::string::npos)
            return {};
        fields.push_back(field.substr(field.find_first_not_of(' ')));
    }
    return fields;
}

// As an FE framework writes EnSight 6: integers 10 wide, tab-indented and
// tab-separated ("\t      2001\t\t       133"), reals and node ids tab-separated, "part\t1".
std::string WideLine(const std::string& line) {
    std::string out;
    for (const std::string& field : FixedFields(line, 8, kIntegers)) {
        char wide[16];
        std::snprintf(wide, sizeof wide, "%s%10s", out.empty() ? "\t" : "\t\t", field.c_str());
        out += wide;
    }
    if (out.empty())
        for (const std::string& field : FixedFields(line, 12, kReals)) out += field + "\t";
    if (line.rfind("part ", 0) == 0) out = "part\t" + line.substr(line.find_first_not_of(' ', 4));
    const std::vector<std::string> id = FixedFields(line.substr(0, 8), 8, kIntegers);  // a node line with its id
    if (line.size() == 44 && !id.empty() && !FixedFields(line.substr(8), 12, kReals).empty())
        out = "\t" + id[0] + "\t" + WideLine(line.substr(8));
    return out.empty() ? line : out;
}

// Node and element ids (100 and up) made 8 digits, so that the fields of a line touch ("1000200110000133").
std::string TouchingIds(const std::string& line) {
    std::string out = line;
    for (size_t at = 0; at + 8 <= out.size(); at += 8) {
        const std::vector<std::string> field = FixedFields(out.substr(at, 8), 8, kIntegers);
        if (field.empty() || std::stoi(field[0]) < 100) break;
        out.replace(at, 8, std::to_string(10000000 + std::stoi(field[0])));
    }
    return out;
}

std::string Same(const std::string& line) { return line; }

std::string EachLine(const std::string& bytes, const std::function<std::string(const std::string&)>& change) {
    std::string out;
    for (size_t at = 0, end = 0; at < bytes.size(); at = end + 1) {
        end = std::min(bytes.find('\n', at), bytes.size());
        out += change(bytes.substr(at, end - at)) + "\n";
    }
    return out;
}

// Lines in other widths load as the sample they were rewritten from; an
// element or value line with a number too few or too many still fails.
TEST(Ensight6Samples, LinesInOtherWidthsLoadAsTheirFixedWidthTwin) {
    const std::string tetra = "    2001     133     136     139     142     145     148     151     154     157     160\n";
    const std::string shortTetra = tetra.substr(0, tetra.size() - 9) + "\n";
    const std::string longTetra = tetra.substr(0, tetra.size() - 1) + "     100\n";
    const std::string temperature = "-2.00000e+00-3.75000e-01 1.25000e+00 2.87500e+00-3.50000e+00-1.87500e+00\n";
    struct Row {
        const char* name;
        const char* sample;
        std::function<std::string(const std::string&)> line;  // every line of every file
        std::pair<std::string, std::string> damage;  // before the rewrite: text and its replacement
        const char* message;  // of the failure; empty: the sample's zones and values
    };
    const Row rows[] = {
        {"tab-separated, 10 wide, ids", "higher_order", WideLine, {}, ""},
        {"tab-separated, 10 wide, no ids", "ids_off", WideLine, {}, ""},
        {"tab-separated, blocks with iblank, bar3, points", "mixed", WideLine, {}, ""},
        {"8-digit ids touching", "higher_order", TouchingIds, {}, ""},
        {"tab-separated, a node too few", "higher_order", WideLine, {tetra, shortTetra}, ": bad element line."},
        {"tab-separated, a node too many", "higher_order", WideLine, {tetra, longTetra}, ": bad element line."},
        {"fixed width, a node too few", "higher_order", Same, {tetra, shortTetra}, ": bad element line."},
        {"8-digit ids touching, a node too many", "higher_order", TouchingIds, {tetra, longTetra}, ": bad element line."},
        {"tab-separated, a value too few", "higher_order", WideLine,
         {temperature, temperature.substr(12)}, "bad or missing node values."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        quorix::test::TempDir dir;
        const std::string path = casetest::CopySample(dir, SampleCase(row.sample, "ascii"),
                                                      [&](const std::string& name, std::string bytes) {
                                                          if (name.ends_with(".case")) return bytes;
                                                          const auto& [text, with] = row.damage;
                                                          if (size_t at = bytes.find(text); at != std::string::npos)
                                                              bytes.replace(at, text.size(), with);
                                                          return EachLine(bytes, row.line);
                                                      });
        auto run = e2e::LoadCase(path, {"--load-all"});
        ASSERT_TRUE(run.report) << run.Describe();
        if (row.message[0] != '\0') {
            const std::vector<std::string> errors = e2e::Texts(*run.report, "error");
            ASSERT_FALSE(errors.empty()) << run.out;
            EXPECT_NE(errors[0].find(row.message), std::string::npos) << run.out;
            continue;
        }
        EXPECT_EQ(run.status, 0) << run.Describe();
        EXPECT_TRUE((*run.report)["messages"].items.empty()) << run.out;
        auto plain = e2e::LoadCase(SampleCase(row.sample, "ascii"), {"--load-all"});
        ASSERT_TRUE(plain.report) << plain.Describe();
        EXPECT_EQ(ZoneData(*run.report), ZoneData(*plain.report));
    }
}

struct FailureRow {
    const char* name;
    const char* message;  // substring
    size_t zonesKept;
};

const FailureRow kFailures[] = {
    {"empty", "Unrecognized geometry file format.", 0},
    {"fortran", "Fortran data is not currently supported.", 0},
    {"desc80",
     "Invalid character string for Geometry Description.  All strings are limited to 79 characters as per EnSight "
     "documentation.",
     0},
    {"missing_var", "missing_var.geo.scl.  Check file path and permissions.", 2},
    {"node_range_ascii", "part 1 in", 0},
    {"node_range_le", "node number 13 out of range", 0},
    {"nn_negative", "nn_negative.geo", 0},
    {"nn_huge", "nn_huge.geo", 0},
    {"truncated", "truncated.geo", 0},
    {"var_truncated", "var_truncated.geo.scl: the values run past the end of the file", 2},
    {"var_short_line", "var_short_line.geo.scl: bad or missing node values.", 2},
    {"steps_short_geo", "steps_short_geo.geo holds 2 time steps; the case expects 3.", 0},
    {"steps_short_var", "steps_short_var.scl: the file holds no further time step", 6},
    {"step_unclosed", "step_unclosed.geo: \"BEGIN TIME STEP\" inside a step (its \"END TIME STEP\" is missing)", 0},
};

TEST(Ensight6Samples, FailuresGiveAMessageAndExitStatus) {
    for (const FailureRow& row : kFailures) {
        SCOPED_TRACE(row.name);
        auto run = e2e::LoadCase(FailureCase(row.name));
        ASSERT_TRUE(run.report) << run.Describe();
        EXPECT_NE(run.status, 0);
        EXPECT_FALSE((*run.report)["loaded"].boolean);
        const auto& messages = (*run.report)["messages"].items;
        ASSERT_FALSE(messages.empty()) << run.out;
        EXPECT_NE(messages[0]["text"].Str().find(row.message), std::string::npos) << run.out;
        EXPECT_EQ((*run.report)["zones"].items.size(), row.zonesKept);
        e2e::ExpectClean(run);
    }
    auto ok = e2e::LoadCase(FailureCase("desc79"));
    EXPECT_EQ(ok.status, 0) << ok.Describe();
}

}  // namespace
