// Keywords of EnSight files compare without regard to the case of ASCII
// letters; every other byte compares exactly, whatever the locale.
#pragma once

#include <algorithm>
#include <string_view>

namespace quorix {

inline char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline bool SameLetterIgnoringCase(char a, char b) { return AsciiLower(a) == AsciiLower(b); }

// Inline: the step-start search calls these at every byte of a file.
inline bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), SameLetterIgnoringCase);
}

inline bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

inline bool ContainsIgnoreCase(std::string_view text, std::string_view word) {
    return std::search(text.begin(), text.end(), word.begin(), word.end(), SameLetterIgnoringCase) != text.end();
}

}  // namespace quorix
