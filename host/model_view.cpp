// Read-only views of the data model for reports and tests; nothing here loads.
#include <algorithm>
#include <vector>

#include "host/host_state.h"
#include "host/recursive_lock.h"
#include "host/statistics_sum.h"
#include "host/zel_host.h"

namespace zelhost {
namespace {

const DataSet* Current() { return State().Current(); }

const struct Zone* FindZone(int32_t zone) {
    const DataSet* dataSet = Current();
    return dataSet != nullptr ? dataSet->FindZone(zone) : nullptr;
}

// Computed values are hashed as the host would hold them.
template <class Held>
uint64_t HashComputed(const ZelFieldData_s& field) {
    std::vector<Held> held(static_cast<size_t>(field.count));
    for (int64_t p = 0; p < field.count; ++p) held[static_cast<size_t>(p)] = static_cast<Held>(field.ValueAt(p));
    return HashBytes(held.data(), held.size() * sizeof(Held));
}

ConnectivityReport NodeReport(const int32_t* nodes, int64_t count, uint64_t hash) {
    ConnectivityReport report;
    report.present = true;
    report.entries = count;
    if (count > 0) {
        int32_t min = nodes[0], max = nodes[0];
        for (int64_t i = 1; i < count; ++i) {
            min = std::min(min, nodes[i]);
            max = std::max(max, nodes[i]);
        }
        report.min = min + 1;
        report.max = max + 1;
    }
    report.hash = HashBytes(nodes, static_cast<size_t>(count) * 4, hash);
    return report;
}

}  // namespace

std::string DataSetTitle() {
    HostGuard guard;
    return Current() != nullptr ? Current()->title : std::string();
}

std::vector<std::string> VariableNames() {
    HostGuard guard;
    return Current() != nullptr ? Current()->variables : std::vector<std::string>{};
}

int32_t ZoneCount() {
    HostGuard guard;
    return Current() != nullptr ? Current()->ZoneCount() : 0;
}

std::optional<ZoneSummary> ZoneInfo(int32_t zone) {
    HostGuard guard;
    const struct Zone* z = FindZone(zone);
    if (z == nullptr) return std::nullopt;
    return ZoneSummary{zone,   z->name,    z->zoneType, z->imax,         z->jmax,        z->kmax,
                       z->NodeCount(), z->ElementCount(), z->strand, z->solutionTime, z->loadFailures};
}

const char* ZoneTypeName(int32_t zoneType) {
    switch (zoneType) {
    case ZelZoneOrdered: return "ordered";
    case ZelZoneTriangle: return "triangle";
    case ZelZoneQuad: return "quadrilateral";
    case ZelZoneTetra: return "tetrahedron";
    case ZelZoneBrick: return "brick";
    case ZelZoneLineSeg: return "linesegment";
    case ZelZonePolygon: return "polygon";
    case ZelZonePolyhedron: return "polyhedron";
    default: return "invalid";
    }
}

FieldReport Field(int32_t zone, int32_t variable, bool withHash) {
    HostGuard guard;
    FieldReport report;
    const struct Zone* z = FindZone(zone);
    const ZelFieldData_s* field = Current() != nullptr ? Current()->Field(zone, variable) : nullptr;
    if (field == nullptr) return report;
    report.location = field->location;
    report.dataType = field->dataType;
    report.length = field->count;
    report.present = field->present();
    if (!report.present) return report;
    report.computed = !field->storage.present();
    StatisticsSum sum;
    const auto add = [&](int64_t first, int64_t count) {
        if (report.computed || field->dataType == ZelFieldInt32) {
            for (int64_t p = first; p < first + count; ++p) sum.Add(field->ValueAt(p));
        } else {
            sum.AddFloats(reinterpret_cast<const float*>(field->storage.data()) + first, count);
        }
    };
    if (z->IsOrdered() && field->location == ZelLocationCellCentered) {
        z->ForEachUsedCellRun(add);
    } else {
        add(0, field->count);
    }
    report.stats = sum.Result();
    if (!withHash) return report;
    if (!report.computed) {
        report.hash = HashBytes(field->storage.data(), static_cast<size_t>(field->storage.bytes()));
    } else if (field->dataType == ZelFieldInt32) {
        report.hash = HashComputed<int32_t>(*field);
    } else {
        report.hash = HashComputed<float>(*field);
    }
    return report;
}

std::vector<double> FieldValues(int32_t zone, int32_t variable) {
    HostGuard guard;
    const ZelFieldData_s* field = Current() != nullptr ? Current()->Field(zone, variable) : nullptr;
    std::vector<double> values;
    if (field == nullptr || !field->present()) return values;
    values.reserve(static_cast<size_t>(field->count));
    for (int64_t p = 0; p < field->count; ++p) values.push_back(field->ValueAt(p));
    return values;
}

ConnectivityReport NodeMap(int32_t zone) {
    HostGuard guard;
    const struct Zone* z = FindZone(zone);
    if (z == nullptr || z->nodeMap == nullptr || !z->nodeMap->present()) return {};
    return NodeReport(z->nodeMap->Entries(), z->nodeMap->entryCount(), HashSeed);
}

ConnectivityReport FaceMap(int32_t zone) {
    HostGuard guard;
    const struct Zone* z = FindZone(zone);
    if (z == nullptr || z->faceMap == nullptr || !z->faceMap->present()) return {};
    const ZelFaceMap_s& map = *z->faceMap;
    uint64_t hash = HashBytes(map.elementCounts.data(), map.elementCounts.size() * 4);
    hash = HashBytes(map.faceNodeCounts.data(), map.faceNodeCounts.size() * 4, hash);
    return NodeReport(map.nodes.data(), static_cast<int64_t>(map.nodes.size()), hash);
}

std::vector<int32_t> NodeMapNodes(int32_t zone) {
    HostGuard guard;
    const struct Zone* z = FindZone(zone);
    if (z == nullptr || z->nodeMap == nullptr || !z->nodeMap->present()) return {};
    std::vector<int32_t> nodes(z->nodeMap->Entries(), z->nodeMap->Entries() + z->nodeMap->entryCount());
    for (int32_t& node : nodes) ++node;
    return nodes;
}

std::optional<FaceMapArrays> FaceMapContents(int32_t zone) {
    HostGuard guard;
    const struct Zone* z = FindZone(zone);
    if (z == nullptr || z->faceMap == nullptr || !z->faceMap->present()) return std::nullopt;
    const ZelFaceMap_s& map = *z->faceMap;
    FaceMapArrays arrays{map.polyhedron, {map.elementCounts.begin(), map.elementCounts.end()},
                         {map.faceNodeCounts.begin(), map.faceNodeCounts.end()}, {map.nodes.begin(), map.nodes.end()}};
    for (int32_t& node : arrays.nodes) ++node;
    return arrays;
}

const void* FieldIdentity(int32_t zone, int32_t variable) {
    HostGuard guard;
    return Current() != nullptr ? Current()->Field(zone, variable) : nullptr;
}

const void* NodeMapIdentity(int32_t zone) {
    HostGuard guard;
    const struct Zone* z = FindZone(zone);
    return z != nullptr ? z->nodeMap.get() : nullptr;
}

const void* FaceMapIdentity(int32_t zone) {
    HostGuard guard;
    const struct Zone* z = FindZone(zone);
    return z != nullptr ? z->faceMap.get() : nullptr;
}

}  // namespace zelhost
