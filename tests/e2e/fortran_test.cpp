// One model written as C binary and as Fortran binary of either byte order,
// loaded through zelhost with every deferred load forced: the Fortran loads
// must hold exactly what the C binary one holds. Broken record frames end the
// load with the file and the byte of the record named. With undefined values
// (undef and partial sections) the model loads in every encoding as it does
// written with NaN in plain sections.

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "support/ensight_var_writer.h"
#include "support/ensight_writer.h"
#include "zelhost_runner.h"

namespace {

namespace fs = std::filesystem;
using quorix::test::Encoding;
using quorix::test::EnsightWriter;

constexpr int32_t kNodes = 20;

// Ids counting from `first`, so that they differ from the node and element numbers.
std::vector<int32_t> Ids(size_t count, int32_t first) {
    std::vector<int32_t> ids(count);
    for (size_t i = 0; i < count; ++i) ids[i] = first + static_cast<int32_t>(3 * i);
    return ids;
}

std::vector<float> Reals(size_t count, float first, float step) {
    std::vector<float> values(count);
    for (size_t i = 0; i < count; ++i) values[i] = first + step * static_cast<float>(i);
    return values;
}

// `count` elements of `nodes` each, every one a different run of node numbers.
std::vector<std::vector<int32_t>> Connectivity(int count, int nodes, int shift) {
    std::vector<std::vector<int32_t>> elements;
    for (int e = 0; e < count; ++e) {
        std::vector<int32_t>& element = elements.emplace_back();
        for (int n = 0; n < nodes; ++n) element.push_back((shift + 3 * e + n) % kNodes + 1);
    }
    return elements;
}

struct Section {
    const char* type;
    int count;
    int nodes;  // per element; 0 for nsided and nfaced
};

struct UnstructuredPart {
    int32_t number;
    const char* name;
    std::vector<Section> sections;
};

const std::vector<UnstructuredPart>& UnstructuredParts() {
    static const std::vector<UnstructuredPart> parts = {
        {1, "points", {{"point", 3, 1}}},
        {2, "lines", {{"bar2", 2, 2}, {"bar3", 2, 3}}},
        {3, "surfaces", {{"tria3", 2, 3}, {"tria6", 1, 6}, {"quad4", 2, 4}, {"quad8", 1, 8}, {"nsided", 2, 0}}},
        {4, "volumes", {{"tetra4", 1, 4}, {"pyramid5", 1, 5}, {"penta6", 1, 6}, {"hexa8", 2, 8}}},
        {5, "quadratic volumes", {{"tetra10", 1, 10}, {"pyramid13", 1, 13}, {"penta15", 1, 15}, {"hexa20", 1, 20}}},
        {6, "polyhedra", {{"nfaced", 2, 0}}},
    };
    return parts;
}

const std::vector<std::vector<int32_t>> kPolygons = {{1, 2, 3}, {4, 5, 6, 7, 8}};
// Two polyhedra: a tetrahedron and a pyramid, as faces of node numbers.
const std::vector<std::vector<std::vector<int32_t>>> kPolyhedra = {
    {{1, 2, 3}, {1, 2, 4}, {2, 3, 4}, {3, 1, 4}},
    {{5, 6, 7, 8}, {5, 6, 9}, {6, 7, 9}, {7, 8, 9}, {8, 5, 9}}};

void WriteSection(EnsightWriter& w, const Section& s, int shift) {
    w.String(s.type).Int(s.count).Ints(Ids(static_cast<size_t>(s.count), 100 + shift));
    if (std::string(s.type) == "nsided") {
        std::vector<int32_t> sizes, nodes;
        for (const auto& polygon : kPolygons) {
            sizes.push_back(static_cast<int32_t>(polygon.size()));
            nodes.insert(nodes.end(), polygon.begin(), polygon.end());
        }
        w.Ints(sizes).Ints(nodes);
        return;
    }
    if (std::string(s.type) == "nfaced") {
        std::vector<int32_t> faces, faceSizes, nodes;
        for (const auto& polyhedron : kPolyhedra) {
            faces.push_back(static_cast<int32_t>(polyhedron.size()));
            for (const auto& face : polyhedron) {
                faceSizes.push_back(static_cast<int32_t>(face.size()));
                nodes.insert(nodes.end(), face.begin(), face.end());
            }
        }
        w.Ints(faces).Ints(faceSizes).Ints(nodes);
        return;
    }
    std::vector<int32_t> all;
    for (const auto& element : Connectivity(s.count, s.nodes, shift)) all.insert(all.end(), element.begin(), element.end());
    w.Ints(all, s.nodes);
}

// Structured blocks: i j k, each with its node count and cell count.
struct BlockPart {
    int32_t number;
    const char* header;
    int32_t ijk[3];
    int nodes() const { return ijk[0] * ijk[1] * ijk[2]; }
    int cells() const { return (ijk[0] - 1) * (ijk[1] - 1) * (ijk[2] - 1); }
};

const BlockPart kBlocks[] = {
    {7, "block iblanked", {3, 2, 2}},
    {8, "block rectilinear", {2, 3, 2}},
    {9, "block uniform", {2, 2, 3}},
};

// Counts that belong together (i j k, the six reals of a uniform block) go in
// one record or, with `apart`, one record each: writers do both.
void WriteWords(EnsightWriter& w, const std::vector<int32_t>& ints, bool apart) {
    if (!apart) {
        w.Ints(ints);
        return;
    }
    for (int32_t v : ints) w.Int(v);
}

void WriteBlock(EnsightWriter& w, const BlockPart& b, bool apart) {
    w.Part(b.number, b.header).String(b.header);
    WriteWords(w, {b.ijk[0], b.ijk[1], b.ijk[2]}, apart);
    const int n = b.nodes();
    if (b.number == 7) {
        w.Floats(Reals(n, 0.0f, 0.5f)).Floats(Reals(n, 1.0f, 0.25f)).Floats(Reals(n, -2.0f, 0.125f));
        std::vector<int32_t> iblank(static_cast<size_t>(n), 1);
        iblank[3] = 0;
        iblank[7] = 2;
        w.Ints(iblank);
    } else if (b.number == 8) {
        w.Floats({0.0f, 1.5f}).Floats({0.0f, 0.5f, 2.0f}).Floats({-1.0f, 1.0f});
    } else {
        const std::vector<float> originAndSpacing = {1.0f, 2.0f, 3.0f, 0.5f, 0.25f, 2.0f};
        if (apart) {
            for (float v : originAndSpacing) w.Float(v);
        } else {
            w.Floats(originAndSpacing);
        }
    }
    w.String("node_ids").Ints(Ids(static_cast<size_t>(n), 7));
    w.String("element_ids").Ints(Ids(static_cast<size_t>(b.cells()), 9));
}

std::string Geometry(Encoding e, bool apart) {
    EnsightWriter w(e);
    w.GoldHeader("given", "given");
    int shift = 0;
    for (const UnstructuredPart& part : UnstructuredParts()) {
        w.Part(part.number, part.name).String("coordinates").Int(kNodes).Ints(Ids(kNodes, 1000));
        w.Floats(Reals(kNodes, 0.0f, 1.0f)).Floats(Reals(kNodes, 5.0f, -0.5f)).Floats(Reals(kNodes, 1.0f, 0.125f));
        for (const Section& s : part.sections) WriteSection(w, s, ++shift);
    }
    for (const BlockPart& b : kBlocks) WriteBlock(w, b, apart);
    return w.bytes();
}

enum class Form { Plain, Undef, Partial };
constexpr float kMarker = -1e20f;

// The sections of a variable file in turn take the forms of `cycle`; `asNaN`
// writes each as a plain section holding NaN where its values are undefined.
struct Forms {
    std::vector<Form> cycle{Form::Plain};
    bool asNaN = false;
};

// `components` arrays of `count` values. Value i of component c is undefined
// where (i + c) % 3 == 1 in an undef section, where i % 3 == 1 in a partial
// one; a plain section holds the marker there as an ordinary value.
void WriteValues(EnsightWriter& w, const std::string& header, Form form, bool asNaN, int64_t count, int components,
                 float& first) {
    const auto undefined = [&](int64_t i, int c) { return (form == Form::Partial ? i : i + c) % 3 == 1; };
    w.String(asNaN || form == Form::Plain ? header : header + (form == Form::Undef ? " undef" : " partial"));
    std::vector<int32_t> listed;
    for (int64_t i = 0; i < count; ++i)
        if (!undefined(i, 0)) listed.push_back(static_cast<int32_t>(i + 1));
    if (!asNaN && form == Form::Undef) w.Float(kMarker);
    if (!asNaN && form == Form::Partial) w.Int(static_cast<int32_t>(listed.size())).Ints(listed);
    for (int c = 0; c < components; ++c, first += 3.0f) {
        std::vector<float> values;
        for (int64_t i = 0; i < count; ++i) {
            if (!undefined(i, c) || form == Form::Plain) {
                values.push_back(undefined(i, c) ? kMarker : first + 0.5f * static_cast<float>(i));
            } else if (asNaN || form == Form::Undef) {
                values.push_back(asNaN ? std::numeric_limits<float>::quiet_NaN() : kMarker);
            }
        }
        w.Floats(values);
    }
}

// A variable on every part, `components` arrays per node or per element section.
std::string Variable(Encoding e, bool perNode, int components, const Forms& forms = {}) {
    EnsightWriter w(e);
    w.String("a variable");
    float first = 0.5f;
    size_t section = 0;
    auto arrays = [&](const std::string& header, int64_t count) {
        const Form form = forms.cycle[section++ % forms.cycle.size()];
        WriteValues(w, header, form, forms.asNaN, count, components, first);
    };
    for (const UnstructuredPart& part : UnstructuredParts()) {
        quorix::test::VarPart(w, part.number);
        if (perNode) {
            arrays("coordinates", kNodes);
            continue;
        }
        for (const Section& s : part.sections) arrays(s.type, s.count);
    }
    for (const BlockPart& b : kBlocks) {
        quorix::test::VarPart(w, b.number);
        arrays("block", perNode ? b.nodes() : b.cells());
    }
    return w.bytes();
}

const char* kCaseText =
    "FORMAT\ntype: ensight gold\n\nGEOMETRY\nmodel: model.geo\n\nVARIABLE\n"
    "scalar per node: temperature model.temperature\n"
    "vector per node: velocity model.velocity\n"
    "tensor symm per node: strain model.strain\n"
    "scalar per element: cellid model.cellid\n"
    "vector per element: flux model.flux\n"
    "tensor asym per element: stress model.stress\n";

// The model's files in one encoding, under a fresh folder; the case file's path.
std::string WriteModel(Encoding e, bool apart, const Forms& forms = {}) {
    const fs::path dir = fs::path(quorix::test::TempPath("model")).parent_path();
    auto save = [&](const std::string& name, const std::string& bytes) { EnsightWriter(e).Raw(bytes).Save((dir / name).string()); };
    save("model.geo", Geometry(e, apart));
    save("model.temperature", Variable(e, true, 1, forms));
    save("model.velocity", Variable(e, true, 3, forms));
    save("model.strain", Variable(e, true, 6, forms));
    save("model.cellid", Variable(e, false, 1, forms));
    save("model.flux", Variable(e, false, 3, forms));
    save("model.stress", Variable(e, false, 9, forms));
    const fs::path casePath = dir / "model.case";
    EnsightWriter(Encoding::Ascii).Raw(kCaseText).Save(casePath.string());
    return casePath.string();
}

TEST(FortranBinary, LoadsAsTheSameDataInCBinary) {
    const e2e::RunResult reference = e2e::LoadCase(WriteModel(Encoding::BinaryLE, false), {"--load-all"});
    ASSERT_EQ(reference.status, 0) << reference.Describe();
    ASSERT_TRUE(reference.report.has_value());
    const auto want = e2e::Hashes(*reference.report);
    ASSERT_EQ((*reference.report)["zones"].items.size(), 9u);
    // X Y Z, IBlank of the iblanked block, then the six variables' components
    ASSERT_EQ((*reference.report)["variables"].items.size(), 4u + 1 + 3 + 6 + 1 + 3 + 9);
    EXPECT_EQ((*reference.report)["forced"]["failures"].number, 0);
    for (Encoding e : {Encoding::FortranLE, Encoding::FortranBE}) {
        for (bool apart : {false, true}) {
            SCOPED_TRACE(std::string(quorix::test::EncodingName(e)) + (apart ? ", counts apart" : ", counts together"));
            for (const char* threads : {"1", "4"}) {
                const e2e::RunResult run = e2e::LoadCase(WriteModel(e, apart), {"--load-all", "--threads", threads});
                ASSERT_EQ(run.status, 0) << run.Describe();
                ASSERT_TRUE(run.report.has_value());
                EXPECT_EQ((*run.report)["forced"]["failures"].number, 0);
                EXPECT_EQ((*run.report)["forced"]["loads"].number, (*reference.report)["forced"]["loads"].number);
                EXPECT_EQ(e2e::Hashes(*run.report), want);
            }
        }
    }
}

TEST(UndefinedValues, LoadAsNaNInEveryEncoding) {
    const std::vector<Form> cycles[] = {{Form::Undef}, {Form::Partial}, {Form::Plain, Form::Undef, Form::Partial}};
    for (size_t k = 0; k < std::size(cycles); ++k) {
        const e2e::RunResult reference =
            e2e::LoadCase(WriteModel(Encoding::BinaryLE, false, {cycles[k], true}), {"--load-all"});
        ASSERT_EQ(reference.status, 0) << reference.Describe();
        const auto want = e2e::Hashes(*reference.report);
        for (Encoding e : {Encoding::Ascii, Encoding::BinaryLE, Encoding::BinaryBE, Encoding::FortranLE,
                           Encoding::FortranBE}) {
            SCOPED_TRACE("cycle " + std::to_string(k) + ", " + quorix::test::EncodingName(e));
            const e2e::RunResult run = e2e::LoadCase(WriteModel(e, false, {cycles[k], false}), {"--load-all"});
            ASSERT_EQ(run.status, 0) << run.Describe();
            EXPECT_EQ((*run.report)["forced"]["failures"].number, 0);
            EXPECT_EQ(e2e::Hashes(*run.report), want);
        }
    }
}

// The error messages of a failed load, joined.
std::string Messages(const e2e::RunResult& run) {
    std::string text;
    if (run.report) {
        for (const auto& m : (*run.report)["messages"].items) text += m["text"].Str() + "\n";
    }
    return text;
}

// A small Fortran geometry: one triangle part; `xAt` is where the x record begins.
std::string Triangle(Encoding e, int64_t& xAt) {
    EnsightWriter w(e);
    w.GoldHeader().Part(1, "triangle").String("coordinates").Int(3);
    xAt = w.size();
    w.Floats({0, 1, 0}).Floats({0, 0, 1}).Floats({0, 0, 0});
    w.String("tria3").Int(1).Ints({1, 2, 3});
    return w.bytes();
}

std::string WriteTriangleCase(Encoding e, const std::string& geometry) {
    const std::string geo = quorix::test::TempPath("tri.geo");
    EnsightWriter(e).Raw(geometry).Save(geo);
    const std::string casePath = (fs::path(geo).parent_path() / "tri.case").string();
    EnsightWriter(Encoding::Ascii).Raw("FORMAT\ntype: ensight gold\nGEOMETRY\nmodel: tri.geo\n").Save(casePath);
    return casePath;
}

TEST(FortranBinary, BrokenFramesFailWithFileAndByte) {
    for (Encoding e : {Encoding::FortranLE, Encoding::FortranBE}) {
        SCOPED_TRACE(quorix::test::EncodingName(e));
        int64_t xAt = 0;
        const std::string intact = Triangle(e, xAt);
        const std::string lengthOfX = std::string(intact, static_cast<size_t>(xAt), 4);
        struct Row {
            const char* name;
            std::string bytes;
            std::string error;
        };
        std::string shortX = intact;
        shortX.replace(static_cast<size_t>(xAt), 4, EnsightWriter(e).RawWord(8).bytes());  // x said to hold two reals
        std::string badTrailer = intact;
        badTrailer.replace(static_cast<size_t>(xAt) + 16, 4, EnsightWriter(e).RawWord(16).bytes());
        const std::string where = "Fortran record at byte ";
        const Row rows[] = {
            {"x record's two lengths differ", badTrailer, where + std::to_string(xAt) + " of "},
            {"x record shorter than the node count", shortX, where + std::to_string(xAt) + " of "},
            {"file cut inside the connectivity", intact.substr(0, intact.size() - 6), " past the end of the file"},
            {"file cut inside a record length", intact.substr(0, intact.size() - 18), "is cut off within its length"},
        };
        for (const Row& row : rows) {
            SCOPED_TRACE(row.name);
            const std::string casePath = WriteTriangleCase(e, row.bytes);
            const e2e::RunResult run = e2e::LoadCase(casePath, {"--load-all"});
            EXPECT_NE(run.status, 0) << run.Describe();
            EXPECT_FALSE(run.timedOut);
            const std::string messages = Messages(run);
            EXPECT_NE(messages.find(row.error), std::string::npos) << messages;
            EXPECT_NE(messages.find(where), std::string::npos) << messages;
            EXPECT_NE(messages.find((fs::path(casePath).parent_path() / "tri.geo").string()), std::string::npos) << messages;
        }
        const e2e::RunResult run = e2e::LoadCase(WriteTriangleCase(e, intact), {"--load-all"});
        EXPECT_EQ(run.status, 0) << run.Describe();
        EXPECT_EQ(lengthOfX, EnsightWriter(e).RawWord(12).bytes());
    }
}

// The triangle geometry with one more file beside it, under a case file of
// `caseText`; the path of that file.
fs::path BesideTriangle(Encoding e, const std::string& name, const std::string& bytes, const std::string& caseText) {
    int64_t xAt = 0;
    const std::string casePath = WriteTriangleCase(e, Triangle(e, xAt));
    const fs::path path = fs::path(casePath).parent_path() / name;
    EnsightWriter(e).Raw(bytes).Save(path.string());
    EnsightWriter(Encoding::Ascii).Raw(caseText).Save(casePath);
    return path;
}

// A variable file cut inside its last record is not loaded and is named so; the geometry loads.
TEST(FortranBinary, CutVariableFileIsNamedNotLoaded) {
    for (Encoding e : {Encoding::FortranLE, Encoding::FortranBE}) {
        SCOPED_TRACE(quorix::test::EncodingName(e));
        EnsightWriter var(e);
        quorix::test::VarPart(var.String("pressure"), 1).String("coordinates");
        quorix::test::Values(var, 3);
        const fs::path varPath =
            BesideTriangle(e, "tri.pressure", var.bytes().substr(0, var.bytes().size() - 2),
                           "FORMAT\ntype: ensight gold\nGEOMETRY\nmodel: tri.geo\nVARIABLE\nscalar per node: pressure tri.pressure\n");
        const e2e::RunResult run = e2e::LoadCase((varPath.parent_path() / "tri.case").string(), {"--load-all"});
        ASSERT_EQ(run.status, 0) << run.Describe();
        EXPECT_EQ((*run.report)["variables"].items.size(), 3u);
        EXPECT_EQ((*run.report)["forced"]["failures"].number, 0);
        const std::string messages = Messages(run);
        EXPECT_NE(messages.find("were not loaded"), std::string::npos) << messages;
        EXPECT_NE(messages.find("tri.pressure"), std::string::npos) << messages;
    }
}

// Particle data are read from ASCII and C binary only: a Fortran measured
// geometry is refused with the reason and the file.
TEST(FortranBinary, ParticlesAreRefused) {
    for (Encoding e : {Encoding::FortranLE, Encoding::FortranBE}) {
        SCOPED_TRACE(quorix::test::EncodingName(e));
        EnsightWriter particles(e);
        particles.String("Fortran Binary").String("particles").String("particle coordinates").Int(2);
        particles.Ints({1, 2}).Floats({0, 0, 0, 1, 1, 1});
        const fs::path particlePath =
            BesideTriangle(e, "tri.particles", particles.bytes(),
                           "FORMAT\ntype: ensight gold\nGEOMETRY\nmodel: tri.geo\nmeasured: tri.particles\n");
        const e2e::RunResult run = e2e::LoadCase((particlePath.parent_path() / "tri.case").string(), {"--load-all"});
        EXPECT_NE(run.status, 0) << run.Describe();
        const std::string messages = Messages(run);
        EXPECT_NE(messages.find("Fortran format not currently supported"), std::string::npos) << run.Describe();
        EXPECT_NE(messages.find(particlePath.string()), std::string::npos) << messages;
    }
}

// Step s of a transient geometry and of its nodal scalar: triangles whose nodes move with s.
void StepGeometry(EnsightWriter& w, int s) {
    w.String("geometry").String("step " + std::to_string(s)).String("node id off").String("element id off");
    const float shift = 0.25f * static_cast<float>(s);
    w.Part(1, "triangles").String("coordinates").Int(4);
    w.Floats({0, 1, 0, 1 + shift}).Floats({0, 0, 1, 1}).Floats({shift, 0, 0, 0});
    w.String("tria3").Int(2).Ints({1, 2, 3, 2, 4, 3});
}

void StepTemperature(EnsightWriter& w, int s) {
    quorix::test::VarPart(w.String("temperature"), 1).String("coordinates");
    quorix::test::Values(w, 4, 10.0f * static_cast<float>(s));
}

// Fortran file sets ("BEGIN TIME STEP" ... "END TIME STEP", the format line
// first, variable files too) load as one Fortran file per step does.
TEST(FortranBinary, FileSetsLoadLikeOneFilePerStep) {
    constexpr int kSteps = 3;
    for (Encoding e : {Encoding::FortranLE, Encoding::FortranBE}) {
        SCOPED_TRACE(quorix::test::EncodingName(e));
        const fs::path dir = fs::path(quorix::test::TempPath("steps")).parent_path();
        std::vector<int64_t> begins;  // of the steps in the geometry file set
        using Step = void (*)(EnsightWriter&, int);
        for (const auto& [name, write] : {std::pair<std::string, Step>{"geo", &StepGeometry},
                                          std::pair<std::string, Step>{"temperature", &StepTemperature}}) {
            EnsightWriter whole(e);
            whole.String("Fortran Binary");
            for (int s = 0; s < kSteps; ++s) {
                EnsightWriter one(e);
                if (name == "geo") one.String("Fortran Binary");
                write(one, s);
                one.Save((dir / (name + ".00" + std::to_string(s + 1))).string());
                if (name == "geo") begins.push_back(whole.size());
                whole.String("BEGIN TIME STEP");
                write(whole, s);
                whole.String("END TIME STEP");
            }
            whole.Save((dir / name).string());
        }
        const std::string time = "\nTIME\ntime set: 1\nnumber of steps: 3\nfilename start number: 1\n"
                                 "filename increment: 1\ntime values: 0.0 0.5 1.0\n";
        const auto writeCase = [&](const std::string& caseName, const std::string& set, const std::string& each) {
            const std::string text = "FORMAT\ntype: ensight gold\nGEOMETRY\nmodel:" + set + "geo" + each +
                                     "\nVARIABLE\nscalar per node:" + set + "temperature temperature" + each + "\n" +
                                     time + (each.empty() ? "\nFILE\nfile set: 1\nnumber of steps: 3\n" : "");
            EnsightWriter(Encoding::Ascii).Raw(text).Save((dir / caseName).string());
            return (dir / caseName).string();
        };
        const e2e::RunResult perStep = e2e::LoadCase(writeCase("per_step.case", " 1 ", ".***"), {"--load-all"});
        const e2e::RunResult oneFile = e2e::LoadCase(writeCase("one_file.case", " 1 1 ", ""), {"--load-all"});
        ASSERT_EQ(perStep.status, 0) << perStep.Describe();
        ASSERT_EQ(oneFile.status, 0) << oneFile.Describe();
        ASSERT_EQ((*perStep.report)["zones"].items.size(), static_cast<size_t>(kSteps));
        EXPECT_EQ((*oneFile.report)["zones"].items.size(), static_cast<size_t>(kSteps));
        EXPECT_EQ((*oneFile.report)["variables"].items.size(), 4u);
        EXPECT_EQ(e2e::Hashes(*oneFile.report), e2e::Hashes(*perStep.report));
        EXPECT_EQ((*oneFile.report)["forced"]["failures"].number, 0);
        // `zelhost case` shows each step beginning with its record
        const e2e::RunResult shown = e2e::RunZelhost({"case", (dir / "one_file.case").string(), "--json"});
        ASSERT_TRUE(shown.report.has_value()) << shown.Describe();
        std::vector<int64_t> offsets;
        for (const e2e::Json& step : (*shown.report)["model"]["steps"].items) {
            offsets.push_back(static_cast<int64_t>(step["offset"].number));
        }
        EXPECT_EQ(offsets, begins);
    }
}

}  // namespace
