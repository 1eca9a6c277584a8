// Every sample, real-writer and reference case, each file it holds cut short
// and with its counts overwritten, loaded in batch mode with every deferred
// load forced. A damaged file must end in a clean failure or in correct data:
// no crash, hang, sanitizer report, allocation sized by a bad count, host
// block left alive or client data left registered, and no failure without an
// error message in the host's log. What "correct" means for each kind of
// damage is said by sweep::Promise.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iostream>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "file_mutations.h"
#include "isolated_load.h"
#include "support/files.h"

namespace {

namespace fs = std::filesystem;
using sweep::LoadOutcome;
using sweep::Promise;

#if defined(QUORIX_ASAN)
// The sanitizer's allocator fills fresh blocks its own way and ignores glibc's fill byte.
constexpr bool HeapFillWorks = false;
constexpr int TimeoutSeconds = 60;
#else
constexpr bool HeapFillWorks = true;
constexpr int TimeoutSeconds = 20;
#endif

// Damaged copies loaded per file, spread evenly over all it has: the sweep's
// time budget. A load costs a few milliseconds, several times more under ASan.
constexpr size_t MaxLoadsPerFile = HeapFillWorks ? 40 : 5;

// A case sweep reports no more than this many faults; the rest are like them.
constexpr int MaxFaultsPerCase = 8;

struct SweepCase {
    std::string name;
    fs::path caseFile;
};

void PrintTo(const SweepCase& c, std::ostream* os) { *os << c.name; }

std::string TestName(const SweepCase& c) {
    std::string name = c.name;
    std::replace_if(name.begin(), name.end(), [](char ch) { return !std::isalnum(static_cast<unsigned char>(ch)); }, '_');
    return name;
}

fs::path FindCaseFile(const fs::path& dir) {
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() == ".case") return entry.path();
    }
    return {};
}

// The good samples: every encoding of each, the deliberate failures left out.
std::vector<SweepCase> SampleCases() {
    std::vector<SweepCase> cases;
    for (const char* format : {"gold", "ensight6"}) {
        const fs::path root = fs::path(QUORIX_SAMPLES) / format;
        if (!fs::is_directory(root)) continue;
        for (const auto& sample : fs::directory_iterator(root)) {
            const std::string name = sample.path().filename().string();
            if (!sample.is_directory() || name == "failures") continue;
            for (const char* encoding : {"ascii", "le", "be", "fortran_le", "fortran_be"}) {
                const fs::path caseFile = sample.path() / encoding / (name + ".case");
                if (fs::exists(caseFile)) cases.push_back({std::string(format) + "_" + name + "_" + encoding, caseFile});
            }
        }
    }
    std::sort(cases.begin(), cases.end(), [](const SweepCase& a, const SweepCase& b) { return a.name < b.name; });
    return cases;
}

