// Load-on-demand registrations: the host calls back to read coordinates,
// values, node maps and face maps the first time it needs them.
#pragma once

#include <cstdint>
#include <string_view>

#include "gold/ensight_reader.h"
#include "gold/part_collection.h"
#include "gold/variable_info.h"
#include "host_api/callback_guard.h"
#include "host_api/zel_api.h"

namespace quorix {

// Tells the user (in batch mode the host's log) which load of `fileName` failed,
// then where its reader stopped and why.
void ReportFailedLoad(std::string_view fileName, const char* what, int64_t offset) noexcept;

// The body of a load callback: no exception crosses it, and a failed load says
// why, once; the callback's false alone reaches no user.
template <class Body>
Boolean_t LoadOrReport(std::string_view fileName, const char* what, int64_t offset, Body&& body) noexcept {
    ForgetReadFailure();
    return GuardCallback(body, [&]() noexcept { ReportFailedLoad(fileName, what, offset); });
}

// Each returns false when the host refused a registration (the add-on then
// frees what it had made for it).
bool RegisterCoordinateLoaders(const PartInfo& part, int32_t zone);
bool RegisterIBlankLoader(const PartInfo& part, int32_t zone);
bool RegisterParticleLoaders(const PartInfo& part, int32_t zone);
bool RegisterLineNodeMapLoader(const PartInfo& part, int32_t zone);
bool RegisterNodeMapLoader(const PartInfo& part, int32_t zone);
bool RegisterPolygonFaceMapLoader(const PartInfo& part, int32_t zone);
bool RegisterPolyhedronFaceMapLoader(const PartInfo& part, int32_t zone);
// `part` is the geometry record the values belong to (element positions, counts).
bool RegisterCellValueLoaders(const PartVariableInfo& info, const PartInfo& part, int32_t zone,
                              int32_t firstVariable, int32_t componentCount);
bool RegisterNodalValueLoaders(const PartVariableInfo& info, const PartInfo& part, int32_t zone,
                               int32_t firstVariable, int32_t componentCount);
bool RegisterMeasuredValueLoaders(const PartVariableInfo& info, const PartInfo& part, int32_t zone,
                                  int32_t firstVariable, int32_t componentCount);
// Get-value function of fields that are 1 everywhere ("IBlank" without iblank data).
double ConstantOneValue(const FieldData_pa field, LgIndex_t pointIndex);
// "IBlank" of a zone whose part has no iblank values: 1 at every node.
bool RegisterConstantIBlankLoader(int32_t zone);

}  // namespace quorix
