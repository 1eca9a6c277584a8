// One transient data set written twice: each step in a file of its own, and all
// steps one after another in single files (file sets, "BEGIN TIME STEP" ...
// "END TIME STEP"). Both must load to the same zones and values, in ASCII and
// C binary of both byte orders; `zelhost case` shows where each step begins.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "case_fixture.h"
#include "support/ensight_writer.h"
#include "zelhost_runner.h"

namespace {

using casetest::CaseDirectory;
using casetest::Compact;
using quorix::test::AllEncodings;
using quorix::test::Encoding;
using quorix::test::EncodingName;
using quorix::test::EnsightWriter;

constexpr int kSteps = 3;

struct Variant {
    Encoding encoding;
    bool geometryChanges;  // a geometry per step, else one steady geometry
    bool formatLine;       // C binary variable files of a file set open with "C Binary"
};

std::string Name(const Variant& v) {
    return std::string(EncodingName(v.encoding)) + (v.geometryChanges ? " changing" : " steady") +
           (v.formatLine ? " format line" : "");
}

// Writes step s of a series onto geometry step g (0 throughout on a steady geometry).
using StepWriter = void (*)(EnsightWriter&, int s, int g);

// Triangles of step g: a fan of 2 + g triangles whose nodes move with g.
int Triangles(int g) { return 2 + g; }

// Each step has its own header: odd steps give node ids (none after the block).
// The first part is number 0, which reads alike in both byte orders.
void Geometry(EnsightWriter& w, int, int g) {
    const bool ids = g % 2 == 1;
    w.String("geometry").String("step " + std::to_string(g));
    w.String(ids ? "node id given" : "node id off").String("element id off");
    const int triangles = Triangles(g);
    std::vector<float> x{0.0f}, y{0.0f}, z{0.0f};
    std::vector<int32_t> nodeIds{100};
    std::vector<std::vector<int32_t>> fan;
    for (int i = 0; i <= triangles; ++i) {
        x.push_back(1.0f + 0.25f * static_cast<float>(g));
        y.push_back(static_cast<float>(i));
        z.push_back(0.5f * static_cast<float>(i % 2));
        nodeIds.push_back(101 + i);
        if (i > 0) fan.push_back({1, i + 1, i + 2});
    }
    w.Part(0, "fan").Coordinates(x, y, z, ids ? nodeIds : std::vector<int32_t>{}).Elements("tria3", fan);
    w.Part(1, "block").String("block iblanked").Ints({2, 2, 1}, 3);
    w.Floats({0, 1, 0, 1}).Floats({2.0f + static_cast<float>(g), 2, 3, 3}).Floats({1, 1, 1, 1}).Ints({1, 1, 0, 1});
}

// `count` values of step s, distinct per step and per position.
std::vector<float> StepValues(int s, int count, float scale = 1.0f) {
    std::vector<float> values;
    for (int i = 0; i < count; ++i) values.push_back(scale * (10.0f * static_cast<float>(s) + 0.5f * static_cast<float>(i)));
    return values;
}

void Temperature(EnsightWriter& w, int s, int g) {
    w.String("temperature");
    w.String("part").Int(0).String("coordinates").Floats(StepValues(s, Triangles(g) + 2));
    w.String("part").Int(1).String("block").Floats(StepValues(s, 4, -1.0f));
}

void Velocity(EnsightWriter& w, int s, int g) {
    w.String("velocity");
    w.String("part").Int(0).String("tria3");
    for (int c = 0; c < 3; ++c) w.Floats(StepValues(s, Triangles(g), static_cast<float>(c + 1)));
    w.String("part").Int(1).String("block");
    for (int c = 0; c < 3; ++c) w.Floats(StepValues(s, 1, static_cast<float>(-c)));
}

int Particles(int s) { return 2 + 2 * s; }

void ParticleGeometry(EnsightWriter& w, int s, int) {
    const int n = Particles(s);
    w.String("particles").String("particle coordinates").Int(n);
    std::vector<float> xyz = StepValues(s, 3 * n, 0.1f);
    if (w.binary()) {
        for (int i = 0; i < n; ++i) w.Int(i + 1);
        w.Floats(xyz);
        return;
    }
    char line[64];
    for (int i = 0; i < n; ++i) {
        std::snprintf(line, sizeof line, "%8d%12.5e%12.5e%12.5e\n", i + 1, xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2]);
        w.Raw(line);
    }
}

