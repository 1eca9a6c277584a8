#include "ensight6/ensight6_load.h"

#include <algorithm>
#include <memory>
#include <new>
#include <span>

#include "casefile/element_types.h"
#include "casefile/file_names.h"
#include "casefile/variable_kinds.h"
#include "dataset/deferred_loading.h"
#include "dataset/ensight6_zones.h"
#include "dataset/zone_creation.h"
#include "ensight6/connectivity_reader.h"
#include "ensight6/ensight6_load_case.h"
#include "ensight6/geometry_scanner.h"
#include "ensight6/value_source.h"
#include "gold/ensight_reader.h"
#include "host_api/variable_numbers.h"

namespace quorix {
namespace {

Ensight6ZoneShape ShapeOf(const GeometryPart& part) {
    Ensight6ZoneShape shape;
    shape.kind = part.kind;
    shape.description = part.description;
    shape.imax = part.imax;
    shape.jmax = part.jmax;
    shape.kmax = part.kmax;
    shape.maxNodesPerElement = part.maxNodesPerElement;
    shape.category = part.category;
    shape.polytope = part.polytope;
    return shape;
}

float TimeOf(const TimeSectionInfo* timeSet, int32_t k) {
    float time = 0.0f;
    if (timeSet != nullptr && !TimeValueForStep(timeSet, k, time)) time = 0.0f;
    return time;
}

std::string JoinNumbers(const std::vector<int32_t>& numbers) {
    std::string text;
    for (int32_t n : numbers) text += (text.empty() ? "" : ", ") + std::to_string(n);
    return text;
}

// One variable entry as the stage walks it.
struct VariableEntry {
    std::string_view description;
    std::string_view fileName;
    int32_t timeSet;
    int32_t fileSet;
};

}  // namespace

Ensight6Load::Ensight6Load(const Ensight6Selection& options, GeometrySectionInfo& geometry,
                           const VariableSectionInfo* variables, const TimeSectionInfo* timeSets,
                           const FileSectionInfo* fileSets)
    : options_(options), geometrySection_(geometry), variables_(variables), timeSets_(timeSets), fileSets_(fileSets) {}

Ensight6Load::~Ensight6Load() {
    ZelUtilSetDealloc(&zoneSet_);
    ZelUtilSetDealloc(&variableSet_);
}

bool Ensight6Load::Fail(const std::string& message) {
    ZelUtilDialogErrMsg(message.c_str());
    return false;
}

bool Ensight6Load::FailReading(const std::string& path, const Failure& failure) {
    // A text that names the file says all but the place; any other is a read error of the file.
    if (!failure.text.empty() && failure.text.find(path) != std::string::npos) {
        Fail(failure.text);
    } else {
        ShowReadError(path, failure.text.empty() ? "The file could not be read." : failure.text);
    }
    ShowErrorPlace(failure.place);
    return false;
}

bool Ensight6Load::Run() {
    if (!LoadGeometrySeries()) {
        if (ZelUtilDataSetIsAvailable() == ZEL_TRUE) ZelUtilFrameDeleteTop();
        return false;
    }
    if (variables_ != nullptr && !LoadVariables()) return false;
    if (zoneSet_ != nullptr) {
        ZelUtilStateChanged(ZelStateZonesAdded, zoneSet_);
        ZelUtilStateChanged(ZelStateNodeMapsAltered, zoneSet_);
    }
    if (variableSet_ != nullptr) ZelUtilStateChanged(ZelStateVarsAdded, variableSet_);
    return true;
}

// ---- geometry ----

// Steps held by each file of a file set: all of them for a file set of one file.
static int32_t StepsPerFile(const FileSectionInfo* fileSet) {
    return fileSet != nullptr && fileSet->numberOfSteps > 1 ? fileSet->numberOfSteps : 1;
}

// A file set the case names must be in its FILE section: without it the
// steps of one file would all be read from the file's first step.
bool Ensight6Load::FileSetNamed(int32_t number, const FileSectionInfo*& fileSet) {
    fileSet = number != 0 ? FindFileSet(fileSets_, number) : nullptr;
    if (number == 0 || fileSet != nullptr) return true;
    return Fail("The case names file set " + std::to_string(number) + ", which its FILE section does not hold.");
}

bool Ensight6Load::LoadGeometrySeries() {
    if (geometrySection_.modelFileName.empty()) return true;
    const TimeSectionInfo* timeSet =
        geometrySection_.modelTimeSet != 0 ? FindTimeSet(timeSets_, geometrySection_.modelTimeSet) : nullptr;
    const FileSectionInfo* fileSet = nullptr;
    if (!FileSetNamed(geometrySection_.modelFileSet, fileSet)) return false;
    geometryTransient_ = timeSet != nullptr && timeSet->numberOfSteps > 1;
    int32_t steps = timeSet != nullptr ? std::max(timeSet->numberOfSteps, 1) : 1;
    int32_t perFile = StepsPerFile(fileSet);
    for (int32_t k = 0; k < steps; k += perFile) {
        HostString path = BuildDataFileName(geometrySection_.caseDirectory, geometrySection_.modelFileName,
                                            FileNumberForStep(timeSet, fileSet, k));
        if (!path.isSet()) return Fail("Not enough memory to load data");
        if (!LoadGeometryFile(path.c_str(), timeSet, k, std::min(perFile, steps - k))) return false;
    }
    return true;
}

bool Ensight6Load::LoadGeometryFile(const std::string& path, const TimeSectionInfo* timeSet, int32_t firstStep,
                                    int32_t stepsInFile) {
    GeometryEncoding encoding = EncodingUnknown;
    Ensight6GeometryScanner scanner;
    File_a* file = scanner.OpenEnsight6Geometry(path, encoding);
    if (file == nullptr) return FailReading(path, scanner.failure);
    geometrySection_.encoding = encoding;
    struct Closer {
        File_a*& file;
        ~Closer() { File_a::Close(file); }
    } closer{file};
    int64_t start = 0;
    for (int32_t s = 0; s < stepsInFile; ++s) {
        if (s > 0 && !HasAnotherStep(*file)) {
            return Fail("The file " + path + " holds " + std::to_string(s) + " time steps; the case expects " +
                        std::to_string(stepsInFile) + ".");
        }
        if (!LoadGeometryStep(*file, scanner, path, encoding, start, TimeOf(timeSet, firstStep + s))) return false;
        start = file->Tell();
    }
    return true;
}

// Whatever follows a step's "END TIME STEP" is the next step, unless only blanks are left.
bool Ensight6Load::HasAnotherStep(File_a& file) {
    int64_t at = file.Tell();
    char probe[64];
    size_t got = file.Read(probe, 1, sizeof probe);
    bool more = std::string_view(probe, got).find_first_not_of(std::string_view(" \t\r\n\0", 5)) !=
                std::string_view::npos;
    return file.Seek(at, 0) && more;
}

bool Ensight6Load::LoadGeometryStep(File_a& file, Ensight6GeometryScanner& scanner, const std::string& path,
                                    GeometryEncoding encoding, int64_t start, float time) {
    auto geometry = std::make_unique<Ensight6GeometryFile>();
    geometry->path = path;
    geometry->encoding = encoding;
    if (!scanner.ScanEnsight6Geometry(file, *geometry, start)) {
        return FailReading(path, scanner.failure);
    }
    int64_t next = file.Tell();
    file.SetByteOrder(geometry->byteOrder);
    if (!dataSetMade_) {
        if (!SelectParts(*geometry)) return false;
        if (!CreateDataSet(std::string(geometry->title.view()), true))
            return Fail("Error when attempting to create geometry zones.");
        dataSetMade_ = true;
    }
    auto step = std::make_unique<Ensight6StepZones>();
    step->geometry = geometry.get();
    step->time = time;
    step->IndexParts();
    if (!CreateStepZones(*step)) return false;
    Ensight6GeometryFile& scanned = *geometry;
    files_.push_back(std::move(geometry));
    steps_.push_back(std::move(step));
    bool ok = AttachZones(file, scanned, *steps_.back());
    scanned.nodeIdMap.Release();  // the node maps are written
    if (!ok) return false;
    // the node maps were read from elsewhere in the file: the next step starts where the scan ended
    return file.Seek(next, 0) || Fail("Error reading the geometry file " + path + ": seek failed.");
}

bool Ensight6Load::SelectParts(const Ensight6GeometryFile& file) {
    if (options_.ZoneCount <= 0 || options_.ZoneArray == nullptr) return true;
    std::vector<int32_t> missing;
    std::unordered_set<int32_t> inFile;
    for (const GeometryPart* part : file.parts.parts()) inFile.insert(part->partNumber);
    for (int32_t i = 0; i < options_.ZoneCount; ++i) {
        int32_t number = options_.ZoneArray[i];
        if (inFile.count(number) == 0) {
            if (std::find(missing.begin(), missing.end(), number) == missing.end()) missing.push_back(number);
        } else {
            requested_.insert(number);
        }
    }
    if (requested_.empty())
        return Fail("None of the requested parts (" + JoinNumbers(missing) + ") is in the file " + file.path + ".");
    if (!missing.empty())
        ZelUtilDialogErrMsg(("The file " + file.path + " has no part " + JoinNumbers(missing) +
                             "; the other requested parts are loaded.")
                                .c_str());
    return true;
}

bool Ensight6Load::IsSelected(int32_t partNumber) const {
    return requested_.empty() || requested_.count(partNumber) != 0;
}

int32_t Ensight6Load::StrandFor(int32_t partNumber) {
    auto [it, added] = strandOf_.emplace(partNumber, static_cast<int32_t>(strandOf_.size()) + 1);
    return it->second;
}

void Ensight6Load::AddZone(int32_t zone) {
    if (zoneSet_ == nullptr) zoneSet_ = ZelUtilSetAlloc(ZEL_TRUE);
    if (zoneSet_ != nullptr) ZelUtilSetAddMember(zoneSet_, zone, ZEL_TRUE);
}

bool Ensight6Load::CreateStepZones(Ensight6StepZones& step) {
    const auto& parts = step.geometry->parts.parts();
    step.zones.assign(parts.size(), 0);
    for (size_t i = 0; i < parts.size(); ++i) {
        if (!IsSelected(parts[i]->partNumber)) continue;
        // a part without loadable elements keeps its place with no zone
        int32_t zone = CreateEnsight6PartZone(ShapeOf(*parts[i]), StrandFor(parts[i]->partNumber), 0, step.time);
        step.zones[i] = zone;
        if (zone > 0) AddZone(zone);
    }
    return true;
}

bool Ensight6Load::Register(int32_t zone, int32_t variable, LoadOnDemandVarLoad_pf load, Ensight6ValueSource* source) {
    if (source == nullptr) return Fail("Not enough memory to load data");
    if (!RegisterValueSource(zone, variable, load, source))
        return Fail("The host refused to load values of zone " + std::to_string(zone) + " on demand.");
    return true;
}

bool Ensight6Load::RegisterConstantIBlank(int32_t zone) {
    if (RegisterConstantIBlankLoader(zone)) return true;
    return Fail("The host refused to load values of zone " + std::to_string(zone) + " on demand.");
}

bool Ensight6Load::RegisterBlockCoordinateLoaders(int32_t zone, const Ensight6GeometryFile& geometry,
                                                  const GeometryPart& part) {
    bool binary = geometry.encoding == EncodingCBinary;
    const int64_t offsets[3] = {part.xOffset, part.yOffset, part.zOffset};
    auto source = [&](int64_t offset, int32_t variable) {
        Ensight6ValueSource* s = NewValueSource(geometry.path);
        if (s == nullptr) return s;
        s->offset = offset;
        s->valueCount = static_cast<int32_t>(part.NodeCount());
        s->dim1 = part.imax;
        s->dim2 = part.jmax;
        s->dim3 = part.kmax;
        s->variable = variable;
        s->byteOrder = geometry.byteOrder;
        return s;
    };
    for (int32_t v = XVariable; v <= ZVariable; ++v)
        if (!Register(zone, v, binary ? LoadBlockCoordinatesBinary : LoadBlockCoordinatesAscii,
                      source(offsets[v - 1], v)))
            return false;
    if (part.iblankOffset < 1) return RegisterConstantIBlank(zone);
    return Register(zone, IBlankVariable, binary ? LoadBlockIBlankBinary : LoadBlockIBlankAscii,
                    source(part.iblankOffset, IBlankVariable));
}

bool Ensight6Load::RegisterNodeCoordinateLoaders(int32_t zone, const Ensight6GeometryFile& geometry,
                                                 const GeometryPart& part) {
    bool binary = geometry.encoding == EncodingCBinary;
    const std::shared_ptr<NodeColumns> columns = binary ? nullptr : std::make_shared<NodeColumns>();
    for (int32_t v = XVariable; v <= ZVariable; ++v) {
        Ensight6ValueSource* s = NewValueSource(geometry.path);
        if (s != nullptr) {
            s->nodeColumns = columns;
            s->offset = part.xOffset;
            s->valueCount = part.imax;
            s->dim1 = part.imax;
            s->dim2 = part.jmax;
            s->dim3 = part.kmax;
            s->variable = v;
            s->byteOrder = geometry.byteOrder;
        }
        if (!Register(zone, v, binary ? LoadNodeCoordinatesBinary : LoadNodeCoordinatesAscii, s)) return false;
    }
    return true;
}

// All unstructured parts of a file use its one node list: one coordinate array.
static bool ShareNodeCoordinates(int32_t zone, int32_t source) { return ShareValues(XVariable - 1, 3, source, zone); }

bool Ensight6Load::AttachZones(File_a& file, Ensight6GeometryFile& geometry, const Ensight6StepZones& step) {
    int32_t first = 0;
    const auto& parts = geometry.parts.parts();
    for (size_t i = 0; i < parts.size(); ++i) {
        int32_t zone = step.zones[i];
        if (zone == 0) continue;
        const GeometryPart& part = *parts[i];
        if (part.kind == Ensight6Block) {
            if (!RegisterBlockCoordinateLoaders(zone, geometry, part)) return false;
            continue;
        }
        if (first == 0 || !ShareNodeCoordinates(zone, first)) {
            if (!RegisterNodeCoordinateLoaders(zone, geometry, part)) return false;
        }
        if (first == 0) first = zone;
        if (!RegisterConstantIBlank(zone)) return false;
        if (part.category < CategoryLine) continue;  // a point part is its nodes
        Failure failure;
        bool read = part.polytope ? Ensight6ReadFaceMap(zone, file, part, geometry, failure)
                                  : Ensight6ReadConnectivity(zone, file, part, geometry, failure);
        if (!read) return FailReading(geometry.path, failure);
    }
    return true;
}

// ---- variables ----

bool Ensight6Load::IsVariableTaken(int32_t ordinal) {
    if (options_.VarCount < 0) return false;
    if (options_.VarCount == 0 || options_.VarArray == nullptr) return true;
    return requestedVariables_.count(ordinal) != 0;
}

bool Ensight6Load::LoadVariables() {
    if (!dataSetMade_) return Fail("There is no geometry to load the variables onto.");
    // EnSight 6 has no measured variables.
    const std::span<const VariableLine<VarSVT>> svtLists = ModelSvtKinds;
    const std::span<const VariableLine<VarComplex>> complexLists = ComplexKinds;
    int32_t total = 0;
    for (const auto& l : svtLists)
        for (const VarSVT* e = (variables_->*l.list).head; e != nullptr; e = e->next) ++total;
    for (const auto& l : complexLists)
        for (const VarComplex* e = (variables_->*l.list).head; e != nullptr; e = e->next) ++total;
    if (options_.VarCount > 0 && options_.VarArray != nullptr) {
        std::vector<int32_t> missing;
        for (int32_t i = 0; i < options_.VarCount; ++i) {
            int32_t ordinal = options_.VarArray[i];
            if (ordinal >= 1 && ordinal <= total)
                requestedVariables_.insert(ordinal);
            else if (std::find(missing.begin(), missing.end(), ordinal) == missing.end())
                missing.push_back(ordinal);
        }
        if (requestedVariables_.empty())
            return Fail("None of the requested variables (" + JoinNumbers(missing) + ") is in the case.");
        if (!missing.empty())
            ZelUtilDialogErrMsg(("The case has no variable " + JoinNumbers(missing) +
                                 "; the other requested variables are loaded.")
                                    .c_str());
    }

    int32_t ordinal = 0;
    for (const auto& l : svtLists) {
        for (const VarSVT* e = (variables_->*l.list).head; e != nullptr; e = e->next) {
            if (!IsVariableTaken(++ordinal)) continue;
            if (!LoadVariable(e->description.view(), e->fileName.view(), e->timeSet, e->fileSet, l.components,
                              l.isNodal))
                return false;
        }
    }
    for (const auto& l : complexLists) {
        for (const VarComplex* e = (variables_->*l.list).head; e != nullptr; e = e->next) {
            if (!IsVariableTaken(++ordinal)) continue;
            const std::string imaginary = ImaginaryPartName(e->description.view());
            if (!LoadVariable(e->description.view(), e->realFileName.view(), e->timeSet, e->fileSet, l.components,
                              l.isNodal) ||
                !LoadVariable(imaginary, e->imagFileName.view(), e->timeSet, e->fileSet, l.components, l.isNodal))
                return false;
        }
    }
    EntIndex_t zones = 0;
    EntIndex_t count = 0;
    ZelUtilDataSetGetInfo(nullptr, &zones, &count);
    // The EnSight 6 data set always holds IBlank: the fields follow it.
    constexpr int32_t FirstFieldVariable = IBlankVariable + 1;
    if (count >= FirstFieldVariable) {
        variableSet_ = ZelUtilSetAlloc(ZEL_TRUE);
        for (int32_t v = FirstFieldVariable; v <= count && variableSet_ != nullptr; ++v)
            ZelUtilSetAddMember(variableSet_, v, ZEL_TRUE);
    }
    if (!SpreadFixedVariables()) return false;
    notLoaded_.AddUnloadable(*variables_, "particles of EnSight 6 cases are not loaded");
    notLoaded_.Show();
    return true;
}

// Each part once, whatever the number of steps that hold it.
void Ensight6Load::NotePartsNotInGeometry(std::string_view fileName, const std::vector<int32_t>& parts) {
    for (int32_t number : parts) {
        if (!partsNoted_.insert({std::string(fileName), number}).second) continue;
        notLoaded_.Add(fileName,
                       "Part " + std::to_string(number) + " is not in the geometry; its values were passed over");
    }
}

// A steady geometry's zones take the time of step 1 of the first variable
// series with several steps or, when the geometry has no time set, of the
// first one-step series (a one-step set is steady data).
void Ensight6Load::TimeSteadyZones(const TimeSectionInfo* timeSet) {
    if (timeSet == nullptr || geometryTransient_ || steps_.empty()) return;
    const int32_t rank = timeSet->numberOfSteps > 1 ? 2 : geometrySection_.modelTimeSet == 0 ? 1 : 0;
    if (rank <= steadyTimeRank_) return;
    const float time = TimeOf(timeSet, 0);
    for (int32_t zone : steps_.front()->zones)
        if (zone > 0) ZelUtilZoneSetSolutionTime(zone, time);
    steadyTimeRank_ = rank;
}

// The zones of variable step k: the geometry's own step, or for a steady
// geometry a copy of step 1 that shares its coordinates and node maps.
const Ensight6StepZones* Ensight6Load::StepFor(int32_t k, const TimeSectionInfo* timeSet,
                                               std::string_view description) {
    if (k < static_cast<int32_t>(steps_.size())) return steps_[static_cast<size_t>(k)].get();
    if (geometryTransient_ || steps_.empty()) {
        Fail("The variable " + std::string(description) + " has more time steps than the geometry.");
        return nullptr;
    }
    const Ensight6StepZones& first = *steps_.front();
    while (static_cast<int32_t>(steps_.size()) <= k) {
        auto step = std::make_unique<Ensight6StepZones>();
        step->geometry = first.geometry;
        step->time = TimeOf(timeSet, static_cast<int32_t>(steps_.size()));
        step->IndexParts();
        step->zones.assign(first.zones.size(), 0);
        const auto& parts = first.geometry->parts.parts();
        for (size_t i = 0; i < parts.size(); ++i) {
            if (first.zones[i] == 0) continue;
            int32_t zone = CreateEnsight6PartZone(ShapeOf(*parts[i]), StrandFor(parts[i]->partNumber), first.zones[i],
                                                  step->time);
            if (zone == 0) {
                Fail("Error when attempting to create the zones of time step " + std::to_string(steps_.size() + 1) + ".");
                return nullptr;
            }
            step->zones[i] = zone;
            AddZone(zone);
        }
        steps_.push_back(std::move(step));
    }
    return steps_[static_cast<size_t>(k)].get();
}

bool Ensight6Load::LoadVariable(std::string_view description, std::string_view fileName, int32_t timeSetNumber,
                                int32_t fileSetNumber, int32_t components, bool isNodal) {
    EntIndex_t zones = 0;
    EntIndex_t firstVariable = 0;
    ZelUtilDataSetGetInfo(nullptr, &zones, &firstVariable);
    const int32_t location = isNodal ? ZelLocationNodal : ZelLocationCellCentered;
    if (!AddVariables(components, std::string(description), location))
        return Fail("Error when attempting to add the variable " + std::string(description) + ".");
    const TimeSectionInfo* timeSet = timeSetNumber != 0 ? FindTimeSet(timeSets_, timeSetNumber) : nullptr;
    const FileSectionInfo* fileSet = nullptr;
    if (!FileSetNamed(fileSetNumber, fileSet)) return false;
    int32_t steps = timeSet != nullptr ? std::max(timeSet->numberOfSteps, 1) : 1;
    int32_t perFile = StepsPerFile(fileSet);
    bool ascii = files_.front()->encoding == EncodingAscii;
    Ensight6VariableReader reader = location == ZelLocationNodal
                                        ? (ascii ? ReadEnsight6NodeVariable : RegisterNodeVariableLoaders)
                                        : (ascii ? ReadEnsight6ElementVariable : RegisterElementVariableLoaders);
    TimeSteadyZones(timeSet);
    for (int32_t k = 0; k < steps; k += perFile) {
        HostString path = BuildDataFileName(geometrySection_.caseDirectory, fileName,
                                            FileNumberForStep(timeSet, fileSet, k));
        if (!path.isSet()) return Fail("Not enough memory to load data");
        std::vector<int32_t> partsNotInGeometry;
        Ensight6VariableFile file{path.c_str(), components, firstVariable, nullptr, 0, &partsNotInGeometry};
        for (int32_t s = k; s < std::min(k + perFile, steps); ++s) {
            file.step = StepFor(s, timeSet, description);
            if (file.step == nullptr) return false;
            if (steps == 1) fixed_.push_back({std::string(fileName), {file.path, components, firstVariable, nullptr, 0, nullptr}, reader});
            Failure failure;
            if (!reader(file, file.start, failure)) return FailReading(file.path, failure);
        }
        NotePartsNotInGeometry(fileName, partsNotInGeometry);
    }
    return true;
}

namespace {

bool SameBlocks(const GeometryElementBlock* a, const GeometryElementBlock* b) {
    for (; a != nullptr && b != nullptr; a = a->next, b = b->next) {
        if (a->type != b->type || a->elementCount != b->elementCount) return false;
    }
    return a == b;
}

bool SamePartMesh(const GeometryPart& a, const GeometryPart& b) {
    return a.kind == b.kind && a.imax == b.imax && a.jmax == b.jmax && a.kmax == b.kmax &&
           a.category == b.category && a.polytope == b.polytope && SameBlocks(a.blocks, b.blocks);
}

}  // namespace

// Values of the first step fit a later one when each of its zones has the
// first step's mesh and the files number their nodes alike.
bool Ensight6Load::SharesFirstStepMesh(const Ensight6StepZones& step) const {
    const Ensight6StepZones& first = *steps_.front();
    if (step.geometry == first.geometry) return true;
    if (step.geometry->nodeCount != first.geometry->nodeCount) return false;
    const auto& parts = step.geometry->parts.parts();
    for (size_t i = 0; i < parts.size(); ++i) {
        if (step.zones[i] == 0) continue;
        const int32_t at = first.PartIndex(parts[i]->partNumber);
        if (at < 0 || first.zones[static_cast<size_t>(at)] == 0 ||
            !SamePartMesh(*first.geometry->parts.parts()[static_cast<size_t>(at)], *parts[i])) {
            return false;
        }
    }
    return true;
}

// Shares every zone of the step with its first-step zone, or none when the host refuses one.
bool Ensight6Load::ShareFirstStep(const FixedVariable& variable, const Ensight6StepZones& step) const {
    const Ensight6StepZones& first = *steps_.front();
    const auto& parts = step.geometry->parts.parts();
    std::vector<std::pair<int32_t, int32_t>> pairs;  // (first-step zone, zone)
    for (size_t i = 0; i < parts.size(); ++i) {
        if (step.zones[i] == 0) continue;
        const int32_t source = first.zones[static_cast<size_t>(first.PartIndex(parts[i]->partNumber))];
        pairs.emplace_back(source, step.zones[i]);
        if (!SharingAllowed(variable.file.firstVariable, variable.file.components, source, step.zones[i])) return false;
    }
    for (const auto& [source, zone] : pairs) ShareValues(variable.file.firstVariable, variable.file.components, source, zone);
    return true;
}

// A variable with no time set holds at every step: the later steps share the
// first step's values (read once, stored once) where their mesh is the first
// step's, read the file again where the host refuses sharing, and go without
// it where the mesh differs.
bool Ensight6Load::SpreadFixedVariables() {
    for (const FixedVariable& variable : fixed_) {
        std::vector<int32_t> otherMesh;
        for (size_t k = 1; k < steps_.size(); ++k) {
            const Ensight6StepZones& step = *steps_[k];
            if (!SharesFirstStepMesh(step)) {
                otherMesh.push_back(static_cast<int32_t>(k) + 1);
                continue;
            }
            if (ShareFirstStep(variable, step)) continue;
            Ensight6VariableFile file = variable.file;
            file.step = &step;
            int64_t next = 0;
            Failure failure;
            if (!variable.reader(file, next, failure)) return FailReading(file.path, failure);
        }
        if (otherMesh.empty()) continue;
        notLoaded_.Add(variable.fileName, "it has no time set; it fits the mesh of step 1, not that of step " +
                                              JoinNumbers(otherMesh));
    }
    return true;
}

bool Ensight6LoadCase(const Ensight6Selection& options, GeometrySectionInfo& geometry, const VariableSectionInfo* variables,
                      const TimeSectionInfo* timeSets, const FileSectionInfo* fileSets) {
    try {
        Ensight6Load load(options, geometry, variables, timeSets, fileSets);
        return load.Run();
    } catch (const std::bad_alloc&) {
        ZelUtilDialogErrMsg("Not enough memory to load data");
        return false;
    }
}

}  // namespace quorix
