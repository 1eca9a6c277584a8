// Measured (particle) variable files: encoding and byte order from the first
// values, interleaved vectors, steps of one file, and the failures.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gold/geometry_reader.h"
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

PartCollection ParticleGeometry(const std::vector<int32_t>& particlesPerStep) {
    PartCollection geometry(0, 1, 1, static_cast<int32_t>(particlesPerStep.size()));
    for (size_t s = 0; s < particlesPerStep.size(); ++s) {
        PartInfo& part = geometry.AddPart(ParticlePartNumber, static_cast<int32_t>(s + 1));
        part.kind = PartParticles;
        part.category = 1;
        part.nodeCount = particlesPerStep[s];
        part.imax = particlesPerStep[s];
    }
    return geometry;
}

// One step's values, six to an ASCII line; returns where they start.
int64_t WriteStep(EnsightWriter& writer, int32_t particles, int32_t components, bool transient) {
    if (transient) writer.String("BEGIN TIME STEP");
    writer.String("particle values");
    const int64_t start = Values(writer, static_cast<int64_t>(particles) * components, 1.5f, 6);
    if (transient) writer.String("END TIME STEP");
    return start;
}

void ExpectStep(const PartVariableInfo& record, int32_t step, int32_t particles, int32_t components, int64_t start,
                Encoding encoding) {
    EXPECT_EQ(record.partNumber, ParticlePartNumber);
    EXPECT_EQ(record.step, step);
    EXPECT_EQ(record.valueCount, particles);
    EXPECT_EQ(record.format, encoding == Encoding::Ascii ? EncodingAscii : EncodingCBinary);
    // with no value to test the native order stays
    if (encoding != Encoding::Ascii && particles > 0) {
        EXPECT_EQ(record.byteOrder, encoding == Encoding::BinaryLE ? LittleEndian : BigEndian);
    }
    ASSERT_EQ(record.types.size(), 1u);
    const TypeVariableInfo& info = record.types[0];
    EXPECT_EQ(info.type, 255);
    EXPECT_EQ(info.count, particles);
    EXPECT_EQ(info.stride, components);
    EXPECT_TRUE(info.present);
    for (int32_t k = 0; k < components; ++k) EXPECT_EQ(info.componentOffset[k], start);
}

struct StepRow {
    const char* name;
    int32_t particles;
    int32_t components;
    bool binaryFormatLine;
};

TEST(MeasuredVariable, RecordsOneStepInEveryEncoding) {
    const StepRow rows[] = {
        {"no particles", 0, 1, false},     {"one particle", 1, 1, false},
        {"five particles", 5, 1, true},    {"one vector particle", 1, 3, false},
        {"two vector particles", 2, 3, true}, {"a hundred particles", 100, 1, false},
        {"a hundred vectors", 100, 3, true},
    };
    for (const StepRow& row : rows) {
        for (Encoding encoding : kEncodings) {
            SCOPED_TRACE(std::string(row.name) + " / " + test::EncodingName(encoding));
            PartCollection geometry = ParticleGeometry({row.particles});
            EnsightWriter writer(encoding);
            if (row.binaryFormatLine && writer.binary()) writer.String("C Binary");
            const int64_t start = WriteStep(writer, row.particles, row.components, false);
            VariableKind kind;
            kind.components = row.components;
            CFileEnsightVarGold reader;
            ASSERT_TRUE(reader.OpenMeasuredVariable(geometry, kind, test::Saved(writer, "measured"), 0, 1)) << reader.errorText();
            ASSERT_TRUE(reader.ScanMeasuredValues(geometry, kind, 0)) << reader.errorText();
            ASSERT_EQ(kind.items.size(), 1u);
            ExpectStep(kind.items[0], 1, row.particles, row.components, start, encoding);
            EXPECT_TRUE(reader.ScanMeasuredValues(geometry, kind, 1));
            EXPECT_EQ(kind.items.size(), 1u);
        }
    }
}

TEST(MeasuredVariable, OneFileCoversSeveralSteps) {
    const std::vector<int32_t> particles{2, 0, 4};
    for (Encoding encoding : kEncodings) {
        SCOPED_TRACE(test::EncodingName(encoding));
        PartCollection geometry = ParticleGeometry(particles);
        EnsightWriter writer(encoding);
        std::vector<int64_t> starts;
        for (int32_t np : particles) starts.push_back(WriteStep(writer, np, 3, true));
        VariableKind kind;
        kind.components = 3;
        CFileEnsightVarGold reader;
        ASSERT_TRUE(reader.OpenMeasuredVariable(geometry, kind, test::Saved(writer, "measured"), 0, 3)) << reader.errorText();
        for (int32_t step = 0; step < 3; ++step) {
            ASSERT_TRUE(reader.ScanMeasuredValues(geometry, kind, step)) << reader.errorText();
        }
        ASSERT_EQ(kind.items.size(), 3u);
        for (size_t s = 0; s < 3; ++s) {
            SCOPED_TRACE("step " + std::to_string(s + 1));
            ExpectStep(kind.items[s], static_cast<int32_t>(s + 1), particles[s], 3, starts[s], encoding);
        }
    }
}

