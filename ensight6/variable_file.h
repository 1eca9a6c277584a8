// One EnSight 6 variable file of one step and where its values go.
#pragma once

#include <cstdint>
#include <string>

#include "ensight6/step_zones.h"

namespace quorix {

struct Ensight6VariableFile {
    std::string path;
    int32_t components = 1;     // 1, 3, 6 or 9
    int32_t firstVariable = 0;  // host number of component 1, minus one
    const Ensight6StepZones* step = nullptr;
};

// Readers (ASCII: values at once) and registrations (C binary: on demand)
// share one form: true when every value or registration reached the host.
using Ensight6VariableReader = bool (*)(const Ensight6VariableFile& file, std::string& errorText);

bool ReadEnsight6NodeVariable(const Ensight6VariableFile& file, std::string& errorText);
bool ReadEnsight6ElementVariable(const Ensight6VariableFile& file, std::string& errorText);
bool RegisterNodeVariableLoaders(const Ensight6VariableFile& file, std::string& errorText);
bool RegisterElementVariableLoaders(const Ensight6VariableFile& file, std::string& errorText);

inline constexpr const char* VariableDescriptionMessage =
    "Invalid character string for variable description.  All strings are limited to 79 characters as per EnSight "
    "documentation.";

}  // namespace quorix
