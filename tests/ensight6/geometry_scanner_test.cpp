#include "ensight6/geometry_scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "casefile/element_types.h"
#include "support/ensight_writer.h"

namespace quorix {
namespace {

using test::EncodingName;
using test::Encoding;
using test::EnsightWriter;
using test::FileKind;

struct ScanResult {
    bool opened = false;
    bool ok = false;
    std::string error;
    Ensight6GeometryFile geometry;
};

void Scan(const std::string& path, ScanResult& result) {
    Ensight6GeometryScanner scanner;
    result.geometry.path = path;
    File_a* file = scanner.OpenEnsight6Geometry(path, result.geometry.encoding);
    result.opened = file != nullptr;
    if (file != nullptr) {
        result.ok = scanner.ScanEnsight6Geometry(*file, result.geometry);
        File_a::Close(file);
    }
    result.error = scanner.failure.text;
}

// An EnSight 6 geometry file through its node list.
EnsightWriter Geometry(Encoding e, const std::vector<int32_t>& nodeIds, int32_t nodeCount,
                       const std::string& title = "title") {
    EnsightWriter b(e, FileKind::Ensight6);
    b.Ensight6Header(nodeIds, nodeCount, title);
    return b;
}

// bar2 x 4 then tria3 x 3: a surface part; the bar2 block is kept but not counted.
EnsightWriter MixedCategoryFile(Encoding e, const std::vector<int32_t>& ids = {}) {
    EnsightWriter b = Geometry(e, ids, 5);
    b.String("part 1").String("edges then triangles");
    b.Elements("bar2", {{1, 2}, {2, 3}, {3, 4}, {4, 1}});
    b.Elements("tria3", {{1, 2, 3}, {1, 3, 4}, {2, 3, 5}});
    b.String("part 2").String("a block").String("block iblanked").Ints({2, 2, 1}, 3);
    b.Floats({0, 1, 0, 1}).Floats({0, 0, 1, 1}).Floats({0, 0, 0, 0}).Ints({1, 1, 0, 1}, 10);
    b.String("part 3").String("points");
    b.Elements("point", {{1}, {5}});
    return b;
}

TEST(Ensight6GeometryScan, PartsInEveryEncoding) {
    test::TempDir dir;
    for (Encoding e : test::AllEncodings) {
        SCOPED_TRACE(EncodingName(e));
        ScanResult r;
        Scan(dir.Write(std::string("mixed_") + EncodingName(e), MixedCategoryFile(e).bytes()), r);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(r.geometry.nodeCount, 5);
        EXPECT_EQ(std::string(r.geometry.title.view()), "title");
        const auto& parts = r.geometry.parts.parts();
        ASSERT_EQ(parts.size(), 3u);
        const GeometryPart& surface = *parts[0];
        EXPECT_EQ(surface.kind, Ensight6Unstructured);
        EXPECT_EQ(surface.category, 3);
        EXPECT_EQ(surface.jmax, 3);
        EXPECT_EQ(surface.maxNodesPerElement, 3);
        ASSERT_NE(surface.blocks, nullptr);
        EXPECT_FALSE(surface.blocks->inCategory);
        ASSERT_NE(surface.blocks->next, nullptr);
        EXPECT_TRUE(surface.blocks->next->inCategory);
        EXPECT_STREQ(surface.description, "edges then triangles");
        const GeometryPart& block = *parts[1];
        EXPECT_EQ(block.kind, Ensight6Block);
        EXPECT_EQ(block.imax * block.jmax * block.kmax, 4);
        EXPECT_GT(block.iblankOffset, 0);
        EXPECT_EQ(parts[2]->category, 1);
        EXPECT_EQ(r.geometry.byteOrder, e == Encoding::BinaryBE   ? BigEndian
                                        : e == Encoding::BinaryLE ? LittleEndian
                                                                  : NativeByteOrder());
        if (e != Encoding::Ascii) {
            EXPECT_EQ(block.yOffset - block.xOffset, 16);
            EXPECT_EQ(block.iblankOffset - block.xOffset, 48);
        }
    }
}

TEST(Ensight6GeometryScan, HeaderFailures) {
    test::TempDir dir;
    std::string description79(79, 'd');
    std::string description80(80, 'd');
    auto withTitle = [&](const std::string& title) {
        EnsightWriter b = Geometry(Encoding::Ascii, {}, 1, title);
        b.String("part 1").String("p");
        b.Elements("point", {{1}});
        return b.bytes();
    };
    std::string fortran = std::string("\x50\0\0\0", 4) + "Fortran Binary" + std::string(80, ' ');
    std::string fortran8 = std::string("\0\0\0\0\0\0\0\x50", 8) + "fortran binary" + std::string(80, ' ');
    struct Row {
        const char* name;
        std::string data;
        bool ok;
        const char* error;
    };
    const Row rows[] = {
        {"79-character description", withTitle(description79), true, ""},
        {"80-character description", withTitle(description80), false,
         "Invalid character string for Geometry Description.  All strings are limited to 79 characters as per "
         "EnSight documentation."},
        {"empty file", "", false, "Unrecognized geometry file format."},
        {"Fortran at offset 4", fortran, false, "Fortran data is not currently supported."},
        {"Fortran at offset 8", fortran8, false, "Fortran data is not currently supported."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScanResult r;
        Scan(dir.Write("header", row.data), r);
        EXPECT_EQ(r.ok, row.ok);
        EXPECT_NE(r.error.find(row.error), std::string::npos) << r.error;
    }
}

TEST(Ensight6GeometryScan, AsciiLineEnds) {
    test::TempDir dir;
    EnsightWriter base = Geometry(Encoding::Ascii, {}, 3);
    base.String("part 1").String("tri").String("tria3").Ints({1});
    struct Row {
        const char* name;
        std::string tail;
        bool ok;
        int32_t parts;
    };
    const Row rows[] = {
        {"trailing blank lines end the file", "       1       2       3\n\n  \n", true, 1},
        {"last line without line end", "       1       2       3", true, 1},
        {"a stray line fails", "       1       2       3\nrubbish\n", false, 1},
        {"an element line missing", "", false, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScanResult r;
        std::string path = dir.Write("lines", base.bytes() + row.tail);
        Scan(path, r);
        EXPECT_EQ(r.ok, row.ok) << r.error;
        EXPECT_EQ(r.geometry.parts.size(), row.parts);
        if (!row.ok) {
            EXPECT_NE(r.error.find(path), std::string::npos) << r.error;
        }
    }
}

TEST(Ensight6GeometryScan, CountsFromTheFileAreChecked) {
    test::TempDir dir;
    struct Row {
        const char* name;
        int32_t nodeCount;
        int32_t elementCount;
        std::vector<int32_t> dims;
    };
    const Row rows[] = {
        {"negative node count", -5, 1, {}},
        {"node count beyond the file", 0x7FFFFFF0, 1, {}},
        {"negative element count", 3, -1, {}},
        {"element count beyond the file", 3, 0x40000000, {}},
        {"negative block dimension", 0, 0, {2, -2, 1}},
        {"block beyond the file", 0, 0, {2000, 2000, 2000}},
        {"block product beyond int32", 0, 0, {70000, 70000, 1}},
    };
    for (Encoding e : test::AllEncodings) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(EncodingName(e)) + " " + row.name);
            EnsightWriter b(e, FileKind::Ensight6);
            if (e != Encoding::Ascii) b.String("C Binary");
            b.String("t").String("t").String("node id off").String("element id off").String("coordinates").Ints({row.nodeCount});
            if (row.nodeCount > 0 && row.nodeCount < 100) {
                std::vector<float> xyz(static_cast<size_t>(3 * row.nodeCount), 1.0f);
                if (e == Encoding::Ascii)
                    for (int32_t i = 0; i < row.nodeCount; ++i) b.Floats({1, 2, 3}, 3);
                else
                    b.Floats(xyz);
            }
            b.String("part 1").String("p");
            if (row.dims.empty()) {
                b.String("tria3").Ints({row.elementCount}).Ints({1, 2, 3}, 3);
            } else {
                b.String("block").Ints(row.dims, 3).Floats({1, 2, 3, 4});
            }
            ScanResult r;
            Scan(dir.Write("counts", b.bytes()), r);
            EXPECT_FALSE(r.ok);
            EXPECT_FALSE(r.error.empty());
        }
    }
}

TEST(Ensight6GeometryScan, TruncationAnywhereFailsCleanly) {
    test::TempDir dir;
    for (Encoding e : test::AllEncodings) {
        SCOPED_TRACE(EncodingName(e));
        std::string full = MixedCategoryFile(e, {5, 9, 7, 11, 13}).bytes();
        for (size_t cut = 0; cut < full.size(); cut += (e == Encoding::Ascii ? 1 : 4)) {
            ScanResult r;
            Scan(dir.Write("cut", full.substr(0, cut)), r);
            // a cut between records can leave a shorter valid file (a part
            // without blocks); otherwise the scan fails with a message
            if (!r.ok) {
                EXPECT_FALSE(r.error.empty()) << cut;
            }
            EXPECT_LE(r.geometry.parts.size(), 3) << cut;
        }
    }
}

TEST(Ensight6GeometryScan, NodeIdsAndTheirByteOrder) {
    test::TempDir dir;
    for (Encoding e : test::AllEncodings) {
        SCOPED_TRACE(EncodingName(e));
        ScanResult r;
        Scan(dir.Write("ids", MixedCategoryFile(e, {5, 9, 7, 2147483647, 1}).bytes()), r);
        ASSERT_TRUE(r.ok) << r.error;
        ASSERT_TRUE(r.geometry.nodeIdMap.present());
        EXPECT_EQ(r.geometry.nodeIdMap.Position(9), 2);
        EXPECT_EQ(r.geometry.nodeIdMap.Position(2147483647), 4);
        EXPECT_EQ(r.geometry.idMode, IdsNodeOnly);
        ScanResult bad;
        Scan(dir.Write("badids", MixedCategoryFile(e, {5, 9, 5, 1, 2}).bytes()), bad);
        EXPECT_FALSE(bad.ok);
        EXPECT_NE(bad.error.find("occurs twice"), std::string::npos) << bad.error;
    }
}

TEST(Ensight6GeometryScan, ByteOrderOfABlockOnlyFileComesFromItsDimensions) {
    test::TempDir dir;
    for (Encoding e : {Encoding::BinaryLE, Encoding::BinaryBE}) {
        SCOPED_TRACE(EncodingName(e));
        EnsightWriter b = Geometry(e, {}, 0);
        b.String("part 0").String("only a block").String("block").Ints({3, 2, 1});
        b.Floats(std::vector<float>(18, 2.0f));
        b.String("part 1").String("next").String("block").Ints({1, 1, 1}).Floats({1, 2, 3});
        ScanResult r;
        Scan(dir.Write("blocks", b.bytes()), r);
        ASSERT_TRUE(r.ok) << r.error;
        ASSERT_EQ(r.geometry.parts.size(), 2);
        EXPECT_EQ(r.geometry.parts.parts()[0]->imax, 3);
        EXPECT_EQ(r.geometry.parts.parts()[0]->jmax, 2);
        EXPECT_EQ(r.geometry.byteOrder, e == Encoding::BinaryBE ? BigEndian : LittleEndian);
    }
}

}  // namespace
}  // namespace quorix

