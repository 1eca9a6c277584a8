#include "casefile/ascii_case.h"

#include <gtest/gtest.h>

#include <clocale>

namespace quorix {
namespace {

TEST(AsciiCase, OnlyAsciiLettersFold) {
    EXPECT_TRUE(EqualsIgnoreCase("HeXa8", "hexa8"));
    EXPECT_FALSE(EqualsIgnoreCase("hexa8", "hexa"));
    EXPECT_FALSE(EqualsIgnoreCase("\xC4", "\xE4"));  // Latin-1 letters are not folded
    EXPECT_FALSE(EqualsIgnoreCase("@", "`"));         // 0x40 and 0x60 differ only in the letter bit
    EXPECT_TRUE(EqualsIgnoreCase("", ""));

    EXPECT_TRUE(StartsWithIgnoreCase("BEGIN TIME STEP\n", "begin time step"));
    EXPECT_FALSE(StartsWithIgnoreCase("BEGIN", "begin time step"));
    EXPECT_TRUE(StartsWithIgnoreCase("part", ""));

    EXPECT_TRUE(ContainsIgnoreCase("  C Binary\n", "c binary"));
    EXPECT_TRUE(ContainsIgnoreCase("FORTRAN BINARY", "fortran binary"));
    EXPECT_FALSE(ContainsIgnoreCase("c  binary", "c binary"));
    EXPECT_FALSE(ContainsIgnoreCase("", "c binary"));
}

}  // namespace
}  // namespace quorix
