// Structured blocks in a geometry whose header says "node id given" and
// "element id given": some writers put node_ids / element_ids after each block,
// others none, and some pad their records with blanks instead of NULs. Every
// layout loads the same zones, in ASCII and C binary of both byte orders, and
// the unstructured part after the blocks keeps its ids.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_fixture.h"
#include "support/ensight_writer.h"
#include "zelhost_runner.h"

namespace {

using casetest::CaseDirectory;
using casetest::Compact;
using quorix::test::AllEncodings;
using quorix::test::Encoding;
using quorix::test::EncodingName;
using quorix::test::EnsightWriter;

struct Layout {
    bool ids;          // header says "given"
    bool blockIds;     // node_ids / element_ids written after each block
    bool blankPadded;  // records padded with blanks
};

// A string record, padded with blanks when the layout says so.
void Text(EnsightWriter& w, const Layout& layout, const std::string& text) {
    if (!layout.blankPadded) {
        w.String(text);
    } else if (w.binary()) {
        w.Raw(text + std::string(80 - text.size(), ' '));
    } else {
        w.Raw(text + std::string(80 - 1 - text.size(), ' ') + "\n");
    }
}

void BlockIds(EnsightWriter& w, const Layout& layout, int32_t nodes, int32_t cells) {
    if (!layout.blockIds) return;
    std::vector<int32_t> ids;
    for (int32_t i = 0; i < nodes; ++i) ids.push_back(500 + i);
    Text(w, layout, "node_ids");
    w.Ints(ids);
    ids.resize(static_cast<size_t>(cells));
    Text(w, layout, "element_ids");
    w.Ints(ids);
}

void PartHeader(EnsightWriter& w, const Layout& layout, int32_t number, const std::string& description) {
    Text(w, layout, "part");
    w.Int(number);
    Text(w, layout, description);
}

std::string Geometry(Encoding encoding, const Layout& layout) {
    EnsightWriter w(encoding);
    if (w.binary()) Text(w, layout, "C Binary");
    Text(w, layout, "blocks with ids");
    Text(w, layout, "second line");
    Text(w, layout, layout.ids ? "node id given" : "node id off");
    Text(w, layout, layout.ids ? "element id given" : "element id off");
    PartHeader(w, layout, 1, "curvilinear");
    Text(w, layout, "block iblanked");
    w.Ints({2, 2, 2}, 3).Floats({0, 1, 0, 1, 0, 1, 0, 1}).Floats({0, 0, 1, 1, 0, 0, 1, 1});
    w.Floats({0, 0, 0, 0, 1, 1, 1.5f, 1}).Ints({1, 1, 1, 0, 1, 1, 1, 1});
    BlockIds(w, layout, 8, 1);
    PartHeader(w, layout, 2, "rectilinear");
    Text(w, layout, "block rectilinear");
    w.Ints({3, 2, 1}, 3).Floats({0, 0.5f, 2}).Floats({-1, 1}).Floats({4});
    BlockIds(w, layout, 6, 2);
    PartHeader(w, layout, 3, "uniform");
    Text(w, layout, "block uniform");
    w.Ints({2, 3, 2}, 3).Floats({1, 2, 3}).Floats({0.5f, 0.25f, 2});
    BlockIds(w, layout, 12, 2);
    PartHeader(w, layout, 4, "triangles");
    Text(w, layout, "coordinates");
    w.Int(3);
    if (layout.ids) w.Ints({7, 8, 9});
    w.Floats({0, 1, 0}).Floats({0, 0, 1}).Floats({5, 5, 5});
    Text(w, layout, "tria3");
    w.Int(1);
    if (layout.ids) w.Int(42);
    w.Ints({1, 2, 3}, 3);
    return w.bytes();
}

// Per-node values on every part: 8, 6, 12 and 3 nodes.
std::string Pressure(Encoding encoding, const Layout& layout) {
    EnsightWriter w(encoding);
    Text(w, layout, "pressure");
    const std::pair<int32_t, int32_t> parts[] = {{1, 8}, {2, 6}, {3, 12}, {4, 3}};
    for (const auto& [number, nodes] : parts) {
        Text(w, layout, "part");
        w.Int(number);
        Text(w, layout, number == 4 ? "coordinates" : "block");
        std::vector<float> values;
        for (int32_t i = 0; i < nodes; ++i) values.push_back(static_cast<float>(number) + 0.125f * static_cast<float>(i));
        w.Floats(values);
    }
    return w.bytes();
}

e2e::RunResult Load(Encoding encoding, const Layout& layout, const CaseDirectory& dir, const std::string& tag) {
    dir.Write(tag + ".geo", Geometry(encoding, layout));
    dir.Write(tag + ".pressure", Pressure(encoding, layout));
    const std::string text = "FORMAT\ntype: ensight gold\nGEOMETRY\nmodel: " + tag + ".geo\nVARIABLE\n" +
                             "scalar per node: pressure " + tag + ".pressure\n";
    return e2e::LoadCase(dir.Write(tag + ".case", text), {"--load-all", "--batch"});
}

TEST(BlockIds, EveryLayoutLoadsTheSameZones) {
    const Layout layouts[] = {{true, false, false}, {true, true, false}, {true, false, true}, {true, true, true}};
    for (Encoding e : AllEncodings) {
        SCOPED_TRACE(EncodingName(e));
        CaseDirectory dir;
        const auto first = Load(e, layouts[0], dir, "first");
        ASSERT_TRUE(first.report.has_value()) << first.Describe();
        const e2e::Json& want = *first.report;
        EXPECT_TRUE(want["loaded"].boolean) << first.Describe();
        EXPECT_EQ(Compact(want["messages"]), "[]");
        ASSERT_EQ(want["zones"].items.size(), 4u);
        for (const e2e::Json& zone : want["zones"].items) {
            EXPECT_EQ(zone["loadFailures"].number, 0) << zone["name"].Str();
            EXPECT_NE(zone["values"].Find("pressure"), nullptr) << zone["name"].Str();
        }
        for (size_t k = 1; k < std::size(layouts); ++k) {
            SCOPED_TRACE("layout " + std::to_string(k));
            const auto run = Load(e, layouts[k], dir, "layout" + std::to_string(k));
            ASSERT_TRUE(run.report.has_value()) << run.Describe();
            EXPECT_EQ(Compact((*run.report)["messages"]), "[]");
            EXPECT_EQ(Compact((*run.report)["variables"]), Compact(want["variables"]));
            EXPECT_EQ(Compact((*run.report)["zones"]), Compact(want["zones"]));
        }
        // Without ids at all the blocks are the same zones.
        const auto plain = Load(e, {false, false, false}, dir, "plain");
        ASSERT_TRUE(plain.report.has_value()) << plain.Describe();
        for (size_t z = 0; z < 3; ++z) {
            EXPECT_EQ(Compact((*plain.report)["zones"].items[z]), Compact(want["zones"].items[z])) << "zone " << z + 1;
        }
    }
}

}  // namespace
