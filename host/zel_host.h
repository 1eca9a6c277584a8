// Control of our host (libzel) for zelhost and the tests: configure it, drive
// the add-on's registered callbacks and inspect the data model. The add-on
// itself sees only host_api/zel_api.h.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zelhost {

// ---- configuration ----
struct Settings {
    bool batchMode = false;
    bool messageBoxAnswer = true;  // answer to every question (message-box kind 4)
    std::array<int32_t, 4> version{12, 1, 0, 0};
    int32_t cancelAtPercent = -1;  // the status check answers "stop" once percent >= this (>= 0)
    // The file dialog's choice; none, or a file its filter does not list, is a cancel.
    std::optional<std::string> dialogAnswer;
    int64_t refuseRegistration = 0;  // refuse the N-th load-on-demand registration (from 1; 0 = none)
    bool withholdRawNodeMap = false;  // ZelUtilDataNodeGetWritableRawPtr answers null
    bool refuseValueSharing = false;  // ZelUtilDataValueIsSharingOk answers false
    bool echoMessages = true;  // errors and message boxes also go to stderr (they are recorded either way)
    bool drawProgress = false;  // percent-done and forcing draw one updating line on stderr
    int32_t checkDelayMs = 0;   // test hook: each percent-done check and each forced load waits this long
};
void Configure(const Settings& settings);
Settings CurrentSettings();
// "12.0.0.0" or "12.1-0-0"; false for anything else.
bool ParseVersion(const std::string& text, std::array<int32_t, 4>& version);
// Deletes every frame (running their clean-ups), forgets the add-on's
// registrations, records and counters, and restores default settings. The
// allocation ledger stays: it shows blocks still alive.
void ResetHost();
// Ctrl-C: async-signal-safe; the running percent-done status then answers "stop"
// and forcing takes no further load.
void Interrupt();
bool Interrupted();
// Lets the next load and forcing run after a stop.
void ClearInterrupt();

// ---- the add-on's registrations ----
bool HasLoader();
std::string LoaderName();
// Hands the loader a host string list of these strings; its result.
bool CallLoader(const std::vector<std::string>& instructions);
// Runs the loader-selected callback; true when a load handed its instructions over meanwhile.
bool CallLoaderSelected();
void SendStateChange(int32_t code);

// ---- records ----
// Every error and message box lands in the host's log; outside batch mode it
// was also shown as a dialog.
struct Message {
    std::string kind;  // "error", "question" or "info"
    std::string text;
    bool dialog = false;
};
struct StateChangeRecord {
    int32_t code = 0;
    std::vector<int64_t> members;
};
std::vector<Message> Messages();
std::vector<std::string> StatusTexts();
std::vector<StateChangeRecord> StateChanges();
// Misuse the host noticed (release of an unknown block, unbalanced lock, ...).
std::vector<std::string> Faults();

struct LiveBlocks {
    int64_t count = 0;
    int64_t bytes = 0;
};
std::map<std::string, LiveBlocks> LiveAllocations();  // by label
// The ledger also lists every array of values or connectivity ("Host Array");
// true while the one at `data` is.
bool HostArrayAlive(const void* data);
int64_t ClientDataRegistered();  // accepted registrations with a clean-up
int64_t ClientDataReleased();    // clean-ups run
int64_t RegistrationAttempts();
int64_t MemoryNotifiedKB();
int32_t HostLockDepth();  // of the calling thread
// How long the add-on held the host lock, summed over threads, and how much of
// that went to host calls; the rest is the add-on's own work under the lock.
struct LockTimes {
    double heldSeconds = 0.0;
    double hostCallSeconds = 0.0;
};
LockTimes AddOnLockTimes();
// How long the host spent, summed over threads, giving loads their arrays
// before calling the loaders: allocating them and mapping their pages.
double LoadArraysPlacedSeconds();

// ---- the data model (never forces a load) ----
bool HasDataSet();
int32_t FrameCount();
bool DeleteTopFrame();
void DeleteAllFrames();
std::string DataSetTitle();
std::vector<std::string> VariableNames();

