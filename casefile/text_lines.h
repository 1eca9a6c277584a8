// Whole lines of a text file, however long, up to a cap.
#pragma once

#include <cstdio>
#include <functional>
#include <string_view>
#include <vector>

#include "casefile/regular_file.h"

namespace quorix {

// The longest line any text the add-on reads may hold. Real lines stay far
// below it (polygons of thousands of nodes take some 100 KiB); a longer one is
// garbage or a binary file read as text, refused rather than read into memory.
inline constexpr size_t MaxLineLength = size_t{16} << 20;

class TextLines {
public:

    enum class Status {
        Line,     // `line` holds the next line, its line end kept
        End,      // no more lines
        Error,    // the file could not be read
        TooLong,  // the next line exceeds MaxLineLength
    };

    TextLines() = default;
    TextLines(const TextLines&) = delete;
    TextLines& operator=(const TextLines&) = delete;
    ~TextLines() { Close(); }

    // False when the file cannot be opened, with `failure` telling why when given.
    bool Open(const char* path, OpenFailure* failure = nullptr);
    void Close();
    // Back to the first line, so that a file opened once is read again; false when it cannot be.
    bool Rewind();
    // `line` stays valid until the next call; the last line may lack its line end.
    Status Next(std::string_view& line);

private:
    bool Refill();

    std::FILE* file_ = nullptr;
    std::vector<char> buffer_;
    size_t begin_ = 0;  // first unread character
    size_t end_ = 0;    // one past the last character read from the file
    bool atEnd_ = false;
    bool failed_ = false;
};

// Every line of the file (line end kept) to `onLine` until it returns false,
// which ends the walk with false. A file that cannot be opened or read, or a
// line above the cap, is shown with the file's name and gives false.
bool ForEachTextLine(const char* path, const std::function<bool(std::string_view)>& onLine);
// The same over the lines of a file opened as `path`, from where it stands.
bool ForEachTextLine(TextLines& lines, const char* path, const std::function<bool(std::string_view)>& onLine);

// `text` without the blanks, tabs, line ends, vertical tabs and form feeds
// around it: a line of only these is empty.
std::string_view TrimBlanks(std::string_view text);

}  // namespace quorix
