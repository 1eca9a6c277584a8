#include "casefile/scanner.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using zelvane::strutil::Scanner;

struct TokenRow {
    const char* name;
    std::string text;
    std::string delimiters;
    std::vector<std::string> tokens;  // every token until none is left
};

TEST(Scanner, TokensFollowTheDelimiterSet) {
    const TokenRow rows[] = {
        {"keyword up to colon", "model: 1 geo", ":\t\r\n", {"model", " 1 geo"}},
        {"keyword keeps blanks", "time values: 1", ":\t\r\n", {"time values", " 1"}},
        {"tab ends keyword", "model\t1", ":\t\r\n", {"model", "1"}},
        {"whitespace set", "  a\tb\r\nc  ", " \t\n\r", {"a", "b", "c"}},
        {"blanks only", "   ", " \t\n\r", {}},
        {"empty set takes single characters", "ab", "", {"a", "b"}},
        {"stops at NUL", std::string("a b\0c d", 7), " ", {"a", "b"}},
    };
    for (const TokenRow& row : rows) {
        SCOPED_TRACE(row.name);
        Scanner scanner(row.text, row.delimiters);
        std::vector<std::string> tokens;
        while (scanner.hasToken()) tokens.push_back(scanner.nextToken());
        EXPECT_EQ(tokens, row.tokens);
        EXPECT_EQ(scanner.nextToken(), "");
    }
}

TEST(Scanner, KeywordThenOwnSet) {
    Scanner scanner("model: 1 geo");
    EXPECT_EQ(scanner.nextToken(":\t\r\n"), "model");
    scanner.skip(": \t");
    EXPECT_EQ(scanner.position(), 7u);
    EXPECT_EQ(scanner.nextInt(), 1);
    EXPECT_EQ(scanner.nextToken(), "geo");
    EXPECT_FALSE(scanner.hasMore());
}

TEST(Scanner, NamesMayBeQuoted) {
    const TokenRow rows[] = {
        {"plain tokens", "geo.**** change_coords_only", " \t", {"geo.****", "change_coords_only"}},
        {"quoted with blanks", "  \"my run/geo file.geo\" next", " \t", {"my run/geo file.geo", "next"}},
        {"quote touching the next token", "\"a b\"c", " \t", {"a b", "c"}},
        {"empty quotes", "\"\" x", " \t", {"", "x"}},
        {"quote left open", "\"a b", " \t", {"a b"}},
    };
    for (const TokenRow& row : rows) {
        SCOPED_TRACE(row.name);
        Scanner scanner(row.text, row.delimiters);
        std::vector<std::string> names;
        while (scanner.hasToken()) names.emplace_back(scanner.nextNameView());
        EXPECT_EQ(names, row.tokens);
    }
}

struct NumberRow {
    const char* token;
    bool isInt;
    bool isDouble;
    double value;  // nextDouble
};

TEST(Scanner, NumberTokens) {
    const NumberRow rows[] = {
        {"12", true, true, 12},          {"+7", true, true, 7},
        {"-2147483648", true, true, -2147483648.0},
        {"2147483648", false, true, 2147483648.0},
        {"4294967297", false, true, 4294967297.0},
        {"12abc", false, false, 0},      {"3", true, true, 3},
        {"1.5e-3", false, true, 1.5e-3}, {"1.5x", false, false, 0},
        {"1e", false, false, 0},         {"2.", false, true, 2},
        {".5", false, true, 0.5},        {".", false, false, 0},
        {"-", false, false, 0},          {"+.5E+2", false, true, 50},
        {"inf", false, false, 0},        {"nan", false, false, 0},
        {"0x1p3", false, false, 0},      {"0x10", false, false, 0},
        {"1e39", false, false, 0},       {"-3.5e38", false, false, 0},
        {"3.4e38", false, true, 3.4e38}, {"1e-400", false, true, 0},
        {"0.85", false, true, 0.85},
    };
    for (const NumberRow& row : rows) {
        SCOPED_TRACE(row.token);
        Scanner scanner(row.token);
        EXPECT_EQ(scanner.isIntToken(), row.isInt);
        EXPECT_EQ(scanner.isDoubleToken(), row.isDouble);
        EXPECT_DOUBLE_EQ(scanner.nextDouble(), row.value);
        EXPECT_FALSE(scanner.hasMore());
    }
}

