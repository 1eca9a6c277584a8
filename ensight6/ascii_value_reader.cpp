#include "ensight6/ascii_value_reader.h"

#include <algorithm>
#include <type_traits>

#include "ensight6/text_fields.h"
#include "gold/ascii_fields.h"

namespace quorix {
namespace {
constexpr size_t MaxLineLength = 1 << 20;
}

bool AsciiValueReader::ReadLine(std::string& line) {
    if (!file_.ReadWholeLine(line, MaxLineLength)) return false;
    ++lineNumber_;
    return true;
}

// Lines of values are converted where they lie in the file's buffer.
bool AsciiValueReader::NextDataLine(std::string_view& line) {
    if (!file_.NextLine(line, MaxLineLength)) return false;
    ++lineNumber_;
    return true;
}

namespace {
size_t PlainLines(std::string_view text, float* out, int64_t capacity, int64_t& values) {
    return ConvertPlainRealLines(text, out, capacity, values);
}
size_t PlainLines(std::string_view text, int32_t* out, int64_t capacity, int64_t& values) {
    return ConvertPlainIntLines(text, Ensight6IntWidth, out, capacity, values);
}
}  // namespace

// The whole lines of `perLine` plain fields at the file's position, converted
// where they lie in its buffer (see ConvertPlainRealLines); the values taken.
template <class T>
int64_t AsciiValueReader::ReadPlainLines(T* values, int64_t lines, int perLine) {
    constexpr size_t width = std::is_same_v<T, float> ? RealWidth : Ensight6IntWidth;
    const std::string_view text = file_.BufferedLines();
    const size_t end = text.find('\n');
    if (end == std::string_view::npos || CutLineEnd(text.substr(0, end + 1)).size() != width * perLine) return 0;
    int64_t n = 0;
    file_.Consume(PlainLines(text, values, lines * perLine, n));
    lineNumber_ += n / perLine;
    return n;
}

bool AsciiValueReader::ReadValues(float* values, int64_t count, int perLine) {
    std::string_view line;
    for (int64_t done = 0; done < count;) {
        if (count - done >= perLine) {
            const int64_t n = ReadPlainLines(values + done, (count - done) / perLine, perLine);
            done += n;
            if (n > 0) continue;
        }
        int want = static_cast<int>(std::min<int64_t>(perLine, count - done));
        if (!NextDataLine(line)) return false;
        if (ParseFixedWidthValues(line, values + done, want) != want) return false;
        done += want;
    }
    return true;
}

bool AsciiValueReader::ReadIntegers(int32_t* values, int64_t count, int perLine) {
    std::string_view line;
    for (int64_t done = 0; done < count;) {
        if (count - done >= perLine) {
            const int64_t n = ReadPlainLines(values + done, (count - done) / perLine, perLine);
            done += n;
            if (n > 0) continue;
        }
        int want = static_cast<int>(std::min<int64_t>(perLine, count - done));
        if (!NextDataLine(line)) return false;
        if (!ParseIntegerLine(line, values + done, want)) return false;
        done += want;
    }
    return true;
}

bool AsciiValueReader::SkipValues(int64_t count, int perLine) {
    int64_t lines = (count + perLine - 1) / perLine;
    if (!file_.SkipLines(lines)) return false;
    lineNumber_ += lines;
    return true;
}

bool AsciiValueReader::SkipToNextPart() {
    for (;;) {
        int64_t start = file_.Tell();
        if (!ReadLine(line_)) return true;
        std::string_view rest = line_;
        if (EqualsIgnoreCase(NextToken(rest), "part") || IsBeginStep(line_) || IsEndStep(line_)) {
            --lineNumber_;
            return file_.Seek(start, 0);
        }
    }
}

}  // namespace quorix
