#include "casefile/element_types.h"

#include "casefile/ascii_case.h"

namespace quorix {
namespace {

struct ElementTypeFacts {
    std::string_view name;
    int32_t nodes;     // 0: varies per element
    int32_t category;  // with higher-order types allowed
    bool higherOrder;  // not loaded when higher-order types are refused
};

constexpr ElementTypeFacts ElementTable[ElementTypeCount] = {
    {"point", 1, 1, false},      {"bar2", 2, 2, false},      {"bar3", 3, 2, false},
    {"tria3", 3, 3, false},      {"tria6", 6, 3, true},      {"quad4", 4, 3, false},
    {"quad8", 8, 3, true},       {"tetra4", 4, 4, false},    {"tetra10", 10, 4, true},
    {"pyramid5", 5, 4, false},   {"pyramid13", 13, 4, true}, {"penta6", 6, 4, false},
    {"penta15", 15, 4, true},    {"hexa8", 8, 4, false},     {"hexa20", 20, 4, true},
    {"nsided", 0, 3, true},      {"nfaced", 0, 4, true},
};

bool Known(int32_t type) { return type >= 0 && type < ElementTypeCount; }

}  // namespace

int32_t ElementTypeFromName(std::string_view name) {
    if (name.size() > 2 && EqualsIgnoreCase(name.substr(0, 2), "g_")) name.remove_prefix(2);
    for (int32_t type = 0; type < ElementTypeCount; ++type) {
        if (EqualsIgnoreCase(name, ElementTable[type].name)) return type;
    }
    return ElementNone;
}

std::string_view ElementTypeName(int32_t type) { return Known(type) ? ElementTable[type].name : std::string_view(); }

int32_t NodesPerElement(int32_t type) { return Known(type) ? ElementTable[type].nodes : 0; }

int32_t ElementCategory(int32_t type, bool higherOrderAllowed) {
    if (!Known(type)) return 0;
    const ElementTypeFacts& facts = ElementTable[type];
    return facts.higherOrder && !higherOrderAllowed ? 0 : facts.category;
}

bool IsPolytopeType(int32_t type) { return Known(type) && ElementTable[type].higherOrder; }

IdOption IdOptionFromName(std::string_view word) {
    constexpr std::string_view words[] = {"off", "given", "assign", "ignore"};
    for (int32_t option = 0; option < 4; ++option) {
        if (EqualsIgnoreCase(word, words[option])) return static_cast<IdOption>(option);
    }
    return IdUnknown;
}

}  // namespace quorix