// Wherever both read a plain decimal, the value is strtod's to the last bit.
TEST(Scanner, RealsMatchStrtod) {
    const char* texts[] = {"0.1", "-1.00000e+00", "1.23457E-05", "9007199254740993", "3.14159265358979323846",
                           "123456789012345", "1e22", "1e23", "4.9e-324", "2.2250738585072014e-308", "0.000001",
                           "1e-30", "3.4028234e38", "000123.4500", "-0"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        Scanner scanner(text);
        ASSERT_TRUE(scanner.isDoubleToken());
        const double value = scanner.nextDouble();
        const double expected = std::strtod(text, nullptr);
        EXPECT_EQ(std::memcmp(&value, &expected, sizeof value), 0) << value << " vs " << expected;
    }
}

TEST(Scanner, ConversionsAtThePosition) {
    Scanner scanner("  +42x 1.5e2y 99999999999");
    EXPECT_TRUE(scanner.intFollows());
    EXPECT_EQ(scanner.parseInt(), 42);
    EXPECT_TRUE(scanner.isChar('x'));
    EXPECT_FALSE(scanner.intFollows());
    EXPECT_EQ(scanner.parseInt(), 0);
    EXPECT_EQ(scanner.getChar(), 'x');
    EXPECT_TRUE(scanner.doubleFollows());
    EXPECT_DOUBLE_EQ(scanner.parseDouble(), 150.0);
    EXPECT_EQ(scanner.getChar(), 'y');
    EXPECT_FALSE(scanner.intFollows());  // beyond int32
    EXPECT_EQ(scanner.nextInt(), 0);     // consumed all the same
    EXPECT_FALSE(scanner.hasMore());
}

TEST(Scanner, NextNumberIfWhole) {
    Scanner scanner(" 12 1.5 x7 2147483648");
    int32_t i = -1;
    double d = -1.0;
    EXPECT_FALSE(scanner.nextDoubleIf(d) && scanner.nextIntIf(i));  // consumes "12" as a real
    EXPECT_DOUBLE_EQ(d, 12.0);
    EXPECT_FALSE(scanner.nextIntIf(i));
    EXPECT_EQ(scanner.position(), 3u);
    EXPECT_TRUE(scanner.nextDoubleIf(d));
    EXPECT_DOUBLE_EQ(d, 1.5);
    EXPECT_FALSE(scanner.nextDoubleIf(d));
    EXPECT_EQ(scanner.nextToken(), "x7");
    EXPECT_FALSE(scanner.nextIntIf(i));
    EXPECT_EQ(i, -1);
    EXPECT_TRUE(scanner.nextDoubleIf(d));
    EXPECT_FALSE(scanner.nextDoubleIf(d));
}