// Short ASCII numbers bring the file size near the binary estimate; the text
// must still not pass as C binary.
TEST(MeasuredVariable, AsciiWithShortNumbersIsNotTakenForBinary) {
    PartCollection geometry = ParticleGeometry({30});
    EnsightWriter writer(Encoding::Ascii);
    writer.String("diameter");
    const int64_t start = writer.size();
    for (int i = 0; i < 30; ++i) writer.Raw("1.5\n");
    VariableKind kind;
    CFileEnsightVarGold reader;
    ASSERT_TRUE(reader.OpenMeasuredVariable(geometry, kind, test::Saved(writer, "measured"), 0, 1)) << reader.errorText();
    EXPECT_EQ(reader.format(), EncodingAscii);
    ASSERT_TRUE(reader.ScanMeasuredValues(geometry, kind, 0));
    ASSERT_EQ(kind.items.size(), 1u);
    EXPECT_EQ(kind.items[0].types[0].componentOffset[0], start);
}

TEST(MeasuredVariable, FailsCleanly) {
    const char* const unreadable = "Unable to read data.\nPossible unsupported format or empty file.";
    struct Row {
        const char* name;
        Encoding encoding;
        std::vector<int32_t> geometry;  // particles per step; empty: no measured part
        std::string contents;
        bool opens;
        const char* error;
    };
    const Row rows[] = {
        {"no measured part", Encoding::Ascii, {}, "d\n 1.50000e+00\n", false,
         "No measured particles for time step 1"},
        {"empty file", Encoding::Ascii, {3}, "", false, unreadable},
        {"words instead of numbers", Encoding::Ascii, {3}, "d\nabc def ghi\n", false, unreadable},
        {"fewer values than particles (binary)", Encoding::BinaryLE, {10},
         std::string(80, ' ') + std::string(28, '\0'), true, "Attempt to read beyond limits of file"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PartCollection geometry = ParticleGeometry(row.geometry);
        EnsightWriter writer(row.encoding);
        writer.Raw(row.contents);
        VariableKind kind;
        CFileEnsightVarGold reader;
        const bool opened = reader.OpenMeasuredVariable(geometry, kind, test::Saved(writer, "measured"), 0, 1);
        EXPECT_EQ(opened, row.opens);
        if (opened) {
            EXPECT_FALSE(reader.ScanMeasuredValues(geometry, kind, 0));
        }
        EXPECT_EQ(reader.errorText(), row.error);
    }
}

}  // namespace
}  // namespace quorix

namespace quorix {
namespace {

// A measured geometry file with `ids` as particle ids, particle i at (i, i, i).
void WriteParticles(EnsightWriter& writer, const std::vector<int32_t>& ids) {
    if (writer.binary()) writer.String("C Binary");
    writer.String("particles").String("particle coordinates").Int(static_cast<int32_t>(ids.size()));
    if (writer.binary()) {
        writer.Ints(ids);
        for (size_t i = 0; i < ids.size(); ++i) writer.Floats({1.0f * i, 1.0f * i, 1.0f * i});
        return;
    }
    for (size_t i = 0; i < ids.size(); ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "%8d%12.5e%12.5e%12.5e\n", ids[i], 1.0 * i, 1.0 * i, 1.0 * i);
        writer.Raw(line);
    }
}

// From the particle geometry scan to the measured variable records, with ids
// a 16-bit byte-order test would refuse.
TEST(MeasuredVariable, FollowsTheScannedParticleGeometry) {
    const std::vector<std::vector<int32_t>> idSets{{70000, 70001, 70002}, {0, 1}, {}};
    for (const std::vector<int32_t>& ids : idSets) {
        for (Encoding encoding : test::AllEncodings) {
            SCOPED_TRACE(std::to_string(ids.size()) + " particles / " + test::EncodingName(encoding));
            EnsightWriter geometryFile(encoding);
            WriteParticles(geometryFile, ids);
            PartCollection collection(0, 1, 0, 1);
            CFileEnsightGeomGold geometry;
            ASSERT_TRUE(geometry.Open(test::Saved(geometryFile, "particles.geo"))) << geometry.errorText();
            ASSERT_TRUE(geometry.ScanParts(collection, 0)) << geometry.errorText();
            const int32_t np = static_cast<int32_t>(ids.size());
            EnsightWriter variableFile(encoding);
            const int64_t start = WriteStep(variableFile, np, 3, false);
            VariableKind kind;
            kind.components = 3;
            CFileEnsightVarGold reader;
            ASSERT_TRUE(reader.OpenMeasuredVariable(collection, kind, test::Saved(variableFile, "particles.vel"), 0, 1))
                << reader.errorText();
            ASSERT_TRUE(reader.ScanMeasuredValues(collection, kind, 0)) << reader.errorText();
            ASSERT_EQ(kind.items.size(), 1u);
            ExpectStep(kind.items[0], 1, np, 3, start, encoding);
        }
    }
}

}  // namespace
}  // namespace quorix
