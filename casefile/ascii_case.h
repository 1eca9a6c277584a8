// Keywords of EnSight files compare without regard to the case of ASCII
// letters; every other byte compares exactly, whatever the locale.
#pragma once

#include <string_view>

namespace quorix {

inline char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix);
bool ContainsIgnoreCase(std::string_view text, std::string_view word);

}  // namespace quorix
