// Offsets past 4 GiB. A C binary case whose first part lists over a billion
// point elements beside its hexahedron, their node numbers and values left as
// a hole of a sparse file, so that what follows lies past 2^32 bytes in the
// geometry and in the element variable file. Points are of a lower category
// than the hexahedron, so nothing reads them; the scans must seek over them and
// the deferred loads must reach what lies beyond: the zones must equal the
// ones of the same case with a handful of points.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "case_fixture.h"
#include "support/ensight_writer.h"
#include "zelhost_runner.h"

namespace {

using quorix::test::TempDir;
using quorix::test::Encoding;
using quorix::test::EncodingName;
using quorix::test::EnsightWriter;

// Enough that their values alone pass 4 GiB: 4 bytes each.
constexpr int64_t kHolePoints = 1'100'000'000;

// A file of `head`, then `holeBytes` never written, then `tail`.
void WriteSparse(const std::string& path, const std::string& head, int64_t holeBytes, const std::string& tail) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(head.data(), static_cast<std::streamsize>(head.size()));
    out.seekp(static_cast<std::streamoff>(head.size()) + holeBytes);
    out.write(tail.data(), static_cast<std::streamsize>(tail.size()));
}

// Nodes of the unit cube, corner c at (c & 1, c >> 1 & 1, c >> 2 & 1).
std::vector<float> CubeAxis(int bit) {
    std::vector<float> axis;
    for (int c = 0; c < 8; ++c) axis.push_back(static_cast<float>((c >> bit) & 1));
    return axis;
}

EnsightWriter& Cube(EnsightWriter& writer, int32_t part, std::string_view description) {
    return writer.Part(part, description).Coordinates(CubeAxis(0), CubeAxis(1), CubeAxis(2));
}

// After the points: part 1's hexahedron, then part 2, the cube as one polyhedron.
std::string GeometryTail(Encoding encoding) {
    EnsightWriter writer(encoding);
    writer.Elements("hexa8", {{1, 2, 4, 3, 5, 6, 8, 7}});
    const std::vector<std::vector<int32_t>> faces = {{1, 3, 4, 2}, {5, 6, 8, 7}, {1, 2, 6, 5},
                                                     {3, 7, 8, 4}, {1, 5, 7, 3}, {2, 4, 8, 6}};
    Cube(writer, 2, "polyhedron").Nfaced({faces});
    return writer.bytes();
}

std::string ValuesTail(Encoding encoding) {
    EnsightWriter writer(encoding);
    writer.String("hexa8").Float(1.5f);
    writer.VarPart(2).String("nfaced").Float(2.5f);
    return writer.bytes();
}

// Geometry and element scalar with `points` points in part 1, their arrays a hole.
std::string WriteCase(const TempDir& dir, Encoding encoding, int64_t points) {
    EnsightWriter geometry(encoding);
    Cube(geometry.GoldHeader(), 1, "hexahedron and points").String("point").Int(static_cast<int32_t>(points));
    EnsightWriter values(encoding);
    values.String("scalar per element");
    values.VarPart(1).String("point");
    const std::string folder = dir.Prefix();
    WriteSparse(folder + "model.geo", geometry.bytes(), 4 * points, GeometryTail(encoding));
    WriteSparse(folder + "model.esc", values.bytes(), 4 * points, ValuesTail(encoding));
    return dir.Write("model.case",
                     "FORMAT\ntype: ensight gold\n\nGEOMETRY\nmodel: model.geo\n\n"
                     "VARIABLE\nscalar per element: s model.esc\n");
}

std::string Zones(const e2e::RunResult& run) {
    EXPECT_EQ(run.status, 0) << run.Describe();
    return run.report ? casetest::Compact(run.report.value()["zones"]) : std::string();
}

TEST(LargeOffsets, PartsPastFourGiBLoadAsFromASmallFile) {
    for (Encoding encoding : {Encoding::BinaryLE, Encoding::BinaryBE}) {
        SCOPED_TRACE(EncodingName(encoding));
        TempDir sparse, small;
        const std::string sparseCase = WriteCase(sparse, encoding, kHolePoints);
        ASSERT_GT(std::filesystem::file_size(sparse.Prefix() + "model.esc"), uint64_t{1} << 32);
        const std::string zones = Zones(e2e::LoadCase(sparseCase, {"--load-all", "--dump-connectivity"}));
        EXPECT_EQ(zones, Zones(e2e::LoadCase(WriteCase(small, encoding, 3), {"--load-all", "--dump-connectivity"})));
        EXPECT_NE(zones.find("\"faceMap\""), std::string::npos) << zones;
        EXPECT_NE(zones.find("\"nodeMap\""), std::string::npos) << zones;
    }
}

}  // namespace
