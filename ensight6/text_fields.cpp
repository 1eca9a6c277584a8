#include "ensight6/text_fields.h"

#include "gold/ascii_fields.h"
#include "gold/ensight_reader.h"

#include <algorithm>
#include <cstring>

namespace quorix {
namespace {

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

}  // namespace

std::string_view CutLineEnd(std::string_view line) {
    while (!line.empty() && IsLineEnd(line.back())) line.remove_suffix(1);
    return line;
}

bool LeadingInt32(std::string_view line, int32_t& value) { return ParseInt32Token(nextToken(line), value); }

int ParseFixedWidthValues(std::string_view line, float* values, int maxCount) {
    int64_t count = ConvertRealLine(line, values, maxCount);
    return count < 0 ? -1 : static_cast<int>(std::min<int64_t>(count, maxCount + 1));
}

bool ParseValueLine(std::string_view line, float* values, int count) {
    return ParseFixedWidthValues(line, values, count) == count || ConvertRealTokens(line, values, count) == count;
}

namespace {

// A line of 8-digit numbers is one token to the converter; its fields are exact.
bool TouchingIntegers(std::string_view line, int32_t* values, int count) {
    std::string_view data = CutLineEnd(line);
    if (count < 1 || data.size() != static_cast<size_t>(count) * Ensight6IntWidth) return false;
    for (int i = 0; i < count; ++i) {
        const char* first = data.data() + static_cast<size_t>(i) * Ensight6IntWidth;
        if (ParseFixedInt32Field(first, first + Ensight6IntWidth, values[i]).status != FieldStatus::Full) return false;
    }
    return true;
}

}  // namespace

// Fixed fields first: they alone tell touching numbers apart. Tabs and wider
// fields (10-wide ids) leave blank fields or too many of them, which the
// exact count catches; then the tokens are the line's numbers.
bool ParseIntegerLine(std::string_view line, int32_t* values, int count) {
    return ConvertIntLine(line, Ensight6IntWidth, values, count) == count || TouchingIntegers(line, values, count) ||
           ConvertIntTokens(line, values, count) == count;
}

bool CoordinateField(std::string_view line, int index, bool hasId, float& value) {
    if (index < 0 || index > 2) return false;
    const char* p = line.data();
    const char* last = p + line.size();
    if (hasId) {
        p = SkipFieldBlanks(p, last);
        while (p < last && !IsFieldBlank(*p) && *p != '-' && !IsLineEnd(*p)) ++p;
    }
    float xyz[3];
    if (!ParseValueLine(std::string_view(p, static_cast<size_t>(last - p)), xyz, 3)) return false;
    value = xyz[index];
    return true;
}

IdOption IdOptionFromLine(std::string_view line) {
    std::string_view rest = line;
    nextToken(rest);
    nextToken(rest);
    std::string_view word = nextToken(rest);
    if (word.empty()) return IdUnknown;
    return IdOptionFromName(word);
}

bool ReadPartLine(std::string_view line, int32_t& partNumber) {
    std::string_view rest = line;
    if (!EqualsIgnoreCase(nextToken(rest), "part")) return false;
    return ParseInt32Token(nextToken(rest), partNumber);
}

bool ReadStringRecord(File_a& file, std::string& text) {
    char record[StringRecordBytes];
    if (!file.ReadBytes(record, StringRecordBytes)) return false;
    text = StringRecordText(record, StringRecordBytes);
    return true;
}

}  // namespace quorix
