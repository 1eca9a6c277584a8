// Field values, node maps and face maps: direct hand-over, load on demand, sharing.
#include <memory>
#include <new>
#include <utility>

#include "host/host_state.h"
#include "host/recursive_lock.h"
#include "host_api/zel_api.h"

using namespace zelhost;

namespace {

Zone* FindZone(EntIndex_t zone) {
    const DataSet* dataSet = State().Current();
    return dataSet != nullptr ? dataSet->FindZone(zone) : nullptr;
}

ZelFieldData_s* FindField(EntIndex_t zone, EntIndex_t var) {
    const DataSet* dataSet = State().Current();
    return dataSet != nullptr ? dataSet->Field(zone, var) : nullptr;
}

ZelNodeMap_s* FindNodeMap(EntIndex_t zone) {
    const Zone* z = FindZone(zone);
    return z != nullptr ? z->nodeMap.get() : nullptr;
}

Boolean_t AsBoolean(bool value) { return value ? ZEL_TRUE : ZEL_FALSE; }

bool SharingIsOk(EntIndex_t sourceZone, EntIndex_t zone, EntIndex_t var) {
    const ZelFieldData_s* source = FindField(sourceZone, var);
    const ZelFieldData_s* target = FindField(zone, var);
    return source != nullptr && target != nullptr && sourceZone != zone && source->location == target->location &&
           source->count == target->count && source->dataType == target->dataType;
}

}  // namespace

