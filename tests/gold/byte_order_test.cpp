#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gold/file_a.h"

namespace {

using namespace quorix;

TEST(ByteOrder, OtherOrder) {
    EXPECT_EQ(OtherByteOrder(LittleEndian), BigEndian);
    EXPECT_EQ(OtherByteOrder(BigEndian), LittleEndian);
}

// Proof beats a mere fit, a single fit beats a refutation, and only two fits reach the tie.
TEST(ByteOrder, DetectWeighsTheEvidenceOfBothOrders) {
    using E = OrderEvidence;
    const ByteOrder native = NativeByteOrder();
    const ByteOrder other = OtherByteOrder(native);
    struct Row {
        const char* name;
        E otherEvidence, nativeEvidence;
        ByteOrder expected;
    } rows[] = {
        {"other proved", E::Proof, E::Fits, other},
        {"native proved", E::Fits, E::Proof, native},
        {"only native fits", E::Refuted, E::Fits, native},
        {"only other fits", E::Fits, E::Refuted, other},
        {"both fit: the tie", E::Fits, E::Fits, BigEndian},
        {"neither", E::Refuted, E::Refuted, ByteOrderUnknown},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto judge = [&](ByteOrder o) { return o == native ? row.nativeEvidence : row.otherEvidence; };
        EXPECT_EQ(DetectByteOrder(judge, [] { return BigEndian; }), row.expected);
    }
}

TEST(ByteOrder, FortranFrameOfAnEightyByteString) {
    const unsigned char little[4] = {80, 0, 0, 0};
    const unsigned char big[4] = {0, 0, 0, 80};
    const unsigned char other[4] = {81, 0, 0, 0};
    EXPECT_EQ(FortranFrameOrder(little, little), LittleEndian);
    EXPECT_EQ(FortranFrameOrder(big, big), BigEndian);
    EXPECT_EQ(FortranFrameOrder(little, big), ByteOrderUnknown);
    EXPECT_EQ(FortranFrameOrder(other, other), ByteOrderUnknown);
}

// Every count from none through two runs of four words and a tail, at every
// offset within a word, so both the four-word loop and the word-by-word tail
// are reached on unaligned data; bytes around the words stay as they were.
TEST(ByteOrder, ReverseWordsAtEveryCountAndOffset) {
    for (size_t offset = 0; offset < 4; ++offset) {
        for (size_t count = 0; count <= 9; ++count) {
            SCOPED_TRACE(testing::Message() << count << " words at offset " << offset);
            std::vector<unsigned char> bytes(offset + 4 * count + 4);
            for (size_t b = 0; b < bytes.size(); ++b) bytes[b] = static_cast<unsigned char>(b * 7 + 1);
            std::vector<unsigned char> expected = bytes;
            for (size_t w = 0; w < count; ++w) {
                unsigned char* word = expected.data() + offset + 4 * w;
                std::swap(word[0], word[3]);
                std::swap(word[1], word[2]);
            }
            ReverseWords(bytes.data() + offset, count);
            EXPECT_EQ(bytes, expected);
        }
    }
}

TEST(ByteOrder, SwappedInt32) {
    EXPECT_EQ(SwappedInt32(0x01020304), 0x04030201);
    EXPECT_EQ(SwappedInt32(SwappedInt32(-123456)), -123456);
    EXPECT_EQ(SwappedInt32(1), 1 << 24);
}

}  // namespace
