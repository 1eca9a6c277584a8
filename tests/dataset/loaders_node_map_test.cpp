// Node maps and face maps as the host ends up holding them, in every encoding.
#include "loaders_fixture.h"

namespace quorix::loadertest {
namespace {

struct Block {
    int32_t type;
    Elements elements;
};

struct MapCase {
    const char* name;
    std::vector<Block> blocks;
    std::vector<int32_t> expected;  // node-map entries, element order
};

const MapCase NodeMapCases[] = {
    {"tria3 twice and a quad: triangles fill their last corner",
     {{ElementTria3, {{1, 2, 3}, {2, 3, 4}}}, {ElementQuad4, {{5, 6, 7, 8}}}},
     {1, 2, 3, 3, 2, 3, 4, 4, 5, 6, 7, 8}},
    {"tetra4 then hexa8 in a brick zone",
     {{ElementTetra4, {{1, 2, 3, 4}}}, {ElementHexa8, {{5, 6, 7, 8, 9, 10, 11, 12}}}},
     {1, 2, 3, 3, 4, 4, 4, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
    {"pyramids only: eight entries each, the second not shifted",
     {{ElementPyramid5, {{1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}}}},
     {1, 2, 3, 4, 5, 5, 5, 5, 6, 7, 8, 9, 10, 10, 10, 10}},
    {"prisms only", {{ElementPenta6, {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}}}},
     {1, 2, 3, 3, 4, 5, 6, 6, 7, 8, 9, 9, 10, 11, 12, 12}},
    {"tetra4 and pyramid5", {{ElementPyramid5, {{1, 2, 3, 4, 5}}}, {ElementTetra4, {{6, 7, 8, 9}}}},
     {6, 7, 8, 8, 9, 9, 9, 9, 1, 2, 3, 4, 5, 5, 5, 5}},
    {"tria3 + quad4 + g_tria3: both triangle blocks first, in file order",
     {{ElementTria3, {{1, 2, 3}}}, {ElementQuad4, {{4, 5, 6, 7}}}, {ElementTria3, {{8, 9, 10}, {11, 12, 13}}}},
     {1, 2, 3, 3, 8, 9, 10, 10, 11, 12, 13, 13, 4, 5, 6, 7}},
    {"tetrahedra only keep four nodes", {{ElementTetra4, {{1, 2, 3, 4}, {4, 3, 2, 1}}}}, {1, 2, 3, 4, 4, 3, 2, 1}},
    {"triangles only keep three nodes", {{ElementTria3, {{3, 2, 1}}}}, {3, 2, 1}},
    {"lower-category blocks are not loaded",
     {{ElementBar2, {{1, 2}}}, {ElementHexa8, {{1, 2, 3, 4, 5, 6, 7, 8}}}, {ElementQuad4, {{1, 2, 3, 4}}}},
     {1, 2, 3, 4, 5, 6, 7, 8}},
    {"bar3 is two segments through its middle node",
     {{ElementBar3, {{1, 2, 3}}}, {ElementBar2, {{4, 5}}}},
     {4, 5, 1, 3, 3, 2}},
};

class NodeMapTest : public LoaderTest, public ::testing::WithParamInterface<Encoding> {};

TEST_P(NodeMapTest, EntriesInElementOrder) {
    for (const MapCase& row : NodeMapCases) {
        SCOPED_TRACE(row.name);
        GeometryFile file(GetParam());
        for (const Block& block : row.blocks) file.Block(block.type, block.elements);
        const PartInfo& part = file.Close(PathFor(GetParam(), "nodemap.geo"));
        const int32_t zone = UnstructuredZone(part);
        ASSERT_TRUE(zelhost::ForceNodeMap(zone));
        EXPECT_EQ(zelhost::NodeMapNodes(zone), row.expected);
        zelhost::DeleteAllFrames();
    }
}

struct FaceCase {
    const char* name;
    std::vector<Block> blocks;
    Elements nsided;
    std::vector<Elements> nfaced;
    std::vector<int32_t> elementCounts, faceNodeCounts, nodes;
};

const FaceCase FaceMapCases[] = {
    {"tria6 is a hexagon through its mid-side nodes", {{ElementTria6, {{1, 2, 3, 4, 5, 6}}}}, {}, {},
     {6}, {}, {1, 4, 2, 5, 3, 6}},
    {"quad8 and tria3 around nsided 3 + 5: each block by its own count",
     {{ElementQuad8, {{1, 2, 3, 4, 5, 6, 7, 8}}}, {ElementTria3, {{9, 10, 11}}}},
     {{1, 2, 3}, {4, 5, 6, 7, 8}},
     {},
     {3, 8, 3, 5},
     {},
     {9, 10, 11, 1, 5, 2, 6, 3, 7, 4, 8, 1, 2, 3, 4, 5, 6, 7, 8}},
    {"hexa8 and an nfaced of 7 faces: 13 faces, the hexahedron first",
     {{ElementHexa8, {{1, 2, 3, 4, 5, 6, 7, 8}}}},
     {},
     {{{1, 2, 3}, {1, 3, 4}, {1, 4, 5}, {1, 5, 2}, {2, 5, 4}, {2, 4, 3}, {6, 7, 8}}},
     {6, 7},
     {4, 4, 4, 4, 4, 4, 3, 3, 3, 3, 3, 3, 3},
     {1, 4, 3, 2, 1, 2, 6, 5, 2, 3, 7, 6, 3, 4, 8, 7, 4, 1, 5, 8, 5, 6, 7, 8,
      1, 2, 3, 1, 3, 4, 1, 4, 5, 1, 5, 2, 2, 5, 4, 2, 4, 3, 6, 7, 8}},
    {"penta15: faces of 6, 6, 8, 8, 8 nodes",
     {{ElementPenta15, {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}}}},
     {},
     {},
     {5},
     {6, 6, 8, 8, 8},
     {1, 9, 3, 8, 2, 7, 4, 10, 5, 11, 6, 12, 1, 7, 2, 14, 5, 10, 4, 13, 2, 8, 3, 15, 6, 11, 5, 14,
      3, 9, 1, 13, 4, 12, 6, 15}},
};

class FaceMapTest : public LoaderTest, public ::testing::WithParamInterface<Encoding> {};

TEST_P(FaceMapTest, ArraysInElementOrder) {
    for (const FaceCase& row : FaceMapCases) {
        SCOPED_TRACE(row.name);
        GeometryFile file(GetParam());
        // The polytope blocks come first in the file, so order is not file order.
        if (!row.nsided.empty()) file.Nsided(row.nsided);
        if (!row.nfaced.empty()) file.Nfaced(row.nfaced);
        for (const Block& block : row.blocks) file.Block(block.type, block.elements);
        const PartInfo& part = file.Close(PathFor(GetParam(), "facemap.geo"));
        const int32_t zone = UnstructuredZone(part);
        ASSERT_TRUE(zelhost::ForceFaceMap(zone));
        const auto arrays = zelhost::FaceMapContents(zone);
        ASSERT_TRUE(arrays.has_value());
        EXPECT_EQ(arrays->elementCounts, row.elementCounts);
        EXPECT_EQ(arrays->faceNodeCounts, row.faceNodeCounts);
        EXPECT_EQ(arrays->nodes, row.nodes);
        zelhost::DeleteAllFrames();
    }
}

// Arrays of a few megabytes are mapped apart from the heap, across several
// huge pages: every entry must still land where it belongs.
TEST_P(FaceMapTest, LargeArraysHoldEveryEntry) {
    constexpr int32_t kPolyhedra = 25000, kFaces = 6, kFaceNodes = 4, kNodes = 1000;
    std::vector<Elements> polyhedra(kPolyhedra, Elements(kFaces, std::vector<int32_t>(kFaceNodes)));
    std::vector<int32_t> nodes;
    for (auto& faces : polyhedra)
        for (auto& face : faces)
            for (int32_t& node : face) {
                node = static_cast<int32_t>(nodes.size() * 7 % kNodes) + 1;
                nodes.push_back(node);
            }
    GeometryFile file(GetParam(), kNodes);
    file.Nfaced(polyhedra);
    const int32_t zone = UnstructuredZone(file.Close(PathFor(GetParam(), "large.geo")));
    ASSERT_TRUE(zelhost::ForceFaceMap(zone));
    const auto arrays = zelhost::FaceMapContents(zone);
    ASSERT_TRUE(arrays.has_value());
    EXPECT_EQ(arrays->elementCounts, std::vector<int32_t>(kPolyhedra, kFaces));
    EXPECT_EQ(arrays->faceNodeCounts, std::vector<int32_t>(kPolyhedra * kFaces, kFaceNodes));
    EXPECT_EQ(arrays->nodes, nodes);
}

INSTANTIATE_TEST_SUITE_P(Encodings, NodeMapTest, ::testing::ValuesIn(test::AllEncodings),
                         [](const auto& info) { return std::string(test::EncodingName(info.param)); });
INSTANTIATE_TEST_SUITE_P(Encodings, FaceMapTest, ::testing::ValuesIn(test::AllEncodings),
                         [](const auto& info) { return std::string(test::EncodingName(info.param)); });

}  // namespace
}  // namespace quorix::loadertest
