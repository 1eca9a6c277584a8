// Frames, the data set, zones and variables.
#include <algorithm>
#include <initializer_list>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "host/arg_list.h"
#include "host/host_state.h"
#include "host/host_strings.h"
#include "host/recursive_lock.h"
#include "host_api/zel_api.h"

using namespace zelhost;

namespace {

// Far beyond any real zone, far below where products of dimensions overflow.
constexpr int64_t MaxPositions = int64_t{1} << 40;

// Built by appending: GCC 12 warns falsely (-Wrestrict) about "literal" + std::string.
std::string NumberedName(const char* prefix, int32_t number) {
    std::string name(prefix);
    name += std::to_string(number);
    return name;
}

bool IsDataType(int32_t type) { return type == ZelFieldFloat || type == ZelFieldInt32; }

void ReportUnknownArguments(const ZelArgList_s& args, std::initializer_list<ArgName> known, const char* call) {
    for (const std::string& name : args.Unknown(known)) {
        State().Fault(std::string(call) + ": unknown argument \"" + name + "\"");
    }
}

bool ShapeIsValid(const Zone& zone) {
    // An empty zone (a row of no nodes) keeps a time step that has nothing to show.
    if (zone.IsOrdered() && zone.imax == 0 && zone.jmax == 1 && zone.kmax == 1) return true;
    if (zone.imax < 1 || zone.jmax < 1 || zone.imax > MaxPositions || zone.jmax > MaxPositions) return false;
    if (zone.IsOrdered()) {
        if (zone.kmax < 1 || zone.kmax > MaxPositions) return false;
        return zone.imax * zone.jmax <= MaxPositions / zone.kmax;
    }
    // node numbers travel as int32
    return zone.imax <= std::numeric_limits<int32_t>::max() && zone.jmax <= MaxPositions / 8;
}

// Node map or face map: shared with a compatible zone, or new.
bool AttachConnectivity(Zone& zone, const DataSet& dataSet, int64_t shareZone, bool deferNodeMap) {
    if (zone.IsOrdered()) return true;  // no connectivity to share
    const Zone* source = nullptr;
    if (shareZone != 0) {
        source = dataSet.FindZone(shareZone);
        if (source == nullptr || source->zoneType != zone.zoneType || source->imax != zone.imax ||
            source->jmax != zone.jmax) {
            State().Fault("ZelUtilDataSetAddZoneX: \"CONNECTSHAREZONE\" names no compatible zone");
            return false;
        }
    }
    if (IsPolytope(zone.zoneType)) {
        zone.faceMap = source != nullptr ? source->faceMap
                                         : std::make_shared<ZelFaceMap_s>(zone.zoneType == ZelZonePolyhedron,
                                                                          zone.jmax, zone.imax);
        return true;
    }
    if (source != nullptr) {
        zone.nodeMap = source->nodeMap;
        return true;
    }
    zone.nodeMap = std::make_shared<ZelNodeMap_s>(zone.jmax, static_cast<int32_t>(zone.kmax), zone.imax);
    return deferNodeMap || zone.nodeMap->Allocate();
}

std::shared_ptr<ZelFieldData_s> NewField(const Zone& zone, int32_t type, int32_t location, bool defer) {
    auto field = std::make_shared<ZelFieldData_s>(type, location, zone.ValueCount(location));
    if (!defer && !field->Allocate()) return nullptr;
    return field;
}

bool AddFields(Zone& zone, const DataSet& dataSet, const int32_t* dataTypes, bool defer) {
    zone.fields.reserve(static_cast<size_t>(dataSet.VariableCount()));
    for (int32_t v = 0; v < dataSet.VariableCount(); ++v) {
        const int32_t type = dataTypes != nullptr ? dataTypes[v] : ZelFieldFloat;
        if (!IsDataType(type)) return false;
        auto field = NewField(zone, type, ZelLocationNodal, defer);
        if (field == nullptr) return false;
        zone.fields.push_back(std::move(field));
    }
    return true;
}

bool AddZone(const ZelArgList_s& args) {
    HostGuard guard;
    DataSet* dataSet = State().Current();
    if (dataSet == nullptr) return false;
    ReportUnknownArguments(args,
                           {ArgName::Name, ArgName::ZoneType, ArgName::IMax, ArgName::JMax, ArgName::KMax,
                            ArgName::VarDataType, ArgName::DeferVarCreation, ArgName::StrandId, ArgName::SolutionTime,
                            ArgName::ConnectShareZone, ArgName::DeferNodeMapCreation},
                           "ZelUtilDataSetAddZoneX");
    auto zone = std::make_unique<Zone>();
    const int64_t type = args.Int(ArgName::ZoneType).value_or(ZelZoneOrdered);
    if (!IsKnownZoneType(static_cast<int32_t>(type)) || type != static_cast<int32_t>(type)) return false;
    zone->zoneType = static_cast<int32_t>(type);
    const std::string* name = args.String(ArgName::Name);
    zone->name = name != nullptr ? *name : NumberedName("Zone ", dataSet->ZoneCount() + 1);
    zone->imax = args.Int(ArgName::IMax).value_or(1);
    zone->jmax = args.Int(ArgName::JMax).value_or(1);
    // Finite elements: the zone type decides the nodes per element, whatever "KMAX" says.
    zone->kmax = zone->IsOrdered() ? args.Int(ArgName::KMax).value_or(1) : NodesPerElementOf(zone->zoneType);
    if (!ShapeIsValid(*zone)) return false;
    zone->strand = static_cast<int32_t>(args.Int(ArgName::StrandId).value_or(0));
    zone->solutionTime = args.Double(ArgName::SolutionTime).value_or(0.0);
    const bool defer = args.Int(ArgName::DeferVarCreation).value_or(0) != 0;
    const bool deferNodeMap = args.Int(ArgName::DeferNodeMapCreation).value_or(0) != 0;
    if (!AttachConnectivity(*zone, *dataSet, args.Int(ArgName::ConnectShareZone).value_or(0), deferNodeMap)) {
        return false;
    }
    if (!AddFields(*zone, *dataSet, args.Int32Array(ArgName::VarDataType), defer)) return false;
    dataSet->zones.push_back(std::move(zone));
    return true;
}

bool AddVariable(const ZelArgList_s& args) {
    HostGuard guard;
    DataSet* dataSet = State().Current();
    if (dataSet == nullptr) return false;
    ReportUnknownArguments(args,
                           {ArgName::Name, ArgName::DeferVarCreation, ArgName::ValueLocation, ArgName::VarDataType},
                           "ZelUtilDataSetAddVarX");
    const int32_t* locations = args.Int32Array(ArgName::ValueLocation);
    const int32_t* types = args.Int32Array(ArgName::VarDataType);
    const bool defer = args.Int(ArgName::DeferVarCreation).value_or(0) != 0;
    std::vector<std::shared_ptr<ZelFieldData_s>> fields;
    for (int32_t z = 0; z < dataSet->ZoneCount(); ++z) {
        const int32_t location = locations != nullptr ? locations[z] : ZelLocationNodal;
        const int32_t type = types != nullptr ? types[z] : ZelFieldFloat;
        if ((location != ZelLocationNodal && location != ZelLocationCellCentered) || !IsDataType(type)) return false;
        auto field = NewField(*dataSet->zones[static_cast<size_t>(z)], type, location, defer);
        if (field == nullptr) return false;
        fields.push_back(std::move(field));
    }
    const std::string* name = args.String(ArgName::Name);
    dataSet->variables.push_back(name != nullptr ? *name : NumberedName("V", dataSet->VariableCount() + 1));
    for (size_t z = 0; z < fields.size(); ++z) dataSet->zones[z]->fields.push_back(std::move(fields[z]));
    return true;
}

template <class Action>
Boolean_t Guarded(Action action) {
    try {
        return action() ? ZEL_TRUE : ZEL_FALSE;
    } catch (const std::bad_alloc&) {
        return ZEL_FALSE;
    }
}

}  // namespace

