// What zelhost reports after a load: the data model as JSON or as a readable summary.
#pragma once

#include <string>
#include <vector>

#include "apps/json_writer.h"
#include "host/zel_host.h"

// The data model as it stands, taken before the data set is deleted at exit.
struct ModelSnapshot {
    bool hasDataSet = false;
    std::string title;
    std::vector<std::string> variables;
    std::string zonesJson;  // a JSON array
    std::string summary;    // readable text
};
ModelSnapshot TakeSnapshot(bool dumpConnectivity);

struct RunRecord {
    bool loaded = false;
    double loadSeconds = 0.0;
    double forceSeconds = 0.0;
    bool forced = false;
    zelhost::ForceResult forceResult;
    bool listRequests = false;
    std::vector<zelhost::LoadRequest> requests;
};

// Counted after the data set is gone and state change 15 was sent.
std::string RenderJsonReport(const ModelSnapshot& model, const RunRecord& run);
std::string RenderTextReport(const ModelSnapshot& model, const RunRecord& run);
// "messages": the host's log, each entry with its kind, text and whether a dialog showed it.
void WriteMessages(JsonWriter& json);
