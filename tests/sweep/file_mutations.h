// Damaged copies of one data or case file: cut at the places a reader is most
// likely to get wrong (record and keyword boundaries, the counts after them, a
// few points inside each array) and with its counts overwritten.
#pragma once

#include <string>
#include <vector>

namespace sweep {

// What a load of the damaged file must still get right when it succeeds.
enum class Promise {
    // Every array the host holds equals the intact load's: the file was cut
    // where no token was split, so what is left reads as the intact file did.
    SameData,
    // A clean end only: a token was split and may read as another valid value.
    CleanEnd,
    // A clean end, and the same result again with the heap filled differently:
    // a changed count may give other valid data, but never data the bytes do not hold.
    Repeatable,
};

struct Mutation {
    std::string what;
    std::string bytes;
    Promise promise;
};

// The file's layout in the terms the mutations use; equal for files that differ only in values.
std::string LayoutSignature(const std::string& content);

std::vector<Mutation> MutateFile(const std::string& content, bool isCaseFile);

}  // namespace sweep
