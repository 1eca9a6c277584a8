// Per-node and per-element variable scans: the offsets recorded here are what
// the value loaders seek to, so every one is checked against the writer.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "casefile/element_types.h"
#include "gold/variable_reader.h"
#include "support/ensight_var_writer.h"
#include "support/ensight_writer.h"

namespace quorix {
namespace {

using test::Encoding;
using test::EnsightWriter;
using test::Values;
using test::VarPart;

constexpr Encoding kEncodings[] = {Encoding::Ascii, Encoding::BinaryLE, Encoding::BinaryBE};

ElementBlockInfo Block(int32_t type, int32_t count, bool inCategory) {
    ElementBlockInfo block;
    block.type = type;
    block.nodesPerElement = NodesPerElement(type);
    block.elementCount = count;
    block.inCategory = inCategory;
    return block;
}

// Part 1: surface with tria3 (2), quad4 (3), g_tria3 (1) and bar2 edges (2, not
// loaded); part 2: flat 3 x 3 x 1 block; part 3: two bar3 elements; part 4:
// 2 x 3 x 4 block; part 5: empty at this step (no nodes, a point block of none).
PartCollection MakeGeometry() {
    PartCollection geometry(0, 1, 0, 1);
    PartInfo& surface = geometry.AddPart(1, 1);
    surface.kind = PartUnstructured;
    surface.category = 3;
    surface.nodeCount = 4;
    surface.elementCount = 6;
    surface.blocks = {Block(ElementTria3, 2, true), Block(ElementQuad4, 3, true), Block(ElementTria3, 1, true),
                      Block(ElementBar2, 2, false)};
    PartInfo& flat = geometry.AddPart(2, 1);
    flat.kind = PartCurvilinear;
    flat.imax = 3;
    flat.jmax = 3;
    flat.kmax = 1;
    flat.nodeCount = 9;
    PartInfo& bars = geometry.AddPart(3, 1);
    bars.kind = PartUnstructured;
    bars.category = 2;
    bars.nodeCount = 5;
    bars.elementCount = 4;
    bars.blocks = {Block(ElementBar3, 2, true)};
    PartInfo& block = geometry.AddPart(4, 1);
    block.kind = PartRectilinear;
    block.imax = 2;
    block.jmax = 3;
    block.kmax = 4;
    block.nodeCount = 24;
    block.elementCount = 6;
    PartInfo& empty = geometry.AddPart(5, 1);
    empty.kind = PartUnstructured;
    empty.category = 1;
    empty.blocks = {Block(ElementPoint, 0, true)};
    return geometry;
}

struct ExpectedType {
    int32_t type;
    int32_t count;
    bool present;
    std::vector<int64_t> offsets;
    SectionForm form{};
};

struct ExpectedPart {
    int32_t partNumber;
    int32_t step;
    int32_t valueCount;
    std::vector<ExpectedType> types;
};

// Writes one section's components and returns what the scan must record.
ExpectedType Section(EnsightWriter& writer, int32_t type, int32_t count, bool present, int components) {
    ExpectedType expected{type, count, present, {}};
    for (int k = 0; k < components; ++k) expected.offsets.push_back(Values(writer, count, 1.5f + k));
    return expected;
}

// An undef section (marker -1e20) or a partial one listing every other position.
ExpectedType FormedSection(EnsightWriter& writer, SectionForm::Kind kind, int32_t type, int32_t count, bool present,
                           int components) {
    SectionForm form{kind, writer.size(), 0};
    int32_t values = count;
    if (kind == SectionForm::Undef) writer.Float(-1e20f);
    if (kind == SectionForm::Partial) {
        std::vector<int32_t> indices;
        for (int32_t i = 1; i <= count; i += 2) indices.push_back(i);
        form.listed = values = static_cast<int32_t>(indices.size());
        form.offset = writer.Int(values).size();
        writer.Ints(indices);
    }
    ExpectedType expected = Section(writer, type, values, present, components);
    expected.count = count;
    expected.form = form;
    return expected;
}

ExpectedPart NodePart(EnsightWriter& writer, int32_t number, int32_t step, const char* header, int32_t nodes,
                      int components) {
    VarPart(writer, number).String(header);
    return {number, step, nodes, {Section(writer, 255, nodes, true, components)}};
}

void ExpectRecords(const VariableKind& kind, const std::vector<ExpectedPart>& expected, Encoding encoding) {
    ASSERT_EQ(kind.items.size(), expected.size());
    for (size_t p = 0; p < expected.size(); ++p) {
        const PartVariableInfo& record = kind.items[p];
        SCOPED_TRACE("record " + std::to_string(p));
        EXPECT_EQ(record.partNumber, expected[p].partNumber);
        EXPECT_EQ(record.step, expected[p].step);
        EXPECT_EQ(record.valueCount, expected[p].valueCount);
        EXPECT_EQ(record.format, encoding == Encoding::Ascii ? EncodingAscii : EncodingCBinary);
        if (encoding != Encoding::Ascii) {
            EXPECT_EQ(record.byteOrder, encoding == Encoding::BinaryLE ? LittleEndian : BigEndian);
        }
        ASSERT_EQ(record.types.size(), expected[p].types.size());
        for (size_t t = 0; t < record.types.size(); ++t) {
            const TypeVariableInfo& info = record.types[t];
            const ExpectedType& want = expected[p].types[t];
            EXPECT_EQ(info.type, want.type);
            EXPECT_EQ(info.count, want.count);
            EXPECT_EQ(info.present, want.present);
            EXPECT_EQ(info.stride, 1);
            for (size_t k = 0; k < want.offsets.size(); ++k) EXPECT_EQ(info.componentOffset[k], want.offsets[k]);
            EXPECT_EQ(info.form.kind, want.form.kind);
            EXPECT_EQ(info.form.offset, want.form.offset);
            EXPECT_EQ(info.form.listed, want.form.listed);
        }
    }
}

struct ScanRow {
    const char* name;
    bool nodal;
    int components;
    std::function<std::vector<ExpectedPart>(EnsightWriter&)> write;
};

const ScanRow kScanRows[] = {
    {"scalar per node, unstructured and block", true, 1,
     [](EnsightWriter& w) {
         w.String("temperature");
         return std::vector{NodePart(w, 1, 1, "coordinates", 4, 1), NodePart(w, 2, 1, "block", 9, 1)};
     }},
    {"vector per node", true, 3,
     [](EnsightWriter& w) {
         w.String("velocity");
         return std::vector{NodePart(w, 2, 1, "block", 9, 3), NodePart(w, 1, 1, "coordinates", 4, 3)};
     }},
    {"symmetric tensor per node", true, 6,
     [](EnsightWriter& w) {
         w.String("stress");
         return std::vector{NodePart(w, 1, 1, "COORDINATES", 4, 6)};
     }},
    {"asymmetric tensor per node", true, 9,
     [](EnsightWriter& w) {
         w.String("gradient");
         return std::vector{NodePart(w, 3, 1, "coordinates", 5, 9)};
     }},
    {"scalar per element, sections out of order, tria3 and g_tria3, lower category", false, 1,
     [](EnsightWriter& w) {
         VarPart(w.String("pressure"), 1);
         ExpectedPart part{1, 1, 6, {}};
         w.String("quad4");
         part.types.push_back(Section(w, ElementQuad4, 3, true, 1));
         w.String("bar2");
         part.types.push_back(Section(w, ElementBar2, 2, false, 1));
         w.String("tria3");
         part.types.push_back(Section(w, ElementTria3, 2, true, 1));
         w.String("g_tria3");
         part.types.push_back(Section(w, ElementTria3, 1, true, 1));
         return std::vector{part};
     }},
    {"vector per element on a flat block: (3-1)(3-1) cells", false, 3,
     [](EnsightWriter& w) {
         VarPart(w.String("cell velocity"), 2).String("block");
         return std::vector{ExpectedPart{2, 1, 4, {Section(w, 255, 4, true, 3)}}};
     }},
    {"scalar per element on a 2 x 3 x 4 block after a flat one", false, 1,
     [](EnsightWriter& w) {
         VarPart(w.String("cells"), 2).String("block");
         std::vector parts{ExpectedPart{2, 1, 4, {Section(w, 255, 4, true, 1)}}};
         VarPart(w, 4).String("block");
         parts.push_back(ExpectedPart{4, 1, 6, {Section(w, 255, 6, true, 1)}});
         return parts;
     }},
    {"tensor per element, bar3: one value per element as written", false, 6,
     [](EnsightWriter& w) {
         VarPart(w.String("cell stress"), 3).String("bar3");
         return std::vector{ExpectedPart{3, 1, 4, {Section(w, ElementBar3, 2, true, 6)}}};
     }},
    {"undef and partial per node, unstructured and block", true, 3,
     [](EnsightWriter& w) {
         VarPart(w.String("velocity"), 1).String("coordinates undef");
         std::vector parts{ExpectedPart{1, 1, 4, {FormedSection(w, SectionForm::Undef, 255, 4, true, 3)}}};
         VarPart(w, 2).String("BLOCK PARTIAL");
         parts.push_back(ExpectedPart{2, 1, 9, {FormedSection(w, SectionForm::Partial, 255, 9, true, 3)}});
         return parts;
     }},
    {"per element sections of one part each in its own form", false, 1,
     [](EnsightWriter& w) {
         VarPart(w.String("pressure"), 1).String("tria3 partial");
         ExpectedPart part{1, 1, 6, {FormedSection(w, SectionForm::Partial, ElementTria3, 2, true, 1)}};
         w.String("quad4");
         part.types.push_back(Section(w, ElementQuad4, 3, true, 1));
         w.String("g_tria3 undef");
         part.types.push_back(FormedSection(w, SectionForm::Undef, ElementTria3, 1, true, 1));
         std::vector parts{part};
         VarPart(w, 4).String("block undef");
         parts.push_back(ExpectedPart{4, 1, 6, {FormedSection(w, SectionForm::Undef, 255, 6, true, 1)}});
         return parts;
     }},
    {"per element: an empty part's bare sections up to a part, a step end and the file end", false, 1,
     [](EnsightWriter& w) {
         w.String("BEGIN TIME STEP").String("cells");
         VarPart(w, 5);
         VarPart(w, 4).String("block");
         std::vector parts{ExpectedPart{4, 1, 6, {Section(w, 255, 6, true, 1)}}};
         VarPart(w, 5).String("END TIME STEP").String("BEGIN TIME STEP").String("cells");
         VarPart(w, 5).String("point");
         parts.push_back(ExpectedPart{5, 2, 0, {Section(w, ElementPoint, 0, true, 1)}});
         VarPart(w, 5);
         return parts;
     }},
    {"per node: an empty part with coordinates and none, then bare at the end", true, 1,
     [](EnsightWriter& w) {
         VarPart(w.String("t"), 5).String("coordinates");
         std::vector parts{ExpectedPart{5, 1, 0, {Section(w, 255, 0, true, 1)}}};
         parts.push_back(NodePart(w, 1, 1, "coordinates", 4, 1));
         VarPart(w, 5);
         return parts;
     }},
    {"transient in one file, descriptions that look like headers, partial before the last step", true, 1,
     [](EnsightWriter& w) {
         VarPart(w.String("BEGIN TIME STEP").String("part"), 1).String("coordinates partial");
         std::vector parts{ExpectedPart{1, 1, 4, {FormedSection(w, SectionForm::Partial, 255, 4, true, 1)}}};
         w.String("END TIME STEP").String("BEGIN TIME STEP").String("coordinates");
         parts.push_back(NodePart(w, 1, 2, "coordinates", 4, 1));
         parts.push_back(NodePart(w, 2, 2, "block", 9, 1));
         w.String("END TIME STEP");
         return parts;
     }},
};

TEST(VariableScan, RecordsOffsetsAndCountsInEveryEncoding) {
    for (const ScanRow& row : kScanRows) {
        for (Encoding encoding : kEncodings) {
            SCOPED_TRACE(std::string(row.name) + " / " + test::EncodingName(encoding));
            PartCollection geometry = MakeGeometry();
            EnsightWriter writer(encoding);
            const std::vector<ExpectedPart> expected = row.write(writer);
            CFileEnsightVarGold reader;
            ASSERT_TRUE(reader.Open(test::Saved(writer, "scan"), geometry)) << reader.errorText();
            VariableKind kind;
            kind.isNodal = row.nodal;
            kind.components = row.components;
            ASSERT_TRUE(reader.ScanVariableParts(geometry, kind, 0)) << reader.errorText();
            ExpectRecords(kind, expected, encoding);
        }
    }
}

TEST(VariableScan, StepIndexStartsTheStepCount) {
    PartCollection geometry = MakeGeometry();
    EnsightWriter writer(Encoding::BinaryLE);
    writer.String("t");
    const std::vector expected{NodePart(writer, 1, 5, "coordinates", 4, 1)};
    CFileEnsightVarGold reader;
    ASSERT_TRUE(reader.Open(test::Saved(writer, "step"), geometry));
    VariableKind kind;
    ASSERT_TRUE(reader.ScanVariableParts(geometry, kind, 4));
    ExpectRecords(kind, expected, Encoding::BinaryLE);
}

TEST(VariableScan, PassesBlankAsciiLinesBetweenParts) {
    PartCollection geometry = MakeGeometry();
    EnsightWriter writer(Encoding::Ascii);
    writer.String("t");
    std::vector expected{NodePart(writer, 1, 1, "coordinates", 4, 1)};
    writer.Raw("\n   \n");
    expected.push_back(NodePart(writer, 4, 1, "block", 24, 1));
    writer.Raw("\n\n");
    CFileEnsightVarGold reader;
    ASSERT_TRUE(reader.Open(test::Saved(writer, "blank"), geometry));
    VariableKind kind;
    ASSERT_TRUE(reader.ScanVariableParts(geometry, kind, 0)) << reader.errorText();
    ExpectRecords(kind, expected, Encoding::Ascii);
}

TEST(VariableScan, PassesBlankAsciiLinesBetweenSections) {
    PartCollection geometry = MakeGeometry();
    EnsightWriter writer(Encoding::Ascii);
    VarPart(writer.String("cells"), 1).Raw("\n").String("tria3");
    ExpectedPart part{1, 1, 6, {Section(writer, ElementTria3, 2, true, 1)}};
    writer.Raw(" \n").String("quad4");
    part.types.push_back(Section(writer, ElementQuad4, 3, true, 1));
    CFileEnsightVarGold reader;
    ASSERT_TRUE(reader.Open(test::Saved(writer, "blank_sections"), geometry));
    VariableKind kind;
    kind.isNodal = false;
    ASSERT_TRUE(reader.ScanVariableParts(geometry, kind, 0)) << reader.errorText();
    ExpectRecords(kind, {part}, Encoding::Ascii);
}

struct FailureRow {
    const char* name;
    bool nodal;
    int components;
    std::function<void(EnsightWriter&)> write;
    const char* error;  // expected errorText; null: only the failure is checked
    bool dropLastValue = false;
};

const FailureRow kFailureRows[] = {
    {"part the geometry lacks", true, 1,
     [](EnsightWriter& w) { VarPart(w.String("t"), 7).String("coordinates"); Values(w, 4); },
     "Part 7 is not in the geometry"},
    {"per node section with a second word other than a form", true, 1,
     [](EnsightWriter& w) { VarPart(w.String("t"), 1).String("coordinates extra"); Values(w, 4); },
     "Failure during variable data scan"},
    {"partial count above the part's nodes", true, 1,
     [](EnsightWriter& w) {
         VarPart(w.String("t"), 1).String("coordinates partial").Int(5).Ints({1, 2, 3, 4, 4});
         Values(w, 5);
     },
     "Partial section lists 5 values, not 0 to 4"},
    {"negative partial count", false, 1,
     [](EnsightWriter& w) { VarPart(w.String("t"), 1).String("tria3 partial").Int(-1); },
     "Partial section lists -1 values, not 0 to 2"},
    {"partial index list cut short", true, 1,
     [](EnsightWriter& w) { VarPart(w.String("t"), 1).String("coordinates partial").Int(3).Ints({1, 2}); },
     nullptr},
    {"undef marker missing", false, 1,
     [](EnsightWriter& w) { VarPart(w.String("t"), 2).String("block undef"); Values(w, 4); },
     nullptr},
    {"bare per node section of a part with nodes", true, 1,
     [](EnsightWriter& w) { VarPart(w.String("t"), 1); VarPart(w, 2).String("block"); Values(w, 9); },
     "Failure during variable data scan"},
    {"bare per element section of a part with elements, at the end", false, 1,
     [](EnsightWriter& w) { VarPart(w.String("t"), 3); },
     "Failure during scan of variable data"},
    {"per element part starting with coordinates", false, 1,
     [](EnsightWriter& w) { VarPart(w.String("t"), 1).String("coordinates"); Values(w, 4); },
     "Failure during scan of variable data"},
    {"element type the part lacks", false, 1,
     [](EnsightWriter& w) { VarPart(w.String("t"), 1).String("hexa8"); Values(w, 1); },
     "Failure during scan of variable data"},
    {"third tria3 section for two tria3 blocks", false, 1,
     [](EnsightWriter& w) {
         VarPart(w.String("t"), 1).String("tria3");
         Values(w, 2);
         w.String("tria3");
         Values(w, 1);
         w.String("tria3");
         Values(w, 1);
     },
     "Failure during scan of variable data"},
    {"unknown line between parts", true, 1,
     [](EnsightWriter& w) {
         VarPart(w.String("t"), 1).String("coordinates"); Values(w, 4);
         w.String("garbage here");
         VarPart(w, 2).String("block"); Values(w, 9);
     },
     "Failure during variable data scan"},
    {"part number missing at the end", true, 1,
     [](EnsightWriter& w) { VarPart(w.String("t"), 1).String("coordinates"); Values(w, 4); w.String("part"); }, nullptr},
    {"per node values one short", true, 1,
     [](EnsightWriter& w) {
         VarPart(w.String("t"), 1).String("coordinates"); Values(w, 4);
     },
     nullptr, true},
    {"per element values one short", false, 1,
     [](EnsightWriter& w) {
         VarPart(w.String("t"), 1).String("tria3"); Values(w, 2);
         w.String("quad4"); Values(w, 3);
     },
     nullptr, true},
    {"second component cut off", true, 3,
     [](EnsightWriter& w) {
         VarPart(w.String("t"), 3).String("coordinates"); Values(w, 5);
         Values(w, 2);
     },
     nullptr},
};

TEST(VariableScan, FailsOnBadFiles) {
    for (const FailureRow& row : kFailureRows) {
        for (Encoding encoding : kEncodings) {
            SCOPED_TRACE(std::string(row.name) + " / " + test::EncodingName(encoding));
            PartCollection geometry = MakeGeometry();
            EnsightWriter writer(encoding);
            row.write(writer);
            CFileEnsightVarGold reader;
            const int64_t drop = row.dropLastValue ? (writer.binary() ? 4 : 13) : 0;
            ASSERT_TRUE(reader.Open(test::SaveTruncated(writer, drop, "fail"), geometry)) << reader.errorText();
            VariableKind kind;
            kind.isNodal = row.nodal;
            kind.components = row.components;
            EXPECT_FALSE(reader.ScanVariableParts(geometry, kind, 0));
            if (row.error != nullptr) {
                EXPECT_EQ(reader.errorText(), row.error);
            }
        }
    }
}

}  // namespace
}  // namespace quorix