void Mass(EnsightWriter& w, int s, int) { w.String("mass").Floats(StepValues(s, Particles(s), 2.0f), 6); }
void Drift(EnsightWriter& w, int s, int) { w.String("drift").Floats(StepValues(s, 3 * Particles(s), -0.5f), 6); }

struct Series {
    const char* name;
    bool formatLine;  // a geometry file: always "C Binary" in C binary
    StepWriter write;
};

// Where each step of a file set starts, by file name.
using StepStarts = std::vector<std::pair<std::string, std::vector<int64_t>>>;

// Writes every series both ways under `dir`: name.0001 ... per step, and one
// file `name` holding the steps; records where each step of the latter begins.
void WriteSeries(const CaseDirectory& dir, const Variant& v, const Series& series, bool transient, StepStarts& starts) {
    const int steps = transient ? kSteps : 1;
    const auto geometryStep = [&](int s) { return v.geometryChanges ? s : 0; };
    EnsightWriter whole(v.encoding);
    if (whole.binary() && series.formatLine) whole.String("C Binary");
    std::vector<int64_t> begins;
    for (int s = 0; s < steps; ++s) {
        EnsightWriter one(v.encoding);
        if (one.binary() && series.formatLine) one.String("C Binary");
        series.write(one, s, geometryStep(s));
        dir.Write(std::string(series.name) + "." + std::to_string(1000 + s + 1).substr(1), one.bytes());
        begins.push_back(whole.size());
        whole.String("BEGIN TIME STEP");
        series.write(whole, s, geometryStep(s));
        whole.String("END TIME STEP");
    }
    if (!transient) return;
    dir.Write(series.name, whole.bytes());
    starts.emplace_back(series.name, begins);
}

// The case naming per-step files (`.***`) or the file sets.
std::string CaseText(bool fileSets, bool geometryChanges) {
    const std::string set = fileSets ? " 1 1 " : " 1 ";
    const std::string each = fileSets ? "" : ".***";
    const std::string model = geometryChanges ? set + "geo" + each : " geo.001";
    std::string text = "FORMAT\ntype: ensight gold\n\nGEOMETRY\nmodel:" + model + "\nmeasured:" + set + "particles" + each;
    text += "\n\nVARIABLE\nscalar per node:" + set + "temperature temperature" + each;
    text += "\nvector per element:" + set + "velocity velocity" + each;
    text += "\nscalar per measured node:" + set + "mass mass" + each;
    text += "\nvector per measured node:" + set + "drift drift" + each;
    text += "\n\nTIME\ntime set: 1\nnumber of steps: 3\nfilename start number: 1\nfilename increment: 1\n";
    text += "time values: 0.0 0.5 1.0\n";
    if (fileSets) text += "\nFILE\nfile set: 1\nnumber of steps: 3\n";
    return text;
}

const std::vector<Variant> kVariants = [] {
    std::vector<Variant> out;
    for (Encoding e : AllEncodings) {
        for (bool changes : {true, false}) {
            out.push_back({e, changes, false});
            if (e != Encoding::Ascii) out.push_back({e, changes, true});
        }
    }
    return out;
}();

class FileSets : public ::testing::TestWithParam<Variant> {
protected:
    void SetUp() override {
        const Variant& v = GetParam();
        const Series series[] = {{"geo", true, &Geometry},          {"temperature", v.formatLine, &Temperature},
                                 {"velocity", v.formatLine, &Velocity}, {"particles", true, &ParticleGeometry},
                                 {"mass", v.formatLine, &Mass},       {"drift", v.formatLine, &Drift}};
        for (const Series& s : series) {
            WriteSeries(dir_, v, s, v.geometryChanges || std::string(s.name) != "geo", starts_);
        }
        perStep_ = dir_.Write("per_step.case", CaseText(false, v.geometryChanges));
        oneFile_ = dir_.Write("one_file.case", CaseText(true, v.geometryChanges));
    }

    CaseDirectory dir_;
    StepStarts starts_;
    std::string perStep_;
    std::string oneFile_;
};

void ExpectCleanLoad(const e2e::RunResult& run) {
    ASSERT_TRUE(run.report.has_value()) << run.Describe();
    EXPECT_EQ(run.status, 0) << run.Describe();
    EXPECT_TRUE((*run.report)["loaded"].boolean);
    EXPECT_EQ(Compact((*run.report)["messages"]), "[]");
}

