#include "casefile/case_record.h"

#include <limits>

#include "casefile/variable_kinds.h"

namespace quorix {
namespace {

template <class Set>
const Set* FirstSet(const Set* last) {
    if (last == nullptr) return nullptr;
    while (last->previous != nullptr) last = last->previous;
    return last;
}

// Case files name sets by the number written after "time set"/"file set";
// files that number them 1, 2, ... in order are read the same either way.
template <class Set>
const Set* FindSet(const Set* sets, int32_t n) {
    if (n < 1) return nullptr;
    const Set* first = FirstSet(sets);
    for (const Set* set = first; set != nullptr; set = set->next) {
        if (set->number == n) return set;
    }
    const Set* set = first;
    for (int32_t i = 1; set != nullptr && i < n; ++i) set = set->next;
    return set;
}

template <class Set>
void ReleaseSets(Set*& sets) {
    while (sets != nullptr) {
        Set* previous = sets->previous;
        HostDelete(sets);
        sets = previous;
    }
}

template <class Entry>
void ReleaseList(VarList<Entry>& list) {
    while (list.head != nullptr) {
        Entry* next = list.head->next;
        HostDelete(list.head);
        list.head = next;
    }
    list.tail = nullptr;
}

}  // namespace

const TimeSectionInfo* FindTimeSet(const TimeSectionInfo* timeSets, int32_t n) { return FindSet(timeSets, n); }

const FileSectionInfo* FindFileSet(const FileSectionInfo* fileSets, int32_t n) { return FindSet(fileSets, n); }

int32_t FileNumberForStep(const TimeSectionInfo* timeSet, const FileSectionInfo* fileSet, int32_t k) {
    if (timeSet == nullptr) return 0;
    if (!timeSet->filenameNumbers.empty()) {
        return k >= 0 && k < timeSet->filenameNumbers.size() ? timeSet->filenameNumbers[k] : 0;
    }
    if (timeSet->filenameStartNumberGiven) {
        const int64_t increment = timeSet->filenameIncrementGiven ? timeSet->filenameIncrement : 1;
        const int64_t number = timeSet->filenameStartNumber + increment * static_cast<int64_t>(k);
        // The parser checked every step of the set; a step beyond it must not overflow either.
        const bool fits = number >= std::numeric_limits<int32_t>::min() && number <= std::numeric_limits<int32_t>::max();
        return fits ? static_cast<int32_t>(number) : 0;
    }
    if (fileSet != nullptr && fileSet->filenameIndex != 0) return fileSet->filenameIndex;
    return 0;
}

bool TimeValueForStep(const TimeSectionInfo* timeSet, int32_t k, float& time) {
    if (timeSet == nullptr || k < 0 || k >= timeSet->timeValues.size()) return false;
    time = timeSet->timeValues[k];
    return true;
}

void ReleaseTimeSets(TimeSectionInfo*& timeSets) { ReleaseSets(timeSets); }

void ReleaseFileSets(FileSectionInfo*& fileSets) { ReleaseSets(fileSets); }

void ReleaseVariableSectionInfo(VariableSectionInfo*& variables) {
    if (variables == nullptr) return;
    for (StringList_pa* list : {&variables->constants, &variables->constantsPerPart}) {
        if (*list != nullptr) ZelUtilStringListDealloc(list);
    }
    for (const auto& kind : SvtKinds) ReleaseList(variables->*kind.list);
    for (const auto& kind : ComplexKinds) ReleaseList(variables->*kind.list);
    HostDelete(variables);
}

}  // namespace quorix
