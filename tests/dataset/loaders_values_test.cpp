// Coordinates, iblank and variable values as the host ends up holding them.
#include <cstdio>
#include <filesystem>
#include <limits>

#include "casefile/checked_math.h"
#include "dataset/field_loading.h"
#include "host/field_data.h"
#include "loaders_fixture.h"

namespace quorix::loadertest {
namespace {

class ValuesTest : public LoaderTest, public ::testing::WithParamInterface<Encoding> {
protected:
    Encoding encoding() const { return GetParam(); }
};

// Writes one variable file and records each section as the variable scan does.
class VariableFile {
public:
    explicit VariableFile(Encoding encoding) : writer_(encoding) {
        writer_.String("variable").String("part").Int(1);
        info_.partNumber = 1;
        info_.step = 1;
        info_.format = FormatOf(encoding);
        info_.byteOrder = ByteOrderOf(encoding);
    }
    // One section of `type` (255: per node or structured "coordinates"/"block").
    VariableFile& Section(int32_t type, const std::vector<std::vector<float>>& components, int perLine = 1) {
        writer_.String(type == ElementNone ? "coordinates" : TypeName(type));
        TypeVariableInfo section;
        section.type = type;
        section.present = true;
        section.count = static_cast<int32_t>(components.front().size());
        for (size_t c = 0; c < components.size(); ++c) {
            section.componentOffset[c] = writer_.size();
            writer_.Floats(components[c], perLine);
        }
        info_.types.push_back(section);
        return *this;
    }
    // Measured vectors: x y z per particle, six values to a line.
    VariableFile& Interleaved(const std::vector<float>& values) {
        TypeVariableInfo section;
        section.present = true;
        section.count = 3;
        section.stride = 3;
        section.componentOffset[0] = writer_.size();
        writer_.Floats(values, 6);
        info_.types.push_back(section);
        info_.valueCount = static_cast<int32_t>(values.size() / 3);
        return *this;
    }
    const PartVariableInfo& Save(const std::string& path) {
        info_.fileName = path;
        writer_.Save(path);
        return info_;
    }

private:
    EnsightWriter writer_;
    PartVariableInfo info_;
};

TEST_P(ValuesTest, CoordinatesOfAnUnstructuredPart) {
    GeometryFile file(encoding(), 5);
    file.Block(ElementTria3, {{1, 2, 3}});
    const PartInfo& part = file.Close(PathFor(encoding(), "coords.geo"));
    const int32_t zone = UnstructuredZone(part);
    ASSERT_TRUE(zelhost::ForceField(zone, 2));
    EXPECT_EQ(Values(zone, 2), (std::vector<float>{100, 101, 102, 103, 104}));
}

struct CellCase {
    const char* name;
    std::vector<std::pair<int32_t, int32_t>> geometry;  // type, elements, in file order
    std::vector<std::pair<int32_t, std::vector<float>>> sections;
    std::vector<float> expected;  // per zone element; 0 where the file has no value
};

const CellCase CellCases[] = {
    {"tria3 then quad4", {{ElementTria3, 2}, {ElementQuad4, 1}},
     {{ElementTria3, {1, 2}}, {ElementQuad4, {3}}}, {1, 2, 3}},
    {"a type left out keeps its place", {{ElementTria3, 2}, {ElementQuad4, 1}},
     {{ElementQuad4, {7}}}, {0, 0, 7}},
    {"two tria3 blocks around a quad4", {{ElementTria3, 1}, {ElementQuad4, 1}, {ElementTria3, 2}},
     {{ElementTria3, {10}}, {ElementQuad4, {20}}, {ElementTria3, {30, 31}}}, {10, 30, 31, 20}},
    {"a bar3 value goes to both segments", {{ElementBar2, 1}, {ElementBar3, 2}},
     {{ElementBar3, {5, 6}}, {ElementBar2, {7}}}, {7, 5, 5, 6, 6}},
    {"a section whose count disagrees with the geometry is left out", {{ElementTria3, 2}, {ElementQuad4, 1}},
     {{ElementTria3, {1, 2, 3}}, {ElementQuad4, {4}}}, {0, 0, 4}},
};

Elements SomeElements(int32_t type, int32_t count) {
    const int32_t nodes = NodesPerElement(type);
    Elements elements(static_cast<size_t>(count));
    for (auto& element : elements)
        for (int32_t n = 1; n <= nodes; ++n) element.push_back(n);
    return elements;
}

TEST_P(ValuesTest, CellValuesPlacedByTheGeometry) {
    for (const CellCase& row : CellCases) {
        SCOPED_TRACE(row.name);
        GeometryFile file(encoding());
        for (const auto& [type, count] : row.geometry) file.Block(type, SomeElements(type, count));
        const PartInfo& part = file.Close(PathFor(encoding(), "cells.geo"));
        VariableFile variable(encoding());
        for (const auto& [type, values] : row.sections) variable.Section(type, {values});
        const PartVariableInfo& info = variable.Save(PathFor(encoding(), "cells.var"));
        const int32_t zone = UnstructuredZone(part);
        const int32_t first = AddVariable("v", ZelLocationCellCentered);
        ASSERT_TRUE(RegisterCellValueLoaders(info, part, zone, first, 1));
        ASSERT_TRUE(zelhost::ForceField(zone, first));
        EXPECT_EQ(Values(zone, first), row.expected);
        zelhost::DeleteAllFrames();
    }
}

// A structured block: "block" line options, dimensions, range, coordinate data.
struct BlockFile {
    EnsightWriter writer;
    PartInfo part;
    BlockFile(Encoding e, PartKind kind, std::array<int32_t, 3> dims) : writer(e) {
        writer.GoldHeader().Part(1, "block");
        part.kind = kind;
        part.format = FormatOf(e);
        part.byteOrder = ByteOrderOf(e);
        part.imax = dims[0];
        part.jmax = dims[1];
        part.kmax = dims[2];
        part.nodeCount = dims[0] * dims[1] * dims[2];
        part.elementCount = *BlockCellCount(dims[0], dims[1], dims[2]);
    }
    void Arrays(const std::vector<std::vector<float>>& arrays) {
        int64_t* offsets[3] = {&part.xOffset, &part.yOffset, &part.zOffset};
        for (size_t a = 0; a < arrays.size(); ++a) {
            *offsets[a] = writer.size();
            writer.Floats(arrays[a]);
        }
    }
    const PartInfo& Save(const std::string& path) {
        part.fileName = path;
        writer.Save(path);
        return part;
    }
};

struct GridCase {
    const char* name;
    PartKind kind;
    std::array<int32_t, 3> dims;   // zone dimensions (range applied)
    std::array<int32_t, 3> first;  // range minimum
    std::vector<std::vector<float>> arrays;  // rectilinear: x, y, z; uniform: one array of six reals
    std::vector<float> x, y, z;
};

const GridCase GridCases[] = {
    {"rectilinear 3 x 2 x 2", PartRectilinear, {3, 2, 2}, {1, 1, 1}, {{0, 1, 3}, {10, 20}, {100, 200}},
     {0, 1, 3, 0, 1, 3, 0, 1, 3, 0, 1, 3}, {10, 10, 10, 20, 20, 20, 10, 10, 10, 20, 20, 20},
     {100, 100, 100, 100, 100, 100, 200, 200, 200, 200, 200, 200}},
    {"rectilinear with range i 2..3, k 2..2", PartRectilinear, {2, 2, 1}, {2, 1, 2},
     {{0, 1, 3, 7}, {10, 20}, {100, 200}}, {1, 3, 1, 3}, {10, 10, 20, 20}, {200, 200, 200, 200}},
    {"uniform 3 x 2 x 1", PartUniform, {3, 2, 1}, {1, 1, 1}, {{1, 2, 3, 0.5f, 1, 2}},
     {1, 1.5f, 2, 1, 1.5f, 2}, {2, 2, 2, 3, 3, 3}, {3, 3, 3, 3, 3, 3}},
    {"uniform with range i 2..3", PartUniform, {2, 1, 1}, {2, 1, 1}, {{1, 2, 3, 0.5f, 1, 2}}, {1.5f, 2}, {2, 2},
     {3, 3}},
};

TEST_P(ValuesTest, StructuredCoordinatesFromTheGrid) {
    for (const GridCase& row : GridCases) {
        SCOPED_TRACE(row.name);
        BlockFile file(encoding(), row.kind, row.dims);
        file.part.rangeIMin = row.first[0];
        file.part.rangeJMin = row.first[1];
        file.part.rangeKMin = row.first[2];
        file.Arrays(row.arrays);
        const PartInfo& part = file.Save(PathFor(encoding(), "grid.geo"));
        CreateDataSet();
        const int32_t zone = AddZone(ZelZoneOrdered, part.imax, part.jmax, part.kmax);
        ASSERT_TRUE(RegisterCoordinateLoaders(part, zone));
        const std::vector<float>* expected[3] = {&row.x, &row.y, &row.z};
        for (int32_t v = 1; v <= 3; ++v) {
            ASSERT_TRUE(zelhost::ForceField(zone, v)) << v;
            EXPECT_EQ(Values(zone, v), *expected[v - 1]) << v;
        }
        zelhost::DeleteAllFrames();
    }
}

TEST_P(ValuesTest, IBlankValuesWithTheirRange) {
    BlockFile file(encoding(), PartCurvilinear, {2, 2, 1});
    file.Arrays({{0, 1, 0, 1}, {0, 0, 1, 1}, {0, 0, 0, 0}});
    file.part.iblankOffset = file.writer.size();
    file.writer.Ints({1, 0, -2, 1});
    const PartInfo& part = file.Save(PathFor(encoding(), "iblank.geo"));
    CreateDataSet(true);
    const int32_t zone = AddZone(ZelZoneOrdered, 2, 2, 1);
    ASSERT_TRUE(RegisterIBlankLoader(part, zone));
    ASSERT_TRUE(zelhost::ForceField(zone, 4));
    EXPECT_EQ(Values(zone, 4), (std::vector<float>{1, 0, -2, 1}));
    const zelhost::FieldReport report = zelhost::Field(zone, 4);
    EXPECT_EQ(report.stats.min, -2.0);
    EXPECT_EQ(report.stats.max, 1.0);
}

TEST_P(ValuesTest, IBlankWithoutDataIsOne) {
    BlockFile file(encoding(), PartCurvilinear, {2, 1, 1});
    const PartInfo& part = file.Save(PathFor(encoding(), "noiblank.geo"));
    CreateDataSet(true);
    const int32_t zone = AddZone(ZelZoneOrdered, 2, 1, 1);
    ASSERT_TRUE(RegisterIBlankLoader(part, zone));
    EXPECT_EQ(zelhost::FieldValues(zone, 4), (std::vector<double>{1, 1}));
}

// A flat 4 x 4 x 1 block has 9 cells; cell (i, j) sits at i + (j - 1) * 4.
TEST_P(ValuesTest, StructuredCellValuesInTheHostLayout) {
    BlockFile file(encoding(), PartCurvilinear, {4, 4, 1});
    const PartInfo& part = file.Save(PathFor(encoding(), "flat.geo"));
    VariableFile variable(encoding());
    variable.Section(ElementNone, {{1, 2, 3, 4, 5, 6, 7, 8, 9}});
    const PartVariableInfo& info = variable.Save(PathFor(encoding(), "flat.var"));
    CreateDataSet();
    const int32_t zone = AddZone(ZelZoneOrdered, 4, 4, 1);
    const int32_t first = AddVariable("c", ZelLocationCellCentered);
    ASSERT_TRUE(RegisterCellValueLoaders(info, part, zone, first, 1));
    ASSERT_TRUE(zelhost::ForceField(zone, first));
    EXPECT_EQ(Values(zone, first), (std::vector<float>{1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 0, 0, 0, 0}));
}

TEST_P(ValuesTest, MeasuredVectorsAreGathered) {
    BlockFile geometry(encoding(), PartParticles, {3, 1, 1});
    const PartInfo& part = geometry.Save(PathFor(encoding(), "particles.geo"));
    VariableFile variable(encoding());
    variable.Interleaved({1, 2, 3, 4, 5, 6, 7, 8, 9});
    const PartVariableInfo& info = variable.Save(PathFor(encoding(), "particles.vec"));
    CreateDataSet();
    const int32_t zone = AddZone(ZelZoneOrdered, 3, 1, 1);
    const int32_t first = AddVariable("VX", ZelLocationNodal);
    AddVariable("VY", ZelLocationNodal);
    AddVariable("VZ", ZelLocationNodal);
    ASSERT_TRUE(RegisterMeasuredValueLoaders(info, part, zone, first, 3));
    const std::vector<float> expected[3] = {{1, 4, 7}, {2, 5, 8}, {3, 6, 9}};
    for (int32_t c = 0; c < 3; ++c) {
        ASSERT_TRUE(zelhost::ForceField(zone, first + c));
        EXPECT_EQ(Values(zone, first + c), expected[c]);
    }
}

// Particle files: ids, then x y z per particle (C binary) or one line per particle.
PartInfo WriteParticles(Encoding encoding, int32_t count, const std::string& path) {
    EnsightWriter writer(encoding);
    writer.GoldHeader().String("particle coordinates").Int(count);
    PartInfo part;
    part.kind = PartParticles;
    part.partNumber = ParticlePartNumber;
    part.format = FormatOf(encoding);
    part.byteOrder = ByteOrderOf(encoding);
    part.nodeCount = part.imax = count;
    part.xOffset = writer.size();
    if (writer.binary()) {
        for (int32_t p = 0; p < count; ++p) writer.Int(p + 1);
        for (int32_t p = 0; p < count; ++p) writer.Floats({float(p), float(p) + 0.5f, float(-p)});
    } else {
        char line[64];
        for (int32_t p = 0; p < count; ++p) {
            std::snprintf(line, sizeof line, "%8d%12.5e%12.5e%12.5e\n", p + 1, double(p), p + 0.5, double(-p));
            writer.Raw(line);
        }
    }
    part.fileName = path;
    writer.Save(path);
    return part;
}

TEST_P(ValuesTest, ParticleCoordinatesReadOnceAndReportedOnce) {
    constexpr int32_t count = 512;  // 512 x 3 floats = 6 KB
    const PartInfo part = WriteParticles(encoding(), count, PathFor(encoding(), "particles.mgeo"));
    CreateDataSet();
    const int32_t zone = AddZone(ZelZoneOrdered, count, 1, 1);
    ASSERT_TRUE(RegisterParticleLoaders(part, zone));
    ASSERT_TRUE(zelhost::ForceField(zone, 2));
    std::filesystem::remove(part.fileName);  // X must now come from the cache
    ASSERT_TRUE(zelhost::ForceField(zone, 1));
    const std::vector<float> x = Values(zone, 1), y = Values(zone, 2);
    ASSERT_EQ(x.size(), size_t{count});
    EXPECT_EQ(x[7], 7.0f);
    EXPECT_EQ(y[7], 7.5f);
    EXPECT_EQ(zelhost::MemoryNotifiedKB(), count * 3 / 256);
    zelhost::DeleteAllFrames();
    EXPECT_EQ(zelhost::MemoryNotifiedKB(), 0);
}

// X, Y and Z asked for from several threads at once share one read.
TEST_P(ValuesTest, ParticleCoordinatesFromManyThreads) {
    constexpr int32_t count = 1024;
    const PartInfo part = WriteParticles(encoding(), count, PathFor(encoding(), "threads.mgeo"));
    CreateDataSet();
    for (int z = 0; z < 4; ++z) ASSERT_TRUE(RegisterParticleLoaders(part, AddZone(ZelZoneOrdered, count, 1, 1)));
    const zelhost::ForceResult result = zelhost::ForceAllLoads(8);
    EXPECT_EQ(result.loads, 12);
    EXPECT_EQ(result.failures, 0);
    EXPECT_EQ(zelhost::MemoryNotifiedKB(), 4 * (count * 3 / 256));
    EXPECT_EQ(Values(4, 3)[9], -9.0f);
}

INSTANTIATE_TEST_SUITE_P(Encodings, ValuesTest, ::testing::ValuesIn(test::AllEncodings),
                         [](const auto& info) { return std::string(test::EncodingName(info.param)); });

}  // namespace
}  // namespace quorix::loadertest