struct ZoneSummary {
    int32_t number = 0;
    std::string name;
    int32_t zoneType = 0;
    int64_t imax = 0, jmax = 0, kmax = 0;
    int64_t nodes = 0, elements = 0;
    int32_t strand = 0;
    double solutionTime = 0.0;
    int64_t loadFailures = 0;
};
int32_t ZoneCount();
std::optional<ZoneSummary> ZoneInfo(int32_t zone);
const char* ZoneTypeName(int32_t zoneType);

// 64-bit XXH3 of the bytes, chained through `seed` (the hash of what came before).
constexpr uint64_t HashSeed = 0;
uint64_t HashBytes(const void* data, size_t bytes, uint64_t seed = HashSeed);

struct Statistics {
    int64_t count = 0;  // values counted (unused cells left out)
    double min = 0.0, max = 0.0, mean = 0.0;
    bool finite = true;  // false when a NaN or infinity was met
};
struct FieldReport {
    bool present = false;   // loaded, set directly or computed by a get-value function
    bool computed = false;  // from a get-value function
    int32_t location = 1;   // 1 nodal, 0 cell-centred
    int32_t dataType = 1;   // 1 float32, 3 int32
    int64_t length = 0;     // positions the host holds
    Statistics stats;
    uint64_t hash = HashSeed;  // bytes as held (computed values as float32 / int32)
};
// The hash reads every byte a second time: ask for it only where it is shown.
FieldReport Field(int32_t zone, int32_t variable, bool withHash = true);
std::vector<double> FieldValues(int32_t zone, int32_t variable);  // every position; empty when absent

// Node numbers from 1 in min/max and the arrays; the hash covers the bytes as
// held (from 0).
struct ConnectivityReport {
    bool present = false;
    int64_t entries = 0;  // node entries
    int32_t min = 0, max = 0;
    uint64_t hash = HashSeed;  // face maps: element counts, face-node counts, then nodes
};
ConnectivityReport NodeMap(int32_t zone);
ConnectivityReport FaceMap(int32_t zone);
std::vector<int32_t> NodeMapNodes(int32_t zone);
struct FaceMapArrays {
    bool polyhedron = false;
    std::vector<int32_t> elementCounts;
    std::vector<int32_t> faceNodeCounts;
    std::vector<int32_t> nodes;  // from 1
};
std::optional<FaceMapArrays> FaceMapContents(int32_t zone);
// Same object behind both zones (sharing); null when absent.
const void* FieldIdentity(int32_t zone, int32_t variable);
const void* NodeMapIdentity(int32_t zone);
const void* FaceMapIdentity(int32_t zone);

// ---- deferred loads ----
struct LoadRequest {
    std::string kind;  // "values", "nodeMap" or "faceMap"
    int32_t zone = 0;  // first zone holding it
    int32_t variable = 0;
};
// Registered and not yet loaded; shared data listed once.
std::vector<LoadRequest> PendingLoadRequests();
// Loads one item now (false when the load failed); call without the host lock.
bool ForceField(int32_t zone, int32_t variable);
bool ForceNodeMap(int32_t zone);
bool ForceFaceMap(int32_t zone);
struct ForceResult {
    int64_t loads = 0;
    int64_t failures = 0;  // also counted in each zone's loadFailures
    bool stopped = false;  // an interrupt left loads untaken; `loads` counts those taken
};
// Every pending load, from `threads` threads taking work from one queue.
ForceResult ForceAllLoads(int threads = 1);

// ---- data sets held by handle: several loads side by side ----
// A handle keeps its data set (zones, arrays, registrations) alive after its
// frame is gone; the clean-ups run when the last handle lets go.
struct DataSet;
using DataSetHandle = std::shared_ptr<DataSet>;
// A new empty frame on top: the next load makes its data set there.
void PushFrame();
DataSetHandle TopDataSet();  // null when the top frame holds none
// Removes the frame of this data set wherever it lies; false when none holds it.
bool RemoveFrameOf(const DataSet* dataSet);
int64_t PendingLoadCount(const DataSetHandle& dataSet);
ForceResult ForceAllLoads(const DataSetHandle& dataSet, int threads);

}  // namespace zelhost
