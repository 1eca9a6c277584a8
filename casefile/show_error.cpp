#include "casefile/show_error.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "casefile/regular_file.h"
#include "host_api/host_lock.h"
#include "host_api/zel_api.h"

namespace quorix {
namespace {

std::string Fill(std::string_view pattern, std::string_view placeholder, std::string_view value) {
    std::string text(pattern);
    const size_t at = text.find(placeholder);
    if (at != std::string::npos) text.replace(at, placeholder.size(), value);
    return text;
}

// The line holding the last byte before `offset` (line 1 when there is none).
int64_t LineBefore(const std::string& path, int64_t offset) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenRegularStream(path.c_str()), std::fclose);
    if (!file) return 0;
    int64_t lineEnds = 0;
    int64_t left = offset - 1;
    char chunk[1 << 16];
    while (left > 0) {
        const size_t got = std::fread(chunk, 1, static_cast<size_t>(std::min<int64_t>(left, sizeof chunk)), file.get());
        if (got == 0) break;
        lineEnds += std::count(chunk, chunk + got, '\n');
        left -= static_cast<int64_t>(got);
    }
    return lineEnds + 1;
}

std::string Located(std::string_view path, std::string_view unit, int64_t n, std::string_view what) {
    std::string text = "File " + std::string(path) + ", " + std::string(unit) + " " + std::to_string(n);
    if (!what.empty()) text += ": " + std::string(what);
    return text;
}

}  // namespace

void ShowError(std::string_view message) { ZelUtilDialogErrMsg(std::string(message).c_str()); }

void ShowError(std::string_view pattern, std::string_view value) { ShowError(Fill(pattern, "%s", value)); }

void ShowError(std::string_view pattern, int64_t value) { ShowError(Fill(pattern, "%d", std::to_string(value))); }

void ShowInformation(const std::string& message) {
    HostLock lock;
    ZelUtilDialogMessageBox(message.c_str(), ZelMessageInformation);
}

std::string LinePlaceText(std::string_view path, int64_t line, std::string_view what) {
    return Located(path, "line", line, what);
}

std::string PlaceText(const ReadPlace& place, std::string_view what) {
    if (place.text) return LinePlaceText(place.path, LineBefore(place.path, place.offset), what);
    return Located(place.path, "byte", place.offset, what);
}

void ShowErrorPlace(const ReadPlace& place, std::string_view what) {
    if (place.known()) ShowError(PlaceText(place, what));
}

}  // namespace quorix
