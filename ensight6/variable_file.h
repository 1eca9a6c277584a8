// One EnSight 6 variable file of one step and where its values go.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ensight6/step_zones.h"
#include "gold/file_a.h"

namespace quorix {

struct Ensight6VariableFile {
    std::string path;
    int32_t components = 1;     // 1, 3, 6 or 9
    int32_t firstVariable = 0;  // host number of component 1, minus one
    const Ensight6StepZones* step = nullptr;
    // Where a reader that passes over the values of a part the geometry lacks notes its number.
    std::vector<int32_t>* partsNotInGeometry = nullptr;
};

// Readers (ASCII: values at once) and registrations (C binary: on demand)
// share one form: true when every value or registration reached the host.
using Ensight6VariableReader = bool (*)(const Ensight6VariableFile& file, std::string& errorText);

bool ReadEnsight6NodeVariable(const Ensight6VariableFile& file, std::string& errorText);
bool ReadEnsight6ElementVariable(const Ensight6VariableFile& file, std::string& errorText);
bool RegisterNodeVariableLoaders(const Ensight6VariableFile& file, std::string& errorText);
bool RegisterElementVariableLoaders(const Ensight6VariableFile& file, std::string& errorText);

// Opens the variable file, runs `run` on a `Walker` made over it, closes the file.
template <class Walker, class Run>
bool WithVariableFile(const Ensight6VariableFile& file, std::string& errorText, Run&& run) {
    File_a* handle = File_a::Open(file.path, "rb", BigEndian);
    if (handle == nullptr) {
        errorText = "Could not open the file " + file.path + ".  Check file path and permissions.";
        return false;
    }
    Walker walker(file, *handle, errorText);
    const bool ok = run(walker);
    File_a::Close(handle);
    return ok;
}

inline constexpr const char* VariableDescriptionMessage =
    "Invalid character string for variable description.  All strings are limited to 79 characters as per EnSight "
    "documentation.";

}  // namespace quorix
