#include "casefile/ascii_case.h"

#include <algorithm>

namespace quorix {
namespace {

bool SameLetter(char a, char b) { return AsciiLower(a) == AsciiLower(b); }

}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), SameLetter);
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

bool ContainsIgnoreCase(std::string_view text, std::string_view word) {
    return std::search(text.begin(), text.end(), word.begin(), word.end(), SameLetter) != text.end();
}

}  // namespace quorix
