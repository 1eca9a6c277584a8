// Record reads of CFileEnsight in ASCII, C binary and Fortran binary of either byte order.
#include <gtest/gtest.h>

#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include <random>
#include <string>
#include <vector>

#include "casefile/element_types.h"
#include "gold/ensight_reader.h"
#include "gold/skip_far_lines.h"
#include "support/ensight_writer.h"

namespace quorix {
namespace {

using test::Encoding;
using test::EnsightWriter;

ByteOrder OrderOf(Encoding e) {
    return e == Encoding::BinaryBE || e == Encoding::FortranBE ? BigEndian : LittleEndian;
}
GeometryEncoding FormatOf(Encoding e) {
    if (e == Encoding::Ascii) return EncodingAscii;
    return e == Encoding::FortranLE || e == Encoding::FortranBE ? EncodingFortranBinary : EncodingCBinary;
}

// Saves `bytes` and opens a reader on them at the encoding's format and order.
void OpenOn(CFileEnsight& reader, const std::string& bytes, Encoding e, bool isGold = true) {
    std::string path = test::TempPath("record.bin");
    EnsightWriter(e).Raw(bytes).Save(path);
    ASSERT_TRUE(reader.Open(path, isGold, FormatOf(e), OrderOf(e), 0)) << reader.errorText();
}

TEST(RecordReader, StringRecords) {
    struct Row {
        const char* name;
        Encoding encoding;
        std::string bytes;
        std::string expected;
    };
    const std::string eighty(80, 'a');
    const Row rows[] = {
        {"binary 80 characters keep 79", Encoding::BinaryLE, eighty, std::string(79, 'a')},
        {"binary ends at NUL", Encoding::BinaryLE, std::string("part\0xyz", 8) + std::string(72, ' '), "part"},
        {"ascii 79 characters lose the line end", Encoding::Ascii, std::string(79, 'b') + "\nx\n", std::string(79, 'b')},
        {"ascii shorter line keeps its end", Encoding::Ascii, "wing\nx\n", "wing\n"},
        {"ascii keeps crlf", Encoding::Ascii, "wing\r\nx\n", "wing\r\n"},
        {"ascii last line without end", Encoding::Ascii, "tail", "tail"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CFileEnsight reader;
        OpenOn(reader, row.bytes, row.encoding);
        std::string text;
        ASSERT_TRUE(reader.ReadString80(text)) << reader.errorText();
        EXPECT_EQ(text, row.expected);
    }
}

TEST(RecordReader, LongLineIsOneRecord) {
    // A long description must not spill into the next record.
    CFileEnsight reader;
    OpenOn(reader, std::string(100000, 'd') + "\n        42\n", Encoding::Ascii);
    std::string text;
    ASSERT_TRUE(reader.ReadString80(text));
    EXPECT_EQ(text.size(), 79u);
    int32_t value = 0;
    ASSERT_TRUE(reader.ReadInts(&value, 1)) << reader.errorText();
    EXPECT_EQ(value, 42);
}

TEST(RecordReader, AsciiIntegerFieldCounts) {
    struct Row {
        const char* name;
        std::string text;
        int64_t count;
        std::vector<int32_t> expected;  // empty: fails with the message
    };
    const Row rows[] = {
        {"one per line", "         1\n         2\n", 2, {1, 2}},
        {"blank lines between values", "         1\n\n   \n         2\n", 2, {1, 2}},
        {"two lines of several", "         1         2\n         3\n", 3, {1, 2, 3}},
        {"surplus field on the last line fails", "         1         2         3\n", 2, {}},
        {"out of range fails", "9999999999\n", 1, {}},
        {"file ends first", "         1\n", 2, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CFileEnsight reader;
        OpenOn(reader, row.text, Encoding::Ascii);
        std::vector<int32_t> out(static_cast<size_t>(row.count));
        bool ok = reader.ReadInts(out.data(), row.count);
        EXPECT_EQ(ok, !row.expected.empty());
        if (ok) EXPECT_EQ(out, row.expected);
        else EXPECT_EQ(reader.errorText(), "Failed when attempting to read integer data in ASCII format");
    }
}

TEST(RecordReader, ThreeRealsReadAsTwoFail) {
    CFileEnsight reader;
    OpenOn(reader, " 1.00000e+00 2.00000e+00 3.00000e+00\n", Encoding::Ascii);
    float out[2];
    EXPECT_FALSE(reader.ReadFloats(out, 2));
    EXPECT_EQ(reader.errorText(), "Failed when attempting to read float data in ASCII format");
}

TEST(RecordReader, EnsightSixIntegersAreEightWide) {
    CFileEnsight reader;
    OpenOn(reader, "       1       2\n", Encoding::Ascii, false);
    int32_t out[2] = {};
    ASSERT_TRUE(reader.ReadInts(out, 2));
    EXPECT_EQ(out[1], 2);
}

TEST(RecordReader, BinaryWordsInBothOrders) {
    for (Encoding e : {Encoding::BinaryLE, Encoding::BinaryBE}) {
        SCOPED_TRACE(test::EncodingName(e));
        EnsightWriter w(e);
        w.Ints({1, -2, 70000}).Floats({1.5f, -0.25f});
        CFileEnsight reader;
        OpenOn(reader, w.bytes(), e);
        int32_t ints[3];
        float reals[2];
        ASSERT_TRUE(reader.ReadInts(ints, 3));
        ASSERT_TRUE(reader.ReadFloats(reals, 2));
        EXPECT_EQ(ints[2], 70000);
        EXPECT_EQ(ints[1], -2);
        EXPECT_EQ(reals[1], -0.25f);
        EXPECT_FALSE(reader.ReadInts(ints, 1));
        EXPECT_EQ(reader.errorText(), "Failed when attempting to read integer data");
    }
}

TEST(RecordReader, SkipsStopAtTheEndOfTheFile) {
    for (Encoding e : test::AllEncodings) {
        SCOPED_TRACE(test::EncodingName(e));
        EnsightWriter w(e);
        w.Floats({1, 2, 3}).Ints({4, 5});
        CFileEnsight reader;
        OpenOn(reader, w.bytes(), e);
        EXPECT_TRUE(reader.SkipFloats(3, 1));
        EXPECT_TRUE(reader.SkipInts(2, 1));
        EXPECT_FALSE(reader.SkipInts(1, 1)) << "a skip past the end must fail";
        EXPECT_FALSE(reader.SkipFloats(-1, 1));
        EXPECT_FALSE(reader.errorText().empty());
    }
}

TEST(RecordReader, AsciiFieldCountingSkip) {
    // Polygon connectivity: lines of varying length, counted by fields.
    CFileEnsight reader;
    OpenOn(reader, "         1         2         3\n         4         5\n        77\n", Encoding::Ascii);
    EXPECT_TRUE(reader.SkipInts(5, 0));
    int32_t next = 0;
    ASSERT_TRUE(reader.ReadInts(&next, 1));
    EXPECT_EQ(next, 77);
    CFileEnsight uneven;
    OpenOn(uneven, "         1         2         3\n", Encoding::Ascii);
    EXPECT_FALSE(uneven.SkipInts(2, 0));
    EXPECT_EQ(uneven.errorText(), "Failed when attempting to skip integer data in ASCII format");
}

TEST(RecordReader, HeaderReadsAtTheEnd) {
    struct Row {
        const char* name;
        Encoding encoding;
        std::string bytes;
        HeaderKind expected;
    };
    const Row rows[] = {
        {"binary: nothing left is the end", Encoding::BinaryLE, "", EndOfFile},
        {"binary: part of a record is a failure", Encoding::BinaryLE, std::string(40, 'x'), ReadFailure},
        {"ascii: nothing left is the end", Encoding::Ascii, "", EndOfFile},
        {"ascii: a part without its number", Encoding::Ascii, "part\n", ReadFailure},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CFileEnsight reader;
        OpenOn(reader, row.bytes, row.encoding);
        int32_t v1 = 0;
        int32_t v2 = 0;
        EXPECT_EQ(reader.ReadBlockHeader(v1, v2), row.expected);
    }
}

TEST(RecordReader, BlockHeaderReadsTheCount) {
    for (Encoding e : test::AllEncodings) {
        SCOPED_TRACE(test::EncodingName(e));
        EnsightWriter w(e);
        w.String("coordinates").Int(12).String("g_hexa8").Int(3);
        CFileEnsight reader;
        OpenOn(reader, w.bytes(), e);
        int32_t v1 = 0;
        int32_t v2 = 0;
        EXPECT_EQ(reader.ReadBlockHeader(v1, v2), Coordinates);
        EXPECT_EQ(v2, 12);
        EXPECT_EQ(reader.ReadBlockHeader(v1, v2), ElementTypeHeader);
        EXPECT_EQ(v1, ElementHexa8);
        EXPECT_EQ(v2, 3);
        EXPECT_EQ(reader.ReadBlockHeader(v1, v2), EndOfFile);
    }
}

TEST(RecordReader, ClassifiesHeaderLines) {
    struct Row {
        const char* text;
        HeaderKind kind;
        int32_t value1;
        int32_t value2;
    };
    const Row rows[] = {
        {"PART", Part, -1, -1},
        {"part 3", PartWithNumber, -1, 3},
        {"part x", PartWithNumber, -1, 0},
        {"Node ID Given", NodeIdOption, IdGiven, -1},
        {"element id ignore", ElementIdOption, IdIgnore, -1},
        {"element id sometimes", ElementIdOption, IdUnknown, -1},
        {"hexa8", ElementTypeHeader, ElementHexa8, -1},
        {"g_hexa8", ElementTypeHeader, ElementHexa8, -1},
        {"nsided  \r\n", ElementTypeHeader, ElementNsided, -1},
        {"coordinates   ", Coordinates, -1, -1},
        {"block", Block, 0, 0},
        {"block uniform iblanked", Block, 2, BlockIBlanked},
        {"block rectilinear with_ghost range", Block, 1, BlockWithGhost | BlockRange},
        {"block uniform rectilinear", Block, 1, 0},
        {"extents", Extents, -1, -1},
        {"ghost_flags", GhostFlags, -1, -1},
        {"node_ids", NodeIds, -1, -1},
        {"element_ids", ElementIds, -1, -1},
        {"C Binary", BinaryFormat, 0, -1},
        {"c binary\n", BinaryFormat, 0, -1},
        {"Fortran Binary", BinaryFormat, 1, -1},
        {"Particle Coordinates", ParticleCoordinates, -1, -1},
        {"BEGIN TIME STEP", BeginTimeStep, -1, -1},
        {"end time step", EndTimeStep, -1, -1},
        {"", OtherLine, -1, -1},
        {"   \n", OtherLine, -1, -1},
        {"a wing description", OtherLine, -1, -1},
        {"hexa9", OtherLine, -1, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        int32_t v1 = 0;
        int32_t v2 = 0;
        EXPECT_EQ(ClassifyHeaderLine(row.text, v1, v2), row.kind);
        EXPECT_EQ(v1, row.value1);
        EXPECT_EQ(v2, row.value2);
    }
}

TEST(RecordReader, ClosedReadersRefuse) {
    CFileEnsight closed;
    std::string text;
    int32_t i = 0;
    float f[3];
    EXPECT_FALSE(closed.ReadString80(text));
    EXPECT_EQ(closed.errorText(), "File format not defined");
    EXPECT_FALSE(closed.ReadInts(&i, 1));
    EXPECT_FALSE(closed.SkipFloats(1, 1));
    EXPECT_FALSE(closed.ReadParticleCoords(f, 1));
    EXPECT_EQ(closed.errorText(), "File format not defined");
    EXPECT_FALSE(closed.Seek(0, 0));
    EXPECT_EQ(closed.errorText(), "File has not been opened");
}

// Counts and arrays pass through as many records as the writer used for them
// (i j k in one record or three), empty records included; particles stay refused.
TEST(RecordReader, FortranRecords) {
    for (Encoding e : {Encoding::FortranLE, Encoding::FortranBE}) {
        SCOPED_TRACE(test::EncodingName(e));
        EnsightWriter w(e);
        w.String("part").Int(7).Ints({2, 3, 4}).Int(5).Int(6).Int(-7).Ints({}).Floats({1.5f, 2.5f, 3.5f});
        w.Floats({4.5f}).Floats({5.5f, 6.5f}).String("coordinates");
        CFileEnsight reader;
        OpenOn(reader, w.bytes(), e);
        std::string text;
        ASSERT_TRUE(reader.ReadString80(text)) << reader.errorText();
        EXPECT_EQ(text, "part");
        int32_t number = 0;
        int32_t dims[3] = {};
        ASSERT_TRUE(reader.ReadInts(&number, 1)) << reader.errorText();
        EXPECT_EQ(number, 7);
        ASSERT_TRUE(reader.ReadInts(dims, 3)) << reader.errorText();
        EXPECT_EQ(std::vector<int32_t>(dims, dims + 3), (std::vector<int32_t>{2, 3, 4}));
        ASSERT_TRUE(reader.ReadInts(dims, 3)) << reader.errorText();
        EXPECT_EQ(std::vector<int32_t>(dims, dims + 3), (std::vector<int32_t>{5, 6, -7}));
        ASSERT_TRUE(reader.SkipFloats(3, 1)) << reader.errorText();
        float values[3] = {};
        ASSERT_TRUE(reader.ReadFloats(values, 3)) << reader.errorText();
        EXPECT_EQ(std::vector<float>(values, values + 3), (std::vector<float>{4.5f, 5.5f, 6.5f}));
        int32_t v1 = 0;
        int32_t v2 = 0;
        EXPECT_EQ(reader.ReadHeader(v1, v2), Coordinates);
        EXPECT_EQ(reader.ReadHeader(v1, v2), EndOfFile);

        float xyz[3];
        OpenOn(reader, EnsightWriter(e).Ints({1}).Floats({1, 2, 3}).bytes(), e);
        EXPECT_FALSE(reader.SkipParticles(1));
        EXPECT_EQ(reader.errorText(), "Fortran format not currently supported");
        EXPECT_FALSE(reader.ReadParticleCoords(xyz, 1));
        EXPECT_EQ(reader.errorText(), "Fortran format not yet supported");
    }
}

// A frame that disagrees with itself, with the file or with what is read
// there fails with the file and the byte where its record begins.
TEST(RecordReader, FortranFramesChecked) {
    struct Row {
        const char* name;
        std::string (*bytes)(Encoding);
        bool (*read)(CFileEnsight&);
        std::string error;  // after "Fortran record at byte N of PATH "
        int64_t at;
    };
    const auto string = [](CFileEnsight& r) {
        std::string text;
        return r.ReadString80(text);
    };
    const auto threeInts = [](CFileEnsight& r) {
        int32_t v[3];
        return r.ReadInts(v, 3);
    };
    const Row rows[] = {
        {"lengths before and after differ",
         [](Encoding e) { return EnsightWriter(e).RawWord(80).Raw(std::string(80, 'a')).RawWord(81).bytes(); },
         string, "ends with the length 81, not 80", 0},
        {"string record of 84 bytes",
         [](Encoding e) { return EnsightWriter(e).RawWord(84).Raw(std::string(84, 'a')).RawWord(84).bytes(); },
         string, "holds 84 bytes where a string of 80 was expected", 0},
        {"record longer than the values",
         [](Encoding e) { return EnsightWriter(e).Ints({1, 2, 3, 4}).bytes(); }, threeInts,
         "holds 16 bytes where 12 were expected", 0},
        {"record shorter than the values, a string after it",
         [](Encoding e) { return EnsightWriter(e).Ints({1, 2}).String("part").bytes(); }, threeInts,
         "holds 80 bytes where 4 were expected", 16},
        {"length past the end of the file",
         [](Encoding e) { return EnsightWriter(e).String("x").RawWord(400).Raw("abcdefgh").bytes(); },
         [](CFileEnsight& r) {
             std::string text;
             float v[2];
             return r.ReadString80(text) && r.ReadFloats(v, 2);
         },
         "is 400 bytes long, past the end of the file", 88},
        {"length not a whole number of words",
         [](Encoding e) { return EnsightWriter(e).RawWord(-4).RawWord(0).bytes(); }, threeInts,
         "is -4 bytes long, not a whole number of 4-byte words", 0},
        {"file cut within a length",
         [](Encoding e) { return EnsightWriter(e).Ints({1, 2, 3}).Raw("\x50\0").bytes(); },
         [](CFileEnsight& r) {
             int32_t v[3];
             std::string text;
             return r.ReadInts(v, 3) && r.ReadString80(text);
         },
         "is cut off within its length", 20},
    };
    for (Encoding e : {Encoding::FortranLE, Encoding::FortranBE}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(test::EncodingName(e)) + ": " + row.name);
            CFileEnsight reader;
            OpenOn(reader, row.bytes(e), e);
            EXPECT_FALSE(row.read(reader));
            EXPECT_EQ(reader.errorText(), "Fortran record at byte " + std::to_string(row.at) + " of " +
                                              reader.fileName() + " " + row.error);
        }
    }
}

TEST(RecordReader, OpenFailures) {
    CFileEnsight reader;
    EXPECT_FALSE(reader.Open("/nonexistent/file.geo", true, EncodingAscii, LittleEndian, 0));
    EXPECT_EQ(reader.errorText(), "Unable to open file for reading");
    std::string path = test::TempPath("short.bin");
    EnsightWriter(Encoding::BinaryLE).Raw("abcd").Save(path);
    EXPECT_FALSE(reader.Open(path, true, EncodingCBinary, LittleEndian, 100));
    EXPECT_EQ(reader.errorText(), "Unable to open file for reading");
    EXPECT_TRUE(reader.Open(path, true, EncodingCBinary, LittleEndian, 4));
}

TEST(RecordReader, ParticleCoordinates) {
    for (Encoding e : {Encoding::BinaryLE, Encoding::BinaryBE}) {
        SCOPED_TRACE(test::EncodingName(e));
        EnsightWriter w(e);
        w.Ints({7, 8}).Floats({1, 2, 3, 4, 5, 6});
        CFileEnsight reader;
        OpenOn(reader, w.bytes(), e);
        float xyz[6];
        ASSERT_TRUE(reader.ReadParticleCoords(xyz, 2));
        EXPECT_EQ(std::vector<float>(xyz, xyz + 6), (std::vector<float>{1, 4, 2, 5, 3, 6}));
    }
    struct Row {
        const char* name;
        std::string text;
        bool ok;
    };
    const Row rows[] = {
        {"id and three reals", "       1 1.00000e+00 2.00000e+00 3.00000e+00   \n", true},
        {"two reals fail", "       1 1.00000e+00 2.00000e+00\n", false},
        {"line shorter than the id", "   1\n", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CFileEnsight reader;
        OpenOn(reader, row.text, Encoding::Ascii);
        float xyz[3] = {};
        EXPECT_EQ(reader.ReadParticleCoords(xyz, 1), row.ok);
        if (row.ok) EXPECT_EQ(xyz[2], 3.0f);
        else EXPECT_EQ(reader.errorText(), "Failed when attempting to read particle coordinates in ASCII format");
    }
}

TEST(FileAccess, WordsAndPositions) {
    EXPECT_EQ(File_a::Open("/nonexistent/x", "rb", BigEndian), nullptr);
    std::string path = test::TempPath("words.bin");
    EnsightWriter(Encoding::BinaryBE).Ints({1, 2, 3}).Raw("xy").Save(path);
    File_a* file = File_a::Open(path, "rb", BigEndian);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->FileSize(), 14);
    int32_t words[4] = {};
    EXPECT_TRUE(file->ReadInt32Array(words, 0));
    EXPECT_EQ(file->Tell(), 0);
    EXPECT_FALSE(file->ReadInt32Array(words, 4));  // 3 whole words and 2 bytes
    EXPECT_EQ(words[2], 3) << "words read before the end are still swapped";
    EXPECT_TRUE(file->IsEof());
    file->Rewind();
    EXPECT_FALSE(file->IsEof());
    ASSERT_TRUE(file->ReadInt32Array(words, 1));
    EXPECT_EQ(words[0], 1);
    EXPECT_EQ(File_a::Close(file), 0);
    EXPECT_EQ(file, nullptr);
}

TEST(FileAccess, SeeksBeyondFourGiB) {
    std::string path = test::TempPath("sparse.bin");
    int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    const int64_t far = (int64_t{5} << 30) + 12;
    const char word[4] = {0, 0, 0, 9};
    ASSERT_EQ(::pwrite(fd, word, 4, far), 4);
    ::close(fd);
    File_a* file = File_a::Open(path, "rb", BigEndian);
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(file->Seek(far, 0));
    EXPECT_EQ(file->Tell(), far);
    int32_t value = 0;
    ASSERT_TRUE(file->ReadInt32Array(&value, 1));
    EXPECT_EQ(value, 9);
    File_a::Close(file);
    ::unlink(path.c_str());
}

TEST(FileAccess, LinesOfAnyLength) {
    std::string path = test::TempPath("lines.txt");
    std::string longLine(3 << 20, 'z');  // longer than the buffer
    EnsightWriter(Encoding::Ascii).Raw("a\n" + longLine + "\nb\nlast").Save(path);
    File_a* file = File_a::Open(path, "r", BigEndian);
    ASSERT_NE(file, nullptr);
    std::string line;
    ASSERT_TRUE(file->ReadWholeLine(line, size_t{1} << 26));
    EXPECT_EQ(line, "a\n");
    ASSERT_TRUE(file->ReadWholeLine(line, size_t{1} << 26));
    EXPECT_EQ(line.size(), longLine.size() + 1);
    EXPECT_TRUE(file->SkipLines(2)) << "a last line without its end is a line";
    EXPECT_FALSE(file->SkipLines(1));
    file->Rewind();
    char small[4];
    ASSERT_NE(file->ReadLine(small, 4), nullptr);
    EXPECT_STREQ(small, "a\n");
    ASSERT_NE(file->ReadLine(small, 4), nullptr);
    EXPECT_STREQ(small, "zzz") << "capacity n gives n-1 characters";
    File_a::Close(file);
}


TEST(FileAccess, SkippedLinesLandOnTheRightLine) {
    // Lines of many lengths over several buffers, skipped in steps of many sizes.
    std::string text;
    std::vector<size_t> starts;
    for (int i = 0; text.size() < (size_t{5} << 20); ++i) {
        starts.push_back(text.size());
        text += std::to_string(i) + std::string(static_cast<size_t>(i % 29), ' ') + "\n";
    }
    std::string path = test::TempPath("skip.txt");
    EnsightWriter(Encoding::Ascii).Raw(text).Save(path);
    File_a* file = File_a::Open(path, "r", BigEndian);
    ASSERT_NE(file, nullptr);
    size_t line = 0;
    std::mt19937 random(3);
    std::vector<int64_t> steps = {1, 15, 16, 17, 4081, 4097, 70000, 255 * 16 + 3};
    while (steps.size() < 500) steps.push_back(1 + static_cast<int64_t>(random() % 600));
    for (int64_t step : steps) {
        if (line + static_cast<size_t>(step) >= starts.size()) break;
        ASSERT_TRUE(file->SkipLines(step));
        line += static_cast<size_t>(step);
        ASSERT_EQ(file->Tell(), static_cast<int64_t>(starts[line])) << "after skipping to line " << line;
    }
    EXPECT_FALSE(file->SkipLines(static_cast<int64_t>(starts.size() - line) + 1));
    File_a::Close(file);
    ::unlink(path.c_str());
}

// Skips over 16 MB are counted in two halves at once, split where lines of the
// first line's length would end; lines of other lengths must land the same.
TEST(FileAccess, FarSkipsLandOnTheRightLine) {
    struct Layout {
        const char* name;
        size_t first;    // length of the line the split is guessed from, line end included
        size_t rest;     // of every other line
        const char* end;
        int64_t skip;    // lines skipped from the first
        int64_t shorter = 0;  // a line one byte shorter than the rest (0: none)
    };
    const int64_t lines = 1'600'000;  // 11-byte lines still make a far skip
    const Layout layouts[] = {
        {"all alike", 13, 13, "\n", lines - 10},
        {"CRLF", 13, 13, "\r\n", lines - 10},
        {"the first line short: more lines follow the guess", 11, 13, "\n", lines - 10},
        {"the first line long: the end lies in the second half", 21, 13, "\n", lines / 2},
        {"the first line longer still: the end lies in the first half", 40, 13, "\n", lines * 3 / 10},
        {"one line short: the guess ends inside the line after", 13, 13, "\n", lines - 10, lines / 2},
    };
    for (const Layout& l : layouts) {
        auto line = [&](size_t length) { return std::string(length - std::strlen(l.end), '7') + l.end; };
        std::string text = line(l.first);
        std::vector<size_t> starts{0, text.size()};
        for (int64_t i = 1; i < lines; ++i) {
            text += line(i == l.shorter ? l.rest - 1 : l.rest);
            starts.push_back(text.size());
        }
        text += "last";  // a last line without its end
        const std::string path = test::TempPath("far.txt");
        EnsightWriter(Encoding::Ascii).Raw(text).Save(path);
        File_a* file = File_a::Open(path, "r", BigEndian);
        ASSERT_NE(file, nullptr) << l.name;
        ASSERT_TRUE(SkipFarLines(*file, l.skip)) << l.name;
        EXPECT_EQ(file->Tell(), static_cast<int64_t>(starts[static_cast<size_t>(l.skip)])) << l.name;
        EXPECT_TRUE(file->SkipLines(lines - l.skip + 1)) << l.name << ": the unfinished last line counts";
        EXPECT_FALSE(file->SkipLines(1)) << l.name;
        File_a::Close(file);
        ::unlink(path.c_str());
    }
}
}  // namespace
}  // namespace quorix