TEST_P(FileSets, LoadLikeOneFilePerStep) {
    SCOPED_TRACE(Name(GetParam()));
    for (const std::vector<std::string>& options : {std::vector<std::string>{"--load-all", "--batch"},
                                                    std::vector<std::string>{"--load-all", "--batch", "--threads", "4"}}) {
        const auto perStep = e2e::LoadCase(perStep_, options);
        const auto oneFile = e2e::LoadCase(oneFile_, options);
        ExpectCleanLoad(perStep);
        ExpectCleanLoad(oneFile);
        if (!perStep.report || !oneFile.report) return;
        const e2e::Json& want = *perStep.report;
        const e2e::Json& got = *oneFile.report;
        // 2 parts and a particle zone at each step; X Y Z, IBlank, temperature, velocity, mass, drift
        EXPECT_EQ(want["zones"].items.size(), 3u * kSteps);
        EXPECT_EQ(want["variables"].items.size(), 12u) << Compact(want["variables"]);
        EXPECT_EQ(Compact(got["variables"]), Compact(want["variables"]));
        ASSERT_EQ(got["zones"].items.size(), want["zones"].items.size());
        for (size_t z = 0; z < want["zones"].items.size(); ++z) {
            EXPECT_EQ(Compact(got["zones"].items[z]), Compact(want["zones"].items[z])) << "zone " << z + 1;
            EXPECT_EQ(got["zones"].items[z]["loadFailures"].number, 0) << "zone " << z + 1;
        }
    }
}

// The steps of a file set begin where they were written; a file of one step begins at 0.
TEST_P(FileSets, CaseShowsWhereStepsBegin) {
    SCOPED_TRACE(Name(GetParam()));
    const auto oneFile = casetest::ReadCase(oneFile_);
    ASSERT_TRUE(oneFile.report.has_value()) << oneFile.Describe();
    const auto perStep = casetest::ReadCase(perStep_);
    ASSERT_TRUE(perStep.report.has_value()) << perStep.Describe();
    const auto offsets = [](const e2e::Json& entry) {
        std::vector<int64_t> out;
        for (const e2e::Json& step : entry["steps"].items) out.push_back(step["offset"].IsNull() ? -1 : static_cast<int64_t>(step["offset"].number));
        return out;
    };
    const auto entryOf = [](const e2e::Json& report, const std::string& name) -> const e2e::Json& {
        static const e2e::Json none;
        if (name == "geo") return report["model"];
        if (name == "particles") return report["measured"];
        for (const auto& [list, entries] : report["variables"].members) {
            for (const e2e::Json& entry : entries.items) {
                if (entry["description"].Str() == name) return entry;
            }
        }
        return none;
    };
    for (const auto& [name, begins] : starts_) {
        EXPECT_EQ(offsets(entryOf(*oneFile.report, name)), begins) << name;
        EXPECT_EQ(offsets(entryOf(*perStep.report, name)), std::vector<int64_t>(kSteps, 0)) << name;
    }
}

// A file of a file set cut after its second step: the geometry fails the load,
// a variable is not loaded; either way the file is named.
TEST_P(FileSets, FileEndingEarlyIsNamed) {
    SCOPED_TRACE(Name(GetParam()));
    const auto messages = [](const e2e::RunResult& run) {
        std::string text;
        if (run.report) {
            for (const e2e::Json& m : (*run.report)["messages"].items) text += m["kind"].Str() + ": " + m["text"].Str() + "\n";
        }
        return text;
    };
    for (const auto& [name, begins] : starts_) {
        SCOPED_TRACE(name);
        const std::string path = dir_.Prefix() + name;
        std::ifstream in(path, std::ios::binary);
        const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        dir_.Write(name, whole.substr(0, static_cast<size_t>(begins[2])));
        const auto run = e2e::LoadCase(oneFile_);
        dir_.Write(name, whole);
        ASSERT_TRUE(run.report.has_value()) << run.Describe();
        const std::string shown = messages(run);
        if (name == "geo" || name == "particles") {
            EXPECT_NE(shown.find(path), std::string::npos) << shown;
            EXPECT_FALSE((*run.report)["loaded"].boolean);
            EXPECT_NE(shown.find("holds 2 of the 3 time steps"), std::string::npos) << shown;
        } else {
            EXPECT_NE(shown.find("not loaded"), std::string::npos) << shown;
            EXPECT_NE(shown.find("\n" + name), std::string::npos) << shown;
            EXPECT_TRUE((*run.report)["loaded"].boolean);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Encodings, FileSets, ::testing::ValuesIn(kVariants), [](const auto& info) {
    std::string name = Name(info.param);
    for (char& c : name) {
        if (c == ' ') c = '_';
    }
    return name;
});

}  // namespace
