// How EnSight elements become the host's elements: the element order of a
// zone, the node-map fill tables, the line split of bar3 and the face tables
// of polygon and polyhedron zones.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "casefile/element_types.h"
#include "gold/part_collection.h"
#include "gold/variable_info.h"

namespace quorix {

// One in-category element block of a zone, at its place in the element order.
struct LoadBlock {
    ElementType type = ElementNone;
    int32_t count = 0;          // elements (value loaders: values) in the file
    int64_t offset = 0;         // connectivity or values
    int64_t firstElement = 0;   // 0-based zone element of its first element (bar3 twice)
    int32_t faceCount = 0;      // nfaced: faces of all elements
    int32_t nodeCount = 0;      // nsided: nodes of all polygons; nfaced: nodes of all faces
    SectionForm form{};         // value loaders: undefined values
};

// The zone's element order: in-category blocks grouped by ascending type code,
// each group in file order, with the zone position of each block's first element.
std::vector<LoadBlock> ElementOrder(const PartInfo& part);

// Puts the in-category blocks of a zone, given in file order, into its element order.
template <class Block, class TypeOf>
void SortIntoZoneOrder(std::vector<Block>& blocks, TypeOf typeOf) {
    std::stable_sort(blocks.begin(), blocks.end(), [&](const Block& a, const Block& b) { return typeOf(a) < typeOf(b); });
}


// A per-element rewrite: `entries` node numbers taken from the element's nodes
// (1-based indices into the element as read); a polyhedron also lists its faces.
struct ElementShape {
    int32_t entries = 0;
    const uint8_t* nodes = nullptr;
    int32_t faces = 0;                // polyhedra only
    const uint8_t* faceSizes = nullptr;
};

// Nodes per element of a classic node-map zone: triangles 3, quadrilaterals 4,
// tetrahedra 4, bricks 8 (the host's shape, not the part's largest element); 0 when none.
int32_t NodeMapWidth(ElementCategoryCode category, int32_t maxNodesPerElement);
// The host zone of an unstructured part: points stay ordered, lines become
// segments, polygons and polyhedra keep their own zones, the rest takes its
// node-map shape; ZelZoneInvalid when none fits.
int32_t UnstructuredZoneType(ElementCategoryCode category, int32_t maxNodesPerElement, bool polytope);
// An element of `type` in a node-map zone of `width` nodes, filled up by
// repeating nodes; entries 0 when the type has no place in such a zone.
ElementShape NodeMapShape(ElementType type, int32_t width);
// bar2: one segment; bar3: (first, third) and (third, second), the third node
// lying between the other two. Entries 0 for other types.
ElementShape LineShape(ElementType type);
// Boundary of a surface element as one polygon (mid-side nodes between their corners).
ElementShape PolygonShape(ElementType type);
// Faces of a volume element, each seen from outside (counter-clockwise).
ElementShape PolyhedronShape(ElementType type);

// Rewrites `elements` elements of `nodesPerElement` nodes each into `out`
// (`shape.entries` per element). False when a node number lies outside
// 1..nodeCount; `out` is then partly written.
bool GatherElements(const int32_t* connectivity, int64_t elements, int32_t nodesPerElement,
                    const ElementShape& shape, int32_t nodeCount, int32_t* out);

// Every node number in 1..nodeCount.
bool NodesInRange(const int32_t* nodes, int64_t count, int32_t nodeCount);
// Every size at least 1 and their sum exactly `expectedSum`.
bool SizesAddUp(const int32_t* sizes, int64_t count, int64_t expectedSum);

}  // namespace quorix
