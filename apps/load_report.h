// What zelhost reports after a load: the data model as JSON or as a readable summary.
#pragma once

#include <string>
#include <vector>

#include "apps/json_writer.h"
#include "host/zel_host.h"

// One variable over all zones, for the readable summary.
struct VariableSummary {
    std::string name;
    int locations = 0;    // 1 nodal, 2 cell-centred, 3 both (in different zones)
    bool loaded = false;  // present in some zone
    zelhost::Statistics stats;  // min and max over the zones where present
    void Add(const zelhost::FieldReport& field);
};

// The data model as it stands, taken before the data set is deleted at exit.
struct ModelSnapshot {
    bool hasDataSet = false;
    std::string title;
    std::vector<std::string> variables;
    std::string zonesJson;  // a JSON array, when asked for
    std::string summary;    // readable text: zones and variables
    int64_t zones = 0, nodes = 0, elements = 0;
};
// The summary needs no hashes, node maps or face maps: only `json` reads them.
ModelSnapshot TakeSnapshot(bool json, bool dumpConnectivity);

struct RunRecord {
    bool loaded = false;
    double loadSeconds = 0.0;
    double forceSeconds = 0.0;
    bool forced = false;
    zelhost::ForceResult forceResult;
    bool listRequests = false;
    std::vector<zelhost::LoadRequest> requests;
    int64_t bytesRead = -1;  // by the process during load and forcing; -1 unknown
    zelhost::LockTimes lock;  // the add-on's hold of the host lock while forcing
    double arraysPlacedSeconds = 0.0;  // the host placing the forced loads' arrays
};

// Counted after the data set is gone and state change 15 was sent.
std::string RenderJsonReport(const ModelSnapshot& model, const RunRecord& run);
std::string RenderTextReport(const ModelSnapshot& model, const RunRecord& run);
// "messages": the host's log, each entry with its kind, text and whether a dialog showed it.
void WriteMessages(JsonWriter& json);
