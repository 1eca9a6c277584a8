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

}  // namespace
