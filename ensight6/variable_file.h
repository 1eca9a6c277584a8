// One EnSight 6 variable file of one step and where its values go.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "casefile/regular_file.h"
#include "casefile/show_error.h"
#include "ensight6/step_zones.h"
#include "gold/file_a.h"

namespace quorix {

struct Ensight6VariableFile {
    std::string path;
    int32_t components = 1;     // 1, 3, 6 or 9
    int32_t firstVariable = 0;  // host number of component 1, minus one
    const Ensight6StepZones* step = nullptr;
    int64_t start = 0;          // the step's first line or record: 0 for the file's first step
    // Where a reader that passes over the values of a part the geometry lacks notes its number.
    std::vector<int32_t>* partsNotInGeometry = nullptr;
};

// "Error reading the variable file PATH: what." at `place`; false.
inline bool FailVariableFile(Failure& failure, const std::string& path, const std::string& what, ReadPlace place = {}) {
    return failure.Set("Error reading the variable file " + path + ": " + what + ".", std::move(place));
}

// Readers (ASCII: values at once) and registrations (C binary: on demand)
// share one form: true when every value or registration reached the host;
// `next` is where the file's next step begins (after "END TIME STEP").
using Ensight6VariableReader = bool (*)(const Ensight6VariableFile& file, int64_t& next, Failure& failure);

bool ReadEnsight6NodeVariable(const Ensight6VariableFile& file, int64_t& next, Failure& failure);
bool ReadEnsight6ElementVariable(const Ensight6VariableFile& file, int64_t& next, Failure& failure);
bool RegisterNodeVariableLoaders(const Ensight6VariableFile& file, int64_t& next, Failure& failure);
bool RegisterElementVariableLoaders(const Ensight6VariableFile& file, int64_t& next, Failure& failure);

// Opens the variable file at the step's start, runs `run` on a `Walker` made
// over it, notes where the walk ended and closes the file.
template <class Walker, class Run>
bool WithVariableFile(const Ensight6VariableFile& file, int64_t& next, Failure& failure, Run&& run) {
    OpenFailure why = OpenFailure::None;
    File_a* handle = File_a::Open(file.path, "rb", BigEndian, &why);
    if (handle == nullptr) return failure.Set(CouldNotOpenText(file.path, why));
    bool ok = handle->Seek(file.start, 0);
    if (!ok) FailVariableFile(failure, file.path, "seek failed");
    if (ok) {
        Walker walker(file, *handle, failure);
        ok = run(walker);
        next = handle->Tell();
    }
    File_a::Close(handle);
    return ok;
}

inline constexpr const char* VariableDescriptionMessage =
    "Invalid character string for variable description.  All strings are limited to 79 characters as per EnSight "
    "documentation.";

}  // namespace quorix