// Folders of a set of the shared data (the real writers', the field's
// reference data, a CFD solver's output, format features) with an
// oracle.json beside their case. Some reference data fail to load intact:
// the sweep then asks only for clean, explained failures.
std::vector<SweepCase> OracleCases(const char* set) {
    std::vector<SweepCase> cases;
    const fs::path root = fs::path(QUORIX_REALWRITER).parent_path() / set;
    if (!fs::is_directory(root)) return cases;
    for (const auto& dir : fs::directory_iterator(root)) {
        if (!fs::exists(dir.path() / "oracle.json")) continue;
        const fs::path caseFile = FindCaseFile(dir.path());
        if (!caseFile.empty()) cases.push_back({dir.path().filename().string(), caseFile});
    }
    std::sort(cases.begin(), cases.end(), [](const SweepCase& a, const SweepCase& b) { return a.name < b.name; });
    return cases;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// What the writers left beside the data: not read by a load.
bool IsDataFile(const fs::path& path) {
    const std::string name = path.filename().string();
    return name != "oracle.json" && name != "SOURCE.txt" && name.find(".expect.json") == std::string::npos;
}

// The case's folder copied to a fresh temporary one, removed afterwards.
class CaseCopy {
public:
    explicit CaseCopy(const fs::path& caseFile) {
        const fs::path from = caseFile.parent_path();
        for (const auto& entry : fs::recursive_directory_iterator(from)) {
            if (!entry.is_regular_file() || !IsDataFile(entry.path())) continue;
            const std::string to = root_.Write(fs::relative(entry.path(), from).string(), quorix::test::ReadBytes(entry.path()));
            if (entry.path() != caseFile) files_.push_back(to);
        }
        caseFile_ = root_.Path() / caseFile.filename();
        std::sort(files_.begin(), files_.end());
        files_.insert(files_.begin(), caseFile_);
    }

    const fs::path& CaseFile() const { return caseFile_; }
    const std::vector<fs::path>& Files() const { return files_; }  // the case file first
    std::string Relative(const fs::path& file) const { return fs::relative(file, root_.Path()).string(); }

private:
    quorix::test::TempDir root_;
    fs::path caseFile_;
    std::vector<fs::path> files_;
};

// Where a cut cell field may differ from the intact one: a file cut between
// element sections is valid and leaves the elements of the sections it lost
// as the host created them (zero).
bool OnlyLostSectionsDiffer(const sweep::ArrayOutcome& cut, const sweep::ArrayOutcome& intact) {
    if (cut.nodal || cut.cellValues.size() != intact.cellValues.size() || cut.cellValues.empty()) return false;
    for (size_t i = 0; i < cut.cellValues.size(); ++i) {
        const bool same = std::memcmp(&cut.cellValues[i], &intact.cellValues[i], sizeof(double)) == 0;
        if (!same && cut.cellValues[i] != 0.0) return false;
    }
    return true;
}

// What is wrong with one zone of a cut file's load against an intact zone of the same part.
// A cut at a record boundary can leave a valid file with fewer parts, steps or
// element blocks: a part cut after its coordinates is a point zone then. Such
// a zone's node fields of unchanged length must still be the intact ones,
// since the bytes they come from are all there.
std::string ZoneFault(const sweep::ZoneOutcome& zone, const sweep::ZoneOutcome& whole) {
    const bool sameShape = zone.shape == whole.shape;
    for (const auto& [name, array] : zone.arrays) {
        const auto original = whole.arrays.find(name);
        const bool comparable = sameShape || array.nodal;
        if (!comparable) continue;
        if (original == whole.arrays.end()) return name + " is not in the intact zone";
        if (!sameShape && array.length != original->second.length) continue;
        if (!(array == original->second) && !OnlyLostSectionsDiffer(array, original->second)) {
            return "(" + zone.shape + ") " + name + ": " + std::to_string(array.length) + " values hash " + array.hash +
                   ", intact (" + whole.shape + ") " + std::to_string(original->second.length) + " hash " +
                   original->second.hash;
        }
    }
    return {};
}

// A successful load of a cut file holds only zones and arrays of the intact
// load. A case file cut before its time section is a valid steady case: its
// zones are those of some step of the intact load.
std::string SameDataFault(const LoadOutcome& intact, const LoadOutcome& cut) {
    for (const auto& [key, zone] : cut.zones) {
        const auto same = intact.zones.find(key);
        if (same != intact.zones.end()) {
            if (std::string fault = ZoneFault(zone, same->second); !fault.empty()) return "zone \"" + key + "\" " + fault;
            continue;
        }
        std::string fault = "zone \"" + key + "\" is not in the intact load";
        for (const auto& [otherKey, other] : intact.zones) {
            if (other.part != zone.part) continue;
            fault = ZoneFault(zone, other);
            if (fault.empty()) break;
            fault = "zone \"" + key + "\" against \"" + otherKey + "\" " + fault;
        }
        if (!fault.empty()) return fault;
    }
    return {};
}

std::string RepeatFault(const LoadOutcome& first, const LoadOutcome& again) {
    if (first.Succeeded() != again.Succeeded()) return "a second load with the heap filled differently ended otherwise";
    for (const auto& [key, zone] : first.zones) {
        const auto other = again.zones.find(key);
        if (other == again.zones.end() || other->second.shape != zone.shape) return "zone \"" + key + "\" differs";
        if (other->second.arrays != zone.arrays) {
            return "zone \"" + key + "\" holds other values with the heap filled differently (uninitialised memory?)";
        }
    }
    return {};
}

// The intact load's cell fields: a damaged load that holds one of them needs
// no values sent to tell which sections it lost.
std::set<std::string> CellFieldsOf(const LoadOutcome& outcome) {
    std::set<std::string> fields;
    for (const auto& [key, zone] : outcome.zones) {
        for (const auto& [name, array] : zone.arrays) {
            if (!array.nodal && !array.cellValues.empty()) fields.insert(name + '\t' + array.hash);
        }
    }
    return fields;
}

class Sweep {
public:
    explicit Sweep(const SweepCase& c) : case_(c), copy_(c.caseFile) {}

    void Run() {
        ASSERT_FALSE(copy_.Files().empty()) << "cannot copy " << case_.caseFile;
        intact_ = Load(1, [](size_t) {}, FirstFill).front();
        known_ = CellFieldsOf(intact_);
        ASSERT_EQ(intact_.Uncleanliness(), "") << "the intact case\n" << intact_.Describe();
        EXPECT_EQ(intact_.Silence(), "") << "the intact case\n" << intact_.Describe();
        std::set<std::string> layouts;
        for (const fs::path& file : copy_.Files()) {
            const std::string original = quorix::test::ReadBytes(file);
            const bool isCaseFile = file == copy_.CaseFile();
            // Files that differ only in their values (one per step) take the same paths through a reader.
            if (!isCaseFile && !layouts.insert(sweep::LayoutSignature(original)).second) continue;
            ++files_;
            SweepFile(file, Spread(sweep::MutateFile(original, isCaseFile)));
            WriteFile(file, original);
            if (faults_ >= MaxFaultsPerCase) break;
        }
        std::cout << case_.name << ": " << loads_ << " loads over " << files_ << " files, " << successes_
                  << " ended in success, " << failures_ << " failed, " << silentFailures_ << " of them silently\n";
    }

private:
    static constexpr int FirstFill = 0xa5;
    static constexpr int SecondFill = 0x5a;

    const SweepCase& case_;
    CaseCopy copy_;
    LoadOutcome intact_;
    std::set<std::string> known_;
    int loads_ = 0;
    int files_ = 0;
    int successes_ = 0;
    int failures_ = 0;
    int silentFailures_ = 0;
    int faults_ = 0;

    // At most MaxLoadsPerFile of them, evenly spread.
    static std::vector<sweep::Mutation> Spread(std::vector<sweep::Mutation> all) {
        if (all.size() <= MaxLoadsPerFile) return all;
        std::vector<sweep::Mutation> chosen;
        for (size_t i = 0; i < MaxLoadsPerFile; ++i) chosen.push_back(std::move(all[i * all.size() / MaxLoadsPerFile]));
        return chosen;
    }

    std::vector<LoadOutcome> Load(size_t count, const std::function<void(size_t)>& prepare, int heapFillByte) {
        loads_ += static_cast<int>(count);
        sweep::LoadLimits limits;
        limits.timeoutSeconds = TimeoutSeconds;
        limits.heapFillByte = heapFillByte;
        limits.knownCellFields = known_;
        return sweep::LoadEachIsolated(copy_.CaseFile().string(), count, prepare, limits);
    }

    void SweepFile(const fs::path& file, const std::vector<sweep::Mutation>& mutations) {
        const auto damage = [&](const std::vector<size_t>& which) {
            return [&file, &mutations, which](size_t i) { WriteFile(file, mutations[which[i]].bytes); };
        };
        std::vector<size_t> all(mutations.size());
        for (size_t i = 0; i < all.size(); ++i) all[i] = i;
        const std::vector<LoadOutcome> outcomes = Load(all.size(), damage(all), FirstFill);
        std::vector<size_t> repeat;
        for (size_t i = 0; i < mutations.size() && faults_ < MaxFaultsPerCase; ++i) {
            const std::string what = copy_.Relative(file) + ": " + mutations[i].what;
            if (Check(what, mutations[i].promise, outcomes[i])) repeat.push_back(i);
        }
        if (repeat.empty()) return;
        const std::vector<LoadOutcome> again = Load(repeat.size(), damage(repeat), SecondFill);
        for (size_t k = 0; k < repeat.size() && faults_ < MaxFaultsPerCase; ++k) {
            const std::string what = copy_.Relative(file) + ": " + mutations[repeat[k]].what;
            if (const std::string dirty = again[k].Uncleanliness(); !dirty.empty()) {
                Fault(what, dirty, again[k]);
            } else if (const std::string fault = RepeatFault(outcomes[repeat[k]], again[k]); !fault.empty()) {
                Fault(what, fault, again[k]);
            }
        }
    }

    void Fault(const std::string& what, const std::string& fault, const LoadOutcome& outcome) {
        ++faults_;
        ADD_FAILURE() << case_.name << ", " << what << ": " << fault << "\n" << outcome.Describe();
    }

    // True when the load is to be repeated with the heap filled differently.
    bool Check(const std::string& what, Promise promise, const LoadOutcome& outcome) {
        if (const std::string dirty = outcome.Uncleanliness(); !dirty.empty()) {
            Fault(what, dirty, outcome);
            return false;
        }
        if (!outcome.Succeeded()) {
            ++failures_;
            if (const std::string silence = outcome.Silence(); !silence.empty()) {
                ++silentFailures_;
                Fault(what, silence, outcome);
            }
            return false;
        }
        ++successes_;
        switch (promise) {
            case Promise::SameData:
                if (intact_.Succeeded()) {
                    if (const std::string fault = SameDataFault(intact_, outcome); !fault.empty()) Fault(what, fault, outcome);
                }
                return false;
            case Promise::CleanEnd:
                return false;
            case Promise::Repeatable:
                return HeapFillWorks;
        }
        return false;
    }
};

class CaseSweep : public ::testing::TestWithParam<SweepCase> {};

TEST_P(CaseSweep, DamagedFilesEndCleanlyOrReadAsTheIntactOnes) { Sweep(GetParam()).Run(); }

const auto kName = [](const auto& info) { return TestName(info.param); };
INSTANTIATE_TEST_SUITE_P(Samples, CaseSweep, ::testing::ValuesIn(SampleCases()), kName);
INSTANTIATE_TEST_SUITE_P(RealWriters, CaseSweep, ::testing::ValuesIn(OracleCases("realwriter")), kName);
INSTANTIATE_TEST_SUITE_P(Reference, CaseSweep, ::testing::ValuesIn(OracleCases("reference")), kName);
INSTANTIATE_TEST_SUITE_P(Solver, CaseSweep, ::testing::ValuesIn(OracleCases("solver")), kName);
INSTANTIATE_TEST_SUITE_P(Features, CaseSweep, ::testing::ValuesIn(OracleCases("gold-features")), kName);
INSTANTIATE_TEST_SUITE_P(Wild, CaseSweep, ::testing::ValuesIn(OracleCases("wild")), kName);

TEST(RealWriterSweepData, Present) {
    if (!fs::is_directory(QUORIX_REALWRITER)) {
        GTEST_SKIP() << "no real-writer cases at " << QUORIX_REALWRITER << ": their sweep is skipped";
    }
    EXPECT_FALSE(OracleCases("realwriter").empty()) << "no case with an oracle.json under " << QUORIX_REALWRITER;
}

}  // namespace
