// The number rules differ on purpose between free text, whole tokens and
// fixed-width fields (blanks, an all-blank field, what may follow): each row
// says which rule a form meets.
#include "casefile/text_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace quorix {
namespace {

template <class T>
struct FreeRow {
    const char* text;
    bool ok;
    T value;
    size_t used;  // characters the number takes, blanks before it included
};
using IntRow = FreeRow<int32_t>;

template <class Result, class T, size_t N>
void ExpectFree(const FreeRow<T> (&rows)[N], Result (*parse)(const char*, const char*)) {
    for (const FreeRow<T>& row : rows) {
        SCOPED_TRACE(row.text);
        const char* first = row.text;
        const Result number = parse(first, first + std::strlen(first));
        ASSERT_EQ(number.ok, row.ok);
        EXPECT_EQ(number.value, row.value);
        EXPECT_EQ(number.end, first + row.used);
    }
}

TEST(TextNumber, FreeTextIntegers) {
    const IntRow rows[] = {
        {" +42", true, 42, 4},         {"\v\f\r\n\t 7", true, 7, 7}, {"12abc", true, 12, 2},
        {"-0", true, 0, 2},            {"2147483647", true, 2147483647, 10},
        {"-2147483648", true, INT32_MIN, 11},
        {"2147483648", false, 0, 0},   {"-2147483649", false, 0, 0}, {"99999999999999999999", false, 0, 0},
        {"", false, 0, 0},             {"   ", false, 0, 0},          {"-", false, 0, 0},
        {"+-5", false, 0, 0},          {"x1", false, 0, 0},          {"\xA0" "5", false, 0, 0},
    };
    ExpectFree(rows, ParseInt32);
}

TEST(TextNumber, WholeTokenIntegers) {
    const IntRow rows[] = {
        {"+7", true, 7, 0},   {"-3", true, -3, 0},   {"007", true, 7, 0},  {"-2147483648", true, INT32_MIN, 0},
        {" 7", false, 0, 0},  {"7 ", false, 0, 0},   {"12abc", false, 0, 0}, {"+-5", false, 0, 0},
        {"", false, 0, 0},    {"2147483648", false, 0, 0},
    };
    for (const IntRow& row : rows) {
        SCOPED_TRACE(row.text);
        int32_t value = -99;
        ASSERT_EQ(ParseInt32Token(row.text, value), row.ok);
        EXPECT_EQ(value, row.ok ? row.value : -99);
    }
}

template <class T>
struct FieldRow {
    const char* text;
    FieldStatus status;
    T value;
};

template <class T, size_t N>
void ExpectFields(const FieldRow<T> (&rows)[N], FieldResult (*parse)(const char*, const char*, T&)) {
    for (const FieldRow<T>& row : rows) {
        SCOPED_TRACE(row.text);
        T value = T(-99);
        EXPECT_EQ(parse(row.text, row.text + std::strlen(row.text), value).status, row.status);
        EXPECT_EQ(value, row.value);
    }
}

TEST(TextNumber, FixedIntegerFields) {
    const FieldRow<int32_t> rows[] = {
        {"", FieldStatus::Full, 0},           {"          ", FieldStatus::Full, 0},
        {" \t12 \t", FieldStatus::Full, 12},  {"  -12", FieldStatus::Full, -12},
        {"+5", FieldStatus::Full, 5},         {"-2147483648", FieldStatus::Full, INT32_MIN},
        {"12a", FieldStatus::Partial, 12},    {"1 2", FieldStatus::Partial, 1},
        {"\v12", FieldStatus::Partial, 0},    {"  -  ", FieldStatus::Partial, 0},
        {"1.5", FieldStatus::Partial, 1},     {"9999999999", FieldStatus::OutOfRange, 0},
        {"2147483648", FieldStatus::OutOfRange, 0},
    };
    ExpectFields(rows, ParseFixedInt32Field);
}

TEST(TextNumber, FreeTextReals) {
    const FreeRow<double> rows[] = {
        {"-1.5e-3", true, -1.5e-3, 7},  {"2.", true, 2.0, 2},        {".5", true, 0.5, 2},
        {"1.0e+05", true, 1e5, 7},      {"1.0E5", true, 1e5, 5},     {"1.0-05", true, 1.0, 3},
        {"1e", true, 1.0, 1},           {"1e+", true, 1.0, 1},       {" \v+3", true, 3.0, 4},
        {"0x1p3", true, 0.0, 1},        {"1e-400", true, 0.0, 6},    {"3.4e38", true, 3.4e38, 6},
        {"1e39", false, 0.0, 0},        {"inf", false, 0.0, 0},      {"nan", false, 0.0, 0},
        {".", false, 0.0, 0},           {"   ", false, 0.0, 0},      {"", false, 0.0, 0},
    };
    ExpectFree(rows, ParseReal);
}

TEST(TextNumber, FixedRealFields) {
    const FieldRow<float> rows[] = {
        {"            ", FieldStatus::Full, 0.0f},   {"-1.00000e+00", FieldStatus::Full, -1.0f},
        {" 1.0E5 ", FieldStatus::Full, 1e5f},        {"1.0e+05", FieldStatus::Full, 1e5f},
        {"+.5", FieldStatus::Full, 0.5f},            {"2.", FieldStatus::Full, 2.0f},
        {"1e-50", FieldStatus::Full, 0.0f},          {"inf", FieldStatus::Full, INFINITY},
        {"1.0-05", FieldStatus::Partial, 1.0f},      {"x", FieldStatus::Partial, 0.0f},
        {"\v1.0", FieldStatus::Partial, 0.0f},       {"1e39", FieldStatus::OutOfRange, 0.0f},
    };
    ExpectFields(rows, ParseFixedRealField);
    float value = 0.0f;
    const std::string_view nan = "nan";
    EXPECT_EQ(ParseFixedRealField(nan.data(), nan.data() + nan.size(), value).status, FieldStatus::Full);
    EXPECT_TRUE(std::isnan(value));
}

}  // namespace
}  // namespace quorix