extern "C" {

Boolean_t ZelUtilDataValueCustomLOD(EntIndex_t zone, EntIndex_t var, LoadOnDemandVarLoad_pf load,
                                    LoadOnDemandVarUnload_pf unload, LoadOnDemandVarCleanup_pf cleanup,
                                    FieldValueGetFunction_pf getValue, FieldValueSetFunction_pf setValue,
                                    ArbParam_t clientData) {
    HostGuard guard;
    ZelFieldData_s* field = FindField(zone, var);
    return AsBoolean(field != nullptr && field->Register(load, unload, cleanup, getValue, setValue, clientData));
}

ArbParam_t ZelUtilDataValueGetClientData(FieldData_pa field) { return field != nullptr ? field->clientData() : 0; }

Boolean_t ZelUtilDataValueArraySetByRef(FieldData_pa field, LgIndex_t firstPosition, LgIndex_t count,
                                        const void* values) {
    HostGuard guard;
    return AsBoolean(field != nullptr && field->SetValues(firstPosition, count, values));
}

void ZelUtilDataValueSetMinMaxByRef(FieldData_pa field, double minValue, double maxValue) {
    if (field == nullptr) return;
    HostGuard guard;
    field->hasMinMax = true;
    field->minValue = minValue;
    field->maxValue = maxValue;
}

Boolean_t ZelUtilDataValueAlloc(EntIndex_t zone, EntIndex_t var) {
    HostGuard guard;
    ZelFieldData_s* field = FindField(zone, var);
    return AsBoolean(field != nullptr && field->Allocate());
}

FieldData_pa ZelUtilDataValueGetWritableRef(EntIndex_t zone, EntIndex_t var) {
    HostGuard guard;
    return FindField(zone, var);
}

Boolean_t ZelUtilDataValueIsSharingOk(EntIndex_t sourceZone, EntIndex_t zone, EntIndex_t var) {
    HostGuard guard;
    return AsBoolean(!State().settings.refuseValueSharing && SharingIsOk(sourceZone, zone, var));
}

Boolean_t ZelUtilDataValueShare(EntIndex_t sourceZone, EntIndex_t zone, EntIndex_t var) {
    std::shared_ptr<ZelFieldData_s> replaced;  // its clean-up runs after the guard
    {
        HostGuard guard;
        if (!SharingIsOk(sourceZone, zone, var)) return ZEL_FALSE;
        const auto v = static_cast<size_t>(var - 1);
        replaced = std::exchange(FindZone(zone)->fields[v], FindZone(sourceZone)->fields[v]);
    }
    return ZEL_TRUE;
}

Boolean_t ZelUtilDataNodeCustomLOD(EntIndex_t zone, LoadOnDemandNodeMapLoad_pf load,
                                   LoadOnDemandNodeMapUnload_pf unload, LoadOnDemandNodeMapCleanup_pf cleanup,
                                   ArbParam_t clientData) {
    HostGuard guard;
    ZelNodeMap_s* nodeMap = FindNodeMap(zone);
    return AsBoolean(nodeMap != nullptr && nodeMap->Register(load, unload, cleanup, clientData));
}

ArbParam_t ZelUtilDataNodeGetClientData(NodeMap_pa nodeMap) {
    return nodeMap != nullptr ? nodeMap->clientData() : 0;
}

Boolean_t ZelUtilDataNodeArraySetByRef(NodeMap_pa nodeMap, LgIndex_t firstPosition, LgIndex_t count,
                                       const int32_t* nodes) {
    HostGuard guard;
    return AsBoolean(nodeMap != nullptr && nodeMap->SetNodes(firstPosition, count, nodes));
}

Boolean_t ZelUtilDataNodeAlloc(EntIndex_t zone) {
    HostGuard guard;
    ZelNodeMap_s* nodeMap = FindNodeMap(zone);
    return AsBoolean(nodeMap != nullptr && nodeMap->Allocate());
}

int32_t* ZelUtilDataNodeGetWritableRawPtr(EntIndex_t zone) {
    HostGuard guard;
    if (State().settings.withholdRawNodeMap) return nullptr;
    ZelNodeMap_s* nodeMap = FindNodeMap(zone);
    return nodeMap != nullptr ? nodeMap->Raw() : nullptr;
}

NodeMap_pa ZelUtilDataNodeGetWritableRef(EntIndex_t zone) {
    HostGuard guard;
    return FindNodeMap(zone);
}

Boolean_t ZelUtilDataNodeSetByRef(NodeMap_pa nodeMap, LgIndex_t element, int32_t corner, LgIndex_t node) {
    HostGuard guard;
    return AsBoolean(nodeMap != nullptr && nodeMap->SetEntry(element, corner, node));
}

Boolean_t ZelUtilDataFaceMapCustomLOD(EntIndex_t zone, LgIndex_t numFaces, LgIndex_t numFaceNodes,
                                      LgIndex_t numBoundaryFaces, LgIndex_t numBoundaryConnections,
                                      LoadOnDemandFaceMapLoad_pf load, LoadOnDemandFaceMapUnload_pf unload,
                                      LoadOnDemandFaceMapCleanup_pf cleanup, ArbParam_t clientData) {
    HostGuard guard;
    const Zone* z = FindZone(zone);
    ZelFaceMap_s* faceMap = z != nullptr ? z->faceMap.get() : nullptr;
    const ZelFaceMap_s::Totals totals{numFaces, numFaceNodes, numBoundaryFaces, numBoundaryConnections};
    return AsBoolean(faceMap != nullptr && faceMap->Register(totals, load, unload, cleanup, clientData));
}

ArbParam_t ZelUtilDataFaceMapGetClientData(FaceMap_pa faceMap) {
    return faceMap != nullptr ? faceMap->clientData() : 0;
}

Boolean_t ZelUtilDataFaceMapAssignElemToNodeMap(FaceMap_pa faceMap, LgIndex_t elementCount,
                                                const int32_t* elementCounts, const int32_t* faceNodeCounts,
                                                const int32_t* nodes) {
    HostGuard guard;
    try {
        return AsBoolean(faceMap != nullptr && faceMap->Assign(elementCount, elementCounts, faceNodeCounts, nodes));
    } catch (const std::bad_alloc&) {
        return ZEL_FALSE;
    }
}

}  // extern "C"
