#include "dataset/element_conversion.h"

#include <algorithm>
#include <iterator>

#include "casefile/element_types.h"
#include "host_api/zel_api.h"

namespace quorix {
namespace {

// Smaller elements in a larger host shape repeat nodes (1-based, as read).
constexpr uint8_t Tria3InQuad[] = {1, 2, 3, 3};
constexpr uint8_t Tetra4InBrick[] = {1, 2, 3, 3, 4, 4, 4, 4};
constexpr uint8_t Pyramid5InBrick[] = {1, 2, 3, 4, 5, 5, 5, 5};
constexpr uint8_t Penta6InBrick[] = {1, 2, 3, 3, 4, 5, 6, 6};
constexpr uint8_t Identity[] = {1, 2, 3, 4, 5, 6, 7, 8};

constexpr uint8_t Bar2Segment[] = {1, 2};
constexpr uint8_t Bar3Segments[] = {1, 3, 3, 2};

constexpr uint8_t Tria6Polygon[] = {1, 4, 2, 5, 3, 6};
constexpr uint8_t Quad8Polygon[] = {1, 5, 2, 6, 3, 7, 4, 8};

constexpr uint8_t Tetra4Sizes[] = {3, 3, 3, 3};
constexpr uint8_t Tetra4Faces[] = {1, 3, 2, 2, 3, 4, 3, 1, 4, 1, 2, 4};
constexpr uint8_t Tetra10Sizes[] = {6, 6, 6, 6};
constexpr uint8_t Tetra10Faces[] = {1, 7, 3, 6, 2, 5, 2, 6, 3, 10, 4, 9, 3, 7, 1, 8, 4, 10, 1, 5, 2, 9, 4, 8};
constexpr uint8_t Pyramid5Sizes[] = {4, 3, 3, 3, 3};
constexpr uint8_t Pyramid5Faces[] = {1, 4, 3, 2, 1, 2, 5, 2, 3, 5, 3, 4, 5, 4, 1, 5};
constexpr uint8_t Pyramid13Sizes[] = {8, 6, 6, 6, 6};
constexpr uint8_t Pyramid13Faces[] = {1, 9, 4, 8,  3, 7, 2, 6, 1, 6, 2, 11, 5,  10, 2, 7, 3, 12, 5, 11,
                                      3, 8, 4, 13, 5, 12, 4, 9, 1, 10, 5, 13};
constexpr uint8_t Penta6Sizes[] = {3, 3, 4, 4, 4};
constexpr uint8_t Penta6Faces[] = {1, 3, 2, 4, 5, 6, 1, 2, 5, 4, 2, 3, 6, 5, 3, 1, 4, 6};
constexpr uint8_t Penta15Sizes[] = {6, 6, 8, 8, 8};
constexpr uint8_t Penta15Faces[] = {1, 9,  3, 8,  2, 7,  4, 10, 5, 11, 6, 12, 1, 7,  2, 14, 5, 10,
                                    4, 13, 2, 8,  3, 15, 6, 11, 5, 14, 3, 9, 1, 13, 4, 12, 6, 15};
constexpr uint8_t Hexa8Sizes[] = {4, 4, 4, 4, 4, 4};
constexpr uint8_t Hexa8Faces[] = {1, 4, 3, 2, 1, 2, 6, 5, 2, 3, 7, 6, 3, 4, 8, 7, 4, 1, 5, 8, 5, 6, 7, 8};
constexpr uint8_t Hexa20Sizes[] = {8, 8, 8, 8, 8, 8};
constexpr uint8_t Hexa20Faces[] = {1, 12, 4, 11, 3, 10, 2, 9,  1, 9,  2, 18, 6, 13, 5, 17,
                                   2, 10, 3, 19, 7, 14, 6, 18, 3, 11, 4, 20, 8, 15, 7, 19,
                                   4, 12, 1, 17, 5, 16, 8, 20, 5, 13, 6, 14, 7, 15, 8, 16};

template <size_t N>
constexpr ElementShape Shape(const uint8_t (&nodes)[N]) {
    return ElementShape{static_cast<int32_t>(N), nodes, 0, nullptr};
}

template <size_t N, size_t F>
constexpr ElementShape Solid(const uint8_t (&faces)[N], const uint8_t (&sizes)[F]) {
    return ElementShape{static_cast<int32_t>(N), faces, static_cast<int32_t>(F), sizes};
}

ElementShape IdentityShape(int32_t width) { return ElementShape{width, Identity, 0, nullptr}; }

}  // namespace

std::vector<LoadBlock> ElementOrder(const PartInfo& part) {
    std::vector<LoadBlock> order;
    for (const ElementBlockInfo& block : part.blocks) {
        if (!block.inCategory || block.type < 0 || block.type >= ElementTypeCount) continue;
        order.push_back(LoadBlock{block.type, block.elementCount, block.offset, 0, block.faceCount, block.nodeCount});
    }
    SortIntoZoneOrder(order, [](const LoadBlock& block) { return block.type; });
    int64_t position = 0;
    for (LoadBlock& block : order) {
        block.firstElement = position;
        position += ZoneElementsOf(block.type, block.count);
    }
    return order;
}

int32_t NodeMapWidth(ElementCategoryCode category, int32_t maxNodesPerElement) {
    if (category == CategorySurface) return maxNodesPerElement == 3 || maxNodesPerElement == 4 ? maxNodesPerElement : 0;
    if (category != CategoryVolume) return 0;
    if (maxNodesPerElement == 4) return 4;
    return maxNodesPerElement == 5 || maxNodesPerElement == 6 || maxNodesPerElement == 8 ? 8 : 0;
}

int32_t UnstructuredZoneType(ElementCategoryCode category, int32_t maxNodesPerElement, bool polytope) {
    switch (category) {
        case CategoryPoint: return ZelZoneOrdered;
        case CategoryLine: return ZelZoneLineSeg;
        case CategorySurface:
        case CategoryVolume:
            if (polytope) return category == CategorySurface ? ZelZonePolygon : ZelZonePolyhedron;
            break;
        default: return ZelZoneInvalid;
    }
    switch (NodeMapWidth(category, maxNodesPerElement)) {
        case 3: return ZelZoneTriangle;
        case 4: return category == CategorySurface ? ZelZoneQuad : ZelZoneTetra;
        case 8: return ZelZoneBrick;
        default: return ZelZoneInvalid;
    }
}

ElementShape NodeMapShape(ElementType type, int32_t width) {
    const int32_t nodes = NodesPerElement(type);
    if (nodes == width && (type == ElementTria3 || type == ElementQuad4 || type == ElementTetra4 ||
                           type == ElementHexa8))
        return IdentityShape(width);
    if (width == 4 && type == ElementTria3) return Shape(Tria3InQuad);
    if (width != 8) return {};
    switch (type) {
        case ElementTetra4: return Shape(Tetra4InBrick);
        case ElementPyramid5: return Shape(Pyramid5InBrick);
        case ElementPenta6: return Shape(Penta6InBrick);
        default: return {};
    }
}

ElementShape LineShape(ElementType type) {
    if (type == ElementBar2) return Shape(Bar2Segment);
    if (type == ElementBar3) return Shape(Bar3Segments);
    return {};
}

ElementShape PolygonShape(ElementType type) {
    switch (type) {
        case ElementTria3: return IdentityShape(3);
        case ElementTria6: return Shape(Tria6Polygon);
        case ElementQuad4: return IdentityShape(4);
        case ElementQuad8: return Shape(Quad8Polygon);
        default: return {};
    }
}

ElementShape PolyhedronShape(ElementType type) {
    switch (type) {
        case ElementTetra4: return Solid(Tetra4Faces, Tetra4Sizes);
        case ElementTetra10: return Solid(Tetra10Faces, Tetra10Sizes);
        case ElementPyramid5: return Solid(Pyramid5Faces, Pyramid5Sizes);
        case ElementPyramid13: return Solid(Pyramid13Faces, Pyramid13Sizes);
        case ElementPenta6: return Solid(Penta6Faces, Penta6Sizes);
        case ElementPenta15: return Solid(Penta15Faces, Penta15Sizes);
        case ElementHexa8: return Solid(Hexa8Faces, Hexa8Sizes);
        case ElementHexa20: return Solid(Hexa20Faces, Hexa20Sizes);
        default: return {};
    }
}

// Both checks run without an early exit, so that they vectorise.
bool NodesInRange(const int32_t* nodes, int64_t count, int32_t nodeCount) {
    // With nodeCount <= INT32_MAX, node - 1 or nodeCount - node has its top bit
    // set exactly when node lies outside 1..nodeCount.
    if (nodeCount < 0) return count == 0;
    const auto last = static_cast<uint32_t>(nodeCount);
    uint32_t outside = 0;
    for (int64_t i = 0; i < count; ++i) {
        const auto node = static_cast<uint32_t>(nodes[i]);
        outside |= (node - 1u) | (last - node);
    }
    return (outside >> 31) == 0;
}

bool SizesAddUp(const int32_t* sizes, int64_t count, int64_t expectedSum) {
    int64_t sum = 0;
    int32_t least = 1;
    for (int64_t i = 0; i < count; ++i) {
        least = sizes[i] < least ? sizes[i] : least;
        sum += sizes[i];
    }
    return least >= 1 && sum == expectedSum;
}

bool GatherElements(const int32_t* connectivity, int64_t elements, int32_t nodesPerElement,
                    const ElementShape& shape, int32_t nodeCount, int32_t* out) {
    if (!NodesInRange(connectivity, elements * nodesPerElement, nodeCount)) return false;
    for (int64_t e = 0; e < elements; ++e) {
        const int32_t* element = connectivity + e * nodesPerElement;
        for (int32_t k = 0; k < shape.entries; ++k) *out++ = element[shape.nodes[k] - 1];
    }
    return true;
}

}  // namespace quorix
