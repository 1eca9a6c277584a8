// Block node and cell counts as loads see them: a flat dimension adds no cell
// factor, and a block with a zero dimension has neither nodes nor cells, so no
// value of a per-element variable belongs to it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ensight_writer.h"
#include "zelhost_runner.h"

namespace {

using quorix::test::Encoding;
using quorix::test::EnsightWriter;
using quorix::test::FileKind;

void BlockPart(EnsightWriter& b, int32_t number, const std::string& name, int32_t i, int32_t j, int32_t k) {
    b.String("part " + std::to_string(number)).String(name).String("block").Ints({i, j, k}, 3);
    const size_t nodes = static_cast<size_t>(i) * static_cast<size_t>(j) * static_cast<size_t>(k);
    for (int axis = 0; axis < 3; ++axis) b.Floats(std::vector<float>(nodes, static_cast<float>(axis)));
}

void BlockValues(EnsightWriter& b, int32_t number, const std::vector<float>& values) {
    b.String("part " + std::to_string(number)).String("block");
    if (!values.empty()) b.Floats(values);
}

// Without global nodes, the empty block's dimensions are the first binary
// numbers, and they fit in either byte order.
TEST(BlockCounts, ZeroDimensionHoldsNoCellValues) {
    for (int32_t globalNodes : {1, 0})
    for (Encoding e : {Encoding::Ascii, Encoding::BinaryLE, Encoding::BinaryBE}) {
        SCOPED_TRACE(std::string(quorix::test::EncodingName(e)) + " global nodes " + std::to_string(globalNodes));
        quorix::test::TempDir dir;
        EnsightWriter geometry(e, FileKind::Ensight6);
        geometry.Ensight6Header({}, globalNodes);
        BlockPart(geometry, 1, "empty block", 0, 3, 1);
        BlockPart(geometry, 2, "flat block", 3, 2, 1);
        BlockPart(geometry, 3, "solid block", 2, 2, 3);
        dir.Write("z.geo", geometry.bytes());

        EnsightWriter cells(e, FileKind::Ensight6);
        cells.String("cell values");
        BlockValues(cells, 1, {});
        BlockValues(cells, 2, {7, 8});
        BlockValues(cells, 3, {5, 6});
        dir.Write("z.cell", cells.bytes());
        const std::string casePath = dir.Write(
            "z.case", "FORMAT\ntype: ensight\n\nGEOMETRY\nmodel: z.geo\n\nVARIABLE\nscalar per element: cell z.cell\n");

        auto run = e2e::LoadCase(casePath, {"--load-all"});
        ASSERT_TRUE(run.report) << run.Describe();
        const auto& zones = (*run.report)["zones"].items;
        ASSERT_EQ(zones.size(), 2u);
        EXPECT_EQ(zones[0]["name"].Str(), "flat block");
        EXPECT_EQ(zones[0]["elements"].text, "2");
        EXPECT_EQ(zones[0]["values"]["cell"]["min"].number, 7);
        EXPECT_EQ(zones[0]["values"]["cell"]["max"].number, 8);
        EXPECT_EQ(zones[1]["elements"].text, "2");
        EXPECT_EQ(zones[1]["values"]["cell"]["min"].number, 5);
        EXPECT_EQ(zones[1]["values"]["cell"]["max"].number, 6);
    }
}

}  // namespace
