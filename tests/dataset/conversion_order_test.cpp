// Element order, host shapes and the checks every node number and size passes.
#include <gtest/gtest.h>

#include <vector>

#include "casefile/element_types.h"
#include "dataset/element_conversion.h"

namespace quorix {
namespace {

struct OrderRow {
    const char* name;
    int32_t category;
    std::vector<std::pair<int32_t, int32_t>> blocks;  // type, elements, file order
    std::vector<std::pair<int32_t, int64_t>> order;   // type, first zone element
};

const OrderRow OrderRows[] = {
    {"two tria3 blocks grouped in file order before the quad",
     3,
     {{ElementTria3, 2}, {ElementQuad4, 1}, {ElementTria3, 3}},
     {{ElementTria3, 0}, {ElementTria3, 2}, {ElementQuad4, 5}}},
    {"bar3 takes two places per element", 2, {{ElementBar3, 2}, {ElementBar2, 1}, {ElementBar3, 1}},
     {{ElementBar2, 0}, {ElementBar3, 1}, {ElementBar3, 5}}},
    {"lower categories are left out", 4, {{ElementBar2, 4}, {ElementHexa8, 1}, {ElementTria3, 2}, {ElementTetra4, 3}},
     {{ElementTetra4, 0}, {ElementHexa8, 3}}},
};

TEST(ConversionOrder, BlocksByTypeThenFileOrder) {
    for (const OrderRow& row : OrderRows) {
        SCOPED_TRACE(row.name);
        PartInfo part;
        part.kind = PartUnstructured;
        part.category = row.category;
        for (const auto& [type, count] : row.blocks) {
            ElementBlockInfo block;
            block.type = type;
            block.elementCount = count;
            block.inCategory = ElementCategory(type, true) == row.category;
            part.blocks.push_back(block);
        }
        std::vector<std::pair<int32_t, int64_t>> order;
        for (const LoadBlock& block : ElementOrder(part)) order.emplace_back(block.type, block.firstElement);
        EXPECT_EQ(order, row.order);
    }
}

TEST(ConversionOrder, NodeMapWidthFollowsTheHostShape) {
    struct Row {
        int32_t category, maxNodes, width;
    };
    const Row rows[] = {{3, 3, 3}, {3, 4, 4}, {4, 4, 4}, {4, 5, 8}, {4, 6, 8}, {4, 8, 8}, {4, 10, 0}, {2, 2, 0}, {3, 6, 0}};
    for (const Row& row : rows) EXPECT_EQ(NodeMapWidth(row.category, row.maxNodes), row.width) << row.category << "/" << row.maxNodes;
}

TEST(ConversionOrder, ShapesOnlyWhereTheyFit) {
    EXPECT_EQ(NodeMapShape(ElementHexa8, 4).entries, 0);
    EXPECT_EQ(NodeMapShape(ElementQuad4, 3).entries, 0);
    EXPECT_EQ(NodeMapShape(ElementTetra10, 8).entries, 0);
    EXPECT_EQ(LineShape(ElementTria3).entries, 0);
    EXPECT_EQ(PolygonShape(ElementHexa8).entries, 0);
    EXPECT_EQ(PolyhedronShape(ElementNfaced).entries, 0);
}

TEST(ConversionOrder, NodeNumbersOutsideThePartFail) {
    struct Row {
        const char* name;
        std::vector<int32_t> element;
        bool accepted;
    };
    const Row rows[] = {
        {"first and last node", {1, 4, 2}, true},
        {"node 0", {1, 0, 2}, false},
        {"negative node", {1, -3, 2}, false},
        {"above the node count", {1, 5, 2}, false},
        {"most negative", {INT32_MIN, 1, 2}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        int32_t out[4] = {};
        EXPECT_EQ(GatherElements(row.element.data(), 1, 3, NodeMapShape(ElementTria3, 4), 4, out), row.accepted);
    }
}

TEST(ConversionOrder, SizesMustBePositiveAndAddUp) {
    struct Row {
        const char* name;
        std::vector<int32_t> sizes;
        int64_t sum;
        bool accepted;
    };
    const Row rows[] = {
        {"3 + 5", {3, 5}, 8, true},
        {"size 0", {0, 8}, 8, false},
        {"negative size", {-1, 9}, 8, false},
        {"sum changed", {3, 4}, 8, false},
        {"sums beyond int32", {INT32_MAX, INT32_MAX}, 2 * int64_t{INT32_MAX}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(SizesAddUp(row.sizes.data(), static_cast<int64_t>(row.sizes.size()), row.sum), row.accepted);
    }
}

}  // namespace
}  // namespace quorix
