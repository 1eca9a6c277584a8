// The host data set, its zones and variables, made from the scanned parts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "casefile/case_record.h"
#include "gold/part_collection.h"
#include "host_api/host_handles.h"
#include "host_api/host_lock.h"
#include "host_api/zel_api.h"

namespace quorix {

bool CreateDataSet(const std::string& title, bool withIBlank);
// Adds one host variable per component (suffixes X Y Z, 11 22 ...); location 1 nodal, 0 cell-centred.
bool AddVariables(int32_t componentCount, const std::string& description, int32_t location);
int32_t ZoneTypeForPart(const PartInfo& part);
// A part's description as the user should see it.
std::string_view ZoneDescription(const std::string& name);

// What a new zone takes from its source zone: its node or face map, or that
// and its coordinates.
enum class ZoneSharing { None, Connectivity, All };

// Makes the zones of one stage, refilling one host argument list and one
// data-type array rather than making them per zone.
// Holds the host lock while it lives.
class PartZoneMaker {
public:
    PartZoneMaker(PartCollection& collection, bool dataSetHasIBlank);
    PartZoneMaker(const PartZoneMaker&) = delete;
    PartZoneMaker& operator=(const PartZoneMaker&) = delete;

    // New zone number, 0 on failure.
    int32_t Make(const PartInfo& part, int32_t step, ZoneSharing sharing, int32_t sourceZone, float solutionTime);
    // An empty zone for a part with no nodes and no elements; 0 for any other part.
    int32_t MakeEmpty(const PartInfo& part, int32_t step, float solutionTime);

private:
    int32_t Add(const PartInfo& part, int32_t step, bool empty, ZoneSharing sharing, int32_t sourceZone,
                float solutionTime);

    HostLock lock_;
    PartCollection& collection_;
    bool hasIBlank_;
    HostArgList args_;
    std::vector<int32_t> dataTypes_;
};
// Whether the host lets `zone` share the values of `components` variables
// after `firstVariable` with zone `source`.
bool SharingAllowed(int32_t firstVariable, int32_t components, int32_t source, int32_t zone);
// Shares them, all or none; false when the host allows no sharing of them.
bool ShareValues(int32_t firstVariable, int32_t components, int32_t source, int32_t zone);
// Coordinates, iblank and, unless the zone shares another's, node or face map.
void RegisterGeometryLoaders(const PartInfo& part, int32_t zone, bool dataSetHasIBlank, bool ownConnectivity);
bool CreateGeometryZones(PartCollection& collection, bool transient, const TimeSectionInfo* timeSet, Set_pa zoneSet);
// As CreateGeometryZones, into the data set an earlier case of the same load made.
bool AddGeometryZones(PartCollection& collection, bool transient, const TimeSectionInfo* timeSet, Set_pa zoneSet);
bool CreateParticleZones(PartCollection& collection, bool transient, const TimeSectionInfo* timeSet, Set_pa zoneSet);
// Shows a zone-creation failure (logged in batch mode).
void ReportZoneError(const std::string& message);
// "Time set N holds no time value for step K. Aborting read." (a transient series needs one per step).
void ReportMissingTimeValue(const TimeSectionInfo& timeSet, int32_t step);

}  // namespace quorix
