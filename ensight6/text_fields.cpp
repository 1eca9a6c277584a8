#include "ensight6/text_fields.h"

#include <charconv>
#include <cstring>
#include <limits>

namespace quorix {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

const char* SkipBlanks(const char* p, const char* last) {
    while (p < last && IsBlank(*p)) ++p;
    return p;
}

bool ParseInt32Fields(std::string_view line, int32_t* values, int count, int width) {
    if (static_cast<int64_t>(line.size()) < static_cast<int64_t>(count) * width) return false;
    for (int i = 0; i < count; ++i) {
        std::string_view field = line.substr(static_cast<size_t>(i) * width, width);
        std::string_view rest = field;
        std::string_view token = NextToken(rest);
        if (!NextToken(rest).empty() || !ParseInt32Token(token, values[i])) return false;
    }
    return true;
}

}  // namespace

std::string_view CutLineEnd(std::string_view line) {
    while (!line.empty() && IsLineEnd(line.back())) line.remove_suffix(1);
    return line;
}

std::string_view NextToken(std::string_view& rest, std::string_view delimiters) {
    size_t start = rest.find_first_not_of(delimiters);
    if (start == std::string_view::npos) {
        rest = {};
        return {};
    }
    size_t end = rest.find_first_of(delimiters, start);
    if (end == std::string_view::npos) end = rest.size();
    std::string_view token = rest.substr(start, end - start);
    rest.remove_prefix(end);
    return token;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[i]) != Lower(prefix[i])) return false;
    return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) { return a.size() == b.size() && StartsWithNoCase(a, b); }

bool ParseInt32Token(std::string_view token, int32_t& value) {
    if (!token.empty() && token.front() == '+') token.remove_prefix(1);
    if (token.empty()) return false;
    int64_t wide = 0;
    auto [ptr, ec] = std::from_chars(token.data(), token.data() + token.size(), wide);
    if (ec != std::errc() || ptr != token.data() + token.size()) return false;
    if (wide < std::numeric_limits<int32_t>::min() || wide > std::numeric_limits<int32_t>::max()) return false;
    value = static_cast<int32_t>(wide);
    return true;
}

bool LeadingInt32(std::string_view line, int32_t& value) { return ParseInt32Token(NextToken(line), value); }

const char* ParseReal(const char* first, const char* last, float& value) {
    const char* p = first;
    if (p < last && *p == '+') ++p;
    // from_chars would take "inf" and "nan"; EnSight writes plain decimals only
    const char* q = (p < last && *p == '-') ? p + 1 : p;
    if (q >= last || !(IsDigit(*q) || *q == '.')) return nullptr;
    auto [ptr, ec] = std::from_chars(p, last, value);
    if (ec == std::errc::result_out_of_range) return nullptr;
    if (ec != std::errc()) return nullptr;
    return ptr;
}

int ParseFixedWidthValues(std::string_view line, float* values, int maxCount) {
    const char* p = line.data();
    const char* last = p + line.size();
    int count = 0;
    while (count < maxCount) {
        p = SkipBlanks(p, last);
        if (p == last || IsLineEnd(*p)) break;
        const char* end = ParseReal(p, last, values[count]);
        if (end == nullptr) return -1;
        p = end;
        ++count;
    }
    return count;
}

bool ParseIntegerLine(std::string_view line, int32_t* values, int count) {
    line = CutLineEnd(line);
    std::string_view rest = line;
    int i = 0;
    for (; i < count; ++i) {
        std::string_view token = NextToken(rest);
        if (token.empty() || !ParseInt32Token(token, values[i])) break;
    }
    if (i == count && NextToken(rest).empty()) return true;
    // 8-digit numbers fill their 8-wide fields and touch
    size_t start = line.find_first_not_of(WhitespaceSet);
    if (start == std::string_view::npos) return false;
    size_t width = 8;
    size_t lead = line.size() > static_cast<size_t>(count) * width ? line.size() - static_cast<size_t>(count) * width : 0;
    if (lead > start) return false;
    return ParseInt32Fields(line.substr(lead), values, count, static_cast<int>(width));
}

bool CoordinateField(std::string_view line, int index, bool hasId, float& value) {
    const char* p = line.data();
    const char* last = p + line.size();
    if (hasId) {
        p = SkipBlanks(p, last);
        while (p < last && !IsBlank(*p) && *p != '-' && !IsLineEnd(*p)) ++p;
    }
    for (int i = 0; i <= index; ++i) {
        p = SkipBlanks(p, last);
        if (p == last || IsLineEnd(*p)) return false;
        p = ParseReal(p, last, value);
        if (p == nullptr) return false;
    }
    return true;
}

IdOption IdOptionFromLine(std::string_view line) {
    std::string_view rest = line;
    NextToken(rest);
    NextToken(rest);
    std::string_view word = NextToken(rest);
    if (word.empty()) return IdUnknown;
    return IdOptionFromName(word);
}

bool ReadPartLine(std::string_view line, int32_t& partNumber) {
    std::string_view rest = line;
    if (!EqualsNoCase(NextToken(rest), "part")) return false;
    return ParseInt32Token(NextToken(rest), partNumber);
}

std::string RecordText(const char* bytes, size_t size) {
    size_t n = 0;
    while (n < size && bytes[n] != '\0') ++n;
    while (n > 0 && (IsBlank(bytes[n - 1]) || IsLineEnd(bytes[n - 1]))) --n;
    return std::string(bytes, n);
}

}  // namespace quorix
