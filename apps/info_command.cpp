// `zelhost info`: a case at a glance. The geometry goes through the readers'
// own structure scan (offsets and counts only), so a case of many gigabytes
// answers as fast as a load opens it.
#include "apps/info_command.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "apps/case_steps.h"
#include "apps/json_writer.h"
#include "casefile/case_parser.h"
#include "casefile/element_types.h"
#include "casefile/text_number.h"
#include "casefile/variable_kinds.h"
#include "ensight6/geometry_scanner.h"
#include "gold/file_a.h"
#include "gold/geometry_reader.h"
#include "gold/part_collection.h"

namespace {

using namespace quorix;

struct BlockFacts {
    std::string type;
    int64_t elements = 0;
};

struct PartFacts {
    int32_t number = 0;
    std::string name;
    std::string kind;     // "unstructured", "curvilinear", ...
    int64_t nodes = -1;   // -1: the part uses the file's global node list (EnSight 6)
    int64_t imax = 0, jmax = 0, kmax = 0;  // structured parts
    std::vector<BlockFacts> blocks;
};

struct GeometryFacts {
    std::string path;
    bool scanned = false;
    std::string error;
    GeometryEncoding encoding = EncodingUnknown;
    int32_t byteOrder = 0;  // LittleEndian or BigEndian; 0 for ASCII
    int64_t globalNodes = -1;  // EnSight 6
    std::vector<PartFacts> parts;
};

// A case entry with files: the geometry, a variable or one half of a complex one.
struct EntryFacts {
    std::string name;  // the description; "model" or "measured" for geometry
    std::string kind;  // as the case file names it
    int32_t timeSet = 0;
    std::vector<std::string> paths;  // one per step
};

const char* EncodingName(GeometryEncoding encoding) {
    switch (encoding) {
    case EncodingCBinary: return "C binary";
    case EncodingFortranBinary: return "Fortran binary";
    case EncodingAscii: return "ASCII";
    default: return "unknown";
    }
}

const char* ByteOrderName(int32_t byteOrder) {
    return byteOrder == LittleEndian ? "little-endian" : byteOrder == BigEndian ? "big-endian" : nullptr;
}

const char* GoldPartKind(PartKind kind) {
    switch (kind) {
    case PartCurvilinear: return "curvilinear";
    case PartRectilinear: return "rectilinear";
    case PartUniform: return "uniform";
    case PartParticles: return "particles";
    default: return "unstructured";
    }
}

// ASCII descriptions keep their line end as read.
std::string Trimmed(std::string_view text) {
    const size_t end = text.find_last_not_of(LineBlanks);
    return std::string(text.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

std::string TypeName(ElementType type) {
    const std::string_view name = ElementTypeName(type);
    return name.empty() ? "type " + std::to_string(static_cast<int32_t>(type)) : std::string(name);
}

void ScanGold(GeometryFacts& geometry) {
    PartCollection collection(0, 1, 0, 1);
    CFileEnsightGeomGold reader;
    geometry.scanned = reader.Open(geometry.path) && reader.ScanParts(collection, 0);
    if (!geometry.scanned) geometry.error = reader.errorText();
    geometry.encoding = reader.format();
    if (reader.format() != EncodingAscii) geometry.byteOrder = reader.byteOrder();
    for (const auto& part : collection.parts()) {
        if (part->step != 1) continue;  // a file of a file set: its first step speaks for the rest
        PartFacts facts{part->partNumber, Trimmed(part->name), GoldPartKind(part->kind), part->nodeCount, 0, 0, 0, {}};
        if (part->kind != PartUnstructured && part->kind != PartParticles) {
            facts.imax = part->imax;
            facts.jmax = part->jmax;
            facts.kmax = part->kmax;
        }
        for (const ElementBlockInfo& block : part->blocks) facts.blocks.push_back({TypeName(block.type), block.elementCount});
        geometry.parts.push_back(std::move(facts));
    }
}

void ScanEnsight6(GeometryFacts& geometry) {
    Ensight6GeometryScanner scanner;
    Ensight6GeometryFile file;
    file.path = geometry.path;
    File_a* handle = scanner.OpenEnsight6Geometry(geometry.path, file.encoding);
    geometry.encoding = file.encoding;
    if (handle != nullptr) {
        geometry.scanned = scanner.ScanEnsight6Geometry(*handle, file);
        File_a::Close(handle);
    }
    if (!geometry.scanned) geometry.error = scanner.failure.text;
    if (file.encoding != EncodingAscii && file.encoding != EncodingUnknown) {
        geometry.byteOrder = file.byteOrder;
    }
    geometry.globalNodes = file.nodeCount;
    for (const GeometryPart* part : file.parts.parts()) {
        PartFacts facts{part->partNumber, Trimmed(part->description), "unstructured", -1, 0, 0, 0, {}};
        if (part->kind == Ensight6Block) {
            facts.kind = "block";
            facts.nodes = part->NodeCount();
            facts.imax = part->imax;
            facts.jmax = part->jmax;
            facts.kmax = part->kmax;
        }
        for (const GeometryElementBlock* block = part->blocks; block != nullptr; block = block->next) {
            facts.blocks.push_back({TypeName(block->type), block->elementCount});
        }
        geometry.parts.push_back(std::move(facts));
    }
}

std::vector<EntryFacts> Entries(const CaseRecord& record) {
    std::vector<EntryFacts> entries;
    const GeometrySectionInfo& g = record.geometry;
    const auto add = [&](std::string name, std::string_view kind, std::string_view file, int32_t timeSet,
                         int32_t fileSet) {
        if (file.empty()) return;
        entries.push_back({std::move(name), std::string(kind), timeSet, StepPaths(record, file, timeSet, fileSet)});
    };
    add("model", "geometry", g.modelFileName, g.modelTimeSet, g.modelFileSet);
    add("measured", "geometry", g.measuredFileName, g.measuredTimeSet, g.measuredFileSet);
    if (record.variables == nullptr) return entries;
    for (const auto& kind : SvtKinds) {
        for (const VarSVT* e = (record.variables->*kind.list).head; e != nullptr; e = e->next) {
            add(std::string(e->description.view()), kind.keyword, e->fileName.view(), e->timeSet, e->fileSet);
        }
    }
    for (const auto& kind : ComplexKinds) {
        for (const VarComplex* e = (record.variables->*kind.list).head; e != nullptr; e = e->next) {
            const std::string description(e->description.view());
            add(description + " (real)", kind.keyword, e->realFileName.view(), e->timeSet, e->fileSet);
            add(description + " (imaginary)", kind.keyword, e->imagFileName.view(), e->timeSet, e->fileSet);
        }
    }
    return entries;
}

// Each missing file once, in the order the entries name them.
std::vector<std::string> MissingFiles(const std::vector<EntryFacts>& entries) {
    std::vector<std::string> missing;
    std::string previous;
    for (const EntryFacts& entry : entries) {
        for (const std::string& path : entry.paths) {
            if (path == previous) continue;  // the steps of one file of a file set
            previous = path;
            std::error_code error;
            if (!std::filesystem::exists(path, error) && std::find(missing.begin(), missing.end(), path) == missing.end()) {
                missing.push_back(path);
            }
        }
    }
    return missing;
}

std::vector<double> TimeValues(const TimeSectionInfo& set) {
    std::vector<double> values;
    for (int64_t i = 0; i < set.timeValues.size(); ++i) values.push_back(set.timeValues[i]);
    return values;
}

struct CaseFacts {
    std::string casePath;
    bool ensight6 = false;
    GeometryFacts geometry;
    std::vector<EntryFacts> entries;
    std::vector<std::string> missing;
    struct TimeSet {
        int32_t number = 0;
        int32_t steps = 0;
        std::vector<double> values;
    };
    std::vector<TimeSet> timeSets;
};

// ---- text ----

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// Long series show their ends: "0, 0.1, 0.2, … 9.9".
std::string ValueList(const std::vector<double>& values) {
    std::string text;
    for (size_t i = 0; i < values.size(); ++i) {
        if (values.size() > 8 && i == 4) {
            text += ", \u2026";
            i = values.size() - 2;
            continue;
        }
        text += (i == 0 ? "" : ", ") + Number(values[i]);
    }
    return text;
}

std::string FileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

std::string FileRange(const std::vector<std::string>& paths) {
    if (paths.empty()) return "";
    if (paths.front() == paths.back()) return FileName(paths.front());
    return FileName(paths.front()) + " \u2026 " + FileName(paths.back());
}

std::string PartText(const PartFacts& part) {
    std::string line = "  part " + std::to_string(part.number) + "  \"" + part.name + "\"  " + part.kind;
    if (part.imax > 0) {
        line += " " + std::to_string(part.imax) + "\u00d7" + std::to_string(part.jmax) + "\u00d7" +
                std::to_string(part.kmax);
    }
    if (part.nodes >= 0) line += " \u00b7 " + std::to_string(part.nodes) + (part.nodes == 1 ? " node" : " nodes");
    for (const BlockFacts& block : part.blocks) line += " \u00b7 " + block.type + " \u00d7 " + std::to_string(block.elements);
    return line + "\n";
}

std::string RenderText(const CaseFacts& facts) {
    const GeometryFacts& g = facts.geometry;
    std::string text = "case      " + facts.casePath + "\n";
    text += std::string("format    ") + (facts.ensight6 ? "EnSight 6" : "Gold") + ", " + EncodingName(g.encoding);
    if (const char* order = ByteOrderName(g.byteOrder)) text += std::string(", ") + order;
    text += "\n";
    if (!g.path.empty()) text += "geometry  " + FileName(g.path) + (g.scanned ? "" : ": not scanned: " + g.error) + "\n";
    if (g.globalNodes >= 0) text += "nodes     " + std::to_string(g.globalNodes) + " (one list for all parts)\n";
    if (!g.parts.empty()) text += "parts\n";
    for (const PartFacts& part : g.parts) text += PartText(part);
    if (!facts.timeSets.empty()) text += "time sets\n";
    for (const auto& set : facts.timeSets) {
        text += "  " + std::to_string(set.number) + ": " + std::to_string(set.steps) +
                (set.steps == 1 ? " step" : " steps") + (set.values.empty() ? "" : ", t = " + ValueList(set.values)) +
                "\n";
    }
    size_t width = 0;
    for (const EntryFacts& entry : facts.entries) width = std::max(width, entry.name.size());
    text += "files\n";
    for (const EntryFacts& entry : facts.entries) {
        text += "  " + entry.name + std::string(width - entry.name.size() + 2, ' ') + entry.kind +
                (entry.timeSet > 0 ? ", time set " + std::to_string(entry.timeSet) : "") + ": " +
                FileRange(entry.paths) + "\n";
    }
    text += facts.missing.empty() ? "missing   none\n" : "missing\n";
    for (const std::string& path : facts.missing) text += "  " + path + "\n";
    return text;
}

// ---- JSON ----

void WriteParts(JsonWriter& json, const GeometryFacts& g) {
    json.Key("parts").BeginArray();
    for (const PartFacts& part : g.parts) {
        json.BeginObject().Key("number").Int(part.number).Key("name").String(part.name).Key("kind").String(part.kind);
        json.Key("nodes");
        part.nodes >= 0 ? json.Int(part.nodes) : json.Null();
        if (part.imax > 0) json.Key("ijk").BeginArray().Int(part.imax).Int(part.jmax).Int(part.kmax).EndArray();
        json.Key("blocks").BeginArray();
        for (const BlockFacts& block : part.blocks) {
            json.BeginObject().Key("type").String(block.type).Key("elements").Int(block.elements).EndObject();
        }
        json.EndArray().EndObject();
    }
    json.EndArray();
}

std::string RenderJson(const CaseFacts& facts) {
    const GeometryFacts& g = facts.geometry;
    JsonWriter json;
    json.BeginObject().Key("case").String(facts.casePath);
    json.Key("format").String(facts.ensight6 ? "ensight6" : "gold");
    json.Key("encoding").String(EncodingName(g.encoding));
    json.Key("byteOrder");
    const char* order = ByteOrderName(g.byteOrder);
    order != nullptr ? json.String(order) : json.Null();
    json.Key("geometry").String(g.path).Key("scanned").Bool(g.scanned);
    json.Key("scanError");
    g.error.empty() ? json.Null() : json.String(g.error);
    json.Key("globalNodes");
    g.globalNodes >= 0 ? json.Int(g.globalNodes) : json.Null();
    WriteParts(json, g);
    json.Key("timeSets").BeginArray();
    for (const auto& set : facts.timeSets) {
        json.BeginObject().Key("number").Int(set.number).Key("steps").Int(set.steps).Key("timeValues").BeginArray();
        for (double value : set.values) json.Double(value);
        json.EndArray().EndObject();
    }
    json.EndArray();
    json.Key("files").BeginArray();
    for (const EntryFacts& entry : facts.entries) {
        json.BeginObject().Key("name").String(entry.name).Key("kind").String(entry.kind);
        json.Key("timeSet").Int(entry.timeSet).Key("steps").Int(static_cast<int64_t>(entry.paths.size()));
        json.Key("first").String(entry.paths.front()).Key("last").String(entry.paths.back()).EndObject();
    }
    json.EndArray();
    json.Key("missing").BeginArray();
    for (const std::string& path : facts.missing) json.String(path);
    json.EndArray().EndObject();
    return json.text() + "\n";
}

}  // namespace

CaseInfo DescribeCase(const std::string& casePath, bool json) {
    CaseFacts facts;
    facts.casePath = casePath;
    CaseRecord record;
    if (!ParseCaseFile(casePath.c_str(), record.isEnsight6, record.geometry, record.variables, record.timeSets,
                       record.fileSets)) {
        return {};  // the parser has said why
    }
    facts.ensight6 = record.isEnsight6;
    facts.entries = Entries(record);
    facts.missing = MissingFiles(facts.entries);
    for (const TimeSectionInfo* t = FirstSet(record.timeSets); t != nullptr; t = t->next) {
        facts.timeSets.push_back({t->number, t->numberOfSteps, TimeValues(*t)});
    }
    if (!facts.entries.empty() && facts.entries.front().name == "model") {
        facts.geometry.path = facts.entries.front().paths.front();
        facts.ensight6 ? ScanEnsight6(facts.geometry) : ScanGold(facts.geometry);
    }
    return {json ? RenderJson(facts) : RenderText(facts), facts.geometry.scanned && facts.missing.empty() ? 0 : 1};
}

int RunInfoCommand(const std::string& casePath, bool json) {
    const CaseInfo info = DescribeCase(casePath, json);
    std::fputs(info.text.c_str(), stdout);
    return info.status;
}
