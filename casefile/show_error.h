// Messages of the case description go to the user through the host.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "casefile/regular_file.h"

namespace quorix {

void ShowError(std::string_view message);
// `pattern` holds one "%s" (or none), replaced by `value`.
void ShowError(std::string_view pattern, std::string_view value);
// `pattern` holds one "%d", replaced by `value`.
void ShowError(std::string_view pattern, int64_t value);

// A message box of kind information, under the host lock: what a load that
// goes on leaves out.
void ShowInformation(const std::string& message);

// Where a read stopped: the position after the last byte it read. Text files
// are counted for the line when the place is shown, from the file's start
// (a reader may have begun at a later step).
struct ReadPlace {
    std::string path;
    int64_t offset = -1;  // unknown when negative
    bool text = false;    // told as a line number rather than a byte offset
    bool known() const { return !path.empty() && offset >= 0; }
};

// What a reader that failed leaves: the message, where it happened and, for a
// file that did not open, why. Every reader reports through this one type.
struct Failure {
    std::string text;
    ReadPlace place;
    OpenFailure open = OpenFailure::None;
    // False, so that a reader's failures read `return failure.Set(...)`.
    bool Set(std::string what, ReadPlace where = {}) {
        text = std::move(what);
        place = std::move(where);
        open = OpenFailure::None;
        return false;
    }
};

// "File PATH, line L" or "File PATH, byte N", then ": what" when given.
// Text files are counted for the line only here, when an error is shown.
std::string PlaceText(const ReadPlace& place, std::string_view what = {});
std::string LinePlaceText(std::string_view path, int64_t line, std::string_view what = {});
// Shows PlaceText as its own message; nothing when the place is unknown.
void ShowErrorPlace(const ReadPlace& place, std::string_view what = {});

}  // namespace quorix
