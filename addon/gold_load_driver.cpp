#include "addon/gold_load_driver.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "addon/progress_monitor.h"
#include "casefile/file_names.h"
#include "casefile/variable_kinds.h"
#include "dataset/deferred_loading.h"
#include "dataset/not_loaded_report.h"
#include "dataset/transient_zones.h"
#include "dataset/zone_creation.h"
#include "gold/departure_notes.h"
#include "gold/geometry_reader.h"
#include "gold/part_collection.h"
#include "gold/variable_reader.h"
#include "host_api/host_handles.h"
#include "host_api/host_lock.h"
#include "host_api/zel_api.h"

namespace quorix {

namespace {

// A variable of the data set that a later case's zones can join.
struct SharedVariable {
    int32_t first = 0;
    int32_t components = 0;
    bool isNodal = true;
};
using SharedVariables = std::unordered_map<std::string, SharedVariable>;

// What every stage of one case of the load shares.
struct GoldLoad {
    PartCollection& collection;
    const std::string& directory;
    const TimeSectionInfo* timeSets;
    const FileSectionInfo* fileSets;
    Set_pa variableSet;
    bool cancelled = false;
    NotLoadedReport notLoaded;
    SharedVariables& earlier;  // of the cases loaded before this one
    SharedVariables added;     // by this case
    std::string failedFile;    // the last variable file that failed, as the case names it
    std::string failure;       // and why
};

const TimeSectionInfo* TimeSetNumbered(const TimeSectionInfo* timeSets, int32_t n) {
    return timeSets != nullptr && n != 0 ? FindTimeSet(timeSets, n) : nullptr;
}

const FileSectionInfo* FileSetNumbered(const FileSectionInfo* fileSets, int32_t n) {
    return fileSets != nullptr && n != 0 ? FindFileSet(fileSets, n) : nullptr;
}

// A series without a time set is one step; a set declaring 0 steps still scans its first.
int32_t StepCount(const TimeSectionInfo* timeSet) {
    return timeSet != nullptr && timeSet->numberOfSteps > 1 ? timeSet->numberOfSteps : 1;
}

// Steps held by each file of the series; a file set always holds at least one.
int32_t Stride(const FileSectionInfo* fileSet) { return fileSet != nullptr ? fileSet->numberOfSteps : 1; }

bool StrideIsValid(int32_t stride, const std::string& fileName) {
    if (stride >= 1) return true;
    std::string message = "File set of \"" + fileName + "\" holds no steps. Aborting read.";
    ZelUtilDialogErrMsg(message.c_str());
    return false;
}

// A file of a file set holds its steps one after another; one that ends early
// would leave the later steps silently empty. A file of one step is not judged
// by its content (a step may hold no part at all).
bool HoldsSteps(CFileEnsight& reader, int32_t found, int32_t held) {
    if (found >= held || held <= 1) return true;
    reader.SetError("The file holds " + std::to_string(found) + " of the " + std::to_string(held) +
                    " time steps its file set gives it");
    return false;
}

// Runs `scanFile(path, step, held)` for the first step of every file of a
// series, `held` being the steps that file must hold, under a progress
// display; false on the first failure or on Stop.
template <class ScanFile>
bool ScanSeries(GoldLoad& load, const char* label, const std::string& fileName, const TimeSectionInfo* timeSet,
                const FileSectionInfo* fileSet, ScanFile scanFile) {
    const int32_t stride = Stride(fileSet);
    if (!StrideIsValid(stride, fileName)) return false;
    const int32_t total = timeSet != nullptr ? timeSet->numberOfSteps : 1;
    ProgressMonitor progress(label, total, true);
    bool result = true;
    int32_t step = 0;
    do {
        const int32_t number = FileNumberForStep(timeSet, fileSet, step);
        HostString path = BuildDataFileName(load.directory, fileName, number);
        result = scanFile(std::string(path.view()), step, std::min(stride, total - step));
        step += stride;
        if (result && progress.Update(step)) {
            result = false;
            load.cancelled = true;
        }
    } while (result && step < total);
    return result;
}

bool ScanGeometryFiles(GoldLoad& load, const std::string& fileName, const TimeSectionInfo* timeSet,
                       const FileSectionInfo* fileSet) {
    DepartureNotes departures;
    const bool scanned = ScanSeries(load, "Scanning geometry data", fileName, timeSet, fileSet,
                                    [&](const std::string& path, int32_t step, int32_t held) {
                                        CFileEnsightGeomGold reader;
                                        if (reader.Open(path) && reader.ScanParts(load.collection, step) &&
                                            HoldsSteps(reader, reader.stepsScanned(), held)) {
                                            departures.Add(reader.DeparturesText());
                                            return true;
                                        }
                                        reader.ReportError();
                                        return false;
                                    });
    if (scanned) departures.Show();
    return scanned;
}

// A transient series must have a time value for every step it scans.
bool TimeValuesCover(const PartCollection& collection, const TimeSectionInfo* timeSet, bool particles) {
    if (timeSet == nullptr) return true;
    for (const auto& part : collection.parts()) {
        if ((part->partNumber == ParticlePartNumber) != particles) continue;
        float time = 0.0f;
        if (part->step <= timeSet->numberOfSteps && !TimeValueForStep(timeSet, part->step - 1, time)) {
            std::string message = "Time set " + std::to_string(timeSet->number) + " holds no time value for step " +
                                  std::to_string(part->step) + ". Aborting read.";
            ZelUtilDialogErrMsg(message.c_str());
            return false;
        }
    }
    return true;
}

int32_t VariableCount() {
    EntIndex_t variables = 0;
    ZelUtilDataSetGetInfo(nullptr, nullptr, &variables);
    return variables;
}

// One variable as the scans see it: a line of the case file, or one part of a complex one.
struct VariableEntry {
    int32_t timeSet = 0;
    int32_t fileSet = 0;
    std::string description;
    std::string fileName;  // as written
};

std::vector<VariableEntry> EntriesOf(const VarList<VarSVT>& list) {
    std::vector<VariableEntry> entries;
    for (const VarSVT* e = list.head; e != nullptr; e = e->next) {
        entries.push_back(
            {e->timeSet, e->fileSet, std::string(e->description.view()), std::string(e->fileName.view())});
    }
    return entries;
}

// A complex variable is two, each its own file.
std::vector<VariableEntry> EntriesOf(const VarList<VarComplex>& list) {
    std::vector<VariableEntry> entries;
    for (const VarComplex* e = list.head; e != nullptr; e = e->next) {
        const std::string description(e->description.view());
        entries.push_back({e->timeSet, e->fileSet, description, std::string(e->realFileName.view())});
        entries.push_back({e->timeSet, e->fileSet, ImaginaryPartName(description), std::string(e->imagFileName.view())});
    }
    return entries;
}

// The host variables of one scanned entry, the number of the first or 0: an
// earlier case's variable of that name and kind when there is one, else new.
int32_t AddScannedVariables(GoldLoad& load, const VariableKind& kind, const VariableEntry& entry) {
    const auto earlier = load.earlier.find(entry.description);
    if (earlier != load.earlier.end() && load.added.count(entry.description) == 0) {
        const SharedVariable& shared = earlier->second;
        if (shared.components != kind.components || shared.isNodal != kind.isNodal) return 0;
        load.added.emplace(entry.description, shared);
        return shared.first;
    }
    const int32_t first = VariableCount() + 1;
    const int32_t location = kind.isNodal ? ZelLocationNodal : ZelLocationCellCentered;
    if (!AddVariables(kind.components, entry.description, location)) return 0;
    load.added.emplace(entry.description, SharedVariable{first, kind.components, kind.isNodal});
    return first;
}

// False after noting which file failed and why, for the not-loaded report.
bool NoteScanFailure(GoldLoad& load, const CFileEnsightVarGold& reader, const std::string& path) {
    const bool inCaseFolder = path.starts_with(load.directory);
    load.failedFile = inCaseFolder ? path.substr(load.directory.size()) : path;
    load.failure = reader.errorText();
    // Where the reader stopped, when it was this file.
    const Failure& failed = LastReadFailure();
    if (failed.place.path == path && failed.place.known()) load.failure += " (" + PlaceText(failed.place) + ")";
    return false;
}

int32_t ScanModelVariable(GoldLoad& load, VariableKind& kind, const VariableEntry& entry) {
    const TimeSectionInfo* timeSet = TimeSetNumbered(load.timeSets, entry.timeSet);
    const FileSectionInfo* fileSet = FileSetNumbered(load.fileSets, entry.fileSet);
    DepartureNotes departures;
    const bool scanned = ScanSeries(load, "Scanning variable data", entry.fileName, timeSet,
                                    fileSet, [&](const std::string& path, int32_t step, int32_t held) {
                                        CFileEnsightVarGold reader;
                                        if (reader.Open(path, load.collection) &&
                                            reader.ScanVariableParts(load.collection, kind, step) &&
                                            HoldsSteps(reader, reader.stepsScanned(), held)) {
                                            departures.Add(reader.DeparturesText());
                                            return true;
                                        }
                                        return NoteScanFailure(load, reader, path);
                                    });
    if (!scanned) return 0;
    departures.Show();
    return AddScannedVariables(load, kind, entry);
}

int32_t ScanMeasuredVariable(GoldLoad& load, VariableKind& kind, const VariableEntry& entry) {
    const TimeSectionInfo* timeSet = TimeSetNumbered(load.timeSets, entry.timeSet);
    const FileSectionInfo* fileSet = FileSetNumbered(load.fileSets, entry.fileSet);
    const int32_t stride = Stride(fileSet);
    const bool scanned = ScanSeries(
        load, "Scanning variable data", entry.fileName, timeSet, fileSet,
        [&](const std::string& path, int32_t step, int32_t held) {
            CFileEnsightVarGold reader;
            if (!reader.OpenMeasuredVariable(load.collection, kind, path, step, stride)) {
                return NoteScanFailure(load, reader, path);
            }
            // A file of a file set holds `stride` steps, one after another.
            int32_t found = 0;
            for (int32_t s = step; s < step + stride; ++s, ++found) {
                const size_t before = kind.items.size();
                if (!reader.ScanMeasuredValues(load.collection, kind, s)) return NoteScanFailure(load, reader, path);
                if (kind.items.size() == before) break;
            }
            return HoldsSteps(reader, found, held) || NoteScanFailure(load, reader, path);
        });
    return scanned ? AddScannedVariables(load, kind, entry) : 0;
}

using Registration = bool (*)(const PartVariableInfo&, const PartInfo&, int32_t, int32_t, int32_t);

// One loader per zone and variable: a second record of the same part and step is passed over.
void RegisterValueLoaders(GoldLoad& load, const VariableKind& kind, int32_t first, Registration registration) {
    std::unordered_set<uint64_t> registered;
    for (const PartVariableInfo& item : kind.items) {
        const int32_t zone = load.collection.ZoneForPartStep(item.partNumber, item.step);
        const PartInfo* part = load.collection.FindPart(item.partNumber, item.step);
        const uint64_t key = (static_cast<uint64_t>(static_cast<uint32_t>(item.partNumber)) << 32) |
                             static_cast<uint32_t>(item.step);
        if (zone < 1 || part == nullptr || !registered.insert(key).second) continue;
        registration(item, *part, zone, first, kind.components);
    }
}

std::string StepList(const std::vector<int32_t>& steps) {
    std::string text;
    for (int32_t step : steps) text += (text.empty() ? "" : ", ") + std::to_string(step);
    return text;
}

// A variable with no time set holds at every step. Each part's first zone
// that fits the file registers the loaders; the zones of later steps share
// those values (read once, stored once) where their mesh is the one the file
// was scanned against, and go without them where it is not.
void RegisterFixedValueLoaders(GoldLoad& load, const VariableKind& kind, const VariableEntry& entry, int32_t first,
                               Registration registration) {
    std::unordered_set<int32_t> done;
    for (const PartVariableInfo& item : kind.items) {
        const PartInfo* scanned = load.collection.FindPart(item.partNumber, item.step);
        const PartZoneList* zones = load.collection.ZonesOfPart(item.partNumber);
        // An empty part at the file's step has no values to hold elsewhere.
        if (scanned == nullptr || zones == nullptr || IsEmptyPart(*scanned) || !done.insert(item.partNumber).second) {
            continue;
        }
        int32_t source = 0;
        std::vector<int32_t> otherMesh;
        for (size_t i = 0; i < zones->steps.size(); ++i) {
            const PartInfo* part = load.collection.FindPart(item.partNumber, zones->steps[i]);
            const int32_t zone = zones->zones[i];
            if (part != nullptr && IsEmptyPart(*part)) continue;  // nothing to hold
            if (part == nullptr || !SameMesh(*part, *scanned)) {
                otherMesh.push_back(zones->steps[i]);
            } else if (source == 0 || !ShareValues(first - 1, kind.components, source, zone)) {
                registration(item, *part, zone, first, kind.components);
                if (source == 0) source = zone;
            }
        }
        if (otherMesh.empty()) continue;
        const std::string part = scanned->kind == PartParticles
                                     ? std::string("the particles")
                                     : "part " + std::to_string(item.partNumber) + " \"" +
                                           std::string(ZoneDescription(scanned->name)) + "\"";
        load.notLoaded.Add(entry.fileName, "it has no time set; it fits " + part + " at step " +
                                               std::to_string(scanned->step) + ", not at step " + StepList(otherMesh) +
                                               ", where the mesh differs");
    }
}

void AddToVariableSet(Set_pa variableSet, int32_t first, int32_t components) {
    for (int32_t v = first; v < first + components; ++v) ZelUtilSetAddMember(variableSet, v, ZEL_FALSE);
}

// Why an entry's time set keeps it off the loaded steps; empty when it loads.
// A one-step set is steady data, so it loads wherever the loaded series is steady.
using TimeSetRefusal = std::string (*)(const GoldLoad&, int32_t);

std::string RefusalFor(const GoldLoad& load, bool accepted, int32_t loadedTimeSet, int32_t timeSet) {
    if (accepted) return {};
    if (StepCount(TimeSetNumbered(load.timeSets, timeSet)) == 1 &&
        StepCount(TimeSetNumbered(load.timeSets, loadedTimeSet)) == 1) {
        return {};
    }
    const std::string refused = "time set " + std::to_string(timeSet) + " does not match ";
    return loadedTimeSet == 0 ? refused + "the loaded steps, which have no time set"
                              : refused + "time set " + std::to_string(loadedTimeSet) + " of the loaded steps";
}

std::string ModelRefusal(const GoldLoad& load, int32_t timeSet) {
    const PartCollection& collection = load.collection;
    return RefusalFor(load, collection.AcceptsVariableTimeSet(timeSet), collection.modelTimeSet, timeSet);
}
std::string MeasuredRefusal(const GoldLoad& load, int32_t timeSet) {
    const PartCollection& collection = load.collection;
    return RefusalFor(load, collection.AcceptsMeasuredTimeSet(timeSet), collection.measuredTimeSet, timeSet);
}

// The scan and registration of every entry of one list; false when one was not loaded.
template <class Scan>
bool LoadVariableList(GoldLoad& load, VariableKind& kind, const std::vector<VariableEntry>& list,
                      TimeSetRefusal refusal, Scan scan, Registration registration) {
    HostLock lock;
    bool result = true;
    for (auto entry = list.begin(); entry != list.end() && !load.cancelled; ++entry) {
        const std::string refused = refusal(load, entry->timeSet);
        if (!refused.empty()) {
            load.notLoaded.Add(entry->fileName, refused);
            result = false;
            continue;
        }
        load.failedFile.clear();
        load.failure = "its variables could not be added";
        ForgetReadFailure();
        const int32_t first = scan(load, kind, *entry);
        if (first < 1) {
            // The step's file is named when it is not the entry's name as written.
            const bool named = load.failedFile.empty() || load.failedFile == entry->fileName;
            if (!load.cancelled) {
                load.notLoaded.Add(entry->fileName, named ? load.failure : load.failedFile + ": " + load.failure);
            }
            result = false;
        } else {
            AddToVariableSet(load.variableSet, first, kind.components);
            if (StepCount(TimeSetNumbered(load.timeSets, entry->timeSet)) == 1) {
                RegisterFixedValueLoaders(load, kind, *entry, first, registration);
            } else {
                RegisterValueLoaders(load, kind, first, registration);
            }
        }
        kind.items.clear();
    }
    return result;
}

// The model variables of the rows in order; false when one was not loaded.
template <class Entry>
bool LoadModelLists(GoldLoad& load, const VariableSectionInfo& variables, std::span<const VariableLine<Entry>> rows) {
    bool result = true;
    for (const VariableLine<Entry>& row : rows) {
        const VarList<Entry>& list = variables.*row.list;
        if (list.head == nullptr) continue;
        VariableKind kind;
        kind.isNodal = row.isNodal;
        kind.components = row.components;
        Registration registration = row.isNodal ? &RegisterNodalValueLoaders : &RegisterCellValueLoaders;
        result = LoadVariableList(load, kind, EntriesOf(list), &ModelRefusal, &ScanModelVariable, registration) &&
                 result;
        if (load.cancelled) return false;
    }
    return result;
}

bool LoadModelVariables(GoldLoad& load, const VariableSectionInfo& variables) {
    bool result = LoadModelLists<VarSVT>(load, variables, ModelSvtKinds);
    if (load.cancelled) return false;
    // Real and imaginary parts are each a scalar or vector file of their own.
    result = LoadModelLists<VarComplex>(load, variables, ComplexKinds) && result;
    if (load.cancelled) return false;
    load.notLoaded.Show();
    return result;
}

bool LoadMeasuredVariables(GoldLoad& load, const VariableSectionInfo& variables) {
    for (const VariableLine<VarSVT>& row : MeasuredSvtKinds) {
        const VarList<VarSVT>& list = variables.*row.list;
        if (list.head == nullptr) continue;
        VariableKind kind;
        kind.isNodal = true;
        kind.components = row.components;
        LoadVariableList(load, kind, EntriesOf(list), &MeasuredRefusal, &ScanMeasuredVariable,
                         &RegisterMeasuredValueLoaders);
        if (load.cancelled) return false;
    }
    load.notLoaded.Show();
    return true;
}

// Scans the model geometry of one case: every step's parts and file positions.
bool ScanModelGeometry(GoldLoad& load, const GeometrySectionInfo& geometry) {
    const TimeSectionInfo* modelTimeSet = TimeSetNumbered(load.timeSets, geometry.modelTimeSet);
    const FileSectionInfo* modelFileSet = FileSetNumbered(load.fileSets, geometry.modelFileSet);
    const bool transient = modelTimeSet != nullptr && modelTimeSet->numberOfSteps > 0;
    if (!ScanGeometryFiles(load, geometry.modelFileName, modelTimeSet, modelFileSet)) return false;
    std::string fault;
    if (geometry.modelChangeCoordsOnly &&
        !load.collection.BorrowConnectivity(geometry.modelChangeCoordsStep + 1, fault)) {
        ZelUtilDialogErrMsg(fault.c_str());
        return false;
    }
    return !transient || TimeValuesCover(load.collection, modelTimeSet, false);
}

// The zones of one case: geometry, particles, and the steps of transient
// variables. The first case of a load makes the data set.
bool MakeZones(GoldLoad& load, const GeometrySectionInfo& geometry, const VariableSectionInfo* variables,
               Set_pa zoneSet, bool makeDataSet, bool& dataSetCreated) {
    const TimeSectionInfo* modelTimeSet = TimeSetNumbered(load.timeSets, geometry.modelTimeSet);
    const TimeSectionInfo* measuredTimeSet = TimeSetNumbered(load.timeSets, geometry.measuredTimeSet);
    const FileSectionInfo* measuredFileSet = FileSetNumbered(load.fileSets, geometry.measuredFileSet);
    const bool transient = modelTimeSet != nullptr && modelTimeSet->numberOfSteps > 0;

    const auto makeGeometryZones = makeDataSet ? &CreateGeometryZones : &AddGeometryZones;
    if (!makeGeometryZones(load.collection, transient, transient ? modelTimeSet : nullptr, zoneSet)) return false;
    dataSetCreated = true;

    if (!geometry.measuredFileName.empty()) {
        const bool measuredTransient = measuredTimeSet != nullptr && measuredTimeSet->numberOfSteps > 0;
        if (!ScanGeometryFiles(load, geometry.measuredFileName, measuredTimeSet, measuredFileSet)) return false;
        if (measuredTransient && !TimeValuesCover(load.collection, measuredTimeSet, true)) return false;
        if (!CreateParticleZones(load.collection, geometry.measuredTimeSet > 0 && measuredTransient,
                                 measuredTransient ? measuredTimeSet : nullptr, zoneSet)) {
            return false;
        }
    }
    if (variables == nullptr) return true;
    if (!CreateTransientVariableZones(load.collection, zoneSet, variables, load.timeSets)) return false;
    return geometry.measuredFileName.empty() ||
           CreateTransientParticleZones(load.collection, zoneSet, variables, load.timeSets);
}

// The variables of one case onto its zones; false only when the user stopped the load.
bool LoadVariables(GoldLoad& load, const GeometrySectionInfo& geometry, const VariableSectionInfo* variables) {
    if (variables == nullptr) return true;
    const bool particles = !geometry.measuredFileName.empty();
    load.notLoaded.AddUnloadable(*variables, particles ? nullptr : "the case has no measured geometry");
    LoadModelVariables(load, *variables);
    if (load.cancelled) return false;
    return geometry.measuredFileName.empty() || LoadMeasuredVariables(load, *variables);
}

// One case of the load with what its scans found.
struct CaseLoad {
    CaseLoad(const GoldCase& source, Set_pa variableSet, SharedVariables& earlier)
        : source(source),
          collection(source.geometry.modelTimeSet,
                     StepCount(TimeSetNumbered(source.timeSets, source.geometry.modelTimeSet)),
                     source.geometry.measuredTimeSet,
                     StepCount(TimeSetNumbered(source.timeSets, source.geometry.measuredTimeSet))),
          load{collection, source.geometry.caseDirectory, source.timeSets, source.fileSets, variableSet, false, {},
               earlier, {}, {}, {}} {}

