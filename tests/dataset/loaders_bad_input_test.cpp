// Damaged, rewritten or vanished files: the load fails cleanly, the host's
// arrays are never sized from a bad count, and nothing is left behind.
#include <sys/stat.h>

#include <filesystem>

#include "loaders_fixture.h"

namespace quorix::loadertest {
namespace {

class BadInputTest : public LoaderTest, public ::testing::WithParamInterface<Encoding> {
protected:
    Encoding encoding() const { return GetParam(); }
    // The host refuses the n-th registration from now on.
    static void RefuseFromNow(int64_t n) {
        zelhost::Settings settings = zelhost::CurrentSettings();
        settings.refuseRegistration = zelhost::RegistrationAttempts() + n;
        zelhost::Configure(settings);
    }
    // Every failed load leaves exactly one error naming its file: the host's false alone tells no user.
    static void ExpectLoadErrorsSince(size_t before, size_t failedLoads, const std::string& fileName) {
        const auto messages = zelhost::Messages();
        ASSERT_EQ(messages.size(), before + failedLoads);
        for (size_t m = before; m < messages.size(); ++m) {
            EXPECT_EQ(messages[m].kind, "error");
            EXPECT_EQ(messages[m].text.rfind("Error when reading file " + fileName + "\nCould not load the ", 0), 0u)
                << messages[m].text;
        }
    }
};

struct BadNodeCase {
    const char* name;
    int32_t type;
    Elements elements;
};

const BadNodeCase BadNodeCases[] = {
    {"node 0 in a triangle", ElementTria3, {{1, 2, 3}, {1, 0, 3}}},
    {"negative node in a hexahedron", ElementHexa8, {{1, 2, 3, 4, 5, 6, 7, -8}}},
    {"node above the node count in a bar", ElementBar2, {{1, 21}}},
    {"node above the node count in a tria6", ElementTria6, {{1, 2, 3, 4, 5, 99}}},
    {"node 0 in a penta15", ElementPenta15, {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0}}},
};

TEST_P(BadInputTest, NodeNumbersOutsideThePartFailTheLoad) {
    for (const BadNodeCase& row : BadNodeCases) {
        SCOPED_TRACE(row.name);
        GeometryFile file(encoding(), 20);
        file.Block(row.type, row.elements);
        const PartInfo& part = file.Close(PathFor(encoding(), "badnode.geo"));
        const int32_t zone = UnstructuredZone(part);
        const bool faces = part.polytope;
        const size_t before = zelhost::Messages().size();
        EXPECT_FALSE(faces ? zelhost::ForceFaceMap(zone) : zelhost::ForceNodeMap(zone));
        EXPECT_EQ(zelhost::ZoneInfo(zone)->loadFailures, 1);
        ExpectLoadErrorsSince(before, 1, part.fileName);
        zelhost::DeleteAllFrames();
    }
}

// A partial section's list is read at load time: every index is checked
// against the part, and the counts the scan recorded against the file.
struct PartialCase {
    const char* name;
    int32_t listed;
    std::vector<int32_t> indices;  // as written; the values follow when all are there
    const char* error;             // what the place says, when it has its own text
};

const PartialCase PartialCases[] = {
    {"index 0", 2, {1, 0}, "Index 0 of a partial section lies outside 1..4"},
    {"index above the node count", 3, {3, 4, 5}, "Index 5 of a partial section lies outside 1..4"},
    {"more listed than the part has nodes", 5, {1, 2, 3, 4, 4}, nullptr},
    {"negative count", -1, {}, nullptr},
    {"index list cut short", 3, {1}, nullptr},
};

TEST_P(BadInputTest, PartialIndicesOutsideThePartFailTheLoad) {
    for (const PartialCase& row : PartialCases) {
        SCOPED_TRACE(row.name);
        GeometryFile file(encoding(), 4);
        file.Block(ElementQuad4, {{1, 2, 3, 4}});
        const PartInfo& part = file.Close(PathFor(encoding(), "partial.geo"));
        EnsightWriter writer(encoding());
        writer.String("v").String("part").Int(1).String("coordinates partial").Int(row.listed);
        PartVariableInfo info;
        info.format = part.format;
        info.byteOrder = part.byteOrder;
        TypeVariableInfo& section = info.types.emplace_back();
        section.count = 4;
        section.present = true;
        section.form = {SectionForm::Partial, writer.size(), row.listed};
        if (!row.indices.empty()) writer.Ints(row.indices);
        section.componentOffset[0] = writer.size();
        if (static_cast<int32_t>(row.indices.size()) == row.listed)
            writer.Floats(std::vector<float>(row.indices.size(), 1));
        info.fileName = PathFor(encoding(), "partial.var");
        writer.Save(info.fileName);
        const int32_t zone = UnstructuredZone(part);
        const int32_t first = AddVariable("v", ZelLocationNodal);
        ASSERT_TRUE(RegisterNodalValueLoaders(info, part, zone, first, 1));
        const size_t before = zelhost::Messages().size();
        EXPECT_FALSE(zelhost::ForceField(zone, first));
        const auto messages = zelhost::Messages();
        ASSERT_GT(messages.size(), before);
        const std::string failed = "Error when reading file " + info.fileName + "\nCould not load the values";
        EXPECT_EQ(messages[before].text.rfind(failed, 0), 0u) << messages[before].text;
        if (row.error != nullptr) {
            EXPECT_NE(messages.back().text.find(row.error), std::string::npos) << messages.back().text;
        }
        zelhost::DeleteAllFrames();
    }
}

// Polygon and polyhedron sizes read at load time against what the scan recorded.
struct SizeCase {
    const char* name;
    bool polyhedra;
    std::vector<int32_t> elementSizes, faceSizes, nodes;
    int32_t recordedFaces, recordedNodes;
};

const SizeCase SizeCases[] = {
    {"polygon of size 0", false, {0, 3}, {}, {1, 2, 3}, 0, 3},
    {"polygon sizes no longer add up", false, {3, 4}, {}, {1, 2, 3, 1, 2, 3, 4}, 0, 8},
    {"polygon node above the node count", false, {3}, {}, {1, 2, 21}, 0, 3},
    {"polyhedron with 0 faces", true, {0, 4}, {3, 3, 3, 3}, {1, 2, 3, 1, 2, 4, 2, 3, 4, 3, 1, 4}, 4, 12},
    {"face of size 0", true, {4}, {3, 3, 0, 6}, {1, 2, 3, 1, 2, 4, 2, 3, 4, 3, 1, 4}, 4, 12},
    {"face sizes no longer add up", true, {4}, {3, 3, 3, 3}, {1, 2, 3, 1, 2, 4, 2, 3, 4, 3, 1, 4}, 4, 13},
    {"faces per element no longer add up", true, {3}, {3, 3, 3, 3}, {1, 2, 3, 1, 2, 4, 2, 3, 4, 3, 1, 4}, 4, 12},
};

TEST_P(BadInputTest, FaceMapSizesAreCheckedFirst) {
    for (const SizeCase& row : SizeCases) {
        SCOPED_TRACE(row.name);
        GeometryFile file(encoding(), 20);
        EnsightWriter& w = file.writer();
        w.String(row.polyhedra ? "nfaced" : "nsided").Int(static_cast<int32_t>(row.elementSizes.size()));
        ElementBlockInfo block;
        block.type = row.polyhedra ? ElementNfaced : ElementNsided;
        block.elementCount = static_cast<int32_t>(row.elementSizes.size());
        block.faceCount = row.recordedFaces;
        block.nodeCount = row.recordedNodes;
        block.offset = w.size();
        w.Ints(row.elementSizes).Ints(row.faceSizes).Ints(row.nodes, 3);
        file.part().blocks.push_back(block);
        const PartInfo& part = file.Close(PathFor(encoding(), "sizes.geo"));
        const int32_t zone = UnstructuredZone(part);
        EXPECT_FALSE(zelhost::ForceFaceMap(zone));
        EXPECT_FALSE(zelhost::FaceMapContents(zone).has_value());
        zelhost::DeleteAllFrames();
    }
}

// Counts far beyond what a 1 KB file can hold are refused before any allocation.
TEST_P(BadInputTest, HugeCountsInASmallFile) {
    GeometryFile file(encoding(), 20);
    file.Block(ElementHexa8, {{1, 2, 3, 4, 5, 6, 7, 8}});
    file.Nsided({{1, 2, 3}});
    PartInfo part = file.Close(PathFor(encoding(), "huge.geo"));
    ASSERT_LT(std::filesystem::file_size(part.fileName), 4096u);
    part.blocks[0].elementCount = 200'000'000;
    part.blocks[1].elementCount = 400'000'000;
    part.blocks[1].nodeCount = 2'000'000'000;
    part.elementCount = 600'000'000;
    part.nodeCount = 20;
    CreateDataSet();
    const int32_t zone = AddZone(ZelZonePolyhedron, 20, 1);
    ASSERT_TRUE(RegisterPolyhedronFaceMapLoader(part, zone));
    EXPECT_FALSE(zelhost::ForceFaceMap(zone));
    PartInfo bricks = part;
    bricks.blocks.resize(1);
    bricks.polytope = false;
    const int32_t brickZone = AddZone(ZelZoneBrick, 20, 1);
    ASSERT_TRUE(RegisterNodeMapLoader(bricks, brickZone));
    EXPECT_FALSE(zelhost::ForceNodeMap(brickZone));
    PartInfo coordinates = part;
    coordinates.nodeCount = 1'000'000'000;
    const int32_t pointZone = AddZone(ZelZoneOrdered, 20, 1, 1);
    ASSERT_TRUE(RegisterCoordinateLoaders(coordinates, pointZone));
    EXPECT_FALSE(zelhost::ForceField(pointZone, 1));
}

// A FIFO in its place must not hold the load waiting for a writer.
TEST_P(BadInputTest, FileRemovedAfterTheScan) {
    for (const bool fifo : {false, true}) {
        SCOPED_TRACE(fifo ? "replaced by a FIFO" : "removed");
        GeometryFile file(encoding(), 4);
        file.Block(ElementQuad4, {{1, 2, 3, 4}});
        const PartInfo& part = file.Close(PathFor(encoding(), "gone.geo"));
        const int32_t zone = UnstructuredZone(part);
        std::filesystem::remove(part.fileName);
        ASSERT_TRUE(!fifo || mkfifo(part.fileName.c_str(), 0600) == 0);
        const size_t before = zelhost::Messages().size();
        EXPECT_FALSE(zelhost::ForceField(zone, 1));
        EXPECT_FALSE(zelhost::ForceNodeMap(zone));
        ExpectLoadErrorsSince(before, 2, part.fileName);
        const std::string last = zelhost::Messages().back().text;
        EXPECT_EQ(last.find(": not a regular file."), fifo ? last.size() - 21 : std::string::npos) << last;
        std::filesystem::remove(part.fileName);
        zelhost::DeleteAllFrames();
    }
}

// The host refuses one registration; the add-on frees what it made for it.
TEST_P(BadInputTest, RefusedRegistrationsAreFreed) {
    GeometryFile file(encoding(), 4);
    file.Block(ElementQuad4, {{1, 2, 3, 4}});
    const PartInfo& part = file.Close(PathFor(encoding(), "refused.geo"));
    for (int64_t refused = 1; refused <= 4; ++refused) {
        SCOPED_TRACE(refused);
        RefuseFromNow(refused);
        CreateDataSet();
        const int32_t zone = AddZone(ZelZoneQuad, 4, 1);
        const bool coordinates = RegisterCoordinateLoaders(part, zone);
        const bool nodeMap = RegisterNodeMapLoader(part, zone);
        EXPECT_EQ(coordinates, refused > 3);
        EXPECT_EQ(nodeMap, refused != 4);
        zelhost::DeleteAllFrames();
    }
}

TEST_P(BadInputTest, RefusedParticleRegistrationsFreeTheCache) {
    EnsightWriter writer(encoding());
    PartInfo part;
    part.kind = PartParticles;
    part.format = FormatOf(encoding());
    part.byteOrder = ByteOrderOf(encoding());
    part.nodeCount = part.imax = 1;
    part.fileName = PathFor(encoding(), "none.mgeo");
    for (int64_t refused = 1; refused <= 3; ++refused) {
        SCOPED_TRACE(refused);
        RefuseFromNow(refused);
        CreateDataSet();
        const int32_t zone = AddZone(ZelZoneOrdered, 1, 1, 1);
        EXPECT_FALSE(RegisterParticleLoaders(part, zone));
        EXPECT_FALSE(zelhost::ForceField(zone, static_cast<int32_t>(refused % 3 + 1)));  // no such file
        zelhost::DeleteAllFrames();
        EXPECT_EQ(zelhost::LiveAllocations().count("Client Data"), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Encodings, BadInputTest, ::testing::ValuesIn(test::AllEncodings),
                         [](const auto& info) { return std::string(test::EncodingName(info.param)); });

}  // namespace
}  // namespace quorix::loadertest
