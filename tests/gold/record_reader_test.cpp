// Reads no sample reaches: a truncated file at an offset, a line longer than the
// buffer, a line across a slice, skips of every length and far skips.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "gold/ensight_reader.h"
#include "gold/skip_far_lines.h"
#include "support/ensight_writer.h"

namespace quorix {
namespace {

using test::Encoding;
using test::EnsightWriter;

TEST(RecordReader, OpenFailures) {
    CFileEnsight reader;
    EXPECT_FALSE(reader.Open("/nonexistent/file.geo", true, EncodingAscii, LittleEndian, 0));
    EXPECT_EQ(reader.errorText(), "Unable to open file for reading");
    const test::TempDir dir;
    const std::string path = dir.Write("short.bin", "abcd");
    EXPECT_FALSE(reader.Open(path, true, EncodingCBinary, LittleEndian, 100));
    EXPECT_EQ(reader.errorText(), "Unable to open file for reading");
    EXPECT_TRUE(reader.Open(path, true, EncodingCBinary, LittleEndian, 4));
}

TEST(RecordReader, AsciiLinesAcrossSlices) {
    // Three values to a line: some line straddles the 2^19-value slice boundary.
    const int64_t n = (int64_t{1} << 19) + 5;
    std::vector<int32_t> values(static_cast<size_t>(n));
    for (int64_t i = 0; i < n; ++i) values[static_cast<size_t>(i)] = static_cast<int32_t>(i % 1000);
    const test::TempDir dir;
    CFileEnsight reader;
    ASSERT_TRUE(reader.Open(dir.Write("slices.txt", EnsightWriter(Encoding::Ascii).Ints(values, 3).bytes()), true,
                            EncodingAscii, LittleEndian, 0));
    std::vector<int32_t> held;
    ASSERT_TRUE(reader.ReadIntsInSlices(n, [&](const int32_t* slice, int64_t count) {
        held.insert(held.end(), slice, slice + count);
        return true;
    })) << reader.errorText();
    EXPECT_EQ(held, values);
    EXPECT_FALSE(reader.ReadIntsInSlices(int64_t{1} << 40, [](const int32_t*, int64_t) { return true; }));
}

TEST(FileAccess, LinesOfAnyLength) {
    const std::string longLine(3 << 20, 'z');  // longer than the buffer
    const test::TempDir dir;
    File_a* file = File_a::Open(dir.Write("lines.txt", "a\n" + longLine + "\nb\nlast"), "r", BigEndian);
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
    const test::TempDir dir;
    File_a* file = File_a::Open(dir.Write("skip.txt", text), "r", BigEndian);
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
        const test::TempDir dir;
        File_a* file = File_a::Open(dir.Write("far.txt", text), "r", BigEndian);
        ASSERT_NE(file, nullptr) << l.name;
        ASSERT_TRUE(SkipFarLines(*file, l.skip)) << l.name;
        EXPECT_EQ(file->Tell(), static_cast<int64_t>(starts[static_cast<size_t>(l.skip)])) << l.name;
        EXPECT_TRUE(file->SkipLines(lines - l.skip + 1)) << l.name << ": the unfinished last line counts";
        EXPECT_FALSE(file->SkipLines(1)) << l.name;
        File_a::Close(file);
    }
}
}  // namespace
}  // namespace quorix
