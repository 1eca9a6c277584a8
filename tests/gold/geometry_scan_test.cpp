// What the geometry scan records, in ASCII and C binary of both byte orders.
#include <gtest/gtest.h>

#include "casefile/element_types.h"
#include "geometry_scan_fixture.h"

namespace quorix {
namespace {

// Coordinates of n nodes.
void Nodes(EnsightWriter& w, size_t n) {
    auto ramp = EnsightWriter::Ramp(n);
    w.Coordinates(ramp, ramp, ramp);
}

const PartInfo& OnlyPart(const GeometryScan& scan) {
    EXPECT_EQ(scan.parts.parts().size(), 1u);
    return *scan.parts.parts().front();
}

TEST(GeometryScan, OffsetsOfOneTrianglePart) {
    for (Encoding e : AllEncodings) {
        SCOPED_TRACE(EncodingName(e));
        EnsightWriter w(e);
        w.GoldHeader();
        int64_t partAt = w.size();
        w.Part(1, "tri").String("coordinates").Int(3);
        int64_t x = w.size();
        w.Floats({0, 1, 0});
        int64_t y = w.size();
        w.Floats({0, 0, 1});
        int64_t z = w.size();
        w.Floats({0, 0, 0}).String("tria3").Int(1);
        int64_t connectivity = w.size();
        w.Ints({1, 2, 3}, 3);
        if (w.binary()) {
            EXPECT_EQ(partAt, 400);
            EXPECT_EQ(x, 648);
            EXPECT_EQ(y, 660);
            EXPECT_EQ(z, 672);
            EXPECT_EQ(connectivity, 768);
            EXPECT_EQ(w.size(), 780);
        }
        GeometryScan scan;
        ScanBytes(w.bytes(), scan);
        ASSERT_TRUE(scan.scanned) << scan.error;
        EXPECT_EQ(scan.positionAfterOpen, partAt);
        if (w.binary()) {
            EXPECT_EQ(scan.byteOrder, test::OrderOf(e));
        }
        const PartInfo& part = OnlyPart(scan);
        EXPECT_EQ(part.format, w.binary() ? EncodingCBinary : EncodingAscii);
        EXPECT_EQ(part.byteOrder, scan.byteOrder);
        EXPECT_EQ(part.fileName, scan.path);
        EXPECT_EQ(part.kind, PartUnstructured);
        EXPECT_EQ(part.category, 3);
        EXPECT_EQ(part.nodeCount, 3);
        EXPECT_EQ(part.imax, 3);
        EXPECT_EQ(part.jmax, 1);
        EXPECT_EQ(part.xOffset, x);
        EXPECT_EQ(part.yOffset, y);
        EXPECT_EQ(part.zOffset, z);
        ASSERT_EQ(part.blocks.size(), 1u);
        EXPECT_EQ(part.blocks[0].offset, connectivity);
        EXPECT_EQ(part.blocks[0].type, ElementTria3);
        EXPECT_EQ(part.name.substr(0, 3), "tri");
    }
}

TEST(GeometryScan, IdArraysArePassed) {
    for (Encoding e : AllEncodings) {
        SCOPED_TRACE(EncodingName(e));
        EnsightWriter w(e);
        w.GoldHeader("given", "given").Extents();
        w.Part(1, "ids").String("coordinates").Int(2).Ints({10, 20});
        int64_t x = w.size();
        w.Floats({0, 1}).Floats({0, 1}).Floats({0, 1});
        w.String("bar2").Int(1).Ints({5});
        int64_t connectivity = w.size();
        w.Ints({1, 2}, 2);
        GeometryScan scan;
        ScanBytes(w.bytes(), scan);
        ASSERT_TRUE(scan.scanned) << scan.error;
        const PartInfo& part = OnlyPart(scan);
        EXPECT_EQ(part.xOffset, x);
        EXPECT_EQ(part.blocks[0].offset, connectivity);
        EXPECT_EQ(part.category, 2);
    }
}

TEST(GeometryScan, ElementBlocks) {
    for (Encoding e : AllEncodings) {
        SCOPED_TRACE(EncodingName(e));
        EnsightWriter w(e);
        w.GoldHeader().Part(1, "poly");
        Nodes(w, 8);
        w.Nsided({{1, 2, 3}, {1, 2, 3, 4, 5}});
        w.Elements("g_tria3", {{1, 2, 3}});
        w.Part(2, "lines");
        Nodes(w, 3);
        w.Elements("bar3", {{1, 2, 3}, {3, 2, 1}});
        w.Part(3, "volume");
        Nodes(w, 4);
        w.Elements("tetra4", {{1, 2, 3, 4}});
        w.Elements("tria3", {{1, 2, 3}});
        w.Elements("bar2", {{1, 2}});
        w.Part(4, "cells");
        Nodes(w, 4);
        // one tetrahedron of 4 faces of 3 nodes
        w.String("nfaced").Int(1).Int(4).Ints({3, 3, 3, 3}).Ints({1, 2, 3}, 3).Ints({1, 2, 4}, 3);
        w.Ints({2, 3, 4}, 3).Ints({1, 3, 4}, 3);
        GeometryScan scan;
        ScanBytes(w.bytes(), scan);
        ASSERT_TRUE(scan.scanned) << scan.error;
        const auto& parts = scan.parts.parts();
        ASSERT_EQ(parts.size(), 4u);

        const PartInfo& poly = *parts[0];
        ASSERT_EQ(poly.blocks.size(), 2u);
        EXPECT_EQ(poly.blocks[0].type, ElementNsided);
        EXPECT_EQ(poly.blocks[0].nodeCount, 8);
        EXPECT_EQ(poly.blocks[1].type, ElementTria3) << "ghost triangles are triangles";
        EXPECT_EQ(poly.elementCount, 3);
        EXPECT_TRUE(poly.polytope);

        const PartInfo& lines = *parts[1];
        EXPECT_EQ(lines.blocks[0].elementCount, 2) << "bar3 as written";
        EXPECT_EQ(lines.elementCount, 4) << "each bar3 is two segments";
        EXPECT_EQ(lines.jmax, 4);
        EXPECT_EQ(lines.category, 2);

        const PartInfo& volume = *parts[2];
        EXPECT_EQ(volume.category, 4);
        ASSERT_EQ(volume.blocks.size(), 3u);
        EXPECT_TRUE(volume.blocks[0].inCategory);
        EXPECT_FALSE(volume.blocks[1].inCategory);
        EXPECT_FALSE(volume.blocks[2].inCategory);
        EXPECT_EQ(volume.elementCount, 1);
        EXPECT_EQ(volume.maxNodesPerElement, 4);
        EXPECT_FALSE(volume.polytope);

        const PartInfo& cells = *parts[3];
        EXPECT_EQ(cells.blocks[0].faceCount, 4);
        EXPECT_EQ(cells.blocks[0].nodeCount, 12);
        EXPECT_TRUE(cells.polytope);
    }
}

TEST(GeometryScan, StepsInOneFile) {
    for (Encoding e : AllEncodings) {
        SCOPED_TRACE(EncodingName(e));
        EnsightWriter w(e);
        if (w.binary()) w.String("C Binary");
        for (int step = 0; step < 3; ++step) {
            w.String("BEGIN TIME STEP").String("d1").String("d2");
            w.String("node id assign").String("element id assign");
            w.Part(1, "p");
            Nodes(w, 1);
            w.Elements("point", {{1}});
            w.String("END TIME STEP");
        }
        GeometryScan scan;
        ScanBytes(w.bytes(), scan, 0);
        ASSERT_TRUE(scan.scanned) << scan.error;
        const auto& parts = scan.parts.parts();
        ASSERT_EQ(parts.size(), 3u);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(parts[i]->step, i + 1);
        EXPECT_EQ(scan.parts.partNumbers().size(), 1u);
    }
}

TEST(GeometryScan, FirstPartNumbers) {
    for (int32_t first : {0, 1, 70000, 65535, 65536}) {
        for (Encoding e : AllEncodings) {
            SCOPED_TRACE(std::string(EncodingName(e)) + " part " + std::to_string(first));
            EnsightWriter w(e);
            w.GoldHeader().Part(first, "first");
            Nodes(w, 3);
            w.Elements("tria3", {{1, 2, 3}});
            w.Part(first + 1, "second");
            Nodes(w, 2);
            w.Elements("bar2", {{1, 2}});
            GeometryScan scan;
            ScanBytes(w.bytes(), scan);
            ASSERT_TRUE(scan.scanned) << scan.error;
            if (w.binary()) {
                EXPECT_EQ(scan.byteOrder, test::OrderOf(e));
            }
            ASSERT_EQ(scan.parts.parts().size(), 2u);
            EXPECT_EQ(scan.parts.parts()[0]->partNumber, first);
            EXPECT_EQ(scan.parts.parts()[1]->nodeCount, 2);
        }
    }
}

TEST(GeometryScan, PartNumbersRefused) {
    struct Row {
        const char* name;
        int32_t first;
        int32_t second;
        const char* message;
    };
    const Row rows[] = {
        {"repeated in one step", 4, 4, "Part 4 appears twice in one time step of file "},
        {"negative", 4, -3, "Part number -3 is negative in file "},
    };
    for (const auto& row : rows) {
        for (Encoding e : AllEncodings) {
            SCOPED_TRACE(std::string(row.name) + " " + EncodingName(e));
            EnsightWriter w(e);
            w.GoldHeader();
            for (int32_t number : {row.first, row.second}) {
                w.Part(number, "p");
                Nodes(w, 1);
            }
            GeometryScan scan;
            ScanBytes(w.bytes(), scan);
            EXPECT_TRUE(scan.opened);
            EXPECT_FALSE(scan.scanned);
            EXPECT_EQ(scan.error, row.message + scan.path);
        }
    }
}

TEST(GeometryScan, FormatLines) {
    struct Row {
        const char* name;
        std::string firstLine;
        bool opens;
    };
    const Row rows[] = {
        {"C Binary", "C Binary", true},
        {"C binary in lower case", "c binary", true},
        {"Fortran Binary without record frames", "Fortran Binary", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EnsightWriter w(Encoding::BinaryLE);
        w.String(row.firstLine).String("d1").String("d2").String("node id off").String("element id off");
        w.Part(1, "p");
        Nodes(w, 1);
        GeometryScan scan;
        ScanBytes(w.bytes(), scan);
        EXPECT_EQ(scan.opened, row.opens);
        if (!row.opens) {
            EXPECT_EQ(scan.error, "Unable to determine file format - possible unsupported type");
        }
    }
    GeometryScan missing;
    CFileEnsightGeomGold reader;
    EXPECT_FALSE(reader.Open("/nonexistent/none.geo"));
    EXPECT_EQ(reader.errorText(), "Unable to open file for reading.");
}

TEST(GeometryScan, PartWithoutElements) {
    for (Encoding e : AllEncodings) {
        SCOPED_TRACE(EncodingName(e));
        EnsightWriter w(e);
        w.GoldHeader().Part(1, "empty").String("something else");
        GeometryScan scan;
        ScanBytes(w.bytes(), scan);
        EXPECT_FALSE(scan.scanned);
        EXPECT_EQ(scan.error, "Read error - no elements found after part header.");
    }
}

TEST(GeometryScan, ExtentsBetweenParts) {
    for (Encoding e : AllEncodings) {
        SCOPED_TRACE(EncodingName(e));
        EnsightWriter w(e);
        w.GoldHeader().Extents().Part(1, "a");
        Nodes(w, 1);
        w.Extents(-1e6f, 1e6f).Part(2, "b");
        Nodes(w, 2);
        GeometryScan scan;
        ScanBytes(w.bytes(), scan);
        ASSERT_TRUE(scan.scanned) << scan.error;
        ASSERT_EQ(scan.parts.parts().size(), 2u);
        EXPECT_EQ(scan.parts.parts()[1]->nodeCount, 2);
    }
}

// A block section: "block" line, dimensions, range, then what the test adds.
EnsightWriter& Block(EnsightWriter& w, const char* line, std::vector<int32_t> dims, std::vector<int32_t> range = {}) {
    w.String(line).Ints(dims, 3);
    if (!range.empty()) w.Ints(range, 6);
    return w;
}

TEST(GeometryScan, StructuredBlocks) {
    for (Encoding e : AllEncodings) {
        SCOPED_TRACE(EncodingName(e));
        EnsightWriter w(e);
        w.GoldHeader().Part(1, "curvilinear");
        Block(w, "block", {3, 4, 5});
        int64_t x1 = w.size();
        auto nodes60 = EnsightWriter::Ramp(60);
        w.Floats(nodes60);
        int64_t y1 = w.size();
        w.Floats(nodes60).Floats(nodes60);

        w.Part(2, "rectilinear");
        Block(w, "block rectilinear", {2, 3, 4});
        int64_t x2 = w.size();
        w.Floats({0, 1});
        int64_t y2 = w.size();
        w.Floats({0, 1, 2});
        int64_t z2 = w.size();
        w.Floats({0, 1, 2, 3});

        w.Part(3, "uniform iblanked");
        Block(w, "block uniform iblanked", {2, 2, 2});
        int64_t x3 = w.size();
        w.Float(10);
        int64_t y3 = w.size();
        w.Float(20);
        int64_t z3 = w.size();
        w.Floats({30, 1, 1, 1});
        int64_t iblank3 = w.size();
        w.Ints({1, 1, 1, 1, 0, 0, 0, 0});

        w.Part(4, "range");
        Block(w, "block range", {3, 3, 3}, {1, 2, 1, 2, 1, 1});
        w.Floats(EnsightWriter::Ramp(12));

        w.Part(5, "flat with ghosts");
        Block(w, "block with_ghost", {4, 4, 1});
        w.Floats(EnsightWriter::Ramp(48)).String("ghost_flags").Ints(std::vector<int32_t>(9, 0));

        w.Part(6, "after");
        Nodes(w, 1);

        GeometryScan scan;
        ScanBytes(w.bytes(), scan);
        ASSERT_TRUE(scan.scanned) << scan.error;
        const auto& parts = scan.parts.parts();
        ASSERT_EQ(parts.size(), 6u);

        const PartInfo& curvilinear = *parts[0];
        EXPECT_EQ(curvilinear.kind, PartCurvilinear);
        EXPECT_EQ(curvilinear.nodeCount, 60);
        EXPECT_EQ(curvilinear.elementCount, 24);
        EXPECT_EQ(curvilinear.kmax, 5);
        EXPECT_EQ(curvilinear.xOffset, x1);
        EXPECT_EQ(curvilinear.yOffset, y1);
        EXPECT_EQ(curvilinear.category, 255) << "structured parts are not closed";
        EXPECT_EQ(curvilinear.iblankOffset, 0);

        const PartInfo& rectilinear = *parts[1];
        EXPECT_EQ(rectilinear.kind, PartRectilinear);
        EXPECT_EQ(rectilinear.xOffset, x2);
        EXPECT_EQ(rectilinear.yOffset, y2);
        EXPECT_EQ(rectilinear.zOffset, z2);

        const PartInfo& uniform = *parts[2];
        EXPECT_EQ(uniform.kind, PartUniform);
        EXPECT_EQ(uniform.xOffset, x3);
        EXPECT_EQ(uniform.yOffset, y3);
        EXPECT_EQ(uniform.zOffset, z3);
        EXPECT_EQ(uniform.iblankOffset, iblank3);
        EXPECT_TRUE(scan.parts.AnyPartHasIBlank());

        const PartInfo& range = *parts[3];
        EXPECT_EQ(range.imax, 2);
        EXPECT_EQ(range.jmax, 2);
        EXPECT_EQ(range.kmax, 1);
        EXPECT_EQ(range.nodeCount, 4);
        EXPECT_EQ(range.elementCount, 1);
        EXPECT_EQ(range.rectI, 3);

        EXPECT_EQ(parts[4]->elementCount, 9) << "a 4 x 4 x 1 block has 9 cells";
        EXPECT_EQ(parts[5]->nodeCount, 1);
    }
}

TEST(GeometryScan, GhostFlagsHeaderRequired) {
    for (Encoding e : AllEncodings) {
        SCOPED_TRACE(EncodingName(e));
        EnsightWriter w(e);
        w.GoldHeader().Part(1, "b");
        Block(w, "block with_ghost", {2, 1, 1});
        w.Floats({0, 1, 0, 0, 0, 0}).String("nothing");
        GeometryScan scan;
        ScanBytes(w.bytes(), scan);
        EXPECT_FALSE(scan.scanned);
        EXPECT_EQ(scan.error, "Expected 'ghost_flags' header not found");
    }
}

// Under "id given" a block's id sections may be absent, one or both; the next
// part is found either way, and a truncated id section still fails.
TEST(GeometryScan, BlockIdSectionsOptional) {
    const bool layouts[][2] = {{false, false}, {true, false}, {false, true}, {true, true}};
    for (const auto& [nodeIds, elementIds] : layouts) {
        for (Encoding e : AllEncodings) {
            SCOPED_TRACE(std::string(EncodingName(e)) + (nodeIds ? " node_ids" : "") + (elementIds ? " element_ids" : ""));
            EnsightWriter w(e);
            w.GoldHeader("given", "given").Part(1, "b");
            Block(w, "block", {2, 2, 1});
            w.Floats({0, 1, 0, 1, 0, 0, 1, 1, 0, 0, 0, 0});
            if (nodeIds) w.String("node_ids").Ints({5, 6, 7, 8});
            if (elementIds) w.String("element_ids").Ints({9});
            const int64_t secondPart = w.size();
            w.Part(2, "tri").String("coordinates").Int(3).Ints({1, 2, 3});
            const int64_t x = w.size();
            w.Floats({0, 1, 0, 0, 0, 1, 0, 0, 0}).String("tria3").Int(1).Ints({4}).Ints({1, 2, 3}, 3);
            GeometryScan scan;
            ScanBytes(w.bytes(), scan);
            ASSERT_TRUE(scan.scanned) << scan.error;
            ASSERT_EQ(scan.parts.parts().size(), 2u);
            EXPECT_EQ(scan.parts.parts()[1]->xOffset, x);
            if (nodeIds || elementIds) {
                ScanBytes(w.bytes().substr(0, static_cast<size_t>(secondPart) - (w.binary() ? 4 : 11)), scan);
                EXPECT_FALSE(scan.scanned) << "cut inside the id section";
            }
        }
    }
}

TEST(GeometryScan, Particles) {
    for (Encoding e : AllEncodings) {
        SCOPED_TRACE(EncodingName(e));
        EnsightWriter w(e);
        if (w.binary()) w.String("C Binary");
        w.String("particles").String("d2").String("particle coordinates").Int(3);
        int64_t data = w.size();
        if (w.binary()) {
            w.Ints({70001, 70002, 70003}).Floats({1, 2, 3, 4, 5, 6, 7, 8, 9});
        } else {
            w.Raw("       1 1.00000e+00 2.00000e+00 3.00000e+00\n");
            w.Raw("       2 4.00000e+00 5.00000e+00 6.00000e+00\n");
            w.Raw("       3 7.00000e+00 8.00000e+00 9.00000e+00\n");
        }
        GeometryScan scan;
        ScanBytes(w.bytes(), scan);
        ASSERT_TRUE(scan.scanned) << scan.error;
        const PartInfo& part = OnlyPart(scan);
        EXPECT_EQ(part.partNumber, ParticlePartNumber);
        EXPECT_EQ(part.kind, PartParticles);
        EXPECT_EQ(part.nodeCount, 3);
        EXPECT_EQ(part.xOffset, data);
        if (w.binary()) {
            EXPECT_EQ(part.byteOrder, test::OrderOf(e));
        }
    }
}

}  // namespace
}  // namespace quorix