namespace quorix::loadertest {
namespace {

// Arrays longer than one read chunk: every chunk lands at its own position.
class ChunkTest : public LoaderTest, public ::testing::WithParamInterface<Encoding> {};

TEST_P(ChunkTest, ArraysLongerThanAChunk) {
    constexpr int32_t nodes = 721'000, bricks = 90'100;  // chunks: 720 720 values, 90 090 bricks
    GeometryFile file(GetParam(), nodes);
    Elements elements(bricks);
    for (int32_t e = 0; e < bricks; ++e)
        for (int32_t k = 0; k < 8; ++k) elements[static_cast<size_t>(e)].push_back((e * 8 + k) % nodes + 1);
    file.Block(ElementHexa8, elements);
    const PartInfo& part = file.Close(PathFor(GetParam(), "chunks.geo"));
    const int32_t zone = UnstructuredZone(part);
    ASSERT_TRUE(zelhost::ForceField(zone, 3));
    const std::vector<double> z = zelhost::FieldValues(zone, 3);
    ASSERT_EQ(z.size(), size_t{nodes});
    for (size_t i : {size_t{0}, size_t{720'719}, size_t{720'720}, size_t{nodes - 1}}) EXPECT_EQ(z[i], 200.0 + i) << i;
    ASSERT_TRUE(zelhost::ForceNodeMap(zone));
    const std::vector<int32_t> map = zelhost::NodeMapNodes(zone);
    ASSERT_EQ(map.size(), size_t{bricks} * 8);
    for (size_t i = 0; i < map.size(); ++i) {
        if (map[i] != static_cast<int32_t>(i % nodes) + 1) {
            ADD_FAILURE() << "entry " << i << " is " << map[i];
            break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Encodings, ChunkTest, ::testing::ValuesIn(test::AllEncodings),
                         [](const auto& info) { return std::string(test::EncodingName(info.param)); });

}  // namespace
}  // namespace quorix::loadertest

namespace quorix::loadertest {
namespace {

// A value range leaves NaN out wherever it stands: first, inside the
// four-lane part, after a greater value, or in the tail.
TEST_P(ValuesTest, RangeLeavesNaNOut) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EnsightWriter writer(encoding());
    writer.Floats({nan, 5, -3, nan, 7, 1, 2, nan, -4.5f, nan});
    const std::string path = PathFor(encoding(), "nan.values");
    writer.Save(path);
    CreateDataSet();
    const int32_t zone = AddZone(ZelZoneOrdered, 10, 1, 1);
    FieldData_pa field = nullptr;
    {
        HostLock lock;
        ASSERT_TRUE(ZelUtilDataValueAlloc(zone, 1));
        field = ZelUtilDataValueGetWritableRef(zone, 1);
    }
    ASSERT_NE(field, nullptr);
    DeferredLoadInfo info;
    info.fileName = path;
    info.valueCount = 10;
    info.format = FormatOf(encoding());
    info.byteOrder = ByteOrderOf(encoding());
    info.kind = LoadKind::FloatsWithRange;
    ASSERT_TRUE(LoadFieldValues(info, field));
    ASSERT_TRUE(field->hasMinMax);
    EXPECT_EQ(field->minValue, -4.5);
    EXPECT_EQ(field->maxValue, 7.0);
}

}  // namespace
}  // namespace quorix::loadertest
