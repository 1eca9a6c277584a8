#include "casefile/text_lines.h"

#include <algorithm>
#include <cstring>

#include "casefile/show_error.h"

namespace quorix {
namespace {

// Case files and their side files are small; long lines grow the buffer on demand.
constexpr size_t InitialCapacity = size_t{64} << 10;

}  // namespace

bool TextLines::Open(const char* path, OpenFailure* failure) {
    Close();
    if (failure != nullptr) *failure = OpenFailure::CannotOpen;
    if (path == nullptr) return false;
    file_ = OpenRegularStream(path, failure);
    if (file_ == nullptr) return false;
    buffer_.resize(InitialCapacity);
    begin_ = end_ = 0;
    atEnd_ = failed_ = false;
    return true;
}

void TextLines::Close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
}

bool TextLines::Rewind() {
    if (file_ == nullptr || std::fseek(file_, 0, SEEK_SET) != 0) return false;
    begin_ = end_ = 0;
    atEnd_ = failed_ = false;
    return true;
}

bool TextLines::Refill() {
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (end_ == buffer_.size()) buffer_.resize(std::min(buffer_.size() * 2, MaxLineLength + InitialCapacity));
    const size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
    end_ += got;
    if (got == 0) {
        failed_ = std::ferror(file_) != 0;
        atEnd_ = true;
    }
    return got > 0;
}

TextLines::Status TextLines::Next(std::string_view& line) {
    if (file_ == nullptr) return Status::Error;
    size_t scanned = 0;  // characters of the pending line known to hold no line end
    for (;;) {
        const char* start = buffer_.data() + begin_;
        const size_t pending = end_ - begin_;
        if (const void* hit = std::memchr(start + scanned, '\n', pending - scanned)) {
            const size_t length = static_cast<size_t>(static_cast<const char*>(hit) - start) + 1;
            if (length > MaxLineLength) return Status::TooLong;
            line = std::string_view(start, length);
            begin_ += length;
            return Status::Line;
        }
        scanned = pending;
        if (pending > MaxLineLength) return Status::TooLong;
        if (atEnd_ || !Refill()) {
            if (failed_) return Status::Error;
            if (end_ == begin_) return Status::End;
            line = std::string_view(buffer_.data() + begin_, end_ - begin_);
            begin_ = end_;
            return Status::Line;
        }
    }
}

bool ForEachTextLine(const char* path, const std::function<bool(std::string_view)>& onLine) {
    TextLines lines;
    OpenFailure failure = OpenFailure::None;
    if (!lines.Open(path, &failure)) {
        ShowError(CouldNotOpenText(path, failure));
        return false;
    }
    return ForEachTextLine(lines, path, onLine);
}

bool ForEachTextLine(TextLines& lines, const char* path, const std::function<bool(std::string_view)>& onLine) {
    std::string_view line;
    for (;;) {
        switch (lines.Next(line)) {
            case TextLines::Status::Line:
                if (!onLine(line)) return false;
                break;
            case TextLines::Status::End:
                return true;
            case TextLines::Status::Error:
                ShowError("Could not read the file %s.", path);
                return false;
            case TextLines::Status::TooLong:
                ShowError("A line of the file %s is longer than 16 MiB. Aborting read.", path);
                return false;
        }
    }
}

std::string_view TrimBlanks(std::string_view text) {
    constexpr std::string_view blanks = " \t\n\v\f\r";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace quorix
