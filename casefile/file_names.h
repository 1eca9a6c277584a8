// Turning a file name as written into the path of one time step.
#pragma once

#include <cstdint>
#include <string_view>

#include "addon/host_api/host_memory.h"

namespace quorix {

bool IsAbsolutePath(std::string_view name);
// Directory + name with its first '*' run replaced by `number` zero-padded to the run's length.
HostString BuildDataFileName(std::string_view directory, std::string_view name, int32_t number);

}  // namespace quorix
