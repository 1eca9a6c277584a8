#include "ensight6/ascii_value_reader.h"

#include <algorithm>
#include <type_traits>

#include "casefile/text_lines.h"
#include "ensight6/text_fields.h"
#include "gold/ascii_fields.h"
#include "gold/skip_far_lines.h"

namespace quorix {

bool AsciiValueReader::ReadLine(std::string& line) { return file_.ReadWholeLine(line, MaxLineLength); }

// Lines of values are converted where they lie in the file's buffer.
bool AsciiValueReader::NextDataLine(std::string_view& line) { return file_.NextLine(line, MaxLineLength); }

namespace {
size_t PlainLines(std::string_view text, float* out, int64_t capacity, int64_t& values) {
    return ConvertPlainRealLines(text, out, capacity, values);
}
size_t PlainLines(std::string_view text, int32_t* out, int64_t capacity, int64_t& values) {
    return ConvertPlainIntLines(text, Ensight6IntWidth, out, capacity, values);
}

// The line rules: every line holds `want` values.
bool ParsedLine(std::string_view line, float* values, int want) { return ParseValueLine(line, values, want); }
bool ParsedLine(std::string_view line, int32_t* values, int want) { return ParseIntegerLine(line, values, want); }
}  // namespace

// Up to `lines` whole lines of `perLine` plain fields at the file's position,
// converted where they lie in its buffer (see ConvertPlainRealLines); the
// values taken. The run is cut where the line length changes: a line of
// other plain fields must meet the line rules, which want `perLine` of them.
template <class T>
int64_t AsciiValueReader::ReadPlainLines(T* values, int64_t lines, int perLine) {
    constexpr size_t width = std::is_same_v<T, float> ? RealWidth : Ensight6IntWidth;
    const std::string_view text = file_.BufferedLines();
    const size_t length = text.find('\n') + 1;  // of the first line, its end included
    if (length == 0 || CutLineEnd(text.substr(0, length)).size() != width * perLine) return 0;
    const size_t most = std::min<size_t>(static_cast<size_t>(lines), text.size() / length);
    size_t same = 1;
    while (same < most && text[(same + 1) * length - 1] == '\n' && text[(same + 1) * length - 2] == text[length - 2])
        ++same;
    int64_t n = 0;
    file_.Consume(PlainLines(text.substr(0, same * length), values, static_cast<int64_t>(same) * perLine, n));
    return n;
}

// Runs of plain lines where they lie; any other line by the line rules.
template <class T>
bool AsciiValueReader::ReadNumbers(T* values, int64_t count, int perLine) {
    std::string_view line;
    for (int64_t done = 0; done < count;) {
        if (count - done >= perLine) {
            const int64_t n = ReadPlainLines(values + done, (count - done) / perLine, perLine);
            done += n;
            if (n > 0) continue;
        }
        const int want = static_cast<int>(std::min<int64_t>(perLine, count - done));
        if (!NextDataLine(line) || !ParsedLine(line, values + done, want)) return false;
        done += want;
    }
    return true;
}

bool AsciiValueReader::ReadValues(float* values, int64_t count, int perLine) {
    return ReadNumbers(values, count, perLine);
}

bool AsciiValueReader::ReadIntegers(int32_t* values, int64_t count, int perLine) {
    return ReadNumbers(values, count, perLine);
}

bool AsciiValueReader::ReadColumn(float* values, int64_t count, int perLine, int column) {
    constexpr int MostPerLine = 6;
    if (perLine < 1 || perLine > MostPerLine || column < 0 || column >= perLine) return false;
    float line[MostPerLine];
    for (int64_t done = 0; done < count;) {
        int64_t n = 0;
        file_.Consume(ConvertPlainRealColumn(file_.BufferedLines(), perLine, column, values + done, count - done, n));
        done += n;
        if (n > 0) continue;
        if (!ReadValues(line, perLine, perLine)) return false;
        values[done++] = line[column];
    }
    return true;
}

bool AsciiValueReader::SkipValues(int64_t count, int perLine) {
    return SkipFarLines(file_, (count + perLine - 1) / perLine);
}

bool AsciiValueReader::SkipToNextPart() {
    for (;;) {
        int64_t start = file_.Tell();
        if (!ReadLine(line_)) return true;
        std::string_view rest = line_;
        if (EqualsIgnoreCase(nextToken(rest), "part") || IsBeginStep(line_) || IsEndStep(line_)) {
            return file_.Seek(start, 0);
        }
    }
}

}  // namespace quorix
