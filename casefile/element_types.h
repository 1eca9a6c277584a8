// The element-type table shared by the Gold and EnSight 6 readers.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace quorix {

enum ElementType : int32_t {
    ElementPoint = 0,
    ElementBar2 = 1,
    ElementBar3 = 2,
    ElementTria3 = 3,
    ElementTria6 = 4,
    ElementQuad4 = 5,
    ElementQuad8 = 6,
    ElementTetra4 = 7,
    ElementTetra10 = 8,
    ElementPyramid5 = 9,
    ElementPyramid13 = 10,
    ElementPenta6 = 11,
    ElementPenta15 = 12,
    ElementHexa8 = 13,
    ElementHexa20 = 14,
    ElementNsided = 15,
    ElementNfaced = 16,
    ElementNone = 255,
};
constexpr int ElementTypeCount = 17;

// What ElementCategory answers; a part's category is CategoryUnknown until its blocks give one.
enum ElementCategoryCode : int32_t {
    CategoryNone = 0,  // not loadable
    CategoryPoint = 1,
    CategoryLine = 2,
    CategorySurface = 3,
    CategoryVolume = 4,
    CategoryUnknown = 255,
};

enum IdOption : int32_t { IdOff = 0, IdGiven = 1, IdAssign = 2, IdIgnore = 3, IdUnknown = 255 };

// The type of a name ("g_" ghost names included, ASCII case ignored); ElementNone otherwise.
ElementType ElementTypeFromName(std::string_view name);
// "hexa8" for ElementHexa8; empty for ElementNone.
std::string_view ElementTypeName(ElementType type);
// 0 for nsided, nfaced and ElementNone.
int32_t NodesPerElement(ElementType type);
// CategoryNone for ElementNone.
ElementCategoryCode ElementCategory(ElementType type);
// Loaded as polygons or polyhedra (face maps): the higher-order types, nsided and nfaced.
bool IsPolytopeType(ElementType type);
// Zone elements a block of `count` elements occupies (bar3: two segments per element).
int64_t ZoneElementsOf(ElementType type, int64_t count);
// Nodes of each zone element an element of `type` becomes (bar3: its 2-node segments).
int32_t ZoneNodesPerElement(ElementType type);

// The one rule that closes a part, Gold or EnSight 6: the blocks of its
// category, added here, fix the zone's element count (bar3 twice), its largest
// element and whether it takes polygons or polyhedra.
struct ZoneElementTally {
    int64_t elements = 0;
    int32_t maxNodesPerElement = 0;
    bool polytope = false;

    void Add(ElementType type, int64_t count) {
        elements += ZoneElementsOf(type, count);
        maxNodesPerElement = std::max(maxNodesPerElement, ZoneNodesPerElement(type));
        polytope = polytope || IsPolytopeType(type);
    }
};
IdOption IdOptionFromName(std::string_view word);

}  // namespace quorix
