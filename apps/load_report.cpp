#include "apps/load_report.h"

#include <cinttypes>
#include <cstdio>
#include <sstream>

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

void WriteValues(JsonWriter& json, int32_t zone, const std::vector<std::string>& variables) {
    json.Key("values").BeginObject();
    for (size_t v = 0; v < variables.size(); ++v) {
        const zelhost::FieldReport field = zelhost::Field(zone, static_cast<int32_t>(v + 1));
        if (!field.present) continue;  // the report never forces a load
        json.Key(variables[v]).BeginObject();
        json.Key("location").String(field.location == 1 ? "nodal" : "cell");
        WriteStatistics(json, field.stats);
        json.Key("hash").String(Hex(field.hash));
        json.EndObject();
    }
    json.EndObject();
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

void WriteZone(JsonWriter& json, const zelhost::ZoneSummary& zone, const std::vector<std::string>& variables,
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
    WriteValues(json, zone.number, variables);
    WriteNodeMap(json, zone.number, dump);
    WriteFaceMap(json, zone.number, dump);
    json.EndObject();
}

std::string ZoneLine(const zelhost::ZoneSummary& zone) {
    std::ostringstream line;
    line << "Zone " << zone.number << " \"" << zone.name << "\" " << zelhost::ZoneTypeName(zone.zoneType) << " "
         << zone.imax << " x " << zone.jmax << " x " << zone.kmax << ", strand " << zone.strand << ", time "
         << zone.solutionTime;
    if (zone.loadFailures > 0) line << ", " << zone.loadFailures << " failed loads";
    return line.str() + "\n";
}

std::string Joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
    return text;
}

}  // namespace

ModelSnapshot TakeSnapshot(bool dumpConnectivity) {
    ModelSnapshot model;
    model.hasDataSet = zelhost::HasDataSet();
    model.title = zelhost::DataSetTitle();
    model.variables = zelhost::VariableNames();
    JsonWriter zones;
    zones.BeginArray();
    const int32_t count = zelhost::ZoneCount();
    if (model.hasDataSet) {
        model.summary = "Data set \"" + model.title + "\": " + std::to_string(count) + " zones, " +
                        std::to_string(model.variables.size()) + " variables\n";
        model.summary += "Variables: " + Joined(model.variables) + "\n";
    }
    for (int32_t z = 1; z <= count; ++z) {
        const auto zone = zelhost::ZoneInfo(z);
        WriteZone(zones, *zone, model.variables, dumpConnectivity);
        model.summary += ZoneLine(*zone);
    }
    zones.EndArray();
    model.zonesJson = zones.text();
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

std::string RenderTextReport(const ModelSnapshot& model, const RunRecord& run) {
    std::string text = std::string("loaded: ") + (run.loaded ? "yes" : "no") + "\n" + model.summary;
    if (run.listRequests) {
        text += "Load requests: " + std::to_string(run.requests.size()) + "\n";
        for (const zelhost::LoadRequest& request : run.requests) {
            text += "  " + request.kind + " zone " + std::to_string(request.zone) +
                    (request.variable > 0 ? " variable " + std::to_string(request.variable) : "") + "\n";
        }
    }
    if (run.forced) {
        text += "Forced " + std::to_string(run.forceResult.loads) + " loads, " +
                std::to_string(run.forceResult.failures) + " failed\n";
    }
    text += "Client data: " + std::to_string(zelhost::ClientDataRegistered()) + " registered, " +
            std::to_string(zelhost::ClientDataReleased()) + " released\n";
    for (const auto& [label, live] : zelhost::LiveAllocations()) {
        text += "Leak: " + std::to_string(live.count) + " x \"" + label + "\"\n";
    }
    for (const std::string& fault : zelhost::Faults()) text += "Host fault: " + fault + "\n";
    return text;
}
