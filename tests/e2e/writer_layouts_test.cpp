// Layouts today's writers produce, written here as small cases and loaded
// through zelhost: steady results in a one-step time set, per-step folders,
// quoted names, Windows line ends, other case-file extensions, particles that
// vanish, and variable files whose parts differ from the geometry's.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "case_fixture.h"
#include "support/ensight_var_writer.h"
#include "support/ensight_writer.h"
#include "zelhost_runner.h"

namespace {

using casetest::CaseDirectory;
using e2e::Json;
using quorix::test::Encoding;
using quorix::test::EncodingName;
using quorix::test::EnsightWriter;

struct GeometryPart {
    int32_t number;
    std::string description;
    int32_t triangles;  // a strip: triangles + 2 nodes; 0: an empty part
    bool coordinatesOnly = false;  // the nodes without the triangles (change_coords_only)
};

int32_t NodesOf(const GeometryPart& part) { return part.triangles > 0 ? part.triangles + 2 : 0; }

// Each part a strip of triangles; node i lies at (i / 2, i % 2, 0).
std::string Geometry(Encoding encoding, const std::vector<GeometryPart>& parts) {
    EnsightWriter writer(encoding);
    writer.GoldHeader();
    for (const GeometryPart& part : parts) {
        std::vector<float> x, y, z;
        for (int32_t i = 0; i < NodesOf(part); ++i) {
            x.push_back(static_cast<float>(i / 2));
            y.push_back(static_cast<float>(i % 2));
            z.push_back(static_cast<float>(part.number));
        }
        std::vector<std::vector<int32_t>> triangles;
        for (int32_t t = 1; t <= part.triangles; ++t) triangles.push_back({t, t + 1, t + 2});
        writer.Part(part.number, part.description).Coordinates(x, y, z);
        if (!triangles.empty() && !part.coordinatesOnly) writer.Elements("tria3", triangles);
    }
    return writer.bytes();
}

// A scalar per node: every listed part holds `count` values equal to `value`.
struct PartValues {
    int32_t number;
    int32_t count;
    float value;
};

std::string NodeScalar(Encoding encoding, const std::vector<PartValues>& parts) {
    EnsightWriter writer(encoding);
    writer.String("scalar per node");
    for (const PartValues& part : parts) {
        quorix::test::VarPart(writer, part.number).String("coordinates");
        writer.Floats(std::vector<float>(static_cast<size_t>(part.count), part.value));
    }
    return writer.bytes();
}

std::string ElementScalar(Encoding encoding, int32_t part, int32_t triangles, float value) {
    EnsightWriter writer(encoding);
    writer.String("scalar per element");
    quorix::test::VarPart(writer, part).String("tria3");
    writer.Floats(std::vector<float>(static_cast<size_t>(triangles), value));
    return writer.bytes();
}

const std::string kGoldFormat = "FORMAT\ntype: ensight gold\n\n";

e2e::RunResult Load(const std::string& casePath, const std::vector<std::string>& extra = {"--load-all"}) {
    return e2e::LoadCase(casePath, extra);
}

const Json* ZoneNamed(const Json& report, const std::string& name, double time) {
    for (const Json& zone : report["zones"].items) {
        // times are single precision in the case file
        const bool atTime = static_cast<float>(zone["solutionTime"].number) == static_cast<float>(time);
        if (zone["name"].Str() == name && atTime) return &zone;
    }
    return nullptr;
}

// The zone of that name and time; a failure and an empty value when there is none.
const Json& Zone(const Json& report, const std::string& name, double time) {
    static const Json none;
    const Json* zone = ZoneNamed(report, name, time);
    if (zone == nullptr) ADD_FAILURE() << "no zone \"" << name << "\" at " << time;
    return zone != nullptr ? *zone : none;
}

// The mean of a zone's variable, or NaN when the zone has no values for it.
double Mean(const Json& zone, const std::string& variable) {
    const Json* values = zone["values"].Find(variable);
    return values != nullptr && values->Find("mean") != nullptr ? (*values)["mean"].number : std::nan("");
}

std::vector<std::string> Texts(const Json& report, const std::string& kind) {
    std::vector<std::string> texts;
    for (const Json& message : report["messages"].items) {
        if (message["kind"].Str() == kind) texts.push_back(message["text"].Str());
    }
    return texts;
}

// A successful load whose deferred loads all ran, without any error.
void ExpectLoaded(const e2e::RunResult& run) {
    ASSERT_TRUE(run.report) << run.Describe();
    EXPECT_EQ(run.status, 0) << run.Describe();
    EXPECT_TRUE((*run.report)["loaded"].boolean);
    const Json* forced = (*run.report).Find("forced");
    if (forced != nullptr) {
        EXPECT_EQ((*forced)["failures"].text, "0") << run.out;
    }
    EXPECT_TRUE(Texts(*run.report, "error").empty()) << run.out;
}

std::string WindowsLineEnds(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// ---- steady results in one-step time sets ----

// Time set 1: one step, file number 7, at t = 0.3.
const std::string kOneStepAt7 =
    "TIME\ntime set: 1\nnumber of steps: 1\nfilename start number: 7\nfilename increment: 1\ntime values: 0.3\n";

// One zone at the one step's time, holding each variable's value.
void ExpectOneSteadyZone(const e2e::RunResult& run, const std::vector<std::pair<std::string, double>>& means) {
    ExpectLoaded(run);
    ASSERT_EQ((*run.report)["zones"].items.size(), 1u);
    const Json& zone = (*run.report)["zones"].items[0];
    EXPECT_FLOAT_EQ(static_cast<float>(zone["solutionTime"].number), 0.3f);
    for (const auto& [variable, mean] : means) EXPECT_DOUBLE_EQ(Mean(zone, variable), mean) << variable;
    EXPECT_TRUE(Texts(*run.report, "info").empty()) << run.out;
}

TEST(WriterLayouts, OneStepTimeSetsOnASteadyGoldGeometryAreSteadyData) {
    for (Encoding encoding : quorix::test::AllEncodings) {
        SCOPED_TRACE(EncodingName(encoding));
        CaseDirectory dir;
        dir.Write("mesh.geo", Geometry(encoding, {{1, "fluid", 2}}));
        dir.Write("p.0007", NodeScalar(encoding, {{1, 4, 2.5f}}));
        dir.Write("h.0003", ElementScalar(encoding, 1, 2, 7.0f));
        const std::string casePath = dir.Write(
            "last.case", kGoldFormat +
                             "GEOMETRY\nmodel: mesh.geo\n\nVARIABLE\n"
                             "scalar per node: 1 pressure p.****\nscalar per element: 2 heat h.****\n\n" +
                             kOneStepAt7 + "time set: 2\nnumber of steps: 1\nfilename numbers: 3\ntime values: 0.3\n");
        ExpectOneSteadyZone(Load(casePath), {{"pressure", 2.5}, {"heat", 7.0}});
    }
}

// Two triangles of one part, four nodes.
const std::string kEnsight6Geometry =
    "steady geometry\nwritten by a test\nnode id off\nelement id off\ncoordinates\n       4\n"
    " 0.00000e+00 0.00000e+00 0.00000e+00\n 0.00000e+00 1.00000e+00 0.00000e+00\n"
    " 1.00000e+00 0.00000e+00 0.00000e+00\n 1.00000e+00 1.00000e+00 0.00000e+00\n"
    "part 1\nfluid\ntria3\n       2\n       1       2       3\n       2       3       4\n";

const std::string kEnsight6Format = "FORMAT\ntype: ensight\n\n";

// With Windows line ends too, in the case file and the ASCII data files.
TEST(WriterLayouts, OneStepTimeSetOnASteadyEnsight6GeometryIsSteadyData) {
    for (const bool windows : {false, true}) {
        SCOPED_TRACE(windows ? "CR LF" : "LF");
        const auto text = [&](const std::string& lines) { return windows ? WindowsLineEnds(lines) : lines; };
        CaseDirectory dir;
        dir.Write("mesh.geo", text(kEnsight6Geometry));
        dir.Write("p007", text("pressure\n 2.50000e+00 2.50000e+00 2.50000e+00 2.50000e+00\n"));
        const std::string casePath =
            dir.Write("last.case", text(kEnsight6Format + "GEOMETRY\nmodel: mesh.geo\n\nVARIABLE\n"
                                                          "scalar per node: 1 pressure p***\n\n" +
                                        kOneStepAt7));
        ExpectOneSteadyZone(Load(casePath), {{"pressure", 2.5}});
    }
}

// The values of a part the geometry lacks are passed over; the other parts keep theirs.
TEST(WriterLayouts, Ensight6NamesWhatItLeavesOut) {
    CaseDirectory dir;
    dir.Write("mesh.geo", kEnsight6Geometry);
    dir.Write("h.scl", "heat\npart 9\ntria3\n 5.00000e+00\npart 1\ntria3\n 1.00000e+00 2.00000e+00\n");
    const std::string casePath =
        dir.Write("left.case", kEnsight6Format + "GEOMETRY\nmodel: mesh.geo\n\nVARIABLE\n"
                                                 "constant per case: Mach 0.85\n"
                                                 "constant per part: Density 1.5\n"
                                                 "scalar per element: heat h.scl\n"
                                                 "scalar per measured node: diameter d.*\n"
                                                 "MATERIAL\nmaterial id per element: m.id\n");
    const e2e::RunResult run = Load(casePath);
    ExpectLoaded(run);
    EXPECT_EQ(Texts(*run.report, "info"),
              (std::vector<std::string>{"The following variables were not loaded\n(file was empty or an error was "
                                        "encountered)\n\nh.scl (Part 9 is not in the geometry; its values were "
                                        "passed over)\nMach (constants are not loaded)\n"
                                        "Density (constants are not loaded)\n"
                                        "d.* (particles of EnSight 6 cases are not loaded)",
                                        "The following sections and lines of the case file were passed over\n(this "
                                        "reader does not load them)\n\nMATERIAL section"}));
    EXPECT_DOUBLE_EQ(Mean(Zone(*run.report, "Surf: fluid", 0.0), "heat"), 1.5);
}

// "time set: N" of `steps` steps numbered from 1.
std::string TimeSet(int32_t number, int32_t steps, const std::string& times) {
    return "time set: " + std::to_string(number) + "\nnumber of steps: " + std::to_string(steps) +
           "\nfilename start number: 1\nfilename increment: 1\ntime values: " + times + "\n";
}

struct LeftOutRow {
    const char* name;
    const char* model;
    std::vector<std::string> variableFiles;
    std::string variables;
    std::string timeSets;
    const char* reported;  // the variable's line in the report
};

TEST(WriterLayouts, AVariableLeftOutIsNamedWithItsReason) {
    const LeftOutRow rows[] = {
        {"time set off the loaded steps", "model: 1 mesh.geo*", {"p.1", "p.2"},
         "scalar per node: 1 pressure p.*\nscalar per node: 2 other p.*\n",
         TimeSet(1, 2, "0 1") + TimeSet(2, 3, "0 1 2"),
         "p.* (time set 2 does not match time set 1 of the loaded steps)"},
        {"a step file missing", "model: mesh.geo1", {"p.1"}, "scalar per node: 1 pressure p.*\n", TimeSet(1, 2, "0 1"),
         "p.* (p.2: Unable to open file for reading.)"},
        {"particle values without particles", "model: mesh.geo1", {}, "scalar per measured node: diameter d.*\n", "",
         "d.* (the case has no measured geometry)"},
        {"constants", "model: mesh.geo1", {}, "constant per case: 1 Mach 0.85\nconstant per case: Re 1.5e6\n",
         TimeSet(1, 1, "0"), "Mach (constants are not loaded)\nRe (constants are not loaded)"},
        {"constants from a file", "model: mesh.geo1", {}, "constant per case file: Mach mach.txt\n", "",
         "mach.txt (constants are not loaded)"},
    };
    for (const LeftOutRow& row : rows) {
        SCOPED_TRACE(row.name);
        CaseDirectory dir;
        for (const char* step : {"1", "2"}) {
            dir.Write(std::string("mesh.geo") + step, Geometry(Encoding::Ascii, {{1, "fluid", 1}}));
        }
        for (const std::string& name : row.variableFiles) dir.Write(name, NodeScalar(Encoding::Ascii, {{1, 3, 1.0f}}));
        const std::string casePath = dir.Write("left.case", kGoldFormat + "GEOMETRY\n" + row.model + "\n\nVARIABLE\n" +
                                                                row.variables +
                                                                (row.timeSets.empty() ? "" : "\nTIME\n" + row.timeSets));
        const e2e::RunResult run = Load(casePath);
        ExpectLoaded(run);
        EXPECT_EQ(Texts(*run.report, "info"),
                  std::vector<std::string>{"The following variables were not loaded\n(file was empty or an error was "
                                           "encountered)\n\n" +
                                           std::string(row.reported)});
        EXPECT_TRUE(ZoneNamed(*run.report, "Surf: fluid", 0.0) != nullptr) << run.out;
    }
}

// ---- file names and folders ----

struct FolderRow {
    const char* name;
    const char* pattern;  // the folder of each step, as the case file writes it
    const char* step0;
    const char* step1;
};

// Geometry and variable of each step in the step's folder; the topology
// changes from one step to the next, the file numbers start at 0 and the
// times later.
TEST(WriterLayouts, StepsInFoldersNamedByTheirNumber) {
    const FolderRow rows[] = {
        {"run of 8", "data/********/", "data/00000000/", "data/00000010/"},
        {"run of 1", "data/*/", "data/0/", "data/10/"},
        {"run of 3 in a nested folder", "out/step***/fields/", "out/step000/fields/", "out/step010/fields/"},
    };
    for (const FolderRow& row : rows) {
        SCOPED_TRACE(row.name);
        CaseDirectory dir;
        dir.Write(std::string(row.step0) + "mesh.geo", Geometry(Encoding::BinaryLE, {{1, "wall", 1}}));
        dir.Write(std::string(row.step0) + "U", NodeScalar(Encoding::BinaryLE, {{1, 3, 1.0f}}));
        dir.Write(std::string(row.step1) + "mesh.geo", Geometry(Encoding::BinaryLE, {{1, "wall", 3}}));
        dir.Write(std::string(row.step1) + "U", NodeScalar(Encoding::BinaryLE, {{1, 5, 2.0f}}));
        const std::string casePath =
            dir.Write("refined.case", kGoldFormat + "GEOMETRY\nmodel: 1 " + row.pattern +
                                          "mesh.geo\n\nVARIABLE\nscalar per node: 1 U " + row.pattern +
                                          "U\n\nTIME\ntime set: 1\nnumber of steps: 2\n"
                                          "filename start number: 0\nfilename increment: 10\n"
                                          "time values: 0.5 1.5\n");
        const e2e::RunResult run = Load(casePath);
        ExpectLoaded(run);
        const Json* first = ZoneNamed(*run.report, "Surf: wall", 0.5);
        const Json* second = ZoneNamed(*run.report, "Surf: wall", 1.5);
        ASSERT_TRUE(first != nullptr && second != nullptr) << run.out;
        EXPECT_EQ((*first)["nodes"].number, 3);
        EXPECT_EQ((*second)["nodes"].number, 5);
        EXPECT_EQ((*second)["elements"].number, 3);
        EXPECT_DOUBLE_EQ(Mean(*first, "U"), 1.0);
        EXPECT_DOUBLE_EQ(Mean(*second, "U"), 2.0);
    }
}

TEST(WriterLayouts, FileNumbersFromZeroWithLaterTimesOnASteadyGeometry) {
    CaseDirectory dir;
    dir.Write("mesh.geo", Geometry(Encoding::Ascii, {{1, "wall", 1}}));
    dir.Write("T.00", NodeScalar(Encoding::Ascii, {{1, 3, 10.0f}}));
    dir.Write("T.01", NodeScalar(Encoding::Ascii, {{1, 3, 11.0f}}));
    const std::string casePath = dir.Write(
        "late.case", kGoldFormat + "GEOMETRY\nmodel: mesh.geo\n\nVARIABLE\nscalar per node: 1 T T.**\n\n"
                                   "TIME\ntime set: 1\nnumber of steps: 2\nfilename start number: 00\n"
                                   "filename increment: 1\ntime values: 100.0 200.0\n");
    const e2e::RunResult run = Load(casePath);
    ExpectLoaded(run);
    EXPECT_DOUBLE_EQ(Mean(Zone(*run.report, "Surf: wall", 100.0), "T"), 10.0);
    EXPECT_DOUBLE_EQ(Mean(Zone(*run.report, "Surf: wall", 200.0), "T"), 11.0);
}

struct NameRow {
    const char* name;
    const char* geometryLine;
    const char* geometryFile;
    const char* variableLine;
    const char* variableFile;
    const char* variable;
};

TEST(WriterLayouts, QuotedNamesBlanksAndColons) {
    const NameRow rows[] = {
        {"quoted with blanks", "model: \"my run/geo file.geo\"", "my run/geo file.geo",
         "scalar per node: \"static p\" \"my run/p file.scl\"", "my run/p file.scl", "static p"},
        {"quoted with a time set", "model: \"my run/geo file.geo\"", "my run/geo file.geo",
         "scalar per node: 1 p \"my run/p ***.scl\"", "my run/p 004.scl", "p"},
        {"colons", "model: mesh:1.geo", "mesh:1.geo", "scalar per node: 1 p:total p:total.***", "p:total.004",
         "p:total"},
    };
    for (const NameRow& row : rows) {
        SCOPED_TRACE(row.name);
        CaseDirectory dir;
        dir.Write(row.geometryFile, Geometry(Encoding::Ascii, {{1, "inlet: wall", 1}}));
        dir.Write(row.variableFile, NodeScalar(Encoding::Ascii, {{1, 3, 4.0f}}));
        const std::string casePath =
            dir.Write("named.case", kGoldFormat + "GEOMETRY\n" + row.geometryLine + "\n\nVARIABLE\n" +
                                        row.variableLine +
                                        "\n\nTIME\ntime set: 1\nnumber of steps: 1\nfilename start number: 4\n"
                                        "filename increment: 1\ntime values: 2.0\n");
        const e2e::RunResult run = Load(casePath);
        ExpectLoaded(run);
        ASSERT_EQ((*run.report)["zones"].items.size(), 1u) << run.out;
        const Json& zone = (*run.report)["zones"].items[0];
        EXPECT_EQ(zone["name"].Str(), "Surf: inlet: wall");
        EXPECT_DOUBLE_EQ(Mean(zone, row.variable), 4.0) << run.out;
    }
}

TEST(WriterLayouts, WindowsLineEndsInTheCaseAndTheAsciiFiles) {
    for (Encoding encoding : {Encoding::Ascii, Encoding::BinaryBE}) {
        SCOPED_TRACE(EncodingName(encoding));
        CaseDirectory dir;
        const auto data = [&](const std::string& text) {
            return encoding == Encoding::Ascii ? WindowsLineEnds(text) : text;
        };
        dir.Write("mesh.geo", data(Geometry(encoding, {{1, "wall", 2}, {2, "inlet", 1}})));
        dir.Write("p.1", data(NodeScalar(encoding, {{1, 4, 3.0f}, {2, 3, 5.0f}})));
        dir.Write("p.2", data(NodeScalar(encoding, {{1, 4, 4.0f}, {2, 3, 6.0f}})));
        const std::string casePath = dir.Write(
            "crlf.case", WindowsLineEnds(kGoldFormat +
                                         "GEOMETRY\nmodel: mesh.geo\n\nVARIABLE\nscalar per node: 1 p p.*\n\n"
                                         "TIME\ntime set: 1\nnumber of steps: 2\nfilename start number: 1\n"
                                         "filename increment: 1\ntime values:\n0.5\n1.5\n"));
        const e2e::RunResult run = Load(casePath);
        ExpectLoaded(run);
        EXPECT_EQ((*run.report)["zones"].items.size(), 4u);
        EXPECT_DOUBLE_EQ(Mean(Zone(*run.report, "Surf: inlet", 1.5), "p"), 6.0);
        EXPECT_DOUBLE_EQ(Mean(Zone(*run.report, "Surf: wall", 0.5), "p"), 3.0);
    }
}

TEST(WriterLayouts, CaseFilesNamedEncasAndEncaseLoadAndArePicked) {
    for (const char* name : {"flow.encas", "flow.encase", "FLOW.CASE"}) {
        SCOPED_TRACE(name);
        CaseDirectory dir;
        dir.Write("mesh.geo", Geometry(Encoding::BinaryLE, {{1, "wall", 1}}));
        const std::string casePath = dir.Write(name, kGoldFormat + "GEOMETRY\nmodel: mesh.geo\n");
        ExpectLoaded(Load(casePath));
        const e2e::RunResult picked = e2e::RunZelhost({"pick", casePath, "--json"});
        ExpectLoaded(picked);
    }
}

TEST(WriterLayouts, TheFileDialogOffersOnlyCaseFiles) {
    CaseDirectory dir;
    dir.Write("mesh.geo", Geometry(Encoding::BinaryLE, {{1, "wall", 1}}));
    const std::string casePath = dir.Write("flow.txt", kGoldFormat + "GEOMETRY\nmodel: mesh.geo\n");
    const e2e::RunResult picked = e2e::RunZelhost({"pick", casePath, "--json"});
    ASSERT_TRUE(picked.report) << picked.Describe();
    EXPECT_EQ(picked.status, 1);
    EXPECT_TRUE((*picked.report)["datasetTitle"].IsNull());
}

// ---- particles ----

// Particle i at (i, 0, 0).
std::string Particles(Encoding encoding, int32_t count) {
    EnsightWriter writer(encoding);
    if (writer.binary()) writer.String("C Binary");
    writer.String("particles").String("particle coordinates").Int(count);
    std::vector<int32_t> ids;
    for (int32_t i = 1; i <= count; ++i) ids.push_back(i);
    if (writer.binary()) {
        writer.Ints(ids);
        for (int32_t id : ids) writer.Floats({static_cast<float>(id), 0.0f, 0.0f});
        return writer.bytes();
    }
    char line[80];
    for (int32_t id : ids) {
        std::snprintf(line, sizeof line, "%8d%12.5e%12.5e%12.5e\n", id, 1.0 * id, 0.0, 0.0);
        writer.Raw(line);
    }
    return writer.bytes();
}

std::string ParticleValues(Encoding encoding, int32_t count, float value) {
    EnsightWriter writer(encoding);
    writer.String("diameter");
    if (count > 0) writer.Floats(std::vector<float>(static_cast<size_t>(count), value), 6);
    return writer.bytes();
}

// A step with no particles: its variable files hold only the description.
TEST(WriterLayouts, AParticleStepWithoutParticlesLoads) {
    const std::vector<int32_t> counts[] = {{2, 0}, {0, 2}, {0, 0}};
    for (Encoding encoding : quorix::test::AllEncodings) {
        for (const std::vector<int32_t>& perStep : counts) {
            SCOPED_TRACE(std::string(EncodingName(encoding)) + " " + std::to_string(perStep[0]) + " then " +
                         std::to_string(perStep[1]));
            CaseDirectory dir;
            dir.Write("mesh.geo", Geometry(encoding, {{1, "wall", 1}}));
            for (size_t k = 0; k < perStep.size(); ++k) {
                dir.Write("cloud." + std::to_string(k + 1), Particles(encoding, perStep[k]));
                dir.Write("d." + std::to_string(k + 1), ParticleValues(encoding, perStep[k], 0.5f));
            }
            const std::string casePath = dir.Write(
                "cloud.case", kGoldFormat + "GEOMETRY\nmodel: mesh.geo\nmeasured: 1 cloud.*\n\nVARIABLE\n"
                                            "scalar per measured node: 1 diameter d.*\n\nTIME\n" +
                                            TimeSet(1, 2, "0.0 0.1"));
            const e2e::RunResult run = Load(casePath);
            ExpectLoaded(run);
            EXPECT_TRUE(Texts(*run.report, "info").empty()) << run.out;
            for (size_t k = 0; k < perStep.size(); ++k) {
                const Json* zone = ZoneNamed(*run.report, "Particle: ", k == 0 ? 0.0 : 0.1);
                if (perStep[k] == 0) {
                    EXPECT_TRUE(zone == nullptr || (*zone)["nodes"].number == 0) << run.out;
                    continue;
                }
                ASSERT_TRUE(zone != nullptr) << run.out;
                EXPECT_EQ((*zone)["nodes"].number, perStep[k]);
                EXPECT_DOUBLE_EQ(Mean(*zone, "diameter"), 0.5);
            }
        }
    }
}

// ---- parts that come and go ----

// A part empty at a step makes no zone there; a step where every part is
// empty keeps its time with empty zones; a field with no time set holds
// where the mesh is the one its file fits.
TEST(WriterLayouts, PartsEmptyAtSomeSteps) {
    const std::vector<GeometryPart> steps[] = {{{1, "wall", 2}, {2, "inlet", 0}},
                                               {{1, "wall", 0}, {2, "inlet", 0}},
                                               {{1, "wall", 3}, {2, "inlet", 1}},
                                               {{1, "wall", 2}, {2, "inlet", 0}}};
    struct ZoneRow {
        const char* name;
        double time;
        int nodes;
        double fixed;  // NaN: no values
    };
    const double none = std::nan("");
    const ZoneRow zones[] = {{"Surf: wall", 0, 4, 9}, {"wall", 1, 0, none},       {"inlet", 1, 0, none},
                          {"Surf: wall", 2, 5, none}, {"Surf: inlet", 2, 3, none}, {"Surf: wall", 3, 4, 9}};
    for (Encoding encoding : quorix::test::AllEncodings) {
        SCOPED_TRACE(EncodingName(encoding));
        CaseDirectory dir;
        for (size_t k = 0; k < std::size(steps); ++k) dir.Write("geo." + std::to_string(k + 1), Geometry(encoding, steps[k]));
        dir.Write("p.fixed", NodeScalar(encoding, {{1, 4, 9.0f}}));
        const std::string casePath = dir.Write(
            "band.case", kGoldFormat + "GEOMETRY\nmodel: 1 geo.*\n\nVARIABLE\nscalar per node: p p.fixed\n\nTIME\n" +
                             TimeSet(1, 4, "0 1 2 3"));
        const e2e::RunResult run = Load(casePath);
        ExpectLoaded(run);
        ASSERT_EQ((*run.report)["zones"].items.size(), std::size(zones)) << run.out;
        for (const ZoneRow& want : zones) {
            const Json& zone = Zone(*run.report, want.name, want.time);
            EXPECT_EQ(zone["nodes"].number, want.nodes) << want.name << " at " << want.time;
            EXPECT_TRUE(std::isnan(want.fixed) ? std::isnan(Mean(zone, "p")) : Mean(zone, "p") == want.fixed);
        }
        const std::vector<std::string> info = Texts(*run.report, "info");
        ASSERT_EQ(info.size(), 1u) << run.out;
        EXPECT_NE(info[0].find("\np.fixed (it has no time set; it fits part 1 \"wall\" at step 1, not at step 3, "
                               "where the mesh differs)"),
                  std::string::npos)
            << info[0];
    }
}

// change_coords_only: the later files may hold coordinates only; the
// elements are those of the first step, as long as the node counts agree.
TEST(WriterLayouts, CoordinatesOnlyStepsTakeTheFirstStepsElements) {
    struct Row {
        const char* name;
        int32_t laterTriangles;  // the strip the later file's nodes are for
        const char* error;       // substring, or empty for a load
    };
    const Row rows[] = {{"same nodes", 2, ""},
                        {"other node count", 3, "geo.2 holds 5 nodes, but its elements, in "}};
    for (const Row& row : rows) {
        for (Encoding encoding : quorix::test::AllEncodings) {
            SCOPED_TRACE(std::string(row.name) + " " + EncodingName(encoding));
            CaseDirectory dir;
            dir.Write("geo.1", Geometry(encoding, {{1, "wall", 2}}));
            dir.Write("geo.2", Geometry(encoding, {{1, "wall", row.laterTriangles, true}}));
            const std::string casePath = dir.Write(
                "cco.case", kGoldFormat + "GEOMETRY\nmodel: 1 geo.* change_coords_only\n\nTIME\n" + TimeSet(1, 2, "0 1"));
            const e2e::RunResult run = Load(casePath);
            if (row.error[0] != '\0') {
                ASSERT_TRUE(run.report) << run.Describe();
                EXPECT_EQ(run.status, 1);
                const std::vector<std::string> errors = Texts(*run.report, "error");
                ASSERT_FALSE(errors.empty()) << run.out;
                EXPECT_NE(errors[0].find(row.error), std::string::npos) << errors[0];
                continue;
            }
            ExpectLoaded(run);
            const Json& later = Zone(*run.report, "Surf: wall", 1);
            EXPECT_EQ(later["elements"].number, 2);
            EXPECT_EQ(later["nodeMap"]["hash"].Str(), Zone(*run.report, "Surf: wall", 0)["nodeMap"]["hash"].Str());
        }
    }
}

// ---- parts of variable files against the geometry ----

TEST(WriterLayouts, PartsWithoutValuesKeepNoneAndTheLoadSucceeds) {
    for (Encoding encoding : quorix::test::AllEncodings) {
        SCOPED_TRACE(EncodingName(encoding));
        CaseDirectory dir;
        dir.Write("mesh.geo", Geometry(encoding, {{1, "wall", 1}, {2, "inlet", 2}}));
        dir.Write("p.scl", NodeScalar(encoding, {{2, 4, 9.0f}}));
        const std::string casePath = dir.Write(
            "some.case", kGoldFormat + "GEOMETRY\nmodel: mesh.geo\n\nVARIABLE\nscalar per node: p p.scl\n");
        const e2e::RunResult run = Load(casePath);
        ExpectLoaded(run);
        EXPECT_TRUE(Texts(*run.report, "info").empty()) << run.out;
        EXPECT_DOUBLE_EQ(Mean(Zone(*run.report, "Surf: inlet", 0.0), "p"), 9.0);
        EXPECT_TRUE(std::isnan(Mean(Zone(*run.report, "Surf: wall", 0.0), "p")));
    }
}

// Part 1 is empty at steps 1 and 3 of a changing mesh: its geometry holds
// "coordinates" 0 and a point block of none, its variable files the part's
// number alone, up to the next part or the end of the file (per node also
// "coordinates" with no values).
TEST(WriterLayouts, APartEmptyAtSomeStepsHasValuesAtTheOthers) {
    for (Encoding encoding : {Encoding::Ascii, Encoding::BinaryLE, Encoding::BinaryBE, Encoding::FortranBE}) {
        SCOPED_TRACE(EncodingName(encoding));
        CaseDirectory dir;
        for (int step = 1; step <= 3; ++step) {
            const bool empty = step != 2;
            const std::string n = std::to_string(step);
            EnsightWriter geometry(encoding);
            geometry.Raw(Geometry(encoding, empty ? std::vector<GeometryPart>{{2, "wall", 1}}
                                                  : std::vector<GeometryPart>{{2, "wall", 1}, {1, "band", 2}}));
            if (empty) geometry.Part(1, "band").String("coordinates").Int(0).String("point").Int(0);
            dir.Write("mesh.geo" + n, geometry.bytes());
            const auto part = [&](EnsightWriter& w, int32_t number, const char* header, size_t count, float value) {
                quorix::test::VarPart(w, number).String(header).Floats(std::vector<float>(count, value));
            };
            EnsightWriter nodal(encoding);
            part(nodal.String("p"), 2, "coordinates", 3, 1.0f);
            if (!empty) part(nodal, 1, "coordinates", 4, 2.0f);
            if (step == 1) quorix::test::VarPart(nodal, 1).String("coordinates");
            if (step == 3) quorix::test::VarPart(nodal, 1);
            dir.Write("p." + n, nodal.bytes());
            EnsightWriter cells(encoding);
            cells.String("h");
            if (step == 2) part(cells, 1, "tria3", 2, 4.0f);
            if (step == 3) quorix::test::VarPart(cells, 1);
            part(cells, 2, "tria3", 1, 3.0f);
            if (step == 1) quorix::test::VarPart(cells, 1);
            dir.Write("h." + n, cells.bytes());
        }
        const std::string casePath = dir.Write(
            "band.case", kGoldFormat + "GEOMETRY\nmodel: 1 mesh.geo*\n\nVARIABLE\nscalar per node: 1 p p.*\n"
                                       "scalar per element: 1 h h.*\n\nTIME\n" + TimeSet(1, 3, "0 1 2"));
        const e2e::RunResult run = Load(casePath);
        ExpectLoaded(run);
        EXPECT_TRUE(Texts(*run.report, "info").empty()) << run.out;
        EXPECT_EQ((*run.report)["zones"].items.size(), 4u);
        for (double time : {0.0, 1.0, 2.0}) {
            EXPECT_DOUBLE_EQ(Mean(Zone(*run.report, "Surf: wall", time), "p"), 1.0);
            EXPECT_DOUBLE_EQ(Mean(Zone(*run.report, "Surf: wall", time), "h"), 3.0);
        }
        EXPECT_DOUBLE_EQ(Mean(Zone(*run.report, "Surf: band", 1.0), "p"), 2.0);
        EXPECT_DOUBLE_EQ(Mean(Zone(*run.report, "Surf: band", 1.0), "h"), 4.0);
    }
}

TEST(WriterLayouts, APartTheGeometryLacksIsNamed) {
    for (Encoding encoding : quorix::test::AllEncodings) {
        SCOPED_TRACE(EncodingName(encoding));
        CaseDirectory dir;
        dir.Write("mesh.geo", Geometry(encoding, {{1, "wall", 1}}));
        dir.Write("p.scl", NodeScalar(encoding, {{1, 3, 9.0f}, {9, 3, 1.0f}}));
        const std::string casePath = dir.Write(
            "more.case", kGoldFormat + "GEOMETRY\nmodel: mesh.geo\n\nVARIABLE\nscalar per node: p p.scl\n");
        const e2e::RunResult run = Load(casePath);
        ExpectLoaded(run);
        const std::vector<std::string> info = Texts(*run.report, "info");
        ASSERT_EQ(info.size(), 1u) << run.out;
        // then where in p.scl the part stands
        EXPECT_NE(info[0].find("\np.scl (Part 9 is not in the geometry (File " + dir.Prefix() + "p.scl, "),
                  std::string::npos)
            << info[0];
    }
}

}  // namespace
