// Zones of later time steps when only the variables are transient.
#pragma once

#include "casefile/case_record.h"
#include "gold/part_collection.h"
#include "host_api/zel_api.h"

namespace quorix {

bool CreateTransientVariableZones(PartCollection& collection, Set_pa zoneSet, const VariableSectionInfo* variables,
                                  const TimeSectionInfo* timeSets);
bool CreateTransientParticleZones(PartCollection& collection, Set_pa zoneSet, const VariableSectionInfo* variables,
                                  const TimeSectionInfo* timeSets);

}  // namespace quorix
