#include "casefile/time_section.h"

#include <limits>
#include <string>
#include <type_traits>

#include "casefile/ascii_case.h"
#include "casefile/file_names.h"
#include "casefile/show_error.h"
#include "casefile/string_record.h"
#include "casefile/text_lines.h"
#include "casefile/text_number.h"

namespace quorix {
namespace {

using zelvane::strutil::Scanner;

// What differs between the two per-step lists of a time set.
struct TimeValuesList {
    using Value = float;
    static constexpr const char* label = "Time values";
    static constexpr std::string_view keyword = "time values";
    static constexpr std::string_view fileKind = "time values file";
    static constexpr std::string_view countNoun = "time values";
    static constexpr std::string_view longLine =
        "Invalid character string in time values file.  All strings are limited to 79 characters as per EnSight "
        "documentation.";
    static HostArray<float>& Values(TimeSectionInfo& set) { return set.timeValues; }
    static int32_t& Read(TimeSectionInfo& set) { return set.timeValuesRead; }
    static HostString& File(TimeSectionInfo& set) { return set.timeValuesFile; }
    static bool Next(Scanner& scanner, float& value) {
        double number = 0.0;
        if (!scanner.nextDoubleIf(number)) return false;
        value = static_cast<float>(number);  // in range: the scanner refuses reals beyond single precision
        return true;
    }
};

struct FilenameNumbersList {
    using Value = int32_t;
    static constexpr const char* label = "Filename numbers";
    static constexpr std::string_view keyword = "filename numbers";
    static constexpr std::string_view fileKind = "file name number file";
    static constexpr std::string_view countNoun = "file name numbers";
    static constexpr std::string_view longLine =
        "Invalid character string in filename number file.  All strings are limited to 79 characters as per "
        "EnSight documentation.";
    static HostArray<int32_t>& Values(TimeSectionInfo& set) { return set.filenameNumbers; }
    static int32_t& Read(TimeSectionInfo& set) { return set.filenameNumbersRead; }
    static HostString& File(TimeSectionInfo& set) { return set.filenameNumbersFile; }
    static bool Next(Scanner& scanner, int32_t& value) { return scanner.nextIntIf(value); }
};

// Reads the leading number tokens into the list while it has room. With
// `countBeyond`, numbers past numberOfSteps are counted but not stored, so
// that the count check reports them.
template <class List>
bool StoreNumbers(Scanner& scanner, TimeSectionInfo& set, bool countBeyond) {
    int32_t& read = List::Read(set);
    typename List::Value value{};
    while ((read < set.numberOfSteps || countBeyond) && List::Next(scanner, value)) {
        if (read < set.numberOfSteps) {
            if (!List::Values(set).AppendWithin(value, set.numberOfSteps, List::label)) {
                ShowError("Not enough memory to load data");
                return false;
            }
        }
        if (read == std::numeric_limits<int32_t>::max()) break;
        ++read;
    }
    return true;
}

void ClearExpectations(TimeSectionInfo* set) {
    if (set == nullptr) return;
    set->expectTimeValues = false;
    set->expectFilenameNumbers = false;
}

TimeSectionInfo* AppendTimeSet(TimeSectionInfo*& timeSets) {
    TimeSectionInfo* set = HostNew<TimeSectionInfo>("Time section info");
    if (set == nullptr) return nullptr;
    set->previous = timeSets;
    if (timeSets != nullptr) timeSets->next = set;
    timeSets = set;
    return set;
}

bool ParseTimeSetLine(Scanner& scanner, TimeSectionInfo*& timeSets) {
    TimeSectionInfo* set = AppendTimeSet(timeSets);
    if (set == nullptr) {
        ShowError("Not enough memory to load data");
        return false;
    }
    if (!scanner.isIntToken()) {
        ShowError("Missing time set in TIME section. Aborting read.");
        return false;
    }
    set->number = scanner.nextInt();
    while (scanner.hasToken()) {
        if (!set->description.Append(scanner.nextTokenView())) return false;
    }
    return true;
}

// "number of steps", "filename start number", "filename increment".
struct IntegerParameter {
    std::string_view keyword;
    int32_t TimeSectionInfo::*field;
    bool TimeSectionInfo::*given;  // null: none kept
};

constexpr IntegerParameter IntegerParameters[] = {
    {"number of steps", &TimeSectionInfo::numberOfSteps, nullptr},
    {"filename start number", &TimeSectionInfo::filenameStartNumber, &TimeSectionInfo::filenameStartNumberGiven},
    {"filename increment", &TimeSectionInfo::filenameIncrement, &TimeSectionInfo::filenameIncrementGiven},
};

bool ParseIntegerParameter(Scanner& scanner, const IntegerParameter& parameter, TimeSectionInfo& set) {
    ClearExpectations(&set);
    if (!scanner.isIntToken()) {
        ShowError("Missing %s in TIME section. Aborting read.", parameter.keyword);
        return false;
    }
    const int32_t value = scanner.nextInt();
    if (parameter.field == &TimeSectionInfo::numberOfSteps && value < 0) {
        ShowError("Invalid number of steps in TIME section. Aborting read.");
        return false;
    }
    set.*parameter.field = value;
    if (parameter.given != nullptr) set.*parameter.given = true;
    return true;
}

template <class List>
bool ParseListLine(Scanner& scanner, TimeSectionInfo& set) {
    if (set.numberOfSteps == 0) {
        ShowError("Encountered %s prior to number of steps in TIME section. Aborting read.", List::keyword);
        return false;
    }
    set.expectTimeValues = std::is_same_v<List, TimeValuesList>;
    set.expectFilenameNumbers = !set.expectTimeValues;
    if (std::is_same_v<List, FilenameNumbersList>) set.filenameNumbersGiven = true;
    return StoreNumbers<List>(scanner, set, false);
}

bool ParseFileNameParameter(Scanner& scanner, std::string_view keyword, HostString& field) {
    if (!scanner.hasToken()) {
        ShowError("Missing %s in TIME section. Aborting read.", keyword);
        return false;
    }
    return field.Assign(scanner.nextNameView());
}

// A line whose keyword is no parameter: more numbers of the list being read.
bool ParseContinuationLine(Scanner& scanner, std::string_view keyword, TimeSectionInfo* set) {
    scanner.rewind();
    if (set != nullptr && set->expectTimeValues && scanner.isDoubleToken()) {
        return StoreNumbers<TimeValuesList>(scanner, *set, false);
    }
    if (set != nullptr && set->expectFilenameNumbers && scanner.isIntToken()) {
        return StoreNumbers<FilenameNumbersList>(scanner, *set, false);
    }
    ShowError("Unknown parameter \"%s\" in TIME section. Aborting read.", keyword);
    ClearExpectations(set);
    return false;
}

bool IsParameterKeyword(std::string_view keyword) {
    for (const IntegerParameter& parameter : IntegerParameters) {
        if (EqualsIgnoreCase(keyword, parameter.keyword)) return true;
    }
    for (std::string_view other : {"time values", "filename numbers", "time values file", "filename numbers file"}) {
        if (EqualsIgnoreCase(keyword, other)) return true;
    }
    return false;
}

bool ParseParameterLine(Scanner& scanner, std::string_view keyword, TimeSectionInfo& set) {
    for (const IntegerParameter& parameter : IntegerParameters) {
        if (EqualsIgnoreCase(keyword, parameter.keyword)) return ParseIntegerParameter(scanner, parameter, set);
    }
    if (EqualsIgnoreCase(keyword, "time values")) return ParseListLine<TimeValuesList>(scanner, set);
    if (EqualsIgnoreCase(keyword, "filename numbers")) return ParseListLine<FilenameNumbersList>(scanner, set);
    ClearExpectations(&set);
    if (EqualsIgnoreCase(keyword, "time values file")) {
        return ParseFileNameParameter(scanner, "time values file", set.timeValuesFile);
    }
    set.filenameNumbersGiven = true;
    return ParseFileNameParameter(scanner, "filename numbers file", set.filenameNumbersFile);
}

TimeSectionInfo* FirstTimeSet(TimeSectionInfo* timeSets) {
    while (timeSets != nullptr && timeSets->previous != nullptr) timeSets = timeSets->previous;
    return timeSets;
}

template <class List>
bool ReadSideFile(TimeSectionInfo& set, std::string_view caseDirectory) {
    if (set.numberOfSteps <= 0) {
        ShowError("Case file TIME section did not contain number of steps");
        return false;
    }
    const std::string_view name = List::File(set).view();
    const HostString path = BuildDataFileName(caseDirectory, name, 0);
    TextLines lines;
    OpenFailure failure = OpenFailure::None;
    if (!lines.Open(path.get(), &failure)) {
        ShowError("Unable to open " + std::string(List::fileKind) + " \"" + std::string(name) + "\"" +
                  std::string(OpenFailureNote(failure)) + ". Aborting read");
        return false;
    }
    bool ok = true;
    Scanner scanner;
    std::string_view line;
    while (ok && List::Read(set) < set.numberOfSteps) {
        const TextLines::Status status = lines.Next(line);
        if (status == TextLines::Status::End) break;
        if (status != TextLines::Status::Line) {
            ShowError(status == TextLines::Status::Error ? "Could not read the file %s."
                                                         : "A line of the file %s is longer than 16 MiB. Aborting read.",
                      path.view());
            return false;
        }
        if (TrimBlanks(line).empty() || line.find('#') != std::string_view::npos) continue;
        scanner.setText(line);
        if (!StoreNumbers<List>(scanner, set, true)) return false;
        // The limit of the format: 79 characters plus line end and slack.
        if (line.size() > StringTextLength + 3) {
            ShowError(std::string(List::longLine));
            ok = false;
        }
    }
    if (List::Read(set) != set.numberOfSteps) {
        ShowError("File \"" + std::string(name) + "\" does not contain the specified number of " +
                  std::string(List::countNoun) + ". Aborting read.");
        return false;
    }
    return ok;
}

template <class List>
bool ReadSideFiles(TimeSectionInfo* timeSets, std::string_view caseDirectory) {
    for (TimeSectionInfo* set = FirstTimeSet(timeSets); set != nullptr; set = set->next) {
        if (List::File(*set).isSet() && !ReadSideFile<List>(*set, caseDirectory)) return false;
    }
    return true;
}

// Keeps exactly numberOfSteps values; false when fewer were given.
template <class List>
bool CompleteList(TimeSectionInfo& set) {
    HostArray<typename List::Value>& values = List::Values(set);
    if (set.numberOfSteps == 0) {
        values.Release();
    } else if (values.size() < set.numberOfSteps) {
        ShowError("Time set %d does not contain the specified number of " + std::string(List::keyword) +
                      ". Aborting read.",
                  set.number);
        return false;
    }
    values.Truncate(set.numberOfSteps);
    List::Read(set) = static_cast<int32_t>(values.size());
    return true;
}

bool FileNumbersFit(const TimeSectionInfo& set) {
    if (!set.filenameStartNumberGiven || set.numberOfSteps < 1) return true;
    const int64_t increment = set.filenameIncrementGiven ? set.filenameIncrement : 1;
    const int64_t last = set.filenameStartNumber + increment * (set.numberOfSteps - 1);
    if (last >= std::numeric_limits<int32_t>::min() && last <= std::numeric_limits<int32_t>::max()) return true;
    ShowError("The file numbers of time set %d exceed the integer range. Aborting read.", set.number);
    return false;
}

}  // namespace

bool ParseTimeLine(Scanner& scanner, std::string_view keyword, TimeSectionInfo*& timeSets) {
    if (EqualsIgnoreCase(keyword, "time set")) {
        ClearExpectations(timeSets);
        return ParseTimeSetLine(scanner, timeSets);
    }
    if (!IsParameterKeyword(keyword)) return ParseContinuationLine(scanner, keyword, timeSets);
    if (timeSets == nullptr) {
        ShowError("\"%s\" before any time set in TIME section. Aborting read.", keyword);
        return false;
    }
    return ParseParameterLine(scanner, keyword, *timeSets);
}

bool ReadTimeValuesFiles(TimeSectionInfo* timeSets, std::string_view caseDirectory) {
    return ReadSideFiles<TimeValuesList>(timeSets, caseDirectory);
}

bool ReadFilenameNumbersFiles(TimeSectionInfo* timeSets, std::string_view caseDirectory) {
    return ReadSideFiles<FilenameNumbersList>(timeSets, caseDirectory);
}

bool CheckTimeSets(TimeSectionInfo* timeSets) {
    for (TimeSectionInfo* set = FirstTimeSet(timeSets); set != nullptr; set = set->next) {
        if (!CompleteList<TimeValuesList>(*set)) return false;
        if (set->filenameNumbersGiven || !set->filenameNumbers.empty()) {
            if (!CompleteList<FilenameNumbersList>(*set)) return false;
        }
        if (!FileNumbersFit(*set)) return false;
    }
    return true;
}

}  // namespace quorix
