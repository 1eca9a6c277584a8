// One EnSight 6 load: the load-wide state lives here, from the first
// geometry scan to the announcement of the new zones and variables.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "casefile/case_record.h"
#include "casefile/show_error.h"
#include "dataset/not_loaded_report.h"
#include "ensight6/ensight6_load_case.h"
#include "ensight6/geometry_file.h"
#include "ensight6/geometry_scanner.h"
#include "ensight6/step_zones.h"
#include "ensight6/variable_file.h"
#include "gold/file_a.h"
#include "host_api/zel_api.h"

namespace quorix {

class Ensight6Load {
public:
    Ensight6Load(const Ensight6Selection& options, GeometrySectionInfo& geometry, const VariableSectionInfo* variables,
                 const TimeSectionInfo* timeSets, const FileSectionInfo* fileSets);
    ~Ensight6Load();
    Ensight6Load(const Ensight6Load&) = delete;
    Ensight6Load& operator=(const Ensight6Load&) = delete;

    bool Run();

private:
    bool Fail(const std::string& message);
    bool FileSetNamed(int32_t number, const FileSectionInfo*& fileSet);
    // A reader's failure, with the file it concerns named.
    bool FailReading(const std::string& path, const Failure& failure);
    bool LoadGeometrySeries();
    bool LoadGeometryFile(const std::string& path, const TimeSectionInfo* timeSet, int32_t firstStep,
                          int32_t stepsInFile);
    static bool HasAnotherStep(File_a& file);
    bool LoadGeometryStep(File_a& file, Ensight6GeometryScanner& scanner, const std::string& path,
                          GeometryEncoding encoding, int64_t start, float time);
    bool SelectParts(const Ensight6GeometryFile& file);
    bool IsSelected(int32_t partNumber) const;
    int32_t StrandFor(int32_t partNumber);
    bool CreateStepZones(Ensight6StepZones& step);
    bool AttachZones(File_a& file, Ensight6GeometryFile& geometry, const Ensight6StepZones& step);
    bool RegisterBlockCoordinateLoaders(int32_t zone, const Ensight6GeometryFile& geometry, const GeometryPart& part);
    bool RegisterNodeCoordinateLoaders(int32_t zone, const Ensight6GeometryFile& geometry, const GeometryPart& part);
    bool Register(int32_t zone, int32_t variable, LoadOnDemandVarLoad_pf load, struct Ensight6ValueSource* source);
    bool RegisterConstantIBlank(int32_t zone);
    void AddZone(int32_t zone);

    bool LoadVariables();
    bool LoadVariable(std::string_view description, std::string_view fileName, int32_t timeSetNumber,
                      int32_t fileSetNumber, int32_t components, bool isNodal);
    // A variable with no time set, as its file was read into the first step.
    struct FixedVariable {
        std::string fileName;  // as written
        Ensight6VariableFile file;
        Ensight6VariableReader reader;
    };
    bool SpreadFixedVariables();
    bool SharesFirstStepMesh(const Ensight6StepZones& step) const;
    bool ShareFirstStep(const FixedVariable& variable, const Ensight6StepZones& step) const;
    void TimeSteadyZones(const TimeSectionInfo* timeSet);
    void NotePartsNotInGeometry(std::string_view fileName, const std::vector<int32_t>& parts);
    const Ensight6StepZones* StepFor(int32_t k, const TimeSectionInfo* timeSet, std::string_view description);
    bool IsVariableTaken(int32_t ordinal);

    const Ensight6Selection& options_;
    GeometrySectionInfo& geometrySection_;
    const VariableSectionInfo* variables_;
    const TimeSectionInfo* timeSets_;
    const FileSectionInfo* fileSets_;

    std::vector<std::unique_ptr<Ensight6GeometryFile>> files_;
    std::vector<std::unique_ptr<Ensight6StepZones>> steps_;  // by time step
    bool geometryTransient_ = false;
    bool dataSetMade_ = false;
    int32_t steadyTimeRank_ = 0;  // who timed the steady zones: 0 none, 1 a one-step series, 2 a longer one
    std::unordered_set<int32_t> requested_;  // part numbers; empty: all
    std::unordered_map<int32_t, int32_t> strandOf_;
    std::unordered_set<int32_t> requestedVariables_;  // ordinals; empty: all
    NotLoadedReport notLoaded_;
    std::vector<FixedVariable> fixed_;
    std::set<std::pair<std::string, int32_t>> partsNoted_;  // (variable file as written, part number)
    Set_pa zoneSet_ = nullptr;
    Set_pa variableSet_ = nullptr;
};

}  // namespace quorix
