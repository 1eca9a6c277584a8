#include "addon/load_request.h"

#include <cstring>
#include <string>
#include <string_view>

#include "addon/gold_load_driver.h"
#include "addon/server_of_servers.h"
#include "casefile/ascii_case.h"
#include "casefile/case_parser.h"
#include "casefile/case_record.h"
#include "casefile/regular_file.h"
#include "casefile/show_error.h"
#include "casefile/text_number.h"
#include "ensight6/ensight6_load_case.h"
#include "host_api/host_memory.h"

namespace quorix {

namespace {

// "%d" as the instruction list means it: leading blanks, a sign, at least one
// digit, anything after the digits ignored. Values beyond int32 are no number.
void ParseDecimal(const char* text, int32_t& value) {
    const IntResult number = ParseInt32(text, text + std::strlen(text));
    if (number.ok) value = number.value;
}

void ReleaseArray(int32_t*& array) {
    char* memory = reinterpret_cast<char*>(array);
    ZelUtilStringDealloc(&memory);
    array = nullptr;
}

// One selection list ("ZONECOUNT"/"ZONE" or "VARCOUNT"/"VAR").
struct Selection {
    int32_t& count;
    int32_t*& array;
    const char* label;
    bool zeroMeansNone;  // "VARCOUNT" 0 selects no variable
    int32_t filled = 0;
    int32_t capacity = 0;

    // A count that is not a number keeps the count as it was; a negative one,
    // or one beyond the pairs left in the list, allocates nothing.
    void SetCount(const char* value, int64_t pairsLeft) {
        int32_t parsed = count;
        ParseDecimal(value, parsed);
        ReleaseArray(array);
        filled = 0;
        capacity = 0;
        count = parsed;
        if (count == 0 && zeroMeansNone) count = -1;
        if (count < 1 || count > pairsLeft) return;
        array = reinterpret_cast<int32_t*>(ZelUtilStringAlloc(int64_t{count} * 4, label));
        if (array != nullptr) capacity = count;
    }
    // An entry before its count or beyond it has no place and is ignored.
    void Add(const char* value) {
        if (filled >= capacity) return;
        int32_t number = 0;
        ParseDecimal(value, number);
        array[filled++] = number;
    }
    // Readers walk `count` entries: never let it promise more than were given.
    void Finish() {
        if (count > 0 && filled < count) count = filled > 0 ? filled : -1;
        if (count < 1) ReleaseArray(array);
    }
};

bool AcceptCaseFileName(const char* value, LoadOptions& options) {
    OpenFailure failure = OpenFailure::CannotOpen;
    if (value[0] != '\0') {
        options.caseFile = std::make_unique<TextLines>();
        if (options.caseFile->Open(value, &failure)) {
            ZelUtilStringDealloc(&options.CaseFileName);
            options.CaseFileName = ZelUtilStringAlloc(static_cast<int64_t>(std::strlen(value)) + 1, "Case File Name");
            if (options.CaseFileName == nullptr) return false;
            std::memcpy(options.CaseFileName, value, std::strlen(value) + 1);
            return true;
        }
    }
    options.caseFile.reset();
    ZelUtilDialogErrMsg("Invalid file name.");
    if (value[0] != '\0') ShowError("Case file: " + std::string(value) + std::string(OpenFailureNote(failure)));
    return false;
}

}  // namespace

void ResetLoadOptions(LoadOptions& options) { options = LoadOptions{}; }

void ReleaseLoadOptions(LoadOptions& options) {
    options.caseFile.reset();
    ZelUtilStringDealloc(&options.CaseFileName);
    ReleaseArray(options.VarArray);
    ReleaseArray(options.ZoneArray);
}

bool ParseLoadInstructions(StringList_pa instructions, LoadOptions& options) {
    ResetLoadOptions(options);
    Selection zones{options.ZoneCount, options.ZoneArray, "Zone Array", false};
    Selection vars{options.VarCount, options.VarArray, "Var Array", true};
    bool outcome = true;
    const LgIndex_t n = ZelUtilStringListGetCount(instructions);
    for (LgIndex_t i = 1; i < n && outcome; i += 2) {
        char* keyword = ZelUtilStringListGetString(instructions, i);
        char* value = ZelUtilStringListGetString(instructions, i + 1);
        if (keyword == nullptr || value == nullptr) {
            outcome = false;
        } else {
            const std::string_view key(keyword);
            const int64_t pairsLeft = (n - i - 1) / 2;
            if (key == "STANDARDSYNTAX") {
                outcome = std::strcmp(value, "1.0") == 0;
            } else if (key == "FILENAME_CASEFILE") {
                outcome = AcceptCaseFileName(value, options);
            } else if (key == "ISkip" || key == "JSkip" || key == "KSkip") {
            } else if (EqualsIgnoreCase(key, "ZONECOUNT")) {
                zones.SetCount(value, pairsLeft);
            } else if (EqualsIgnoreCase(key, "ZONE")) {
                zones.Add(value);
            } else if (EqualsIgnoreCase(key, "VARCOUNT")) {
                vars.SetCount(value, pairsLeft);
            } else if (EqualsIgnoreCase(key, "VAR")) {
                vars.Add(value);
            }
        }
        ZelUtilStringDealloc(&keyword);
        ZelUtilStringDealloc(&value);
    }
    zones.Finish();
    vars.Finish();
    return outcome;
}

bool LoadCaseFile(LoadOptions& options) {
    // Opened when the request named it; without a name the parse says what is wrong.
    TextLines* caseFile = options.caseFile.get();
    const char* name = options.CaseFileName;
    if (caseFile != nullptr && IsServerOfServersFile(*caseFile)) return LoadServerOfServers(*caseFile, name);
    GeometrySectionInfo geometry;
    VariableSectionInfo* variables = nullptr;
    TimeSectionInfo* timeSets = nullptr;
    FileSectionInfo* fileSets = nullptr;
    bool result = false;
    bool& isEnsight6 = options.IsEnsight6;
    const bool parsed = caseFile != nullptr
                            ? ParseCaseFile(*caseFile, name, isEnsight6, geometry, variables, timeSets, fileSets)
                            : ParseCaseFile(name, isEnsight6, geometry, variables, timeSets, fileSets);
    if (!parsed) {
        ZelUtilDialogErrMsg("Error while reading case file - probable bad format");
        ShowError("Case file: %s", options.CaseFileName);
    } else if (!NamesModelGeometry(options.CaseFileName, geometry)) {
        result = false;
    } else if (options.IsEnsight6) {
        const Ensight6Selection selection{options.ZoneCount, options.ZoneArray, options.VarCount, options.VarArray};
        result = Ensight6LoadCase(selection, geometry, variables, timeSets, fileSets);
    } else {
        result = LoadGoldCase(geometry, variables, timeSets, fileSets);
    }
    if (result) ShowPassedOver(geometry.passedOver);
    ReleaseVariableSectionInfo(variables);
    ReleaseTimeSets(timeSets);
    ReleaseFileSets(fileSets);
    return result;
}

}  // namespace quorix
