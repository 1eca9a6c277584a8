// Geometry files of independent writers scan to the end.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "geometry_scan_fixture.h"
#include "support/realwriter.h"

namespace quorix {
namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TEST(RealWriterGeometry, ScansToTheEnd) {
    SKIP_WITHOUT_REALWRITER();
    struct Row {
        const char* file;
        size_t parts;
        int32_t firstPartNumber;
    };
    const Row rows[] = {
        {"er_cell_types/cell_types.geo", 1, 1},
        {"gen_gold_ascii_unstructured/mixed.geo", 0, 1},
        {"gen_gold_struct_be/blocks.geo", 0, 1},
        {"gen_gold_transient_ascii/flow.geo0001", 0, 1},
        {"gen_gold_transient_ascii/parts.mgeo0001", 1, ParticlePartNumber},
        {"of_cavity/geometry", 0, 0},
        {"pv_sphere/sphere.0.00000.geo", 0, 0},
        {"vtkw_mixed/mixed.0.00000.geo", 0, 0},
        {"vtkw_transient/moving.0.00000.geo", 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        std::string bytes = Slurp(std::string(QUORIX_REALWRITER) + "/" + row.file);
        ASSERT_FALSE(bytes.empty());
        test::GeometryScan scan;
        test::ScanBytes(bytes, scan);
        ASSERT_TRUE(scan.scanned) << scan.error;
        ASSERT_FALSE(scan.parts.parts().empty());
        if (row.parts != 0) {
            EXPECT_EQ(scan.parts.parts().size(), row.parts);
        }
        if (row.firstPartNumber != 0) {
            EXPECT_EQ(scan.parts.parts()[0]->partNumber, row.firstPartNumber);
        }
        for (const auto& part : scan.parts.parts()) EXPECT_GE(part->nodeCount, 0);
    }
}

TEST(RealWriterGeometry, BigEndianBlocks) {
    SKIP_WITHOUT_REALWRITER();
    test::GeometryScan scan;
    test::ScanBytes(Slurp(std::string(QUORIX_REALWRITER) + "/gen_gold_struct_be/blocks.geo"), scan);
    ASSERT_TRUE(scan.scanned) << scan.error;
    EXPECT_EQ(scan.byteOrder, BigEndian);
    const PartInfo& uniform = *scan.parts.parts()[0];
    EXPECT_EQ(uniform.kind, PartUniform);
    EXPECT_EQ(uniform.imax, 5);
    EXPECT_EQ(uniform.jmax, 4);
    EXPECT_EQ(uniform.kmax, 3);
    EXPECT_EQ(uniform.elementCount, 24);
    EXPECT_EQ(scan.parts.parts()[1]->kind, PartRectilinear);
}

}  // namespace
}  // namespace quorix
