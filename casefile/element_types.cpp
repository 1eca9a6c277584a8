#include "casefile/element_types.h"

#include "casefile/ascii_case.h"

namespace quorix {
namespace {

struct ElementTypeFacts {
    std::string_view name;
    int32_t nodes;         // 0: varies per element
    ElementCategoryCode category;
    bool polytope;         // the zone takes polygons or polyhedra (higher-order types too)
    int32_t zoneElements;  // zone elements one element becomes: a bar3 is two segments
    int32_t zoneNodes;     // nodes of each zone element
};

constexpr ElementTypeFacts ElementTable[ElementTypeCount] = {
    {"point", 1, CategoryPoint, false, 1, 1},         {"bar2", 2, CategoryLine, false, 1, 2},
    {"bar3", 3, CategoryLine, false, 2, 2},           {"tria3", 3, CategorySurface, false, 1, 3},
    {"tria6", 6, CategorySurface, true, 1, 6},        {"quad4", 4, CategorySurface, false, 1, 4},
    {"quad8", 8, CategorySurface, true, 1, 8},        {"tetra4", 4, CategoryVolume, false, 1, 4},
    {"tetra10", 10, CategoryVolume, true, 1, 10},     {"pyramid5", 5, CategoryVolume, false, 1, 5},
    {"pyramid13", 13, CategoryVolume, true, 1, 13},   {"penta6", 6, CategoryVolume, false, 1, 6},
    {"penta15", 15, CategoryVolume, true, 1, 15},     {"hexa8", 8, CategoryVolume, false, 1, 8},
    {"hexa20", 20, CategoryVolume, true, 1, 20},      {"nsided", 0, CategorySurface, true, 1, 0},
    {"nfaced", 0, CategoryVolume, true, 1, 0},
};

bool Known(ElementType type) { return type >= 0 && type < ElementTypeCount; }

}  // namespace

ElementType ElementTypeFromName(std::string_view name) {
    if (name.size() > 2 && EqualsIgnoreCase(name.substr(0, 2), "g_")) name.remove_prefix(2);
    for (int32_t type = 0; type < ElementTypeCount; ++type) {
        if (EqualsIgnoreCase(name, ElementTable[type].name)) return static_cast<ElementType>(type);
    }
    return ElementNone;
}

std::string_view ElementTypeName(ElementType type) { return Known(type) ? ElementTable[type].name : std::string_view(); }

int32_t NodesPerElement(ElementType type) { return Known(type) ? ElementTable[type].nodes : 0; }

ElementCategoryCode ElementCategory(ElementType type) { return Known(type) ? ElementTable[type].category : CategoryNone; }

bool IsPolytopeType(ElementType type) { return Known(type) && ElementTable[type].polytope; }

int64_t ZoneElementsOf(ElementType type, int64_t count) {
    return Known(type) ? ElementTable[type].zoneElements * count : count;
}

int32_t ZoneNodesPerElement(ElementType type) { return Known(type) ? ElementTable[type].zoneNodes : 0; }

IdOption IdOptionFromName(std::string_view word) {
    constexpr std::string_view words[] = {"off", "given", "assign", "ignore"};
    for (int32_t option = 0; option < 4; ++option) {
        if (EqualsIgnoreCase(word, words[option])) return static_cast<IdOption>(option);
    }
    return IdUnknown;
}

}  // namespace quorix
