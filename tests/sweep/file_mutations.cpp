#include "file_mutations.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>

namespace sweep {

namespace {

constexpr size_t StringRecord = 80;  // C binary text records are this long
constexpr size_t Word = 4;           // every number in C binary is this long

bool IsBinary(const std::string& content) {
    return std::any_of(content.begin(), content.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b == 0 || b >= 0x7f || (b < 0x20 && b != '\n' && b != '\r' && b != '\t');
    });
}

// ---------------------------------------------------------------- C binary

bool Printable(unsigned char b) { return b >= 0x20 && b < 0x7f; }

// An 80-byte record of text padded with NULs. Two printable bytes first keep
// small little-endian integers (one byte, three NULs) from looking like one.
bool IsStringRecord(const std::string& content, size_t at) {
    if (content.size() - at < StringRecord) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(content.data() + at);
    if (!Printable(p[0]) || p[0] == ' ' || !Printable(p[1])) return false;
    return std::all_of(p, p + StringRecord, [](unsigned char b) { return b == 0 || Printable(b); });
}

std::vector<size_t> StringRecords(const std::string& content) {
    std::vector<size_t> records;
    for (size_t at = 0; content.size() - at >= StringRecord;) {
        if (IsStringRecord(content, at)) {
            records.push_back(at);
            at += StringRecord;
        } else {
            at += Word;
        }
    }
    return records;
}

uint32_t WordAt(const std::string& content, size_t at, bool bigEndian) {
    unsigned char b[Word];
    std::memcpy(b, content.data() + at, Word);
    if (bigEndian) std::reverse(b, b + Word);
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

void PutWord(std::string& content, size_t at, uint32_t value, bool bigEndian) {
    unsigned char b[Word] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                             static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    if (bigEndian) std::reverse(b, b + Word);
    std::memcpy(content.data() + at, b, Word);
}

constexpr uint32_t PlausibleCount = 100000000;

// The words right after a text record are its counts (part number, node or
// element count, block sizes); a count reads small only in the file's order.
bool LooksBigEndian(const std::string& content, const std::vector<size_t>& records) {
    int little = 0, big = 0;
    for (size_t at : records) {
        const size_t word = at + StringRecord;
        if (content.size() - word < Word || IsStringRecord(content, word)) continue;
        little += WordAt(content, word, false) < PlausibleCount;
        big += WordAt(content, word, true) < PlausibleCount;
    }
    return big > little;
}

std::string Cut(const std::string& content, size_t at) { return content.substr(0, at); }

// What a text record or keyword line is, for taking each kind only once or
// twice: its first word in lower case without digits ("part", "coordinates",
// "tria", "block"), so 1379 part descriptions count as few kinds.
std::string KindOf(const std::string& text) {
    std::string kind;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\0' || c == '\r' || c == '\n') {
            if (!kind.empty()) break;
            continue;
        }
        if (c >= '0' && c <= '9') continue;
        kind += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return kind;
}

// How often each kind was met so far. Records of a kind met for the first or
// second time are the ones worth cutting at (a second part boundary leaves a
// valid file with fewer parts); only the first of each kind has its counts changed.
using KindCounter = std::map<std::string, int>;

std::string RecordText(const std::string& content, size_t at) { return content.substr(at, StringRecord); }

// Words after the first record of each kind that hold counts: up to three (block sizes i, j, k).
std::vector<size_t> CountWords(const std::string& content, const std::vector<size_t>& records, bool bigEndian) {
    std::vector<size_t> words;
    KindCounter kinds;
    for (size_t at : records) {
        if (++kinds[KindOf(RecordText(content, at))] > 1) continue;
        for (size_t word = at + StringRecord; word < at + StringRecord + 3 * Word; word += Word) {
            if (content.size() - word < Word || IsStringRecord(content, word)) break;
            if (WordAt(content, word, bigEndian) >= PlausibleCount) break;
            words.push_back(word);
        }
    }
    return words;
}

void AddBinaryCuts(const std::string& content, const std::vector<size_t>& records, std::vector<Mutation>& out) {
    std::set<size_t> points;
    // Inside the first record: a file too short to say what it is.
    if (!records.empty()) points.insert(records.front() + StringRecord / 2);
    KindCounter kinds;
    for (size_t r = 0; r < records.size(); ++r) {
        const size_t at = records[r];
        if (++kinds[KindOf(RecordText(content, at))] > 2) continue;
        points.insert(at);
        points.insert(at + StringRecord);
        points.insert(at + StringRecord + Word);
        // A few points in the numbers up to the next record: one value in,
        // the middle (between values and inside one), the last value.
        const size_t start = at + StringRecord;
        const size_t end = r + 1 < records.size() ? records[r + 1] : content.size();
        if (end > start + 4 * Word) {
            const size_t middle = start + (end - start) / 2 / Word * Word;
            for (size_t point : {start + Word, middle, middle + Word / 2, end - Word}) points.insert(point);
        }
    }
    if (!content.empty()) points.insert(content.size() - 1);
    for (size_t at : points) {
        if (at < content.size()) out.push_back({"cut at byte " + std::to_string(at), Cut(content, at), Promise::SameData});
    }
}

void AddBinaryCountChanges(const std::string& content, const std::vector<size_t>& records, std::vector<Mutation>& out) {
    const bool bigEndian = LooksBigEndian(content, records);
    for (size_t word : CountWords(content, records, bigEndian)) {
        const uint32_t count = WordAt(content, word, bigEndian);
        const std::pair<const char*, uint32_t> changes[] = {
            {"0", 0u},
            {"-1", 0xffffffffu},
            {"2147483647", 0x7fffffffu},
            {"count + 1", count + 1},
            {"count - 1", count - 1},
            {"the other byte order", WordAt(content, word, !bigEndian)},
        };
        for (const auto& [name, value] : changes) {
            if (value == count) continue;
            std::string changed = content;
            PutWord(changed, word, value, bigEndian);
            out.push_back({"count " + std::to_string(count) + " at byte " + std::to_string(word) + " set to " + name,
                           std::move(changed), Promise::Repeatable});
        }
    }
}

// ---------------------------------------------------------------- ASCII

struct Line {
    size_t start;
    size_t end;  // before the line break
};

std::vector<Line> Lines(const std::string& content) {
    std::vector<Line> lines;
    for (size_t start = 0; start < content.size();) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        size_t text = end;
        if (text > start && content[text - 1] == '\r') --text;
        lines.push_back({start, text});
        start = end + 1;
    }
    return lines;
}

