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
