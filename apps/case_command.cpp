// `zelhost case CASE [--json]`: the case record as the parser leaves it, with
// the file of every step, so that users and tests see what a load would open.
#include "apps/case_command.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "apps/case_steps.h"
#include "apps/json_writer.h"
#include "apps/load_report.h"
#include "casefile/case_parser.h"
#include "casefile/file_section.h"
#include "casefile/variable_kinds.h"
#include "host/zel_host.h"

namespace {

using namespace quorix;

void WriteHostString(JsonWriter& json, std::string_view key, const HostString& value) {
    json.Key(key);
    value.isSet() ? json.String(value.view()) : json.Null();
}

// Where the k-th step held by the file at `path` begins: a file of a file set
// holds its steps one after another, each opening with "BEGIN TIME STEP"; a
// file of one step without that record begins at 0. -1: not found.
int64_t StepOffset(std::map<std::string, std::vector<int64_t>>& found, const std::string& path, size_t k) {
    auto at = found.find(path);
    if (at == found.end()) at = found.emplace(path, FindStepStarts(path)).first;
    const std::vector<int64_t>& starts = at->second;
    if (k < starts.size()) return starts[k];
    return k == 0 && starts.empty() ? 0 : -1;
}

// One path per step of the entry's time set (one for a static entry), with the
// byte offset at which the step begins in that file (null when it cannot be found).
void WriteSteps(JsonWriter& json, const CaseRecord& record, std::string_view name, int32_t timeSet, int32_t fileSet) {
    std::map<std::string, std::vector<int64_t>> found;
    std::string previous;
    size_t inFile = 0;
    json.Key("steps").BeginArray();
    for (const std::string& path : StepPaths(record, name, timeSet, fileSet)) {
        std::error_code error;
        const bool exists = std::filesystem::exists(path, error);
        inFile = !previous.empty() && path == previous ? inFile + 1 : 0;
        previous = path;
        const int64_t offset = exists ? StepOffset(found, previous, inFile) : -1;
        json.BeginObject().Key("path").String(path).Key("exists").Bool(exists).Key("offset");
        offset >= 0 ? json.Int(offset) : json.Null();
        json.EndObject();
    }
    json.EndArray();
}

void WriteGeometryFile(JsonWriter& json, const CaseRecord& record, std::string_view key, const std::string& name,
                       int32_t timeSet, int32_t fileSet) {
    json.Key(key);
    if (name.empty()) {
        json.Null();
        return;
    }
    json.BeginObject().Key("fileName").String(name).Key("timeSet").Int(timeSet).Key("fileSet").Int(fileSet);
    WriteSteps(json, record, name, timeSet, fileSet);
    json.EndObject();
}

void WriteGeometry(JsonWriter& json, const CaseRecord& record) {
    const GeometrySectionInfo& g = record.geometry;
    json.Key("geometry").BeginObject();
    json.Key("encoding").Int(g.encoding);
    json.Key("modelTimeSet").Int(g.modelTimeSet).Key("modelFileSet").Int(g.modelFileSet);
    json.Key("measuredTimeSet").Int(g.measuredTimeSet).Key("measuredFileSet").Int(g.measuredFileSet);
    json.Key("modelChangeCoordsOnly").Bool(g.modelChangeCoordsOnly);
    json.Key("measuredChangeCoordsOnly").Bool(g.measuredChangeCoordsOnly);
    json.Key("modelChangeCoordsStep").Int(g.modelChangeCoordsStep);
    json.Key("modelFileName").String(g.modelFileName).Key("measuredFileName").String(g.measuredFileName);
    json.Key("matchFileName").String(g.matchFileName).Key("boundaryFileName").String(g.boundaryFileName);
    json.Key("caseDirectory").String(g.caseDirectory);
    json.Key("passedOver").BeginArray();
    for (const std::string& name : g.passedOver) json.String(name);
    json.EndArray();
    json.EndObject();
    WriteGeometryFile(json, record, "model", g.modelFileName, g.modelTimeSet, g.modelFileSet);
    WriteGeometryFile(json, record, "measured", g.measuredFileName, g.measuredTimeSet, g.measuredFileSet);
}

void WriteEntryFields(JsonWriter& json, const VarSVT& entry) {
    WriteHostString(json, "description", entry.description);
    WriteHostString(json, "fileName", entry.fileName);
}

void WriteEntryFields(JsonWriter& json, const VarComplex& entry) {
    WriteHostString(json, "description", entry.description);
    WriteHostString(json, "realFileName", entry.realFileName);
    WriteHostString(json, "imagFileName", entry.imagFileName);
    WriteHostString(json, "frequency", entry.frequency);
}

std::string_view StepFileName(const VarSVT& entry) { return entry.fileName.view(); }
std::string_view StepFileName(const VarComplex& entry) { return entry.realFileName.view(); }

template <class Entry>
void WriteEntries(JsonWriter& json, const CaseRecord& record, const VariableLine<Entry>& kind) {
    json.Key(kind.field).BeginArray();
    for (const Entry* entry = (record.variables->*kind.list).head; entry != nullptr; entry = entry->next) {
        json.BeginObject().Key("timeSet").Int(entry->timeSet).Key("fileSet").Int(entry->fileSet);
        WriteEntryFields(json, *entry);
        WriteSteps(json, record, StepFileName(*entry), entry->timeSet, entry->fileSet);
        json.EndObject();
    }
    json.EndArray();
}

void WriteStringList(JsonWriter& json, std::string_view key, StringList_pa list) {
    json.Key(key);
    if (list == nullptr) {
        json.Null();
        return;
    }
    json.BeginArray();
    const LgIndex_t count = ZelUtilStringListGetCount(list);
    for (LgIndex_t i = 1; i <= count; ++i) {
        HostString entry;
        entry.Adopt(ZelUtilStringListGetString(list, i));
        json.String(entry.view());
    }
    json.EndArray();
}

void WriteVariables(JsonWriter& json, const CaseRecord& record) {
    const VariableSectionInfo* v = record.variables;
    json.Key("variables");
    if (v == nullptr) {
        json.Null();
        return;
    }
    json.BeginObject();
    WriteStringList(json, "constants", v->constants);
    json.Key("constantFileTimeSet").Int(v->constantFileTimeSet);
    WriteHostString(json, "constantFileDescription", v->constantFileDescription);
    WriteHostString(json, "constantFileName", v->constantFileName);
    WriteStringList(json, "constantsPerPart", v->constantsPerPart);
    for (const auto& kind : SvtKinds) WriteEntries(json, record, kind);
    for (const auto& kind : ComplexKinds) WriteEntries(json, record, kind);
    json.EndObject();
}

template <class T>
void WriteArray(JsonWriter& json, std::string_view key, const HostArray<T>& values) {
    json.Key(key).BeginArray();
    for (int64_t i = 0; i < values.size(); ++i) {
        if constexpr (std::is_floating_point_v<T>) {
            char text[32];  // shortest form that reads back as the same float
            const auto result = std::to_chars(text, text + sizeof text, values[i]);
            json.Raw(std::string_view(text, static_cast<size_t>(result.ptr - text)));
        } else {
            json.Int(values[i]);
        }
    }
    json.EndArray();
}

void WriteTimeSets(JsonWriter& json, const TimeSectionInfo* timeSets) {
    json.Key("timeSets").BeginArray();
    for (const TimeSectionInfo* t = FirstSet(timeSets); t != nullptr; t = t->next) {
        json.BeginObject().Key("number").Int(t->number);
        WriteHostString(json, "description", t->description);
        json.Key("numberOfSteps").Int(t->numberOfSteps);
        json.Key("filenameStartNumber").Int(t->filenameStartNumber);
        json.Key("filenameStartNumberGiven").Bool(t->filenameStartNumberGiven);
        json.Key("filenameIncrement").Int(t->filenameIncrement);
        json.Key("filenameIncrementGiven").Bool(t->filenameIncrementGiven);
        WriteArray(json, "timeValues", t->timeValues);
        WriteArray(json, "filenameNumbers", t->filenameNumbers);
        WriteHostString(json, "filenameNumbersFile", t->filenameNumbersFile);
        WriteHostString(json, "timeValuesFile", t->timeValuesFile);
        json.Key("expectTimeValues").Bool(t->expectTimeValues);
        json.Key("timeValuesRead").Int(t->timeValuesRead);
        json.Key("expectFilenameNumbers").Bool(t->expectFilenameNumbers);
        json.Key("filenameNumbersRead").Int(t->filenameNumbersRead);
        json.Key("filenameNumbersGiven").Bool(t->filenameNumbersGiven);
        json.EndObject();
    }
    json.EndArray();
}

void WriteFileSets(JsonWriter& json, const FileSectionInfo* fileSets) {
    json.Key("fileSets").BeginArray();
    for (const FileSectionInfo* f = FirstSet(fileSets); f != nullptr; f = f->next) {
        json.BeginObject().Key("number").Int(f->number).Key("filenameIndex").Int(f->filenameIndex);
        json.Key("numberOfSteps").Int(f->numberOfSteps).EndObject();
    }
    json.EndArray();
}

void WriteLeaks(JsonWriter& json) {
    json.Key("leaks").BeginObject();
    for (const auto& [label, live] : zelhost::LiveAllocations()) json.Key(label).Int(live.count);
    json.EndObject();
}

// Indents a compact JSON text, two blanks a level, for reading in a terminal.
std::string Indented(const std::string& compact) {
    std::string out;
    int depth = 0;
    bool inString = false;
    const auto newline = [&] { out += '\n' + std::string(static_cast<size_t>(2 * depth), ' '); };
    for (size_t i = 0; i < compact.size(); ++i) {
        const char c = compact[i];
        out += c;
        if (inString) {
            if (c == '\\' && i + 1 < compact.size()) out += compact[++i];
            else if (c == '"') inString = false;
        } else if (c == '"') {
            inString = true;
        } else if ((c == '{' || c == '[') && i + 1 < compact.size() && (compact[i + 1] == '}' || compact[i + 1] == ']')) {
            out += compact[++i];  // empty container on one line
        } else if (c == '{' || c == '[') {
            ++depth;
            newline();
        } else if (c == ',') {
            newline();
        } else if (c == ':') {
            out += ' ';
        }
        if (!inString && i + 1 < compact.size() && (compact[i + 1] == '}' || compact[i + 1] == ']')) {
            --depth;
            newline();
        }
    }
    return out;
}

}  // namespace

int RunCaseCommand(const std::string& casePath, bool json) {
    JsonWriter out;
    bool parsed = false;
    out.BeginObject();
    {
        CaseRecord record;
        parsed = ParseCaseFile(casePath.c_str(), record.isEnsight6, record.geometry, record.variables,
                               record.timeSets, record.fileSets);
        out.Key("parsed").Bool(parsed);
        out.Key("case").String(casePath);
        out.Key("format").String(record.isEnsight6 ? "ensight6" : "gold");
        out.Key("IsEnsight6").Bool(record.isEnsight6);
        WriteGeometry(out, record);
        WriteVariables(out, record);
        WriteTimeSets(out, record.timeSets);
        WriteFileSets(out, record.fileSets);
    }
    WriteMessages(out);
    WriteLeaks(out);
    out.EndObject();
    const std::string text = json ? out.text() : Indented(out.text());
    std::fputs(text.c_str(), stdout);
    std::fputc('\n', stdout);
    return parsed ? 0 : 1;
}