namespace zelhost {

// Clean-ups run outside the host's bookkeeping, after the frame is off the stack.
bool RemoveTopFrame() {
    std::shared_ptr<DataSet> doomed;
    {
        HostGuard guard;
        HostState& state = State();
        if (state.frames.empty()) return false;
        doomed = std::move(state.frames.back());
        state.frames.pop_back();
    }
    doomed.reset();
    return true;
}

void PushFrame() {
    HostGuard guard;
    State().frames.emplace_back();
}

DataSetHandle TopDataSet() {
    HostGuard guard;
    const HostState& state = State();
    return state.frames.empty() ? nullptr : state.frames.back();
}

bool RemoveFrameOf(const DataSet* dataSet) {
    std::shared_ptr<DataSet> doomed;
    {
        HostGuard guard;
        auto& frames = State().frames;
        const auto frame = std::find_if(frames.begin(), frames.end(),
                                        [dataSet](const auto& held) { return held.get() == dataSet; });
        if (dataSet == nullptr || frame == frames.end()) return false;
        doomed = std::move(*frame);
        frames.erase(frame);
    }
    doomed.reset();
    return true;
}

}  // namespace zelhost

extern "C" {

Boolean_t ZelUtilDataSetIsAvailable(void) {
    HostGuard guard;
    return State().Current() != nullptr ? ZEL_TRUE : ZEL_FALSE;
}

Boolean_t ZelUtilFrameDeleteTop(void) { return RemoveTopFrame() ? ZEL_TRUE : ZEL_FALSE; }

Boolean_t ZelUtilDataSetGetInfo(char** title, EntIndex_t* zoneCount, EntIndex_t* varCount) {
    HostGuard guard;
    const DataSet* dataSet = State().Current();
    if (zoneCount != nullptr) *zoneCount = dataSet != nullptr ? dataSet->ZoneCount() : 0;
    if (varCount != nullptr) *varCount = dataSet != nullptr ? dataSet->VariableCount() : 0;
    if (title != nullptr) *title = dataSet != nullptr ? CopyToHostString(dataSet->title, "Data Set Title") : nullptr;
    return dataSet != nullptr ? ZEL_TRUE : ZEL_FALSE;
}

Boolean_t ZelUtilDataSetCreate(const char* title, StringList_pa varNames, Boolean_t) {
    std::shared_ptr<DataSet> replaced;
    const Boolean_t made = Guarded([&] {
        auto dataSet = std::make_shared<DataSet>();
        dataSet->title = title != nullptr ? title : "";
        dataSet->variables = StringListItems(varNames);
        HostGuard guard;
        HostState& state = State();
        if (state.frames.empty()) state.frames.emplace_back();
        replaced = std::exchange(state.frames.back(), std::move(dataSet));
        return true;
    });
    replaced.reset();
    return made;
}

Boolean_t ZelUtilDataSetAddZoneX(ArgList_pa args) {
    return args != nullptr ? Guarded([&] { return AddZone(*args); }) : ZEL_FALSE;
}

Boolean_t ZelUtilDataSetAddVarX(ArgList_pa args) {
    return args != nullptr ? Guarded([&] { return AddVariable(*args); }) : ZEL_FALSE;
}

EntIndex_t ZelUtilDataSetGetMaxStrandID(void) {
    HostGuard guard;
    const DataSet* dataSet = State().Current();
    EntIndex_t most = 0;
    if (dataSet != nullptr) {
        for (const auto& zone : dataSet->zones) most = std::max(most, zone->strand);
    }
    return most;
}

void ZelUtilZoneGetInfo(EntIndex_t zone, LgIndex_t* imax, LgIndex_t* jmax, LgIndex_t* kmax) {
    HostGuard guard;
    const DataSet* dataSet = State().Current();
    const Zone* z = dataSet != nullptr ? dataSet->FindZone(zone) : nullptr;
    if (imax != nullptr) *imax = z != nullptr ? z->imax : 0;
    if (jmax != nullptr) *jmax = z != nullptr ? z->jmax : 0;
    if (kmax != nullptr) *kmax = z != nullptr ? z->kmax : 0;
}

EntIndex_t ZelUtilZoneGetStrandID(EntIndex_t zone) {
    HostGuard guard;
    const DataSet* dataSet = State().Current();
    const Zone* z = dataSet != nullptr ? dataSet->FindZone(zone) : nullptr;
    return z != nullptr ? z->strand : 0;
}

void ZelUtilZoneSetSolutionTime(EntIndex_t zone, double time) {
    HostGuard guard;
    const DataSet* dataSet = State().Current();
    if (Zone* z = dataSet != nullptr ? dataSet->FindZone(zone) : nullptr) z->solutionTime = time;
}

}  // extern "C"
