#include "dataset/transient_zones.h"

#include <initializer_list>
#include <string>
#include <vector>

#include "dataset/zone_creation.h"
#include "host_api/host_lock.h"

namespace quorix {
namespace {

// The time set of an entry: its number as the entry gives it, and the set.
struct TransientEntry {
    int32_t number = 0;
    const TimeSectionInfo* timeSet = nullptr;
};

// The first entry of the lists whose time set has several steps (or, with
// `several` false, exactly one); a set number that names no set does not qualify.
template <class Entry>
TransientEntry FirstEntryWithSteps(std::initializer_list<const VarList<Entry>*> lists,
                                   const TimeSectionInfo* timeSets, bool several) {
    for (const VarList<Entry>* list : lists) {
        for (const Entry* entry = list->head; entry != nullptr; entry = entry->next) {
            if (entry->timeSet < 1) continue;
            const TimeSectionInfo* timeSet = FindTimeSet(timeSets, entry->timeSet);
            if (timeSet != nullptr && (several ? timeSet->numberOfSteps > 1 : timeSet->numberOfSteps == 1)) {
                return {entry->timeSet, timeSet};
            }
        }
    }
    return {};
}

// Complex variables are loaded after the others, so they decide last.
TransientEntry FirstModelEntryWithSteps(const VariableSectionInfo& v, const TimeSectionInfo* timeSets, bool several) {
    const TransientEntry chosen = FirstEntryWithSteps<VarSVT>(
        {&v.scalarPerNode, &v.vectorPerNode, &v.tensorSymmPerNode, &v.tensorAsymPerNode, &v.scalarPerElement,
         &v.vectorPerElement, &v.tensorSymmPerElement, &v.tensorAsymPerElement},
        timeSets, several);
    if (chosen.timeSet != nullptr) return chosen;
    return FirstEntryWithSteps<VarComplex>(
        {&v.complexScalarPerNode, &v.complexVectorPerNode, &v.complexScalarPerElement, &v.complexVectorPerElement},
        timeSets, several);
}

// The series whose steps the zones follow. A one-step set is steady data: it
// only lends its time to zones whose series has no time set of its own.
template <class Find>
TransientEntry ChosenEntry(Find find, int32_t seriesTimeSet) {
    const TransientEntry chosen = find(true);
    if (chosen.timeSet != nullptr || seriesTimeSet != 0) return chosen;
    return find(false);
}

// Every step's time, or none (after a message naming the set) when the set lacks one.
bool StepTimes(const TimeSectionInfo& timeSet, std::vector<float>& times) {
    times.assign(static_cast<size_t>(timeSet.numberOfSteps), 0.0f);
    for (int32_t k = 0; k < timeSet.numberOfSteps; ++k) {
        if (!TimeValueForStep(&timeSet, k, times[static_cast<size_t>(k)])) {
            ReportMissingTimeValue(timeSet, k + 1);
            return false;
        }
    }
    return true;
}

// The model part behind each existing zone (none for particles and foreign zones),
// looked up once rather than once per step.
std::vector<const PartInfo*> ModelPartsOfZones(const PartCollection& collection, EntIndex_t zoneCount) {
    std::vector<const PartInfo*> parts(static_cast<size_t>(zoneCount), nullptr);
    for (EntIndex_t z = 1; z <= zoneCount; ++z) {
        const PartInfo* part = collection.PartForStrand(ZelUtilZoneGetStrandID(z));
        if (part != nullptr && part->kind != PartParticles) parts[static_cast<size_t>(z - 1)] = part;
    }
    return parts;
}

EntIndex_t ZoneCount() {
    EntIndex_t zoneCount = 0;
    if (!ZelUtilDataSetIsAvailable()) return 0;
    ZelUtilDataSetGetInfo(nullptr, &zoneCount, nullptr);
    return zoneCount;
}

// One copy of `sourceZone` at step k + 1; false when the host refused it.
bool CopyZone(PartZoneMaker& maker, const PartInfo& part, int32_t k, int32_t sourceZone, float time,
              Set_pa zoneSet) {
    int32_t zone = maker.Make(part, k + 1, ZoneSharing::All, sourceZone, time);
    if (zone == 0) return false;
    if (zoneSet != nullptr) ZelUtilSetAddMember(zoneSet, zone, ZEL_FALSE);
    return true;
}

}  // namespace

bool CreateTransientVariableZones(PartCollection& collection, Set_pa zoneSet, const VariableSectionInfo* variables,
                                  const TimeSectionInfo* timeSets) {
    if (timeSets == nullptr || variables == nullptr || collection.IsGeometryTransient()) return true;
    HostLock lock;
    const TransientEntry chosen = ChosenEntry(
        [&](bool several) { return FirstModelEntryWithSteps(*variables, timeSets, several); }, collection.modelTimeSet);
    if (chosen.timeSet == nullptr) return true;
    std::vector<float> times;
    if (!StepTimes(*chosen.timeSet, times)) return false;

    PartZoneMaker maker(collection, collection.AnyPartHasIBlank());
    EntIndex_t zoneCount = ZoneCount();
    std::vector<const PartInfo*> parts = ModelPartsOfZones(collection, zoneCount);
    bool allMade = true;
    collection.ReserveZonesPerPart(chosen.timeSet->numberOfSteps - 1);
    for (int32_t k = 0; k < chosen.timeSet->numberOfSteps; ++k) {
        float time = times[static_cast<size_t>(k)];
        for (EntIndex_t z = 1; z <= zoneCount; ++z) {
            const PartInfo* part = parts[static_cast<size_t>(z - 1)];
            if (part == nullptr) continue;
            if (k == 0) {
                ZelUtilZoneSetSolutionTime(z, static_cast<double>(time));
            } else if (!CopyZone(maker, *part, k, z, time, zoneSet)) {
                allMade = false;
            }
        }
    }
    collection.modelTimeSet = chosen.number;
    if (!allMade) ReportZoneError("Error when attempting to create zones for transient variables.");
    return allMade;
}

bool CreateTransientParticleZones(PartCollection& collection, Set_pa zoneSet, const VariableSectionInfo* variables,
                                  const TimeSectionInfo* timeSets) {
    if (timeSets == nullptr || variables == nullptr || collection.IsMeasuredTransient()) return true;
    const PartInfo* particles = collection.FindPart(ParticlePartNumber);
    if (particles == nullptr) return true;
    HostLock lock;
    int32_t particleZone = collection.FirstZoneForPart(ParticlePartNumber);
    // A measured geometry without particles has no zone to copy.
    if (particleZone < 1) return true;
    const TransientEntry chosen = ChosenEntry(
        [&](bool several) {
            return FirstEntryWithSteps<VarSVT>({&variables->scalarPerMeasuredNode, &variables->vectorPerMeasuredNode},
                                               timeSets, several);
        },
        collection.measuredTimeSet);
    if (chosen.timeSet == nullptr) return true;
    std::vector<float> times;
    if (!StepTimes(*chosen.timeSet, times)) return false;

    PartZoneMaker maker(collection, collection.AnyPartHasIBlank());
    bool allMade = true;
    ZelUtilZoneSetSolutionTime(particleZone, static_cast<double>(times[0]));
    for (int32_t k = 1; k < chosen.timeSet->numberOfSteps; ++k) {
        if (!CopyZone(maker, *particles, k, particleZone, times[static_cast<size_t>(k)], zoneSet)) {
            allMade = false;
        }
    }
    collection.measuredTimeSet = chosen.number;
    if (!allMade) ReportZoneError("Error when attempting to create zones for transient particle variables.");
    return allMade;
}

}  // namespace quorix