namespace quorix {
namespace {

TEST(Ensight6GeometryScan, PartsWithoutBlocksStayAndUnknownTypesFail) {
    test::TempDir dir;
    for (Encoding e : test::AllEncodings) {
        SCOPED_TRACE(EncodingName(e));
        EnsightWriter empty = Geometry(e, {}, 3);
        empty.String("part 4").String("nothing here");
        empty.String("part 5").String("tri");
        empty.Elements("tria3", {{1, 2, 3}});
        ScanResult r;
        Scan(dir.Write("empty_part", empty.bytes()), r);
        ASSERT_TRUE(r.ok) << r.error;
        ASSERT_EQ(r.geometry.parts.size(), 2);
        EXPECT_EQ(r.geometry.parts.parts()[0]->blocks, nullptr);
        EXPECT_EQ(r.geometry.parts.parts()[0]->category, 255);
        EXPECT_EQ(r.geometry.parts.parts()[1]->jmax, 1);

        EnsightWriter unknown = Geometry(e, {}, 3);
        unknown.String("part 1").String("p");
        unknown.Elements("tria4", {{1, 2, 3, 1}});
        ScanResult bad;
        Scan(dir.Write("unknown_type", unknown.bytes()), bad);
        EXPECT_FALSE(bad.ok);
        EXPECT_NE(bad.error.find("unknown element type"), std::string::npos) << bad.error;
    }
}

}  // namespace
}  // namespace quorix
