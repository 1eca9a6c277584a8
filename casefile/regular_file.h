// Every file the add-on reads is opened here, and only a regular file (or a
// symlink to one) opens: a FIFO would hold the open until a writer came, and a
// device or socket never ends or never answers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace quorix {

enum class OpenFailure {
    None,
    CannotOpen,  // missing, unreadable, ...
    NotRegular,  // a FIFO, socket, device or directory
};

struct OpenedFile {
    int fd = -1;  // -1 when `failure` tells why not
    int64_t size = 0;
    OpenFailure failure = OpenFailure::None;
};

// Opens `path` for blocking reads, closed on exec.
OpenedFile OpenRegularFile(const char* path);
// The same as a stdio stream; null on failure, with `failure` set when given.
std::FILE* OpenRegularStream(const char* path, OpenFailure* failure = nullptr);
// Opens and closes at once: why `path` could not be read, or None.
OpenFailure TryOpenRegularFile(const char* path);

// ": not a regular file" after a message when that was why the file did not open; empty otherwise.
std::string_view OpenFailureNote(OpenFailure failure);
// "Could not open the file PATH.  Check file path and permissions.", or why not when that is known.
std::string CouldNotOpenText(std::string_view path, OpenFailure failure);

}  // namespace quorix
