#include "ensight6/ascii_value_reader.h"

#include <algorithm>

#include "ensight6/text_fields.h"

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

bool AsciiValueReader::ReadValues(float* values, int64_t count, int perLine) {
    std::string_view line;
    for (int64_t done = 0; done < count;) {
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
