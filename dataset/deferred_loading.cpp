#include "dataset/deferred_loading.h"

#include <algorithm>
#include <new>
#include <string_view>

#include "casefile/element_types.h"
#include "casefile/regular_file.h"
#include "dataset/deferred_load_info.h"
#include "dataset/field_loading.h"
#include "dataset/particle_coords_cache.h"
#include "gold/ensight_reader.h"
#include "host_api/hand_over.h"
#include "host_api/host_lock.h"
#include "host_api/host_memory.h"
#include "host_api/variable_numbers.h"

namespace quorix {
namespace {

// What a failed load could not read, for its message.
const char* WhatIsLoaded(LoadKind kind) {
    switch (kind) {
        case LoadKind::IBlank: return "iblank values";
        case LoadKind::RectilinearCoords:
        case LoadKind::UniformCoords: return "coordinates";
        case LoadKind::CellValues:
        case LoadKind::StructuredCellValues: return "element values";
        case LoadKind::ClassicNodeMap:
        case LoadKind::LineNodeMap: return "element connectivity";
        case LoadKind::PolygonFaceMap:
        case LoadKind::PolyhedronFaceMap: return "face connectivity";
        case LoadKind::Floats:
        case LoadKind::FloatsWithRange:
        case LoadKind::StridedFloats: break;
    }
    return "values";
}

int64_t FirstByte(const DeferredLoadInfo& info) {
    return info.blocks.empty() ? info.dataOffset : info.blocks.front().offset;
}

template <class Body>
Boolean_t Guarded(const DeferredLoadInfo* info, Body&& body) noexcept {
    if (info == nullptr) return ZEL_FALSE;
    return LoadOrReport(info->fileName, WhatIsLoaded(info->kind), FirstByte(*info), [&] { return body(*info); });
}

const DeferredLoadInfo* InfoOf(ArbParam_t clientData) { return reinterpret_cast<const DeferredLoadInfo*>(clientData); }

Boolean_t LoadValues(FieldData_pa field) noexcept {
    return Guarded(InfoOf(ZelUtilDataValueGetClientData(field)),
                   [&](const DeferredLoadInfo& info) { return LoadFieldValues(info, field); });
}

// One loader serves every value kind; the record says which.
Boolean_t LoadFloatValues(FieldData_pa field) { return LoadValues(field); }
Boolean_t LoadIBlankValues(FieldData_pa field) { return LoadValues(field); }
Boolean_t LoadCellValues(FieldData_pa field) { return LoadValues(field); }

Boolean_t LoadNodeMap(NodeMap_pa nodeMap) {
    return Guarded(InfoOf(ZelUtilDataNodeGetClientData(nodeMap)),
                   [&](const DeferredLoadInfo& info) { return LoadZoneNodeMap(info, nodeMap); });
}

Boolean_t LoadFaceMap(FaceMap_pa faceMap) {
    return Guarded(InfoOf(ZelUtilDataFaceMapGetClientData(faceMap)),
                   [&](const DeferredLoadInfo& info) { return LoadZoneFaceMap(info, faceMap); });
}

bool HandParticleComponent(const ParticleCoordsRef& ref, FieldData_pa field) {
    int64_t count = 0;
    const float* values = ParticleComponent(*ref.cache, ref.component, count);
    if (values == nullptr || count < 1) return false;
    return HandOver(field, 0, count, values);
}

Boolean_t LoadParticleCoordinates(FieldData_pa field) noexcept {
    const auto* ref = reinterpret_cast<const ParticleCoordsRef*>(ZelUtilDataValueGetClientData(field));
    if (ref == nullptr || ref->cache == nullptr) return ZEL_FALSE;
    return LoadOrReport(ref->cache->fileName, "particle coordinates", ref->cache->offset,
                        [&] { return HandParticleComponent(*ref, field); });
}

void DeleteInfo(ArbParam_t clientData) {
    auto* info = reinterpret_cast<DeferredLoadInfo*>(clientData);
    HostDelete(info);
}

void ReleaseValueInfo(FieldData_pa field) { DeleteInfo(ZelUtilDataValueGetClientData(field)); }
void ReleaseNodeMapInfo(NodeMap_pa nodeMap) { DeleteInfo(ZelUtilDataNodeGetClientData(nodeMap)); }
void ReleaseFaceMapInfo(FaceMap_pa faceMap) { DeleteInfo(ZelUtilDataFaceMapGetClientData(faceMap)); }

void ReleaseParticleRef(FieldData_pa field) {
    auto* ref = reinterpret_cast<ParticleCoordsRef*>(ZelUtilDataValueGetClientData(field));
    if (ref == nullptr) return;
    DropParticleRef(ref->cache);
    HostDelete(ref);
}

// A new record for one registration, filled by `fill`; null when memory runs out.
template <class Fill>
DeferredLoadInfo* NewInfo(const std::string& fileName, GeometryEncoding format, ByteOrder byteOrder, Fill&& fill) {
    DeferredLoadInfo* info = HostNew<DeferredLoadInfo>("Client Data");
    if (info == nullptr) return nullptr;
    try {
        info->fileName = fileName;
        info->format = format;
        info->byteOrder = byteOrder;
        fill(*info);
    } catch (const std::bad_alloc&) {
        HostDelete(info);
    }
    return info;
}

// The host owns an accepted record; a refused one is freed here.
template <class Register>
bool Hand(DeferredLoadInfo* info, Register&& registerWithHost) {
    if (info == nullptr) return false;
    Boolean_t accepted = ZEL_FALSE;
    {
        HostLock lock;
        accepted = registerWithHost(reinterpret_cast<ArbParam_t>(info));
    }
    if (accepted != ZEL_TRUE) HostDelete(info);
    return accepted == ZEL_TRUE;
}

bool RegisterValue(int32_t zone, int32_t variable, LoadOnDemandVarLoad_pf load, DeferredLoadInfo* info) {
    return Hand(info, [&](ArbParam_t clientData) {
        return ZelUtilDataValueCustomLOD(zone, variable, load, nullptr, ReleaseValueInfo, nullptr, nullptr, clientData);
    });
}

bool RegisterNodeMap(int32_t zone, DeferredLoadInfo* info) {
    return Hand(info, [&](ArbParam_t clientData) {
        return ZelUtilDataNodeCustomLOD(zone, LoadNodeMap, nullptr, ReleaseNodeMapInfo, clientData);
    });
}

bool RegisterFaceMap(int32_t zone, DeferredLoadInfo* info) {
    return Hand(info, [&](ArbParam_t clientData) {
        return ZelUtilDataFaceMapCustomLOD(zone, 0, 0, 0, 0, LoadFaceMap, nullptr, ReleaseFaceMapInfo, clientData);
    });
}

template <class Fill>
DeferredLoadInfo* NewPartInfo(const PartInfo& part, Fill&& fill) {
    return NewInfo(part.fileName, part.format, part.byteOrder, [&](DeferredLoadInfo& info) {
        info.nodeCount = part.nodeCount;
        info.dims = {part.imax, part.jmax, part.kmax};
        info.first = {part.rangeIMin, part.rangeJMin, part.rangeKMin};
        fill(info);
    });
}

// Rectilinear blocks point at one axis array per coordinate, uniform blocks at
// origin and spacing: both are expanded to every node when loaded.
void FillCoordinate(const PartInfo& part, int32_t component, DeferredLoadInfo& info) {
    const int64_t offsets[3] = {part.xOffset, part.yOffset, part.zOffset};
    info.component = component;
    info.valueCount = part.nodeCount;
    info.dataOffset = offsets[component - 1];
    if (part.kind == PartRectilinear) info.kind = LoadKind::RectilinearCoords;
    if (part.kind == PartUniform) {
        info.kind = LoadKind::UniformCoords;
        info.dataOffset = part.xOffset;
    }
}

// Element order and zone totals of node and face maps.
void FillElements(const PartInfo& part, LoadKind kind, DeferredLoadInfo& info) {
    info.kind = kind;
    info.blocks = ElementOrder(part);
    info.elementCount = 0;
    for (const LoadBlock& block : info.blocks) info.elementCount += ZoneElementsOf(block.type, block.count);
}

bool FillFaceTotals(bool polyhedra, DeferredLoadInfo& info) {
    for (const LoadBlock& block : info.blocks) {
        const ElementShape shape = polyhedra ? PolyhedronShape(block.type) : PolygonShape(block.type);
        const bool nsided = block.type == ElementNsided, nfaced = block.type == ElementNfaced;
        if (nsided || nfaced) {
            if ((nsided && polyhedra) || (nfaced && !polyhedra)) return false;
            info.faceCount += nfaced ? block.faceCount : 0;
            info.valueCount += block.nodeCount;
        } else {
            if (shape.entries < 1) return false;
            info.faceCount += int64_t{block.count} * shape.faces;
            info.valueCount += int64_t{block.count} * shape.entries;
        }
    }
    return true;
}

bool RegisterFaceMapLoader(const PartInfo& part, int32_t zone, bool polyhedra) {
    bool fits = true;
    DeferredLoadInfo* info = NewPartInfo(part, [&](DeferredLoadInfo& record) {
        FillElements(part, polyhedra ? LoadKind::PolyhedronFaceMap : LoadKind::PolygonFaceMap, record);
        fits = FillFaceTotals(polyhedra, record);
    });
    if (!fits) HostDelete(info);
    return RegisterFaceMap(zone, info);
}

const TypeVariableInfo* FirstTypeInfo(const PartVariableInfo& variable) {
    return variable.types.empty() ? nullptr : &variable.types.front();
}

bool ComponentKnown(int32_t component) { return component >= 0 && component < 9; }

template <class Fill>
DeferredLoadInfo* NewVariableInfo(const PartVariableInfo& variable, const PartInfo& part, Fill&& fill) {
    return NewInfo(variable.fileName, variable.format, variable.byteOrder, [&](DeferredLoadInfo& info) {
        info.nodeCount = part.nodeCount;
        info.dims = {part.imax, part.jmax, part.kmax};
        fill(info);
    });
}

// The k-th section of a type in the variable file belongs to the k-th block of
// that type in the geometry; sections of blocks the zone does not hold (lower
// category) or whose count disagrees with the geometry are left out.
std::vector<LoadBlock> PlaceCellBlocks(const PartVariableInfo& variable, const std::vector<LoadBlock>& order,
                                       int32_t component) {
    std::vector<LoadBlock> placed;
    int32_t seen[ElementTypeCount] = {};
    for (const TypeVariableInfo& section : variable.types) {
        if (section.type < 0 || section.type >= ElementTypeCount) continue;
        int32_t k = seen[section.type]++;
        const auto match = std::find_if(order.begin(), order.end(),
                                        [&](const LoadBlock& block) { return block.type == section.type && k-- == 0; });
        if (!section.present || match == order.end() || match->count != section.count || section.count < 1) continue;
        LoadBlock block = *match;
        block.offset = section.componentOffset[component];
        block.form = section.form;
        placed.push_back(block);
    }
    return placed;
}

void FillCellValues(const PartVariableInfo& variable, const PartInfo& part, int32_t component,
                    DeferredLoadInfo& info) {
    if (part.kind != PartUnstructured) {
        const TypeVariableInfo* section = FirstTypeInfo(variable);
        if (section == nullptr || !section->present) return;
        info.kind = LoadKind::StructuredCellValues;
        info.valueCount = section->count;
        info.dataOffset = section->componentOffset[component];
        info.form = section->form;
        return;
    }
    info.kind = LoadKind::CellValues;
    info.blocks = PlaceCellBlocks(variable, ElementOrder(part), component);
    for (const LoadBlock& block : info.blocks) {
        info.valueCount += block.count;
        info.faceCount = std::max<int64_t>(info.faceCount, block.count);
    }
}

// Registers one loader per component; the caller's `fill` sets what differs.
template <class Fill>
bool RegisterComponents(const PartVariableInfo& variable, const PartInfo& part, int32_t zone, int32_t firstVariable,
                        int32_t componentCount, LoadOnDemandVarLoad_pf load, Fill&& fill) {
    bool all = true;
    for (int32_t c = 0; c < componentCount && ComponentKnown(c); ++c) {
        bool wanted = true;
        DeferredLoadInfo* info = NewVariableInfo(variable, part, [&](DeferredLoadInfo& record) {
            fill(c, record);
            wanted = record.valueCount >= 1;
        });
        if (!wanted) {
            HostDelete(info);
            continue;
        }
        all = RegisterValue(zone, firstVariable + c, load, info) && all;
    }
    return all;
}

}  // namespace

void ReportFailedLoad(std::string_view fileName, const char* what, int64_t offset) noexcept {
    try {
        HostLock lock;
        const std::string path(fileName);
        const Failure& failure = LastReadFailure();
        const std::string_view why = failure.place.path == path ? OpenFailureNote(failure.open) : std::string_view();
        ShowReadError(path, std::string("Could not load the ") + what + " stored from byte " + std::to_string(offset) +
                                std::string(why) + ".");
        if (failure.place.path == path) ShowErrorPlace(failure.place, failure.text);
    } catch (...) {
        // Out of memory even for the message: the failed load still answers false.
    }
}

double ConstantOneValue(const FieldData_pa, LgIndex_t) { return 1.0; }

bool RegisterConstantIBlankLoader(int32_t zone) {
    HostLock lock;
    return ZelUtilDataValueCustomLOD(zone, IBlankVariable, nullptr, nullptr, nullptr, ConstantOneValue, nullptr, 0) ==
           ZEL_TRUE;
}

bool RegisterCoordinateLoaders(const PartInfo& part, int32_t zone) {
    for (int32_t v = XVariable; v <= ZVariable; ++v) {
        DeferredLoadInfo* info = NewPartInfo(part, [&](DeferredLoadInfo& record) { FillCoordinate(part, v, record); });
        if (!RegisterValue(zone, v, LoadFloatValues, info)) return false;
    }
    return true;
}

bool RegisterIBlankLoader(const PartInfo& part, int32_t zone) {
    if (part.iblankOffset <= 0) return RegisterConstantIBlankLoader(zone);
    DeferredLoadInfo* info = NewPartInfo(part, [&](DeferredLoadInfo& record) {
        record.kind = LoadKind::IBlank;
        record.component = IBlankVariable;
        record.valueCount = part.nodeCount;
        record.dataOffset = part.iblankOffset;
    });
    return RegisterValue(zone, IBlankVariable, LoadIBlankValues, info);
}

bool RegisterParticleLoaders(const PartInfo& part, int32_t zone) {
    ParticleCoordsCache* cache = NewParticleCoordsCache(part);
    if (cache == nullptr) return false;
    bool all = true;
    for (int32_t v = XVariable; v <= ZVariable; ++v) {
        ParticleCoordsRef* ref = HostNew<ParticleCoordsRef>("Client Data");
        if (ref == nullptr) {
            all = false;
            continue;
        }
        ref->component = v - 1;
        ref->cache = cache;
        AddParticleRef(*cache);
        Boolean_t accepted = ZEL_FALSE;
        {
            HostLock lock;
            accepted = ZelUtilDataValueCustomLOD(zone, v, LoadParticleCoordinates, nullptr, ReleaseParticleRef, nullptr,
                                                 nullptr, reinterpret_cast<ArbParam_t>(ref));
        }
        if (accepted != ZEL_TRUE) {
            DropParticleRef(cache);
            HostDelete(ref);
            all = false;
        }
    }
    DropParticleRef(cache);  // the registrar's own reference: frees the cache when all three were refused
    return all;
}

bool RegisterLineNodeMapLoader(const PartInfo& part, int32_t zone) {
    return RegisterNodeMap(zone, NewPartInfo(part, [&](DeferredLoadInfo& info) {
                               FillElements(part, LoadKind::LineNodeMap, info);
                               info.width = 2;
                           }));
}

bool RegisterNodeMapLoader(const PartInfo& part, int32_t zone) {
    const int32_t width = NodeMapWidth(part.category, part.maxNodesPerElement);
    if (width == 0) return false;
    return RegisterNodeMap(zone, NewPartInfo(part, [&](DeferredLoadInfo& info) {
                               FillElements(part, LoadKind::ClassicNodeMap, info);
                               info.width = width;
                           }));
}

bool RegisterPolygonFaceMapLoader(const PartInfo& part, int32_t zone) { return RegisterFaceMapLoader(part, zone, false); }

bool RegisterPolyhedronFaceMapLoader(const PartInfo& part, int32_t zone) {
    return RegisterFaceMapLoader(part, zone, true);
}

bool RegisterCellValueLoaders(const PartVariableInfo& info, const PartInfo& part, int32_t zone, int32_t firstVariable,
                              int32_t componentCount) {
    return RegisterComponents(info, part, zone, firstVariable, componentCount, LoadCellValues,
                              [&](int32_t c, DeferredLoadInfo& record) { FillCellValues(info, part, c, record); });
}

bool RegisterNodalValueLoaders(const PartVariableInfo& info, const PartInfo& part, int32_t zone, int32_t firstVariable,
                               int32_t componentCount) {
    const TypeVariableInfo* section = FirstTypeInfo(info);
    if (section == nullptr) return false;
    return RegisterComponents(info, part, zone, firstVariable, componentCount, LoadFloatValues,
                              [&](int32_t c, DeferredLoadInfo& record) {
                                  record.valueCount = section->count;
                                  record.dataOffset = section->componentOffset[c];
                                  record.form = section->form;
                              });
}

// Measured vectors lie interleaved: every component reads the one array and keeps its own.
bool RegisterMeasuredValueLoaders(const PartVariableInfo& info, const PartInfo& part, int32_t zone,
                                  int32_t firstVariable, int32_t componentCount) {
    const TypeVariableInfo* section = FirstTypeInfo(info);
    if (section == nullptr) return false;
    return RegisterComponents(info, part, zone, firstVariable, componentCount, LoadFloatValues,
                              [&](int32_t c, DeferredLoadInfo& record) {
                                  record.valueCount = info.valueCount;
                                  record.dataOffset = section->componentOffset[c];
                                  if (section->stride <= 1) return;
                                  record.kind = LoadKind::StridedFloats;
                                  record.stride = section->stride;
                                  record.component = c;
                                  record.dataOffset = section->componentOffset[0];
                              });
}

}  // namespace quorix
