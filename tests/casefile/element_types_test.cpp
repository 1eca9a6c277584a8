#include "casefile/element_types.h"

#include <gtest/gtest.h>

namespace {

using namespace quorix;

TEST(ElementTypes, Names) {
    struct Row {
        const char* name;
        int32_t type;
    };
    const Row rows[] = {
        {"point", ElementPoint}, {"HEXA8", ElementHexa8}, {"g_hexa8", ElementHexa8}, {"G_Nfaced", ElementNfaced},
        {"hexa8 ", ElementNone}, {"g_", ElementNone},     {"", ElementNone},         {"g_g_point", ElementNone},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ElementTypeFromName(row.name), row.type);
    }
}

TEST(ElementTypes, Facts) {
    EXPECT_EQ(NodesPerElement(ElementHexa20), 20);
    EXPECT_EQ(NodesPerElement(ElementNsided), 0);
    EXPECT_EQ(NodesPerElement(ElementNone), 0);
    EXPECT_EQ(ElementCategory(ElementTria6, true), 3);
    EXPECT_EQ(ElementCategory(ElementTria6, false), 0);
    EXPECT_EQ(ElementCategory(ElementPenta6, false), 4);
    EXPECT_EQ(ElementCategory(ElementBar3, false), 2);
    EXPECT_EQ(ElementCategory(17, true), 0);
    EXPECT_EQ(ElementCategory(-1, true), 0);
    EXPECT_EQ(IdOptionFromName("GIVEN"), IdGiven);
    EXPECT_EQ(IdOptionFromName("assign"), IdAssign);
    EXPECT_EQ(IdOptionFromName("offx"), IdUnknown);
}

}  // namespace
