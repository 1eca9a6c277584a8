// Small cases in layouts today's writers produce, loaded through zelhost with
// every deferred load forced: what a load leaves out is named with its reason,
// particles may change while the geometry stays, and every mix of element
// types of a part makes the zone shape the host can hold; headers and value
// files that depart from the layout as writers make them load as their plain
// twins, and files that only look like them load as before.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <numeric>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "case_fixture.h"
#include "support/ensight_writer.h"
#include "zelhost_runner.h"

namespace {

using e2e::Json;
using quorix::test::Encoding;
using quorix::test::EnsightWriter;
using quorix::test::TempDir;

const std::string kGold = "FORMAT\ntype: ensight gold\n\n";

// One part, a strip of triangles (triangles + 2 nodes) in ASCII; node i lies at (i / 2, i % 2, 0).
std::string Strip(int32_t part, const std::string& name, int32_t triangles) {
    EnsightWriter writer(Encoding::Ascii);
    std::vector<float> x, y, z;
    for (int32_t i = 0; i < triangles + 2; ++i) {
        x.push_back(static_cast<float>(i / 2));
        y.push_back(static_cast<float>(i % 2));
        z.push_back(0.0f);
    }
    std::vector<std::vector<int32_t>> elements;
    for (int32_t t = 1; t <= triangles; ++t) elements.push_back({t, t + 1, t + 2});
    writer.GoldHeader().Part(part, name).Coordinates(x, y, z).Elements("tria3", elements);
    return writer.bytes();
}

// A scalar per node of `count` values equal to `value` on each listed part.
std::string NodeScalar(const std::vector<std::pair<int32_t, int32_t>>& partsAndCounts, float value) {
    EnsightWriter writer(Encoding::Ascii);
    writer.String("scalar per node");
    for (const auto& [part, count] : partsAndCounts) {
        writer.VarPart(part).String("coordinates");
        writer.Floats(std::vector<float>(static_cast<size_t>(count), value));
    }
    return writer.bytes();
}

// "time set: N" of `steps` steps numbered from 1.
std::string TimeSet(int32_t number, int32_t steps, const std::string& times) {
    return "time set: " + std::to_string(number) + "\nnumber of steps: " + std::to_string(steps) +
           "\nfilename start number: 1\nfilename increment: 1\ntime values: " + times + "\n";
}

// Two triangles of one EnSight 6 part, four nodes.
const std::string kEnsight6Geometry =
    "steady geometry\nwritten by a test\nnode id off\nelement id off\ncoordinates\n       4\n"
    " 0.00000e+00 0.00000e+00 0.00000e+00\n 0.00000e+00 1.00000e+00 0.00000e+00\n"
    " 1.00000e+00 0.00000e+00 0.00000e+00\n 1.00000e+00 1.00000e+00 0.00000e+00\n"
    "part 1\nfluid\ntria3\n       2\n       1       2       3\n       2       3       4\n";

const std::string kNotLoaded = "The following variables were not loaded\n(file was empty or an error was encountered)\n\n";

// A load that succeeds and forces every deferred load; its report, which outlives the run.
Json Loaded(const e2e::RunResult& run) {
    EXPECT_EQ(run.status, 0) << run.Describe();
    EXPECT_TRUE(run.report) << run.Describe();
    if (!run.report) return Json{};
    EXPECT_EQ((*run.report)["forced"]["failures"].text, "0") << run.out;
    EXPECT_TRUE(e2e::Texts(*run.report, "error").empty()) << run.out;
    return *run.report;
}

struct LeftOutRow {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;  // the case file last; "{dir}" in messages is the folder
    std::vector<std::string> info;  // every information message, in order
};

TEST(WriterLayouts, WhatALoadLeavesOutIsNamedWithItsReason) {
    const std::string mesh = Strip(1, "fluid", 1);
    const LeftOutRow rows[] = {
        {"time set off the loaded steps",
         {{"mesh.geo1", mesh}, {"mesh.geo2", mesh}, {"p.1", NodeScalar({{1, 3}}, 1)}, {"p.2", NodeScalar({{1, 3}}, 1)},
          {"c.case", kGold + "GEOMETRY\nmodel: 1 mesh.geo*\nVARIABLE\nscalar per node: 1 pressure p.*\n"
                             "scalar per node: 2 other p.*\nTIME\n" + TimeSet(1, 2, "0 1") + TimeSet(2, 3, "0 1 2")}},
         {kNotLoaded + "p.* (time set 2 does not match time set 1 of the loaded steps)"}},
        {"a step file missing",
         {{"mesh.geo1", mesh}, {"p.1", NodeScalar({{1, 3}}, 1)},
          {"c.case", kGold + "GEOMETRY\nmodel: mesh.geo1\nVARIABLE\nscalar per node: 1 pressure p.*\nTIME\n" +
                         TimeSet(1, 2, "0 1")}},
         {kNotLoaded + "p.* (p.2: Unable to open file for reading.)"}},
        {"particle values without particles, constants",
         {{"mesh.geo1", mesh},
          {"c.case", kGold + "GEOMETRY\nmodel: mesh.geo1\nVARIABLE\nscalar per measured node: diameter d.*\n"
                             "constant per case: 1 Mach 0.85\nconstant per case: Re 1.5e6\n"
                             "constant per case file: Density density.txt\nTIME\n" + TimeSet(1, 1, "0")}},
         {"File {dir}c.case, line 7: \"scalar per measured node: diameter d.*\" names a series of files but no time "
          "set; time set 1 applies.",
          kNotLoaded + "Mach (constants are not loaded)\nRe (constants are not loaded)\n"
                       "density.txt (constants are not loaded)\nd.* (the case has no measured geometry)"}},
        {"a part the geometry lacks",
         {{"mesh.geo", mesh}, {"p.scl", NodeScalar({{1, 3}, {9, 3}}, 1)},
          {"c.case", kGold + "GEOMETRY\nmodel: mesh.geo\nVARIABLE\nscalar per node: p p.scl\n"}},
         {kNotLoaded + "p.scl (Part 9 is not in the geometry (File {dir}p.scl, line 9))"}},
        {"a field with no time set on a mesh that changes",
         {{"geo.1", mesh}, {"geo.2", Strip(1, "fluid", 2)}, {"p.fixed", NodeScalar({{1, 3}}, 9)},
          {"c.case", kGold + "GEOMETRY\nmodel: 1 geo.*\nVARIABLE\nscalar per node: p p.fixed\nTIME\n" +
                         TimeSet(1, 2, "0 1")}},
         {kNotLoaded + "p.fixed (it has no time set; it fits part 1 \"fluid\" at step 1, not at step 2, where the "
                       "mesh differs)"}},
        {"EnSight 6: a part the geometry lacks, constants, particles, a MATERIAL section",
         {{"mesh.geo", kEnsight6Geometry},
          {"h.scl", "heat\npart 9\ntria3\n 5.00000e+00\npart 1\ntria3\n 1.00000e+00 2.00000e+00\n"},
          {"c.case", "FORMAT\ntype: ensight\nGEOMETRY\nmodel: mesh.geo\nVARIABLE\nconstant per case: Mach 0.85\n"
                     "constant per part: Density 1.5\nscalar per element: heat h.scl\n"
                     "scalar per measured node: diameter d.mea\nMATERIAL\nmaterial id per element: m.id\n"}},
         {kNotLoaded + "h.scl (Part 9 is not in the geometry; its values were passed over)\nMach (constants are not "
                       "loaded)\nDensity (constants are not loaded)\nd.mea (particles of EnSight 6 cases are not loaded)",
          "The following sections and lines of the case file were passed over\n(this reader does not load "
          "them)\n\nMATERIAL section"}},
    };
    for (const LeftOutRow& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        std::string casePath;
        for (const auto& [name, bytes] : row.files) casePath = dir.Write(name, bytes);
        const e2e::RunResult run = e2e::LoadCase(casePath, {"--load-all"});
        const Json& report = Loaded(run);
        std::vector<std::string> info;
        for (const std::string& text : row.info) info.push_back(casetest::ReplaceAll(text, "{dir}", dir.Prefix()));
        EXPECT_EQ(e2e::Texts(report, "info"), info);
        EXPECT_FALSE(report["zones"].items.empty()) << run.out;
    }
}

// Particle i of step s at (i, s, 0), as an ASCII measured geometry.
std::string Particles(int32_t count, int32_t step) {
    EnsightWriter writer(Encoding::Ascii);
    writer.String("particles").String("particle coordinates").Int(count);
    char line[80];
    for (int32_t id = 1; id <= count; ++id) {
        std::snprintf(line, sizeof line, "%8d%12.5e%12.5e%12.5e\n", id, 1.0 * id, 1.0 * step, 0.0);
        writer.Raw(line);
    }
    return writer.bytes();
}

// Steady particles with a transient value take the value's steps; transient
// particles keep their own, also when a step has none.
TEST(WriterLayouts, ParticleZonesFollowTheStepsOfTheirValues) {
    const auto values = [](int32_t count, float value) {
        EnsightWriter writer(Encoding::Ascii);
        writer.String("diameter");
        if (count > 0) writer.Floats(std::vector<float>(static_cast<size_t>(count), value), 6);
        return writer.bytes();
    };
    struct Row {
        const char* name;
        const char* measured;  // the "measured:" entry
        std::vector<int32_t> particles;  // per step; one file when steady
        std::vector<double> means;  // of the diameter per step; 0: no zone
    };
    const Row rows[] = {
        {"steady particles", "cloud.1", {3}, {0.5, 1.5}},
        {"a step without particles", "1 cloud.*", {2, 0}, {0.5, 0}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        dir.Write("mesh.geo", Strip(1, "wall", 1));
        for (size_t k = 0; k < row.particles.size(); ++k) {
            dir.Write("cloud." + std::to_string(k + 1), Particles(row.particles[k], static_cast<int32_t>(k)));
        }
        for (size_t k = 0; k < row.means.size(); ++k) {
            const int32_t count = row.particles[row.particles.size() == 1 ? 0 : k];
            dir.Write("d." + std::to_string(k + 1), values(count, 0.5f + static_cast<float>(k)));
        }
        const std::string casePath = dir.Write(
            "cloud.case", kGold + "GEOMETRY\nmodel: mesh.geo\nmeasured: " + row.measured +
                              "\nVARIABLE\nscalar per measured node: 1 diameter d.*\nTIME\n" + TimeSet(1, 2, "0 0.5"));
        const Json& report = Loaded(e2e::LoadCase(casePath, {"--load-all"}));
        EXPECT_TRUE(e2e::Texts(report, "info").empty());
        for (size_t k = 0; k < row.means.size(); ++k) {
            const Json* zone = nullptr;
            for (const Json& z : report["zones"].items) {
                const bool atStep = static_cast<float>(z["solutionTime"].number) == 0.5f * static_cast<float>(k);
                if (z["name"].Str() == "Particle: " && atStep && z["nodes"].number > 0) zone = &z;
            }
            ASSERT_EQ(zone != nullptr, row.means[k] != 0) << "step " << k + 1;
            if (zone != nullptr) {
                EXPECT_EQ((*zone)["values"]["diameter"]["mean"].number, row.means[k]);
            }
        }
    }
}

// A case file line as another writer writes it.
using LineForm = std::string (*)(const std::string& line);

// 'model: 1 geo.****' -> 'model: geo.****': the series loses its time-set number.
std::string WithoutSeriesTimeSet(const std::string& line) {
    const size_t at = line.find(": 1 ");
    if (line.find('*') == std::string::npos || at == std::string::npos) return line;
    return line.substr(0, at) + ": " + line.substr(at + 4);
}

// As list-directed Fortran output writes: every line begins with a blank.
std::string Indented(const std::string& line) { return " " + line; }

// Blanks and tabs around the keyword and the values, a carriage return at the end.
std::string Padded(const std::string& line) {
    const size_t colon = line.find(':');
    std::string padded = "  " + line.substr(0, colon);
    if (colon != std::string::npos) {
        padded += " \t:  ";
        for (char c : line.substr(colon + 1)) padded += c == ' ' ? std::string("   ") : std::string(1, c);
    }
    return padded + "   \t\r";
}

// What a forced load builds, its messages aside.
std::string Built(const Json& report) {
    return casetest::Compact(report["datasetTitle"]) + casetest::Compact(report["variables"]) +
           casetest::Compact(report["zones"]);
}

TEST(WriterLayouts, CaseFilesAsOtherWritersWriteThemLoadAsTheirPlainTwins) {
    namespace fs = std::filesystem;
    const std::pair<const char*, const char*> samples[] = {
        {"gold/transient_geometry/ascii", "transient_geometry.case"},
        {"gold/transient_geometry/be", "transient_geometry.case"},
        {"gold/transient_geometry/fortran_le", "transient_geometry.case"},
        {"gold/measured/le", "measured.case"},
        {"ensight6/transient_geo2/ascii", "transient_geo2.case"},
        {"ensight6/transient_geo2/le", "transient_geo2.case"},
    };
    const std::pair<const char*, LineForm> forms[] = {
        {"series without a time set", WithoutSeriesTimeSet}, {"indented", Indented}, {"padded", Padded}};
    for (const auto& [sample, caseName] : samples) {
        const fs::path folder = e2e::Sample(sample);
        const std::string plainText = quorix::test::ReadBytes(folder / caseName);
        const Json plain = Loaded(e2e::LoadCase((folder / caseName).string(), {"--load-all"}));
        for (const auto& [formName, form] : forms) {
            SCOPED_TRACE(std::string(sample) + ", " + formName);
            TempDir copy;
            for (const auto& file : fs::directory_iterator(folder)) fs::copy(file.path(), copy.Path() / file.path().filename());
            std::string text;
            std::vector<std::string> info;  // each series that lost its set says so once
            std::istringstream lines(plainText);
            for (std::string line; std::getline(lines, line);) {
                text += form(line) + "\n";
                if (form == WithoutSeriesTimeSet && form(line) != line) {
                    info.push_back("File " + copy.Prefix() + caseName + ", line " +
                                   std::to_string(std::count(text.begin(), text.end(), '\n')) + ": \"" + form(line) +
                                   "\" names a series of files but no time set; time set 1 applies.");
                }
            }
            EXPECT_EQ(info.empty(), form != WithoutSeriesTimeSet);
            const Json twin = Loaded(e2e::LoadCase(copy.Write(caseName, text), {"--load-all"}));
            EXPECT_EQ(Built(twin), Built(plain));
            for (const std::string& message : e2e::Texts(plain, "info")) info.push_back(message);
            EXPECT_EQ(e2e::Texts(twin, "info"), info);
        }
    }
}

// The largest element of the part's own category decides the zone; the host
// holds tetra, pyramids and pentas beside hexas as collapsed bricks, and
// higher-order elements as polygons and polyhedra.
TEST(WriterLayouts, EveryMixOfElementTypesMakesAZoneTheHostHolds) {
    struct Row {
        std::vector<const char*> types;
        const char* zoneType;
    };
    const Row rows[] = {
        {{"point"}, "ordered"},
        {{"bar2", "bar3"}, "linesegment"},
        {{"bar2", "tria3"}, "triangle"},
        {{"tria3", "quad4"}, "quadrilateral"},
        {{"tria6"}, "polygon"},
        {{"quad8"}, "polygon"},
        {{"quad4", "nsided"}, "polygon"},
        {{"tetra4"}, "tetrahedron"},
        {{"pyramid5"}, "brick"},
        {{"penta6"}, "brick"},
        {{"tetra4", "pyramid5"}, "brick"},
        {{"quad4", "hexa8"}, "brick"},
        {{"tetra10"}, "polyhedron"},
        {{"pyramid13", "penta15"}, "polyhedron"},
        {{"hexa20"}, "polyhedron"},
        {{"hexa8", "nfaced"}, "polyhedron"},
    };
    const std::map<std::string, int> nodesOf = {
        {"point", 1},  {"bar2", 2},  {"bar3", 3},   {"tria3", 3},     {"tria6", 6},    {"quad4", 4},
        {"quad8", 8},  {"tetra4", 4}, {"pyramid5", 5}, {"penta6", 6}, {"hexa8", 8},    {"tetra10", 10},
        {"pyramid13", 13}, {"penta15", 15}, {"hexa20", 20}};
    for (const Row& row : rows) {
        std::string name;
        EnsightWriter writer(Encoding::Ascii);
        writer.GoldHeader().Part(1, "mix").Coordinates(EnsightWriter::Ramp(20), EnsightWriter::Ramp(20), EnsightWriter::Ramp(20));
        for (const char* type : row.types) {
            name += std::string(type) + " ";
            if (std::string(type) == "nsided") {
                writer.Nsided({{1, 2, 3, 4, 5}});
            } else if (std::string(type) == "nfaced") {
                writer.Nfaced({{{1, 2, 3}, {1, 2, 4}, {2, 3, 4}, {3, 1, 4}}});
            } else {
                std::vector<int32_t> element(static_cast<size_t>(nodesOf.at(type)));
                std::iota(element.begin(), element.end(), 1);
                writer.Elements(type, {element});
            }
        }
        SCOPED_TRACE(name);
        TempDir dir;
        dir.Write("mix.geo", writer.bytes());
        const Json& report = Loaded(e2e::LoadCase(dir.Write("mix.case", kGold + "GEOMETRY\nmodel: mix.geo\n"), {"--load-all"}));
        ASSERT_EQ(report["zones"].items.size(), 1u);
        EXPECT_EQ(report["zones"].items[0]["zoneType"].Str(), row.zoneType);
    }
}

// A part of 4 nodes with a point block and a tria3 block after `header`, ids
// written where the row says, and a node vector of `blocks` blocks of `value`;
// the twin has a plain header, no ids and 3 blocks.
TEST(WriterLayouts, DeparturesOfWritersLoadAsTheirPlainTwin) {
    const std::string departures = "was loaded with these departures from the EnSight Gold layout:";
    const std::string emptyLine = "\n- an empty line before the description lines";
    const std::string noNodeIds = "\n- node ids declared but none in the file";
    const std::string noElementIds = "\n- element ids declared but none in the file";
    struct Row {
        const char* name;
        const char* header;
        bool nodeIds, elementIds;
        int blocks;
        const char* value;
        std::string geometryInfo, variableInfo;  // the items of each file's message
    };
    const char* given = "d1\nd2\nnode id given\nelement id given\n";
    const Row rows[] = {
        {"empty line first, ids declared, none written", "\nProblem name: p\nGeometry files\nnode id given\n"
         "element id given\n", false, false, 3, " 5.00000e-01", emptyLine + noNodeIds + noElementIds, ""},
        {"ids declared, none written", given, false, false, 3, " 5.00000e-01", noNodeIds + noElementIds, ""},
        {"node ids declared, none written", given, false, true, 3, " 5.00000e-01", noNodeIds, ""},
        {"ids given and present", given, true, true, 3, " 5.00000e-01", "", ""},
        {"empty first description", "\nd2\nnode id given\nelement id given\n", true, true, 3, " 5.00000e-01", "", ""},
        {"descriptions reading like id lines", "node id given\nelement id given\nnode id off\nelement id off\n",
         false, false, 3, " 5.00000e-01", "", ""},
        {"a fourth block of values", given, true, true, 4, " 5.00000e-01", "",
         "\n- more blocks of values than the variable has components (passed over)"},
        {"Fortran's exponent without its letter", given, true, true, 3, " 0.50000+000", "", ""},
    };
    const auto geometry = [](const std::string& header, bool nodeIds, bool elementIds) {
        EnsightWriter writer(Encoding::Ascii);
        writer.Raw(header);
        const auto ids = [](bool present, const std::vector<int32_t>& list) { return present ? list : std::vector<int32_t>{}; };
        writer.Part(1, "mesh").Coordinates({0, 1, 0, 1}, {0, 0, 1, 1}, {0, 0, 0, 1}, ids(nodeIds, {11, 12, 13, 14}));
        writer.Elements("point", {{1}, {4}}, ids(elementIds, {11, 12}));
        writer.Elements("tria3", {{1, 2, 3}}, ids(elementIds, {11}));
        return writer.bytes();
    };
    const auto vector = [](int blocks, const std::string& value) {
        std::string text = "velocity\npart\n         1\ncoordinates\n";
        for (int i = 0; i < 4 * blocks; ++i) text += value + "\n";
        return text;
    };
    const auto load = [](const std::string& geo, const std::string& vec, TempDir& dir) {
        dir.Write("m.geo", geo);
        dir.Write("m.vec", vec);
        return e2e::LoadCase(dir.Write("m.case", kGold + "GEOMETRY\nmodel: m.geo\nVARIABLE\nvector per node: v m.vec\n"),
                             {"--load-all"});
    };
    TempDir twinDir;
    const Json& twin =
        Loaded(load(geometry("d1\nd2\nnode id off\nelement id off\n", false, false), vector(3, " 5.00000e-01"), twinDir));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const Json& report = Loaded(load(geometry(row.header, row.nodeIds, row.elementIds), vector(row.blocks, row.value), dir));
        std::vector<std::string> info;
        if (!row.geometryInfo.empty()) info.push_back("The geometry file " + dir.Prefix() + "m.geo " + departures + row.geometryInfo);
        if (!row.variableInfo.empty()) info.push_back("The variable file " + dir.Prefix() + "m.vec " + departures + row.variableInfo);
        EXPECT_EQ(e2e::Texts(report, "info"), info);
        EXPECT_EQ(e2e::Hashes(report), e2e::Hashes(twin));
    }
    // Cut right after its ids, a file still fails: its first lines are ids.
    const std::vector<float> ramp = EnsightWriter::Ramp(4);
    EnsightWriter nodesCut(Encoding::Ascii), elementsCut(Encoding::Ascii);
    nodesCut.Raw(given).Part(1, "mesh").String("coordinates").Int(4).Ints({1, 2, 3, 4}).Floats(ramp).Floats(ramp);
    elementsCut.Raw(given).Part(1, "mesh").Coordinates(ramp, ramp, ramp, {1, 2, 3, 4}).String("tria3").Int(1).Int(7);
    for (const EnsightWriter* cut : {&nodesCut, &elementsCut}) {
        TempDir dir;
        const e2e::RunResult run = load(cut->bytes(), vector(3, " 5.00000e-01"), dir);
        EXPECT_EQ(run.status, 1) << run.Describe();
        ASSERT_TRUE(run.report) << run.Describe();
        const std::vector<std::string> errors = e2e::Texts(*run.report, "error");
        ASSERT_FALSE(errors.empty());
        EXPECT_NE(errors[0].find("error when scanning unstructured element"), std::string::npos) << errors[0];
    }
}

}  // namespace
