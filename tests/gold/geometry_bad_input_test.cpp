// Cut, garbled and lying geometry files: each fails cleanly with a message.
#include <gtest/gtest.h>

#include <set>

#include "geometry_scan_fixture.h"

namespace quorix {
namespace {

// Three parts (unstructured, nsided, structured); `ends` gets the sizes at
// which a complete shorter file could end (after any whole section of a part).
EnsightWriter SmallCase(Encoding e, std::set<int64_t>& ends) {
    EnsightWriter w(e);
    w.GoldHeader("given", "off").Extents();
    w.Part(1, "tria");
    w.String("coordinates").Int(3).Ints({1, 2, 3}).Floats({0, 1, 0}).Floats({0, 0, 1}).Floats({0, 0, 0});
    ends.insert(w.size());  // a part of nodes only
    w.Elements("tria3", {{1, 2, 3}});
    ends.insert(w.size());
    w.Part(2, "poly");
    w.String("coordinates").Int(3).Ints({1, 2, 3}).Floats({0, 1, 0}).Floats({0, 0, 1}).Floats({0, 0, 0});
    ends.insert(w.size());
    w.Nsided({{1, 2, 3}});
    ends.insert(w.size());
    w.Part(3, "block");
    w.String("block iblanked").Ints({2, 1, 1}, 3).Floats({0, 1, 0, 0, 0, 0}).Ints({1, 0});
    ends.insert(w.size());  // a block's ids may be left out
    w.String("node_ids").Ints({1, 2});
    return w;
}

// ASCII arrays are passed as lines, unconverted, so a text file cut after any
// whole section (or inside its last line) still reads as a shorter file; the
// loaders find the rest missing. C binary has no such excuse: only a cut between
// parts may scan.
TEST(GeometryBadInput, CutAtEveryByte) {
    for (Encoding e : AllEncodings) {
        SCOPED_TRACE(EncodingName(e));
        std::set<int64_t> ends;
        EnsightWriter w = SmallCase(e, ends);
        GeometryScan whole;
        ScanBytes(w.bytes(), whole);
        ASSERT_TRUE(whole.scanned) << whole.error;
        ASSERT_EQ(whole.parts.parts().size(), 3u);
        for (int64_t cut = 0; cut < w.size(); ++cut) {
            SCOPED_TRACE(cut);
            GeometryScan scan;
            ScanBytes(w.bytes().substr(0, static_cast<size_t>(cut)), scan);
            if (!scan.scanned) {
                EXPECT_FALSE(scan.error.empty());
            } else if (w.binary()) {
                EXPECT_EQ(ends.count(cut), 1u) << "a cut file scanned as complete";
            }
        }
    }
}

// A part whose counts lie; `section` writes from "coordinates" on.
struct LyingCase {
    const char* name;
    void (*section)(EnsightWriter&);
    const char* message;  // empty: any message
};

void NegativeNodes(EnsightWriter& w) { w.String("coordinates").Int(-1); }
void HugeNodes(EnsightWriter& w) { w.String("coordinates").Int(INT32_MAX).Floats({1, 2, 3}); }
void NegativeElements(EnsightWriter& w) { w.String("coordinates").Int(0).String("tria3").Int(-5); }
void HugeElements(EnsightWriter& w) { w.String("coordinates").Int(0).String("hexa8").Int(INT32_MAX / 4); }
void NegativePolygon(EnsightWriter& w) { w.String("coordinates").Int(0).String("nsided").Int(2).Ints({3, -3}); }
void HugePolygons(EnsightWriter& w) { w.String("coordinates").Int(0).String("nsided").Int(INT32_MAX).Ints({3, 3}); }
void PolygonSumOverflows(EnsightWriter& w) {
    w.String("coordinates").Int(0).String("nsided").Int(2).Ints({INT32_MAX, INT32_MAX});
}
void NegativeBlock(EnsightWriter& w) { w.String("block").Ints({2, -2, 2}, 3); }
void HugeBlock(EnsightWriter& w) { w.String("block").Ints({65536, 65536, 2}, 3); }
void InvertedRange(EnsightWriter& w) { w.String("block range").Ints({3, 3, 3}, 3).Ints({2, 1, 1, 3, 1, 3}, 6); }
void HugeParticles(EnsightWriter& w) { w.String("particle coordinates").Int(INT32_MAX).Ints({1}); }
void NegativeParticles(EnsightWriter& w) { w.String("particle coordinates").Int(-4); }

TEST(GeometryBadInput, CountsFromTheFileAreChecked) {
    const LyingCase cases[] = {
        {"negative node count", NegativeNodes, "error when scanning unstructured element"},
        {"node count beyond the file", HugeNodes, "error when scanning unstructured element"},
        {"negative element count", NegativeElements, "error when scanning unstructured element"},
        {"element count beyond the file", HugeElements, "error when scanning unstructured element"},
        {"negative polygon size", NegativePolygon, "error when scanning unstructured element"},
        {"polygon count beyond the file", HugePolygons, "error when scanning unstructured element"},
        {"polygon sizes overflow", PolygonSumOverflows, "error when scanning unstructured element"},
        {"negative block dimension", NegativeBlock, "error when scanning structured block"},
        {"block nodes overflow", HugeBlock, "error when scanning structured block"},
        {"inverted range", InvertedRange, "error when scanning structured block"},
        {"particles beyond the file", HugeParticles, ""},
        {"negative particle count", NegativeParticles, ""},
    };
    for (const auto& row : cases) {
        for (Encoding e : AllEncodings) {
            SCOPED_TRACE(std::string(row.name) + " " + EncodingName(e));
            EnsightWriter w(e);
            w.GoldHeader();
            // The first part is sound, so the byte order is settled before the lie.
            w.Part(1, "sound").String("coordinates").Int(1).Floats({0}).Floats({0}).Floats({0});
            if (std::string(row.name).find("particle") == std::string::npos) w.String("part").Int(2).String("liar");
            row.section(w);
            GeometryScan scan;
            ScanBytes(w.bytes(), scan);
            ASSERT_TRUE(scan.opened) << scan.error;
            EXPECT_FALSE(scan.scanned);
            if (*row.message != '\0') {
                EXPECT_EQ(scan.error, row.message);
            } else {
                EXPECT_FALSE(scan.error.empty());
            }
        }
    }
}

TEST(GeometryBadInput, LongLinesAndGarbage) {
    EnsightWriter w(Encoding::Ascii);
    w.GoldHeader().Part(1, std::string(100000, 'n'));
    w.String("coordinates").Int(1).Floats({0}).Floats({0}).Floats({0});
    GeometryScan scan;
    ScanBytes(w.bytes(), scan);
    ASSERT_TRUE(scan.scanned) << scan.error;
    EXPECT_EQ(scan.parts.parts()[0]->name, std::string(79, 'n'));

    struct Row {
        const char* name;
        std::string bytes;
    };
    const Row rows[] = {
        {"empty file", ""},
        {"binary noise", std::string("\x01\xff\x00\x7f", 4) + std::string(500, '\x9c')},
        {"text without parts", "a\nb\nnode id off\nelement id off\n"},
        {"C binary line only", std::string("C Binary") + std::string(72, '\0')},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        GeometryScan bad;
        ScanBytes(row.bytes, bad);
        EXPECT_FALSE(bad.opened);
        EXPECT_EQ(bad.error, "Unable to determine file format - possible unsupported type");
    }
}

}  // namespace
}  // namespace quorix
