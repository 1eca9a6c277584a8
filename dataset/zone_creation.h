// The host data set, its zones and variables, made from the scanned parts.
#pragma once

#include <cstdint>
#include <string>

#include "addon/zel_api.h"
#include "casefile/case_record.h"
#include "dataset/part_collection.h"

namespace quorix {

bool CreateDataSet(const std::string& title, bool withIBlank);
// Adds one host variable per component (suffixes X Y Z, 11 22 ...); location 1 nodal, 0 cell-centred.
bool AddVariables(int32_t componentCount, const std::string& description, int32_t location);
int32_t ZoneTypeForPart(const PartInfo& part);
// New zone number, 0 on failure.
int32_t CreatePartZone(PartCollection& collection, const PartInfo& part, int32_t step, bool share,
                       int32_t sourceZone, float solutionTime);
// The same, told whether the data set has "IBlank" (saves a walk over the parts per zone).
int32_t CreatePartZone(PartCollection& collection, const PartInfo& part, int32_t step, bool share,
                       int32_t sourceZone, float solutionTime, bool dataSetHasIBlank);
void RegisterGeometryLoaders(const PartInfo& part, int32_t zone, bool dataSetHasIBlank);
bool CreateGeometryZones(PartCollection& collection, bool transient, const TimeSectionInfo* timeSet, Set_pa zoneSet);
bool CreateParticleZones(PartCollection& collection, bool transient, const TimeSectionInfo* timeSet, Set_pa zoneSet);
// Shows a zone-creation failure, unless the host runs in batch mode.
void ReportZoneError(const std::string& message);
// "Time set N holds no time value for step K. Aborting read." (a transient series needs one per step).
void ReportMissingTimeValue(const TimeSectionInfo& timeSet, int32_t step);

}  // namespace quorix
