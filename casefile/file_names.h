// Turning a file name as written into the path of one time step.
#pragma once

#include <cstdint>
#include <string_view>

#include "host_api/host_memory.h"

namespace quorix {

bool IsAbsolutePath(std::string_view name);
// A name with a '*' run stands for one file per step: a series.
inline bool NamesSeries(std::string_view name) { return name.find('*') != std::string_view::npos; }
// Directory + name with its first '*' run replaced by `number` zero-padded to the run's length.
HostString BuildDataFileName(std::string_view directory, std::string_view name, int32_t number);

}  // namespace quorix