// A keyword or description line rather than a line of numbers.
bool IsKeywordLine(const std::string& content, const Line& line) {
    const size_t first = content.find_first_not_of(" \t", line.start);
    if (first == std::string::npos || first >= line.end) return false;
    const char c = content[first];
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The first whole integer token in [from, line end): its place and value.
bool FirstInteger(const std::string& content, const Line& line, size_t from, size_t& begin, size_t& end, long long& value) {
    size_t at = from;
    while (at < line.end) {
        const size_t tokenStart = content.find_first_not_of(" \t", at);
        if (tokenStart == std::string::npos || tokenStart >= line.end) return false;
        size_t tokenEnd = content.find_first_of(" \t", tokenStart);
        if (tokenEnd == std::string::npos || tokenEnd > line.end) tokenEnd = line.end;
        const std::string token = content.substr(tokenStart, tokenEnd - tokenStart);
        const bool integer = token.size() < 18 && token.find_first_not_of("-0123456789") == std::string::npos &&
                             token.find_first_of("0123456789") != std::string::npos && token.find('-', 1) == std::string::npos;
        if (integer) {
            begin = tokenStart;
            end = tokenEnd;
            value = std::stoll(token);
            return true;
        }
        at = tokenEnd;
    }
    return false;
}

std::string LineText(const std::string& content, const Line& line) { return content.substr(line.start, line.end - line.start); }

void AddTextCuts(const std::string& content, const std::vector<Line>& lines, bool isCaseFile, std::vector<Mutation>& out) {
    std::set<size_t> atLineStart, insideToken;
    KindCounter kinds;
    bool sampleNumbers = false;  // the numbers after a keyword line met for the first time
    for (size_t i = 0; i < lines.size(); ++i) {
        if (isCaseFile || IsKeywordLine(content, lines[i])) {
            const int seen = isCaseFile ? 1 : ++kinds[KindOf(LineText(content, lines[i]))];
            sampleNumbers = seen == 1;
            if (seen > 2) continue;
            atLineStart.insert(lines[i].start);
            if (i + 1 < lines.size()) atLineStart.insert(lines[i + 1].start);
            if (seen == 1 && lines[i].end - lines[i].start > 3) {
                insideToken.insert(lines[i].start + (lines[i].end - lines[i].start) / 2);
            }
            continue;
        }
        // A run of number lines: a cut before its middle line and before its last.
        size_t last = i;
        while (last + 1 < lines.size() && !IsKeywordLine(content, lines[last + 1])) ++last;
        if (sampleNumbers && last - i >= 2) {
            atLineStart.insert(lines[i + (last - i) / 2].start);
            atLineStart.insert(lines[last].start);
            insideToken.insert(lines[last].start + (lines[last].end - lines[last].start) / 2);
        }
        i = last;
    }
    atLineStart.insert(0);
    for (size_t at : atLineStart) {
        if (at < content.size()) out.push_back({"cut before the line at byte " + std::to_string(at), Cut(content, at), Promise::SameData});
    }
    for (size_t at : insideToken) {
        if (at < content.size() && !atLineStart.count(at)) {
            out.push_back({"cut inside the line at byte " + std::to_string(at), Cut(content, at), Promise::CleanEnd});
        }
    }
    // Without its last byte: a final line break lost changes nothing, a digit lost changes a value.
    if (!content.empty() && !atLineStart.count(content.size() - 1)) {
        const bool lineBreak = content.back() == '\n';
        out.push_back({"last byte cut", Cut(content, content.size() - 1), lineBreak ? Promise::SameData : Promise::CleanEnd});
    }
}

// Integers on the line after a keyword (counts, part numbers, block sizes) and,
// in a case file, the first integer after each colon (time and file sets, steps).
void AddTextCountChanges(const std::string& content, const std::vector<Line>& lines, bool isCaseFile, std::vector<Mutation>& out) {
    KindCounter kinds;
    for (size_t i = 0; i < lines.size(); ++i) {
        size_t from = lines[i].start;
        if (isCaseFile) {
            const size_t colon = content.find(':', lines[i].start);
            if (colon == std::string::npos || colon >= lines[i].end) continue;
            from = colon + 1;
        } else if (i == 0 || !IsKeywordLine(content, lines[i - 1]) || IsKeywordLine(content, lines[i]) ||
                   ++kinds[KindOf(LineText(content, lines[i - 1]))] > 1) {
            continue;
        }
        size_t begin = 0, end = 0;
        long long count = 0;
        if (!FirstInteger(content, lines[i], from, begin, end, count)) continue;
        const std::set<std::string> changes = {"0", "-1", "2147483647", "99999999999", std::to_string(count + 1),
                                               std::to_string(count - 1)};
        for (const std::string& value : changes) {
            if (value == std::to_string(count)) continue;
            std::string changed = content;
            changed.replace(begin, end - begin, value);
            out.push_back({"count " + std::to_string(count) + " at byte " + std::to_string(begin) + " set to " + value,
                           std::move(changed), Promise::Repeatable});
        }
    }
}

}  // namespace

std::string LayoutSignature(const std::string& content) {
    std::string signature = std::to_string(content.size());
    if (IsBinary(content)) {
        for (size_t at : StringRecords(content)) signature += " " + std::to_string(at);
    } else {
        const std::vector<Line> lines = Lines(content);
        for (size_t i = 0; i < lines.size(); ++i) {
            if (IsKeywordLine(content, lines[i])) signature += " " + std::to_string(i);
        }
    }
    return signature;
}

std::vector<Mutation> MutateFile(const std::string& content, bool isCaseFile) {
    std::vector<Mutation> out;
    if (!isCaseFile && IsBinary(content)) {
        const std::vector<size_t> records = StringRecords(content);
        AddBinaryCuts(content, records, out);
        AddBinaryCountChanges(content, records, out);
    } else {
        const std::vector<Line> lines = Lines(content);
        AddTextCuts(content, lines, isCaseFile, out);
        AddTextCountChanges(content, lines, isCaseFile, out);
    }
    return out;
}

}  // namespace sweep
