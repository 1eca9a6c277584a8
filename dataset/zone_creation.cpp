#include "dataset/zone_creation.h"

#include <string_view>
#include <vector>

#include "casefile/element_types.h"
#include "casefile/show_error.h"
#include "dataset/deferred_loading.h"
#include "dataset/element_conversion.h"
#include "host_api/host_lock.h"
#include "host_api/variable_numbers.h"

namespace quorix {
namespace {

bool DataSetCounts(EntIndex_t& zoneCount, EntIndex_t& varCount) {
    zoneCount = 0;
    varCount = 0;
    return ZelUtilDataSetIsAvailable() && ZelUtilDataSetGetInfo(nullptr, &zoneCount, &varCount);
}

std::string_view CategoryPrefix(ElementCategoryCode category) {
    switch (category) {
        case CategoryPoint: return "Point: ";
        case CategoryLine: return "Line: ";
        case CategorySurface: return "Surf: ";
        case CategoryVolume: return "Vol: ";
        default: return "";
    }
}

std::string ZoneName(const PartInfo& part) {
    std::string name;
    if (part.kind == PartUnstructured && !IsEmptyPart(part)) {
        name = CategoryPrefix(part.category);
    } else if (part.kind == PartParticles) {
        name = "Particle: ";
    }
    name += ZoneDescription(part.name);
    return name;
}

struct ZoneShape {
    int64_t imax = 0, jmax = 0, kmax = 0;
};

// Point parts and particles hold one value per node, so their ordered zone
// is a row of nodes whatever the element count.
ZoneShape ShapeOfPart(const PartInfo& part) {
    bool pointRow = part.kind == PartParticles || (part.kind == PartUnstructured && part.category == CategoryPoint);
    if (pointRow) return {part.imax, 1, 1};
    return {part.imax, part.jmax, part.kmax};
}

bool ShapeIsEmpty(const ZoneShape& shape, bool polytope) {
    return shape.imax < 1 || shape.jmax < 1 || (!polytope && shape.kmax < 1);
}

// Every variable is a 32-bit real but "IBlank", a 32-bit integer.
void FillVariableDataTypes(std::vector<int32_t>& types, EntIndex_t varCount, bool hasIBlank) {
    types.assign(static_cast<size_t>(varCount), ZelFieldFloat);
    if (hasIBlank && varCount >= IBlankVariable) types[IBlankVariable - 1] = ZelFieldInt32;
}

void AddZoneArguments(ArgList_pa args, const PartCollection& collection, const PartInfo& part,
                      const std::string& name, const ZoneShape& shape, int32_t zoneType,
                      const std::vector<int32_t>& dataTypes, ZoneSharing sharing, int32_t sourceZone,
                      float solutionTime) {
    ZelUtilArgListAppendString(args, "NAME", name.c_str());
    ZelUtilArgListAppendInt(args, "ZONETYPE", zoneType);
    ZelUtilArgListAppendInt(args, "IMAX", shape.imax);
    ZelUtilArgListAppendInt(args, "JMAX", shape.jmax);
    if (!part.polytope) ZelUtilArgListAppendInt(args, "KMAX", shape.kmax);
    ZelUtilArgListAppendArray(args, "VARDATATYPE", dataTypes.data());
    ZelUtilArgListAppendInt(args, "DEFERVARCREATION", 1);
    ZelUtilArgListAppendInt(args, "STRANDID", collection.StrandForPart(part.partNumber));
    ZelUtilArgListAppendDouble(args, "SOLUTIONTIME", static_cast<double>(solutionTime));
    // An ordered zone (point part) has no connectivity to defer or share.
    if (part.kind != PartUnstructured || zoneType == ZelZoneOrdered) return;
    if (sharing != ZoneSharing::None) {
        ZelUtilArgListAppendInt(args, "CONNECTSHAREZONE", sourceZone);
    } else {
        ZelUtilArgListAppendInt(args, "DEFERNODEMAPCREATION", 1);
    }
}

void AddToSet(Set_pa set, int32_t member) {
    if (set != nullptr) ZelUtilSetAddMember(set, member, ZEL_FALSE);
}

enum class StepChoice {
    Make,     // make the zone at `step`, `time`
    Skip,     // the step lies beyond the time set
    Missing,  // the time set lacks the step's value
};

// A series without a usable time set is steady: one step at time 0 (a
// later step a file may still hold has no time to be shown at).
StepChoice StepAndTime(const PartInfo& part, bool transient, const TimeSectionInfo* timeSet, int32_t& step,
                       float& time) {
    step = 1;
    time = 0.0f;
    if (!transient || timeSet == nullptr || timeSet->numberOfSteps < 1) {
        return part.step > 1 ? StepChoice::Skip : StepChoice::Make;
    }
    step = part.step;
    if (step < 1 || step > timeSet->numberOfSteps) return StepChoice::Skip;
    return TimeValueForStep(timeSet, step - 1, time) ? StepChoice::Make : StepChoice::Missing;
}

// Model parts and particles are separate series: particles get their own
// zones and loaders once the measured geometry is scanned.
bool IsInSeries(const PartInfo& part, bool particles) { return (part.kind == PartParticles) == particles; }

// Checked before anything is made, so that a load never stops half way through its zones.
bool SeriesHasTimes(const PartCollection& collection, bool particles, bool transient, const TimeSectionInfo* timeSet) {
    for (const auto& record : collection.parts()) {
        int32_t step = 1;
        float time = 0.0f;
        if (IsInSeries(*record, particles) &&
            StepAndTime(*record, transient, timeSet, step, time) == StepChoice::Missing) {
            ReportMissingTimeValue(*timeSet, step);
            return false;
        }
    }
    return true;
}

}  // namespace

// The line end an ASCII reader kept, and the blank or NUL fill of an 80-byte
// binary record, are not part of the description.
std::string_view ZoneDescription(const std::string& name) {
    std::string_view text(name);
    text = text.substr(0, text.find_first_of(std::string_view("\r\n\0", 3)));
    size_t end = text.find_last_not_of(" \t");
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

void ReportMissingTimeValue(const TimeSectionInfo& timeSet, int32_t step) {
    ReportZoneError("Time set " + std::to_string(timeSet.number) + " holds no time value for step " +
                    std::to_string(step) + ". Aborting read.");
}

void ReportZoneError(const std::string& message) { ShowError(message); }

bool CreateDataSet(const std::string& title, bool withIBlank) {
    HostLock lock;
    HostStringList names;
    for (const char* name : {"X", "Y", "Z"}) ZelUtilStringListAppendString(names.get(), name);
    if (withIBlank) ZelUtilStringListAppendString(names.get(), "IBlank");
    return ZelUtilDataSetCreate(title.c_str(), names.get(), ZEL_TRUE) != ZEL_FALSE;
}

bool AddVariables(int32_t componentCount, const std::string& description, int32_t location) {
    static constexpr std::string_view vectorSuffixes[] = {"X", "Y", "Z"};
    static constexpr std::string_view symmetricSuffixes[] = {"11", "22", "33", "12", "13", "23"};
    static constexpr std::string_view asymmetricSuffixes[] = {"11", "12", "13", "21", "22",
                                                              "23", "31", "32", "33"};
    const std::string_view* suffixes = nullptr;
    if (componentCount == 3) suffixes = vectorSuffixes;
    if (componentCount == 6) suffixes = symmetricSuffixes;
    if (componentCount == 9) suffixes = asymmetricSuffixes;

    HostLock lock;
    EntIndex_t zoneCount = 0;
    EntIndex_t varCount = 0;
    if (!DataSetCounts(zoneCount, varCount)) return false;
    std::vector<int32_t> locations(static_cast<size_t>(zoneCount), location);
    std::vector<int32_t> dataTypes(static_cast<size_t>(zoneCount), ZelFieldFloat);
    HostArgList args;
    for (int32_t c = 0; c < componentCount; ++c) {
        std::string name = description;
        if (suffixes != nullptr) name += suffixes[c];
        ZelUtilArgListClear(args.get());
        ZelUtilArgListAppendString(args.get(), "NAME", name.c_str());
        ZelUtilArgListAppendInt(args.get(), "DEFERVARCREATION", 1);
        ZelUtilArgListAppendArray(args.get(), "VALUELOCATION", locations.data());
        ZelUtilArgListAppendArray(args.get(), "VARDATATYPE", dataTypes.data());
        if (!ZelUtilDataSetAddVarX(args.get())) return false;
    }
    return true;
}

int32_t ZoneTypeForPart(const PartInfo& part) {
    if (part.kind != PartUnstructured) return ZelZoneOrdered;
    return UnstructuredZoneType(part.category, part.maxNodesPerElement, part.polytope);
}

PartZoneMaker::PartZoneMaker(PartCollection& collection, bool dataSetHasIBlank)
    : collection_(collection), hasIBlank_(dataSetHasIBlank) {}


int32_t PartZoneMaker::Make(const PartInfo& part, int32_t step, ZoneSharing sharing, int32_t sourceZone,
                            float solutionTime) {
    return Add(part, step, false, sharing, sourceZone, solutionTime);
}

int32_t PartZoneMaker::MakeEmpty(const PartInfo& part, int32_t step, float solutionTime) {
    return IsEmptyPart(part) ? Add(part, step, true, ZoneSharing::None, 0, solutionTime) : 0;
}

// An empty zone is a row of no nodes.
int32_t PartZoneMaker::Add(const PartInfo& part, int32_t step, bool empty, ZoneSharing sharing, int32_t sourceZone,
                           float solutionTime) {
    const ZoneShape shape = empty ? ZoneShape{0, 1, 1} : ShapeOfPart(part);
    if (!empty && ShapeIsEmpty(shape, part.polytope)) return 0;
    EntIndex_t zoneCount = 0;
    EntIndex_t varCount = 0;
    if (args_.get() == nullptr || !DataSetCounts(zoneCount, varCount)) return 0;
    FillVariableDataTypes(dataTypes_, varCount, hasIBlank_);
    int32_t sharedCount = hasIBlank_ && varCount >= IBlankVariable ? IBlankVariable : IBlankVariable - 1;

    ZelUtilArgListClear(args_.get());
    AddZoneArguments(args_.get(), collection_, part, ZoneName(part), shape,
                     empty ? ZelZoneOrdered : ZoneTypeForPart(part), dataTypes_, sharing, sourceZone, solutionTime);
    bool made = ZelUtilDataSetAddZoneX(args_.get()) != ZEL_FALSE;
    ZelUtilArgListClear(args_.get());  // the list points into dataTypes_
    if (!made) return 0;
    int32_t zone = zoneCount + 1;
    if (sharing == ZoneSharing::All) {
        for (int32_t v = XVariable; v <= sharedCount; ++v) ZelUtilDataValueShare(sourceZone, zone, v);
    }
    collection_.RecordPartZone(part.partNumber, step, zone);
    return zone;
}

bool SharingAllowed(int32_t firstVariable, int32_t components, int32_t source, int32_t zone) {
    HostLock lock;
    for (int32_t c = 1; c <= components; ++c)
        if (ZelUtilDataValueIsSharingOk(source, zone, firstVariable + c) != ZEL_TRUE) return false;
    return true;
}

bool ShareValues(int32_t firstVariable, int32_t components, int32_t source, int32_t zone) {
    HostLock lock;
    if (!SharingAllowed(firstVariable, components, source, zone)) return false;
    for (int32_t c = 1; c <= components; ++c)
        if (ZelUtilDataValueShare(source, zone, firstVariable + c) != ZEL_TRUE) return false;
    return true;
}

void RegisterGeometryLoaders(const PartInfo& part, int32_t zone, bool dataSetHasIBlank, bool ownConnectivity) {
    if (!RegisterCoordinateLoaders(part, zone)) return;
    if (dataSetHasIBlank) RegisterIBlankLoader(part, zone);
    if (part.kind != PartUnstructured || !ownConnectivity) return;
    switch (part.category) {
        case CategoryLine: RegisterLineNodeMapLoader(part, zone); break;
        case CategorySurface:
            if (part.polytope) {
                RegisterPolygonFaceMapLoader(part, zone);
            } else {
                RegisterNodeMapLoader(part, zone);
            }
            break;
        case CategoryVolume:
            if (part.polytope) {
                RegisterPolyhedronFaceMapLoader(part, zone);
            } else {
                RegisterNodeMapLoader(part, zone);
            }
            break;
        default: break;
    }
}

bool CreateGeometryZones(PartCollection& collection, bool transient, const TimeSectionInfo* timeSet, Set_pa zoneSet) {
    HostLock lock;
    if (!SeriesHasTimes(collection, false, transient, timeSet)) return false;
    if (!CreateDataSet("Ensight Gold", collection.AnyPartHasIBlank())) {
        ReportZoneError("Error when attempting to create geometry zones.");
        return false;
    }
    return AddGeometryZones(collection, transient, timeSet, zoneSet);
}

bool AddGeometryZones(PartCollection& collection, bool transient, const TimeSectionInfo* timeSet, Set_pa zoneSet) {
    HostLock lock;
    if (!SeriesHasTimes(collection, false, transient, timeSet)) return false;
    bool hasIBlank = collection.AnyPartHasIBlank();
    PartZoneMaker maker(collection, hasIBlank);
    collection.ReserveZonesForRecords();
    const auto& records = collection.parts();
    // The scans record the parts step after step.
    for (size_t first = 0, end = 0; first < records.size(); first = end) {
        end = first + 1;
        while (end < records.size() && records[end]->step == records[first]->step) ++end;
        bool anyZone = false;
        int32_t step = 1;
        float time = 0.0f;
        const auto makesZone = [&](const PartInfo& record) {
            return IsInSeries(record, false) && StepAndTime(record, transient, timeSet, step, time) == StepChoice::Make;
        };
        for (size_t i = first; i < end; ++i) {
            const PartInfo& record = *records[i];
            if (!makesZone(record)) continue;
            // Coordinates-only geometry: the connectivity step's zone lends its elements.
            const int32_t source =
                record.connectivityStep > 0 ? collection.ZoneForPartStep(record.partNumber, record.connectivityStep) : 0;
            const int32_t zone =
                maker.Make(record, step, source > 0 ? ZoneSharing::Connectivity : ZoneSharing::None, source, time);
            if (zone == 0) continue;
            anyZone = true;
            AddToSet(zoneSet, zone);
            RegisterGeometryLoaders(record, zone, hasIBlank, source == 0);
        }
        // A step where every part is empty keeps its time: its parts become empty zones.
        for (size_t i = first; i < end && !anyZone && transient; ++i) {
            if (!makesZone(*records[i])) continue;
            if (const int32_t zone = maker.MakeEmpty(*records[i], step, time); zone > 0) AddToSet(zoneSet, zone);
        }
    }
    return true;
}

bool CreateParticleZones(PartCollection& collection, bool transient, const TimeSectionInfo* timeSet, Set_pa zoneSet) {
    HostLock lock;
    if (!SeriesHasTimes(collection, true, transient, timeSet)) return false;
    bool hasIBlank = collection.AnyPartHasIBlank();
    PartZoneMaker maker(collection, hasIBlank);
    for (const auto& record : collection.parts()) {
        int32_t step = 1;
        float time = 0.0f;
        // A step without particles has nothing to show; it is no failure.
        if (!IsInSeries(*record, true) || record->imax < 1 ||
            StepAndTime(*record, transient, timeSet, step, time) != StepChoice::Make) {
            continue;
        }
        int32_t zone = maker.Make(*record, step, ZoneSharing::None, 0, time);
        if (zone == 0) {
            ReportZoneError("Error when attempting to create particle zones.");
            return false;
        }
        AddToSet(zoneSet, zone);
        RegisterParticleLoaders(*record, zone);
        if (hasIBlank) RegisterIBlankLoader(*record, zone);
    }
    return true;
}

}  // namespace quorix