    const GoldCase& source;
    PartCollection collection;
    GoldLoad load;
};

// The stages in order, each over every case before the next; false at the
// first that fails. Every geometry is scanned before the data set is made,
// which then has "IBlank" when any case has iblank values; each case's zones
// follow the previous case's, its strands too; variables come last, once
// every zone exists. `dataSetCreated` tells the caller whether a failure must
// remove what this load built.
bool RunStages(std::vector<std::unique_ptr<CaseLoad>>& cases, Set_pa zoneSet, bool& dataSetCreated) {
    bool iblank = false;
    for (auto& c : cases) {
        if (!ScanModelGeometry(c->load, c->source.geometry)) return false;
        iblank = iblank || c->collection.AnyPartHasIBlank();
    }
    for (size_t i = 0; i < cases.size(); ++i) {
        CaseLoad& c = *cases[i];
        if (iblank) c.collection.ShareIBlank();
        if (i > 0) c.collection.strandBase = ZelUtilDataSetGetMaxStrandID();
        if (!MakeZones(c.load, c.source.geometry, c.source.variables, zoneSet, i == 0, dataSetCreated)) return false;
    }
    for (auto& c : cases) {
        if (!LoadVariables(c->load, c->source.geometry, c->source.variables)) return false;
        c->load.earlier.merge(c->load.added);
    }
    return true;
}

}  // namespace

bool LoadGoldCases(const std::vector<GoldCase>& sources) {
    HostSet zoneSet;
    HostSet variableSet;
    SharedVariables earlier;
    std::vector<std::unique_ptr<CaseLoad>> cases;
    for (const GoldCase& source : sources) {
        cases.push_back(std::make_unique<CaseLoad>(source, variableSet.get(), earlier));
    }
    bool dataSetCreated = false;
    if (RunStages(cases, zoneSet.get(), dataSetCreated)) {
        ZelUtilStateChanged(ZelStateZonesAdded, zoneSet.get());
        if (ZelUtilSetGetMemberCount(variableSet.get()) > 0) ZelUtilStateChanged(ZelStateVarsAdded, variableSet.get());
        return true;
    }
    // Only what this load built goes: an earlier data set survives a failure before zone creation.
    if (dataSetCreated && ZelUtilDataSetIsAvailable()) ZelUtilFrameDeleteTop();
    return false;
}

bool LoadGoldCase(const GeometrySectionInfo& geometry, const VariableSectionInfo* variables,
                  const TimeSectionInfo* timeSets, const FileSectionInfo* fileSets) {
    return LoadGoldCases({GoldCase{geometry, variables, timeSets, fileSets}});
}

}  // namespace quorix
