#include "casefile/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorix {
namespace {

constexpr std::string_view NotRegularNote = ": not a regular file";

// A socket refuses the open itself; the path then still tells what it is.
OpenFailure WhyNotOpened(const char* path) {
    struct stat status {};
    return ::stat(path, &status) == 0 && !S_ISREG(status.st_mode) ? OpenFailure::NotRegular
                                                                  : OpenFailure::CannotOpen;
}

}  // namespace

OpenedFile OpenRegularFile(const char* path) {
    OpenedFile opened;
    // Without O_NONBLOCK opening a FIFO waits for a writer; O_NOCTTY keeps a
    // terminal from becoming the host's controlling one.
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        opened.failure = WhyNotOpened(path);
        return opened;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        opened.failure = OpenFailure::NotRegular;
        return opened;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) {
        ::close(fd);
        opened.failure = OpenFailure::CannotOpen;
        return opened;
    }
    opened.fd = fd;
    opened.size = status.st_size;
    return opened;
}

std::FILE* OpenRegularStream(const char* path, OpenFailure* failure) {
    const OpenedFile opened = OpenRegularFile(path);
    std::FILE* stream = opened.fd >= 0 ? ::fdopen(opened.fd, "rb") : nullptr;
    if (opened.fd >= 0 && stream == nullptr) ::close(opened.fd);
    if (failure != nullptr) {
        *failure = stream != nullptr ? OpenFailure::None
                   : opened.fd >= 0  ? OpenFailure::CannotOpen
                                     : opened.failure;
    }
    return stream;
}

OpenFailure TryOpenRegularFile(const char* path) {
    const OpenedFile opened = OpenRegularFile(path);
    if (opened.fd >= 0) ::close(opened.fd);
    return opened.failure;
}

std::string_view OpenFailureNote(OpenFailure failure) {
    return failure == OpenFailure::NotRegular ? NotRegularNote : std::string_view();
}

std::string CouldNotOpenText(std::string_view path, OpenFailure failure) {
    const std::string text = "Could not open the file " + std::string(path);
    if (failure == OpenFailure::NotRegular) return text + std::string(NotRegularNote) + ".";
    return text + ".  Check file path and permissions.";
}

}  // namespace quorix
