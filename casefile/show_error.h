// Messages of the case description go to the user through the host.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorix {

void ShowError(std::string_view message);
// `pattern` holds one "%s" (or none), replaced by `value`.
void ShowError(std::string_view pattern, std::string_view value);
// `pattern` holds one "%d", replaced by `value`.
void ShowError(std::string_view pattern, int64_t value);

}  // namespace quorix
