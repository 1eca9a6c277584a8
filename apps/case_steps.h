// Where the steps of a case entry live, as a load would open them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "casefile/case_record.h"

// One path per step of the entry's time set (one for a static entry).
std::vector<std::string> StepPaths(const quorix::CaseRecord& record, std::string_view name, int32_t timeSet,
                                   int32_t fileSet);

// The case file keeps the handle of the last set of a sequence; this is its first.
template <class Set>
const Set* FirstSet(const Set* set) {
    while (set != nullptr && set->previous != nullptr) set = set->previous;
    return set;
}
