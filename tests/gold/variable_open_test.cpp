// Variable file detection: encoding, byte order (part number 0 included) and
// the files that must be refused.
#include <gtest/gtest.h>

#include <string>

#include "gold/variable_reader.h"
#include "support/ensight_var_writer.h"
#include "support/ensight_writer.h"

namespace quorix {
namespace {

using test::Encoding;
using test::EnsightWriter;
using test::Values;
using test::VarPart;

const char* const kUnreadable = "Unable to read data.\nPossible unsupported format or empty file.";

PartCollection GeometryWithPart(int32_t number, GeometryEncoding format, ByteOrder byteOrder) {
    PartCollection geometry(0, 1, 0, 1);
    PartInfo& part = geometry.AddPart(number, 1);
    part.kind = PartUnstructured;
    part.nodeCount = 3;
    part.format = format;
    part.byteOrder = byteOrder;
    return geometry;
}

// What comes before the "part" line besides the description.
enum class Lead { None, Begin, FormatLine, FormatAndBegin, FormatWordsAsDescription };

struct DetectRow {
    const char* name;
    Encoding encoding;
    Lead lead;
    int32_t partNumber;
    GeometryEncoding geometryFormat;// of the geometry part with that number
    ByteOrder geometryByteOrder;
    GeometryEncoding format;    // expected
    ByteOrder byteOrder;        // expected; unknown: not checked (ASCII)
};

constexpr ByteOrder Unknown = ByteOrderUnknown;

const DetectRow kDetectRows[] = {
    {"ascii", Encoding::Ascii, Lead::None, 1, EncodingAscii, Unknown, EncodingAscii, Unknown},
    {"little-endian", Encoding::BinaryLE, Lead::None, 1, EncodingCBinary, BigEndian, EncodingCBinary, LittleEndian},
    {"big-endian", Encoding::BinaryBE, Lead::None, 65535, EncodingCBinary, LittleEndian, EncodingCBinary, BigEndian},
    {"big-endian after BEGIN TIME STEP", Encoding::BinaryBE, Lead::Begin, 2, EncodingCBinary, Unknown, EncodingCBinary,
     BigEndian},
    {"ascii after BEGIN TIME STEP", Encoding::Ascii, Lead::Begin, 2, EncodingAscii, Unknown, EncodingAscii, Unknown},
    {"part 0, ascii", Encoding::Ascii, Lead::None, 0, EncodingAscii, Unknown, EncodingAscii, Unknown},
    {"part 0, order of the geometry part (big)", Encoding::BinaryBE, Lead::None, 0, EncodingCBinary, BigEndian,
     EncodingCBinary, BigEndian},
    {"part 0, order of the geometry part (little)", Encoding::BinaryLE, Lead::None, 0, EncodingCBinary,
     LittleEndian, EncodingCBinary, LittleEndian},
    {"part 0, big-endian told by its values", Encoding::BinaryBE, Lead::None, 0, EncodingAscii, Unknown, EncodingCBinary,
     BigEndian},
    {"part 0, little-endian told by its values", Encoding::BinaryLE, Lead::None, 0, EncodingAscii, Unknown,
     EncodingCBinary, LittleEndian},
    {"little-endian after a format line", Encoding::BinaryLE, Lead::FormatLine, 1, EncodingCBinary, Unknown,
     EncodingCBinary, LittleEndian},
    {"big-endian after a format line and BEGIN TIME STEP", Encoding::BinaryBE, Lead::FormatAndBegin, 3,
     EncodingCBinary, Unknown, EncodingCBinary, BigEndian},
    {"part 0 after a format line and BEGIN TIME STEP, told by its values", Encoding::BinaryBE,
     Lead::FormatAndBegin, 0, EncodingAscii, Unknown, EncodingCBinary, BigEndian},
    {"description reading C Binary", Encoding::BinaryLE, Lead::FormatWordsAsDescription, 1, EncodingCBinary, Unknown,
     EncodingCBinary, LittleEndian},
};

TEST(VariableOpen, SettlesEncodingAndByteOrder) {
    for (const DetectRow& row : kDetectRows) {
        SCOPED_TRACE(row.name);
        EnsightWriter writer(row.encoding);
        if (row.lead == Lead::FormatLine || row.lead == Lead::FormatAndBegin) writer.String("C Binary");
        if (row.lead == Lead::Begin || row.lead == Lead::FormatAndBegin) writer.String("BEGIN TIME STEP");
        writer.String(row.lead == Lead::FormatWordsAsDescription ? "C Binary" : "description");
        VarPart(writer, row.partNumber).String("coordinates");
        const int64_t first = Values(writer, 3);
        PartCollection geometry = GeometryWithPart(row.partNumber, row.geometryFormat, row.geometryByteOrder);
        CFileEnsightVarGold reader;
        ASSERT_TRUE(reader.Open(test::Saved(writer, "detect"), geometry)) << reader.errorText();
        EXPECT_EQ(reader.format(), row.format);
        if (row.byteOrder != ByteOrderUnknown) {
            EXPECT_EQ(reader.byteOrder(), row.byteOrder);
        }
        VariableKind kind;
        ASSERT_TRUE(reader.ScanVariableParts(geometry, kind, 0)) << reader.errorText();
        ASSERT_EQ(kind.items.size(), 1u);
        EXPECT_EQ(kind.items[0].partNumber, row.partNumber);
        EXPECT_EQ(kind.items[0].types[0].componentOffset[0], first);
    }
}

struct RefuseRow {
    const char* name;
    Encoding encoding;
    std::string contents;
    const char* error;
};

std::string Contents(Encoding encoding, void (*write)(EnsightWriter&)) {
    EnsightWriter writer(encoding);
    write(writer);
    return writer.bytes();
}

TEST(VariableOpen, RefusesWhatIsNotAVariableFile) {
    const RefuseRow rows[] = {
        {"empty", Encoding::Ascii, "", kUnreadable},
        {"description only", Encoding::Ascii, "pressure\n", kUnreadable},
        {"part number above 65535", Encoding::BinaryLE,
         Contents(Encoding::BinaryLE, [](EnsightWriter& w) { VarPart(w.String("d"), 70000).String("block"); }),
         kUnreadable},
        {"negative part number", Encoding::BinaryBE,
         Contents(Encoding::BinaryBE, [](EnsightWriter& w) { VarPart(w.String("d"), -3).String("block"); }),
         kUnreadable},
        {"Fortran binary records", Encoding::BinaryBE,
         std::string("\0\0\0\x50", 4) + std::string(80, 'x') + std::string("\0\0\0\x50", 4), kUnreadable},
    };
    PartCollection geometry = GeometryWithPart(1, EncodingCBinary, LittleEndian);
    for (const RefuseRow& row : rows) {
        SCOPED_TRACE(row.name);
        EnsightWriter writer(row.encoding);
        writer.Raw(row.contents);
        CFileEnsightVarGold reader;
        EXPECT_FALSE(reader.Open(test::Saved(writer, "refuse"), geometry));
        EXPECT_EQ(reader.errorText(), row.error);
    }
    CFileEnsightVarGold reader;
    EXPECT_FALSE(reader.Open(testing::TempDir() + "goldvar_no_such_file", geometry));
    EXPECT_EQ(reader.errorText(), "Unable to open file for reading.");
}

}  // namespace
}  // namespace quorix
