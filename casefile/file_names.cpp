#include "casefile/file_names.h"

#include <charconv>
#include <cstdlib>
#include <string>

namespace quorix {
namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// "%.*d": at least `width` digits, zero-padded, a minus sign before a negative number.
void AppendPadded(std::string& out, int32_t number, size_t width) {
    char digits[16];
    const int64_t magnitude = std::llabs(static_cast<int64_t>(number));
    const auto result = std::to_chars(digits, digits + sizeof digits, magnitude);
    const auto count = static_cast<size_t>(result.ptr - digits);
    if (number < 0) out.push_back('-');
    if (width > count) out.append(width - count, '0');
    out.append(digits, count);
}

}  // namespace

bool IsAbsolutePath(std::string_view name) {
    // A leading '/' is absolute on the systems we run on, whatever the length.
    if (!name.empty() && name[0] == '/') return true;
    if (name.size() < 3) return false;
    // A drive needs its separator: writers put colons in plain names ("p:total.0001").
    const bool drive = IsAsciiLetter(name[0]) && name[1] == ':' && (name[2] == '\\' || name[2] == '/');
    return (name[0] == '\\' && name[1] == '\\') || drive;
}

HostString BuildDataFileName(std::string_view directory, std::string_view name, int32_t number) {
    std::string path;
    if (!IsAbsolutePath(name)) path.assign(directory);
    const size_t star = name.find('*');
    if (star == std::string_view::npos) {
        path.append(name);
    } else {
        const size_t runEnd = std::min(name.find_first_not_of('*', star), name.size());
        path.append(name.substr(0, star));
        AppendPadded(path, number, runEnd - star);
        path.append(name.substr(runEnd));
    }
    HostString result;
    result.Assign(path, "File Name");
    return result;
}

}  // namespace quorix
