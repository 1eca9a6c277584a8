#include "apps/load_report.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <iterator>

#include "apps/json_writer.h"

namespace {

std::string Hex(uint64_t hash) {
    char text[20];
    std::snprintf(text, sizeof text, "%016" PRIx64, hash);
    return text;
}

void WriteStatistics(JsonWriter& json, const zelhost::Statistics& stats) {
    const bool any = stats.count > 0;
    json.Key("min");
    any ? json.Double(stats.min) : json.Null();
    json.Key("max");
    any ? json.Double(stats.max) : json.Null();
    json.Key("mean");
    any ? json.Double(stats.mean) : json.Null();
    if (!stats.finite) json.Key("nonFinite").Bool(true);
}

void WriteIntArray(JsonWriter& json, const char* key, const std::vector<int32_t>& values) {
    json.Key(key).BeginArray();
    for (int32_t value : values) json.Int(value);
    json.EndArray();
}

void WriteField(JsonWriter& json, const std::string& name, const zelhost::FieldReport& field) {
    json.Key(name).BeginObject();
    json.Key("location").String(field.location == 1 ? "nodal" : "cell");
    WriteStatistics(json, field.stats);
    json.Key("hash").String(Hex(field.hash));
    json.EndObject();
}

// Adds the zone's fields to the variables' summaries; with `json`, writes them there too.
void ReportValues(int32_t zone, std::vector<VariableSummary>& variables, JsonWriter* json) {
    if (json != nullptr) json->Key("values").BeginObject();
    for (VariableSummary& variable : variables) {
        const zelhost::FieldReport field =
            zelhost::Field(zone, static_cast<int32_t>(&variable - variables.data() + 1), json != nullptr);
        variable.Add(field);
        if (json == nullptr || !field.present) continue;  // the report never forces a load
        WriteField(*json, variable.name, field);
    }
    if (json != nullptr) json->EndObject();
}

void WriteConnectivity(JsonWriter& json, const char* key, const zelhost::ConnectivityReport& report) {
    json.Key(key).BeginObject();
    json.Key("entries").Int(report.entries);
    json.Key("min");
    report.entries > 0 ? json.Int(report.min) : json.Null();
    json.Key("max");
    report.entries > 0 ? json.Int(report.max) : json.Null();
    json.Key("hash").String(Hex(report.hash));
}

void WriteNodeMap(JsonWriter& json, int32_t zone, bool dump) {
    const zelhost::ConnectivityReport report = zelhost::NodeMap(zone);
    if (!report.present) return;
    WriteConnectivity(json, "nodeMap", report);
    if (dump) WriteIntArray(json, "nodes", zelhost::NodeMapNodes(zone));
    json.EndObject();
}

void WriteFaceMap(JsonWriter& json, int32_t zone, bool dump) {
    const zelhost::ConnectivityReport report = zelhost::FaceMap(zone);
    if (!report.present) return;
    WriteConnectivity(json, "faceMap", report);
    if (dump) {
        if (const auto arrays = zelhost::FaceMapContents(zone)) {
            WriteIntArray(json, "elementCounts", arrays->elementCounts);
            if (arrays->polyhedron) WriteIntArray(json, "faceNodeCounts", arrays->faceNodeCounts);
            WriteIntArray(json, "nodes", arrays->nodes);
        }
    }
    json.EndObject();
}

void WriteZone(JsonWriter& json, const zelhost::ZoneSummary& zone, std::vector<VariableSummary>& variables,
               bool dump) {
    json.BeginObject();
    json.Key("number").Int(zone.number);
    json.Key("name").String(zone.name);
    json.Key("zoneType").String(zelhost::ZoneTypeName(zone.zoneType));
    json.Key("imax").Int(zone.imax);
    json.Key("jmax").Int(zone.jmax);
    json.Key("kmax").Int(zone.kmax);
    json.Key("nodes").Int(zone.nodes);
    json.Key("elements").Int(zone.elements);
    json.Key("strand").Int(zone.strand);
    json.Key("solutionTime").Double(zone.solutionTime);
    json.Key("loadFailures").Int(zone.loadFailures);
    ReportValues(zone.number, variables, &json);
    WriteNodeMap(json, zone.number, dump);
    WriteFaceMap(json, zone.number, dump);
    json.EndObject();
}

// Plural for counts of things: "1 element", "8 nodes".
std::string Count(int64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// The host knows a zone's finite-element type only, so the words are the
// host's shapes with their corners: tetrahedra held as collapsed bricks read
// as 8-corner cells, which they are in the host.
std::string ZoneShape(const zelhost::ZoneSummary& zone) {
    switch (zone.zoneType) {
    case 0:
        return std::to_string(zone.imax) + "\u00d7" + std::to_string(zone.jmax) + "\u00d7" +
               std::to_string(zone.kmax) + " block";
    case 1: return "3-corner faces";
    case 2: return "4-corner faces";
    case 3: return "4-corner cells";
    case 4: return "8-corner cells";
    case 5: return "2-node lines";
    case 6: return "polygons";
    case 7: return "polyhedra";
    default: return zelhost::ZoneTypeName(zone.zoneType);
    }
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

const char* const Dot = " \u00b7 ";

std::string ZoneLine(const zelhost::ZoneSummary& zone) {
    std::string line = "zone " + std::to_string(zone.number) + "  \"" + zone.name + "\"  " + ZoneShape(zone) + Dot +
                       Count(zone.nodes, "node", "nodes") + Dot + Count(zone.elements, "element", "elements") + Dot +
                       "t=" + Number(zone.solutionTime);
    if (zone.loadFailures > 0) line += Dot + Count(zone.loadFailures, "failed load", "failed loads");
    return line + "\n";
}

std::string Padded(const std::string& text, size_t width) {
    return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

const char* LocationName(int locations) {
    switch (locations) {
    case 1: return "nodal";
    case 2: return "cell-centred";
    case 3: return "nodal and cell-centred";
    default: return "in no zone";
    }
}

std::string VariableLines(const std::vector<VariableSummary>& variables) {
    size_t width = 0;
    for (const VariableSummary& variable : variables) width = std::max(width, variable.name.size());
    std::string text = variables.empty() ? "" : "variables\n";
    for (const VariableSummary& variable : variables) {
        std::string line = "  " + Padded(variable.name, width) + "  " + Padded(LocationName(variable.locations), 12);
        if (variable.stats.count > 0) {
            line += "  min " + Number(variable.stats.min) + "  max " + Number(variable.stats.max);
        } else {
            line += variable.loaded ? "  no finite value" : "  not loaded";
        }
        if (!variable.stats.finite) line += "  (NaN or infinity met)";
        text += line + "\n";
    }
    return text;
}

}  // namespace

void VariableSummary::Add(const zelhost::FieldReport& field) {
    if (field.length == 0 && !field.present) return;  // no field in this zone
    locations |= field.location == 1 ? 1 : 2;
    if (!field.present) return;
    loaded = true;
    if (!field.stats.finite) stats.finite = false;
    if (field.stats.count == 0) return;
    if (stats.count == 0 || field.stats.min < stats.min) stats.min = field.stats.min;
    if (stats.count == 0 || field.stats.max > stats.max) stats.max = field.stats.max;
    stats.count += field.stats.count;
}

ModelSnapshot TakeSnapshot(bool json, bool dumpConnectivity) {
    ModelSnapshot model;
    model.hasDataSet = zelhost::HasDataSet();
    model.title = zelhost::DataSetTitle();
    model.variables = zelhost::VariableNames();
    std::vector<VariableSummary> variables;
    for (const std::string& name : model.variables) variables.push_back(VariableSummary{name, 0, false, {}});
    JsonWriter zones;
    zones.BeginArray();
    const int32_t count = zelhost::ZoneCount();
    model.zones = count;
    for (int32_t z = 1; z <= count; ++z) {
        const auto zone = zelhost::ZoneInfo(z);
        if (json) {
            WriteZone(zones, *zone, variables, dumpConnectivity);
        } else {
            ReportValues(z, variables, nullptr);
        }
        model.summary += ZoneLine(*zone);
        model.nodes += zone->nodes;
        model.elements += zone->elements;
    }
    zones.EndArray();
    model.zonesJson = zones.text();
    model.summary += VariableLines(variables);
    return model;
}

namespace {

void WriteRequests(JsonWriter& json, const std::vector<zelhost::LoadRequest>& requests) {
    json.Key("loadRequests").BeginArray();
    for (const zelhost::LoadRequest& request : requests) {
        json.BeginObject();
        json.Key("kind").String(request.kind);
        json.Key("zone").Int(request.zone);
        json.Key("variable").Int(request.variable);
        json.EndObject();
    }
    json.EndArray();
}

void WriteRecords(JsonWriter& json) {
    json.Key("stateChanges").BeginArray();
    for (const zelhost::StateChangeRecord& change : zelhost::StateChanges()) {
        json.BeginObject().Key("code").Int(change.code).Key("members").BeginArray();
        for (int64_t member : change.members) json.Int(member);
        json.EndArray().EndObject();
    }
    json.EndArray();
    json.Key("statusTexts").BeginArray();
    for (const std::string& text : zelhost::StatusTexts()) json.String(text);
    json.EndArray();
    json.Key("hostFaults").BeginArray();
    for (const std::string& fault : zelhost::Faults()) json.String(fault);
    json.EndArray();
}

}  // namespace

void WriteMessages(JsonWriter& json) {
    json.Key("messages").BeginArray();
    for (const zelhost::Message& message : zelhost::Messages()) {
        json.BeginObject().Key("kind").String(message.kind).Key("text").String(message.text);
        json.Key("dialog").Bool(message.dialog).EndObject();
    }
    json.EndArray();
}

std::string RenderJsonReport(const ModelSnapshot& model, const RunRecord& run) {
    JsonWriter json;
    json.BeginObject();
    json.Key("loaded").Bool(run.loaded);
    WriteMessages(json);
    json.Key("datasetTitle");
    model.hasDataSet ? json.String(model.title) : json.Null();
    json.Key("variables").BeginArray();
    for (const std::string& name : model.variables) json.String(name);
    json.EndArray();
    json.Key("zones").Raw(model.zonesJson);
    if (run.listRequests) WriteRequests(json, run.requests);
    json.Key("memoryNotifiedKB").Int(zelhost::MemoryNotifiedKB());
    json.Key("clientData").BeginObject();
    json.Key("registered").Int(zelhost::ClientDataRegistered());
    json.Key("released").Int(zelhost::ClientDataReleased());
    json.EndObject();
    json.Key("times").BeginObject();
    json.Key("loadSeconds").Double(run.loadSeconds);
    json.Key("forceSeconds").Double(run.forceSeconds);
    json.Key("lockHeldSeconds").Double(run.lock.heldSeconds);
    json.Key("lockHostCallSeconds").Double(run.lock.hostCallSeconds);
    json.Key("arraysPlacedSeconds").Double(run.arraysPlacedSeconds);
    json.EndObject();
    if (run.forced) {
        json.Key("forced").BeginObject();
        json.Key("loads").Int(run.forceResult.loads).Key("failures").Int(run.forceResult.failures);
        json.EndObject();
    }
    json.Key("leaks").BeginObject();
    for (const auto& [label, live] : zelhost::LiveAllocations()) json.Key(label).Int(live.count);
    json.EndObject();
    WriteRecords(json);
    json.EndObject();
    return json.text() + "\n";
}

namespace {

std::string Bytes(int64_t bytes) {
    const char* units[] = {"bytes", "kB", "MB", "GB", "TB"};
    double value = static_cast<double>(bytes);
    size_t unit = 0;
    while (value >= 1000.0 && unit + 1 < std::size(units)) {
        value /= 1000.0;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, unit == 0 ? "%.0f %s" : "%.1f %s", value, units[unit]);
    return text;
}

std::string Headline(const ModelSnapshot& model, const RunRecord& run) {
    std::string line = run.loaded ? "loaded" : "load failed";
    if (!model.hasDataSet) return line + ", no data set\n";
    return line + " \"" + model.title + "\": " + Count(model.zones, "zone", "zones") + ", " +
           Count(static_cast<int64_t>(model.variables.size()), "variable", "variables") + "\n";
}

std::string TotalsLine(const ModelSnapshot& model, const RunRecord& run) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f s", run.loadSeconds + run.forceSeconds);
    std::string line = "total: " + Count(model.zones, "zone", "zones") + Dot +
                       Count(model.nodes, "node", "nodes") + Dot + Count(model.elements, "element", "elements");
    if (run.bytesRead >= 0) line += Dot + Bytes(run.bytesRead) + " read";
    return line + Dot + seconds + "\n";
}

}  // namespace

std::string RenderTextReport(const ModelSnapshot& model, const RunRecord& run) {
    std::string text = Headline(model, run) + model.summary;
    if (run.listRequests) {
        text += "load requests: " + std::to_string(run.requests.size()) + "\n";
        for (const zelhost::LoadRequest& request : run.requests) {
            text += "  " + request.kind + " zone " + std::to_string(request.zone) +
                    (request.variable > 0 ? " variable " + std::to_string(request.variable) : "") + "\n";
        }
    }
    if (run.forced) {
        text += "forced " + Count(run.forceResult.loads, "load", "loads") + ", " +
                std::to_string(run.forceResult.failures) + " failed" +
                (run.forceResult.stopped ? ", the rest left by Ctrl-C" : "") + "\n";
    }
    text += TotalsLine(model, run);
    // Only a fault of the host or the add-on is worth a line: these are their counts.
    if (zelhost::ClientDataRegistered() != zelhost::ClientDataReleased()) {
        text += "client data: " + std::to_string(zelhost::ClientDataRegistered()) + " registered, " +
                std::to_string(zelhost::ClientDataReleased()) + " released\n";
    }
    for (const auto& [label, live] : zelhost::LiveAllocations()) {
        text += "leak: " + std::to_string(live.count) + " x \"" + label + "\"\n";
    }
    for (const std::string& fault : zelhost::Faults()) text += "host fault: " + fault + "\n";
    return text;
}
