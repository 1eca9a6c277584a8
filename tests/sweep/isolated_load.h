// Loads of a case plus a forced load of everything deferred, run in a forked
// child so that a crash, a hang or a sanitizer report ends only that child.
// The child's address space is capped, so a load that sizes an allocation by
// a bad count fails the sweep instead of exhausting the machine.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace sweep {

// One array the host holds after the forced load.
struct ArrayOutcome {
    bool nodal = false;  // a field at the nodes (not a cell field or a map)
    int64_t length = 0;
    std::string hash;
    std::vector<double> cellValues;  // a cell field's values, to tell which element sections a load left out
    // The hash covers the values, NaNs included, which == on them would not.
    bool operator==(const ArrayOutcome& other) const {
        return nodal == other.nodal && length == other.length && hash == other.hash;
    }
};

struct ZoneOutcome {
    std::string part;   // strand and name without the zone kind
    std::string shape;  // zone type and sizes
    int64_t loadFailures = 0;
    std::map<std::string, ArrayOutcome> arrays;  // by variable name (nodal ones marked), "(nodeMap)", "(faceMap)"
};

struct LoadOutcome {
    // How the child ended.
    bool started = false;
    bool timedOut = false;
    int exitStatus = -1;  // 128 + signal when killed
    std::string childErrors;  // its stderr: sanitizer reports land here
    bool reported = false;   // it wrote a complete report

    // What it reported.
    bool loaded = false;
    int64_t forcedLoads = 0;
    int64_t forceFailures = 0;
    int64_t clientDataRegistered = 0;
    int64_t clientDataReleased = 0;
    bool allocationFailed = false;  // an operator new ran into the address-space cap
    std::vector<std::string> leaks;  // "label x count"
    std::vector<std::string> hostFaults;
    std::vector<std::string> errors;  // error messages shown to the user
    std::map<std::string, ZoneOutcome> zones;  // by part and solution time

    bool Succeeded() const { return loaded && forceFailures == 0; }
    // Empty when a failed load left at least one error message, one per failed forced load.
    std::string Silence() const;
    // Empty when the child ended cleanly and left the host as it found it.
    std::string Uncleanliness() const;
    std::string Describe() const;
};

struct LoadLimits {
    int timeoutSeconds = 30;  // without a word from the child: a hang
    int64_t addressSpaceHeadroom = int64_t{1} << 30;  // above what the child maps at the start
    int heapFillByte = 0;  // glibc fills fresh blocks with this (0: off)
    bool batchMode = true;  // as pipelines run: no dialogs, messages only logged
    // Cell fields ("name\thash") whose values the parent has already: a child
    // reports their hash alone.
    std::set<std::string> knownCellFields;
};

// Runs `count` loads of the case, each after prepare(i) has damaged its files,
// in as few children as it can: a fork costs more than a small load, many
// times more under ASan. A child that dies or hangs ends that load's outcome;
// the loads after it go on in a new child. prepare runs in the child.
std::vector<LoadOutcome> LoadEachIsolated(const std::string& casePath, size_t count,
                                          const std::function<void(size_t)>& prepare, const LoadLimits& limits);

}  // namespace sweep
