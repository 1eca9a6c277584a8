// The parsed case file: geometry and variable entries, time sets, file sets.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host_api/host_memory.h"

namespace quorix {

// The encoding of an EnSight data file. The case record says "not yet known"
// until the geometry file is opened; a reader says "not defined" until it is.
enum GeometryEncoding : int32_t {
    EncodingCBinary = 0,
    EncodingFortranBinary = 1,
    EncodingAscii = 2,
    EncodingUnknown = 3,
    EncodingUndefined = 255,
};

struct GeometrySectionInfo {
    GeometryEncoding encoding = EncodingUnknown;
    int32_t modelTimeSet = 0;
    int32_t modelFileSet = 0;
    int32_t measuredTimeSet = 0;
    int32_t measuredFileSet = 0;
    bool modelChangeCoordsOnly = false;
    bool measuredChangeCoordsOnly = false;
    int32_t modelChangeCoordsStep = 0;  // 0-based step whose file holds the connectivity
    std::string modelFileName;  // as written; may hold a '*' run
    std::string measuredFileName;
    std::string matchFileName;
    std::string boundaryFileName;
    std::string caseDirectory;  // ends with its separator, or empty
    // Sections and lines of the case file that this reader accepts but does
    // not load, each named once ("MATERIAL section").
    std::vector<std::string> passedOver;
};

// One variable line ("Var SVT").
struct VarSVT {
    int32_t timeSet = 0;
    int32_t fileSet = 0;
    HostString description;
    HostString fileName;
    VarSVT* next = nullptr;
};

// One complex variable line ("Var Complex").
struct VarComplex {
    int32_t timeSet = 0;
    int32_t fileSet = 0;
    HostString description;
    HostString realFileName;
    HostString imagFileName;
    HostString frequency;  // as written
    VarComplex* next = nullptr;
};

// A list of entries of one kind, appended at the tail.
template <class T>
struct VarList {
    T* head = nullptr;
    T* tail = nullptr;
};

// ("create Variable Section Info")
struct VariableSectionInfo {
    StringList_pa constants = nullptr;
    int32_t constantFileTimeSet = 0;
    HostString constantFileDescription;
    HostString constantFileName;
    StringList_pa constantsPerPart = nullptr;  // "constant per part" lines, as `constants`
    VarList<VarSVT> scalarPerNode;
    VarList<VarSVT> vectorPerNode;
    VarList<VarSVT> tensorSymmPerNode;
    VarList<VarSVT> tensorAsymPerNode;
    VarList<VarSVT> scalarPerElement;
    VarList<VarSVT> vectorPerElement;
    VarList<VarSVT> tensorSymmPerElement;
    VarList<VarSVT> tensorAsymPerElement;
    VarList<VarSVT> scalarPerMeasuredNode;
    VarList<VarSVT> vectorPerMeasuredNode;
    VarList<VarComplex> complexScalarPerNode;
    VarList<VarComplex> complexVectorPerNode;
    VarList<VarComplex> complexScalarPerElement;
    VarList<VarComplex> complexVectorPerElement;
};

// One time set ("Time section info"). After a successful parse a set holds
// exactly numberOfSteps time values (none when 0), and either exactly
// numberOfSteps filename numbers or none; a given start number plus
// increment x (numberOfSteps - 1) fits in int32.
struct TimeSectionInfo {
    int32_t number = 0;
    HostString description;
    int32_t numberOfSteps = 0;
    int32_t filenameStartNumber = 0;
    bool filenameStartNumberGiven = false;  // 0 is a real start number
    int32_t filenameIncrement = 0;
    bool filenameIncrementGiven = false;
    HostArray<float> timeValues;         // "Time values"
    HostArray<int32_t> filenameNumbers;  // "Filename numbers"
    HostString filenameNumbersFile;
    HostString timeValuesFile;
    bool expectTimeValues = false;
    int32_t timeValuesRead = 0;
    bool expectFilenameNumbers = false;
    int32_t filenameNumbersRead = 0;
    bool filenameNumbersGiven = false;  // "filename numbers" or its file appeared
    TimeSectionInfo* previous = nullptr;
    TimeSectionInfo* next = nullptr;
};

// One file set ("File section info"). After a successful parse numberOfSteps >= 1.
struct FileSectionInfo {
    int32_t number = 0;
    int32_t filenameIndex = 0;
    int32_t numberOfSteps = 0;
    FileSectionInfo* previous = nullptr;
    FileSectionInfo* next = nullptr;
};

// The handles designate the last set of each sequence (null when none).
using TimeSets = TimeSectionInfo*;
using FileSets = FileSectionInfo*;

// Set whose `number` is n; by position when no set has that number; null for n < 1.
const TimeSectionInfo* FindTimeSet(const TimeSectionInfo* timeSets, int32_t n);
const FileSectionInfo* FindFileSet(const FileSectionInfo* fileSets, int32_t n);

// File number of step k (0-based); either set may be null.
int32_t FileNumberForStep(const TimeSectionInfo* timeSet, const FileSectionInfo* fileSet, int32_t k);

// Time value of step k (0-based); false when the set holds no such value.
bool TimeValueForStep(const TimeSectionInfo* timeSet, int32_t k, float& time);

void ReleaseTimeSets(TimeSectionInfo*& timeSets);
void ReleaseFileSets(FileSectionInfo*& fileSets);
void ReleaseVariableSectionInfo(VariableSectionInfo*& variables);

// The four pieces of one parsed case file, released together.
struct CaseRecord {
    bool isEnsight6 = true;
    GeometrySectionInfo geometry;
    VariableSectionInfo* variables = nullptr;
    TimeSectionInfo* timeSets = nullptr;
    FileSectionInfo* fileSets = nullptr;

    CaseRecord() = default;
    CaseRecord(const CaseRecord&) = delete;
    CaseRecord& operator=(const CaseRecord&) = delete;
    ~CaseRecord() {
        ReleaseVariableSectionInfo(variables);
        ReleaseTimeSets(timeSets);
        ReleaseFileSets(fileSets);
    }
};

}  // namespace quorix