TEST(Scanner, NextLine) {
    struct Row {
        const char* name;
        std::string text;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {"CR LF is one line end", "a\r\nb", {"a", "b"}},
        {"LF CR is two", "a\n\rb", {"a", "", "b"}},
        {"no final line end", "a\nb", {"a", "b"}},
        {"final line end", "a\n", {"a"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Scanner scanner(row.text);
        std::vector<std::string> lines;
        while (scanner.hasMore()) lines.push_back(scanner.nextLine());
        EXPECT_EQ(lines, row.lines);
    }
}

TEST(Scanner, SkipPastStaysOnTheLine) {
    Scanner scanner("ab\ncx");
    EXPECT_FALSE(scanner.skipPast("x"));
    EXPECT_EQ(scanner.position(), 0u);
    EXPECT_TRUE(scanner.skipPast("b"));
    EXPECT_EQ(scanner.position(), 2u);
    EXPECT_TRUE(scanner.lineEndFollows());
}

TEST(Scanner, TokenTests) {
    Scanner scanner("  part:name rest", ' ');
    EXPECT_TRUE(scanner.tokenStartsWith("part"));
    EXPECT_TRUE(scanner.tokenEndsWith("part", ':'));
    EXPECT_TRUE(scanner.tokenEndsWith("name"));
    EXPECT_FALSE(scanner.tokenEndsWith("longer than the token part:name"));
    EXPECT_TRUE(scanner.tokenContains("t:n"));
    EXPECT_TRUE(scanner.lookingAt("  part"));
    EXPECT_EQ(scanner.peekToken(), "part:name");
    EXPECT_EQ(scanner.position(), 0u);
    EXPECT_TRUE(scanner.skipTokens(2));
    EXPECT_FALSE(scanner.skipTokens(1));
    EXPECT_TRUE(scanner.skipTokens(0));
}

TEST(Scanner, MarksStayInsideTheText) {
    Scanner scanner("abcdef");
    scanner.nextString(4);
    scanner.pushMark();
    scanner.setText("ab");
    scanner.popMark();
    EXPECT_EQ(scanner.position(), 2u);
    EXPECT_EQ(scanner.getChar(), '\0');
    EXPECT_EQ(scanner.position(), 2u);

    scanner.setText("abcdef");
    scanner.nextString(5);
    scanner.pushMark();
    scanner.setText("xy");
    scanner.nextString(1);
    scanner.cutToMark();
    EXPECT_EQ(scanner.text(), "x");
    EXPECT_EQ(scanner.position(), 1u);

    scanner.popMark();  // empty stack: nothing happens
    scanner.dropMark();
    scanner.cutToMark();
    EXPECT_EQ(scanner.text(), "x");

    scanner.setText("hello world");
    scanner.nextString(2);
    scanner.pushMark();
    scanner.nextString(3);
    scanner.cutToMark();
    EXPECT_EQ(scanner.text(), "he world");
    EXPECT_EQ(scanner.rest(), " world");
}

TEST(Scanner, CopyKeepsPositionAndMarks) {
    Scanner scanner("a b c");
    scanner.nextToken();
    scanner.pushMark();
    Scanner copy = scanner;
    copy.nextToken();
    copy.popMark();
    EXPECT_EQ(copy.position(), 1u);
    EXPECT_EQ(copy.nextToken(), "b");
}

TEST(Scanner, Strings) {
    Scanner scanner("abc");
    EXPECT_EQ(scanner.peekString(5), "abc");
    EXPECT_EQ(scanner.peekString(-1), "");
    EXPECT_EQ(scanner.nextString(2), "ab");
    EXPECT_EQ(scanner.peekChar(), 'c');
    EXPECT_TRUE(scanner.isChar('c'));
    scanner.getChar();
    EXPECT_TRUE(scanner.isChar('\0'));
}

TEST(ScannerFree, SplitFixedWidth) {
    struct Row {
        const char* name;
        std::string text;
        int width;
        std::vector<std::string> pieces;
    };
    const Row rows[] = {
        {"glued reals", " 1.00000E+00-2.00000E+00\n", 12, {" 1.00000E+00", "-2.00000E+00"}},
        {"last piece shorter", "12345", 2, {"12", "34", "5"}},
        {"piece holds the line end", "123\n", 2, {"12", "3\n"}},
        {"empty", "", 10, {}},
        {"width 0", "123", 0, {}},
        {"negative width", "123", -4, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> pieces{"stale"};
        EXPECT_EQ(zelvane::strutil::splitFixedWidth(row.text, pieces, row.width), static_cast<int>(row.pieces.size()));
        EXPECT_EQ(pieces, row.pieces);
    }
}

TEST(Scanner, CommaDecimalLocaleChangesNothing) {
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"};
    const char* installed = nullptr;
    for (const char* name : names) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            installed = name;
            break;
        }
    }
    if (installed == nullptr) GTEST_SKIP() << "no comma-decimal locale installed";
    Scanner scanner("1.5 2,5");
    EXPECT_TRUE(scanner.isDoubleToken());
    EXPECT_DOUBLE_EQ(scanner.nextDouble(), 1.5);
    EXPECT_FALSE(scanner.isDoubleToken());
    std::setlocale(LC_ALL, "C");
}

}  // namespace
