#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gold/file_a.h"

namespace {

using namespace quorix;

TEST(ByteOrder, OtherOrder) {
    EXPECT_EQ(OtherByteOrder(LittleEndian), BigEndian);
    EXPECT_EQ(OtherByteOrder(BigEndian), LittleEndian);
    EXPECT_EQ(ByteOrderOf(false), NativeByteOrder());
    EXPECT_EQ(ByteOrderOf(true), OtherByteOrder(NativeByteOrder()));
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
