// Host-side helpers over the opaque list and set types.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host_api/zel_api.h"

namespace zelhost {

char* AllocHostString(int64_t size, const char* label);
char* CopyToHostString(const std::string& text, const char* label);
StringList_pa MakeStringList(const std::vector<std::string>& items);  // release with ZelUtilStringListDealloc
std::vector<std::string> StringListItems(StringList_pa list);
std::vector<int64_t> SetMembers(Set_pa set);

}  // namespace zelhost
