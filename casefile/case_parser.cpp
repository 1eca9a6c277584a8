#include "casefile/case_parser.h"

#include <algorithm>
#include <string>
#include <vector>

#include "casefile/ascii_case.h"
#include "casefile/file_names.h"
#include "casefile/file_section.h"
#include "casefile/scanner.h"
#include "casefile/show_error.h"
#include "casefile/text_lines.h"
#include "casefile/text_number.h"
#include "casefile/time_section.h"
#include "casefile/variable_kinds.h"
#include "casefile/variable_section.h"

namespace quorix {
namespace {

using zelvane::strutil::Scanner;

enum class Section { None, Format, Geometry, Variable, Time, File, PassedOver };

// Sections of today's format that hold nothing the host can show: every line
// of them is accepted and the section is named once in an information message.
constexpr std::string_view PassedOverSections[] = {"MATERIAL", "BLOCK_CONTINUATION", "SCRIPTS"};

// Lines of the other sections that this reader accepts and does not use.
struct PassedOverLine {
    Section section;
    std::string_view keyword;
    std::string_view name;  // in the information message
};
constexpr PassedOverLine PassedOverLines[] = {
    {Section::Time, "maximum time steps", "\"maximum time steps\" in the TIME section"},
};

// GEOMETRY lines whose files change what the geometry shows: loading without them would mislead.
struct RefusedGeometryLine {
    std::string_view keyword;
    std::string_view message;
};
constexpr RefusedGeometryLine RefusedGeometryLines[] = {
    {"rigid_body", "rigid-body motion files are not supported"},
    {"Vector_glyphs", "vector glyph files are not supported"},
};

std::string_view GeometryLineRefusal(std::string_view keyword) {
    for (const RefusedGeometryLine& line : RefusedGeometryLines) {
        if (EqualsIgnoreCase(keyword, line.keyword)) return line.message;
    }
    return "Invalid Geometry section in case file.";
}

// A GEOMETRY or VARIABLE line that names a series of files but no time set:
// the set it takes is known only once the whole file (TIME may come last) is read.
struct SeriesLine {
    int64_t number;    // of the line in the case file
    std::string text;  // as written, for the message
    int32_t* timeSet;  // the field to fill
    bool variable;     // in the VARIABLE section, whose record a second header replaces
};

// A line is quoted in full in messages up to this length.
constexpr size_t QuotedLineLength = 100;

std::string QuotedLine(std::string_view line) {
    if (line.size() <= QuotedLineLength) return "\"" + std::string(line) + "\"";
    return "\"" + std::string(line.substr(0, QuotedLineLength)) + "...\"";
}

// Writers that give a series no time set mean the case's time steps: time set
// 1, or the only set the case has. Null when neither applies.
const TimeSectionInfo* SeriesTimeSet(const TimeSectionInfo* timeSets) {
    if (timeSets == nullptr) return nullptr;
    for (const TimeSectionInfo* set = timeSets; set != nullptr; set = set->previous) {
        if (set->number == 1) return set;
    }
    return timeSets->previous == nullptr ? timeSets : nullptr;
}

int32_t CountTimeSets(const TimeSectionInfo* timeSets) {
    int32_t count = 0;
    for (; timeSets != nullptr; timeSets = timeSets->previous) ++count;
    return count;
}

class CaseParser {
public:
    CaseParser(TextLines* lines, const char* caseFileName, bool& isEnsight6, GeometrySectionInfo& geometry,
               VariableSectionInfo*& variables, TimeSectionInfo*& timeSets, FileSectionInfo*& fileSets)
        : lines_(lines),
          caseFileName_(caseFileName != nullptr ? caseFileName : ""),
          isEnsight6_(isEnsight6),
          geometry_(geometry),
          variables_(variables),
          timeSets_(timeSets),
          fileSets_(fileSets) {}

    bool Run();

private:
    bool ReadLines();
    bool ParseLine(std::string_view line);
    bool ParseHeader(std::string_view keyword, bool& isHeader);
    bool ParseSectionLine(std::string_view keyword);
    bool ParseFormatLine(std::string_view keyword);
    bool ParseGeometryLine(std::string_view keyword);
    void ParseModelLine(int32_t& timeSet, int32_t& fileSet, std::string& fileName, bool& changeCoordsOnly,
                        int32_t* changeCoordsStep);
    bool IsPassedOverLine(std::string_view keyword);
    void NotePassedOver(std::string_view name);
    void NoteSeries(int32_t* timeSet, bool namesSeries, bool variable);
    bool ApplySeriesTimeSets();
    bool CheckReferences() const;

    TextLines* lines_;  // the case file when opened already; null: open it by name
    const char* caseFileName_;
    bool& isEnsight6_;
    GeometrySectionInfo& geometry_;
    VariableSectionInfo*& variables_;
    TimeSectionInfo*& timeSets_;
    FileSectionInfo*& fileSets_;
    Section section_ = Section::None;
    std::string_view passedOverSection_;  // its header, while section_ is PassedOver
    int64_t lineNumber_ = 0;
    std::string_view line_;  // the line being parsed, without the blanks around it
    Scanner scanner_;
    std::vector<SeriesLine> seriesLines_;
};

bool CaseParser::Run() {
    if (!ReadLines()) return false;
    if (timeSets_ != nullptr && !(ReadTimeValuesFiles(timeSets_, geometry_.caseDirectory) &&
                                  ReadFilenameNumbersFiles(timeSets_, geometry_.caseDirectory))) {
        return false;
    }
    return CheckTimeSets(timeSets_) && CheckFileSets(fileSets_) && ApplySeriesTimeSets() && CheckReferences();
}

// A refused line is named after its own message, as the place to look.
bool CaseParser::ReadLines() {
    const auto onLine = [this](std::string_view line) {
        ++lineNumber_;
        if (ParseLine(line)) return true;
        const std::string_view what = section_ == Section::None ? "expected a section header such as \"FORMAT\"" : "";
        ShowError(LinePlaceText(caseFileName_, lineNumber_, what));
        return false;
    };
    return lines_ != nullptr ? ForEachTextLine(*lines_, caseFileName_, onLine) : ForEachTextLine(caseFileName_, onLine);
}

bool CaseParser::ParseLine(std::string_view text) {
    const KeywordLine line = ScanKeywordLine(text, scanner_);
    if (line.line.empty() || line.line.find('#') != std::string_view::npos) return true;
    line_ = line.line;
    bool isHeader = false;
    const bool ok = ParseHeader(line.keyword, isHeader);
    return isHeader ? ok : ParseSectionLine(line.keyword);
}

bool CaseParser::ParseHeader(std::string_view keyword, bool& isHeader) {
    isHeader = true;
    for (std::string_view header : PassedOverSections) {
        if (EqualsIgnoreCase(keyword, header)) {
            section_ = Section::PassedOver;
            passedOverSection_ = header;
            return true;
        }
    }
    if (EqualsIgnoreCase(keyword, "FORMAT")) {
        section_ = Section::Format;
    } else if (EqualsIgnoreCase(keyword, "GEOMETRY")) {
        section_ = Section::Geometry;
        HostString base;
        base.Adopt(ZelUtilGetBasePath(caseFileName_));
        geometry_.caseDirectory.assign(base.view());
    } else if (EqualsIgnoreCase(keyword, "VARIABLE")) {
        section_ = Section::Variable;
        std::erase_if(seriesLines_, [](const SeriesLine& line) { return line.variable; });
        ReleaseVariableSectionInfo(variables_);
        variables_ = HostNew<VariableSectionInfo>("create Variable Section Info");
        if (variables_ == nullptr) {
            ShowError("Not enough memory to load data");
            return false;
        }
    } else if (EqualsIgnoreCase(keyword, "TIME")) {
        section_ = Section::Time;
        if (timeSets_ != nullptr) {
            ShowError("Multiple TIME sections detected. Aborting read.");
            return false;
        }
    } else if (EqualsIgnoreCase(keyword, "FILE")) {
        section_ = Section::File;
        if (fileSets_ != nullptr) {
            ShowError("Multiple FILE sections detected. Aborting read.");
            return false;
        }
    } else {
        isHeader = false;
    }
    return true;
}

bool CaseParser::ParseSectionLine(std::string_view keyword) {
    if (IsPassedOverLine(keyword)) return true;
    switch (section_) {
        case Section::None:
            return false;
        case Section::Format:
            return ParseFormatLine(keyword);
        case Section::Geometry:
            return ParseGeometryLine(keyword);
        case Section::Variable: {
            int32_t* series = nullptr;
            if (!ParseVariableLine(scanner_, keyword, *variables_, series)) return false;
            if (series != nullptr) NoteSeries(series, true, true);
            return true;
        }
        case Section::Time:
            return ParseTimeLine(scanner_, keyword, timeSets_);
        case Section::File:
            return ParseFileLine(scanner_, keyword, fileSets_);
        case Section::PassedOver:
            NotePassedOver(std::string(passedOverSection_) + " section");
            return true;
    }
    return false;
}

bool CaseParser::IsPassedOverLine(std::string_view keyword) {
    for (const PassedOverLine& line : PassedOverLines) {
        if (line.section == section_ && EqualsIgnoreCase(keyword, line.keyword)) {
            NotePassedOver(line.name);
            return true;
        }
    }
    return false;
}

void CaseParser::NotePassedOver(std::string_view name) { AddPassedOver(geometry_.passedOver, name); }

// The line just parsed filled `timeSet`; a later model or measured line
// replaces an earlier one.
void CaseParser::NoteSeries(int32_t* timeSet, bool namesSeries, bool variable) {
    std::erase_if(seriesLines_, [timeSet](const SeriesLine& line) { return line.timeSet == timeSet; });
    if (namesSeries && *timeSet == 0) seriesLines_.push_back({lineNumber_, std::string(line_), timeSet, variable});
}

// A series read as steady data would load one step (or a file that does not
// exist) without a word: a series without a time set takes the case's steps.
bool CaseParser::ApplySeriesTimeSets() {
    const TimeSectionInfo* set = SeriesTimeSet(timeSets_);
    for (const SeriesLine& line : seriesLines_) {
        const std::string what = QuotedLine(line.text) + " names a series of files but no time set";
        if (set == nullptr) {
            const int32_t count = CountTimeSets(timeSets_);
            ShowError(LinePlaceText(caseFileName_, line.number,
                                    what + (count == 0 ? ", and the case defines no time set."
                                                       : ", and none of the case's " + std::to_string(count) +
                                                             " time sets is numbered 1.")));
            return false;
        }
        // No line can name a set numbered below 1; as the only set it is found at position 1.
        *line.timeSet = set->number >= 1 ? set->number : 1;
        ShowInformation(LinePlaceText(caseFileName_, line.number,
                                      what + "; time set " + std::to_string(set->number) + " applies."));
    }
    return true;
}

// 'type: ensight gold' (Gold) or 'type: ensight' (EnSight 6); any letter case.
bool CaseParser::ParseFormatLine(std::string_view keyword) {
    if (!EqualsIgnoreCase(keyword, "type")) {
        ShowError("Invalid Format section in case file.");
        return false;
    }
    if (!EqualsIgnoreCase(scanner_.nextTokenView(), "ensight")) {
        ShowError("Invalid format type.  Must be Ensight 6 or Gold format.");
        return false;
    }
    if (!scanner_.hasToken()) {
        isEnsight6_ = true;
        return true;
    }
    if (!EqualsIgnoreCase(scanner_.nextTokenView(), "gold")) {
        ShowError("Invalid format type.  Must be either Ensight 6 or Gold format.");
        return false;
    }
    isEnsight6_ = false;
    return true;
}

// 'model: [ts [fs]] filename [change_coords_only [cstep]]'; missing tokens leave
// the fields as they are. cstep is the 0-based step whose file holds the
// connectivity; a negative or non-numeric one leaves the first step.
void CaseParser::ParseModelLine(int32_t& timeSet, int32_t& fileSet, std::string& fileName, bool& changeCoordsOnly,
                                int32_t* changeCoordsStep) {
    if (scanner_.isIntToken()) {
        timeSet = scanner_.nextInt();
        if (scanner_.isIntToken()) fileSet = scanner_.nextInt();
    }
    if (!scanner_.hasToken()) return;
    fileName.assign(scanner_.nextNameView());
    if (!EqualsIgnoreCase(scanner_.peekTokenView(), "change_coords_only")) return;
    changeCoordsOnly = true;
    scanner_.skipTokens(1);
    if (changeCoordsStep == nullptr || !scanner_.isIntToken()) return;
    const int32_t step = scanner_.nextInt();
    if (step >= 0) *changeCoordsStep = step;
}

bool CaseParser::ParseGeometryLine(std::string_view keyword) {
    GeometrySectionInfo& g = geometry_;
    if (EqualsIgnoreCase(keyword, "model")) {
        ParseModelLine(g.modelTimeSet, g.modelFileSet, g.modelFileName, g.modelChangeCoordsOnly,
                       &g.modelChangeCoordsStep);
        NoteSeries(&g.modelTimeSet, NamesSeries(g.modelFileName), false);
    } else if (EqualsIgnoreCase(keyword, "measured")) {
        ParseModelLine(g.measuredTimeSet, g.measuredFileSet, g.measuredFileName, g.measuredChangeCoordsOnly,
                       nullptr);
        NoteSeries(&g.measuredTimeSet, NamesSeries(g.measuredFileName), false);
    } else if (EqualsIgnoreCase(keyword, "match") || EqualsIgnoreCase(keyword, "boundary")) {
        std::string& name = EqualsIgnoreCase(keyword, "match") ? g.matchFileName : g.boundaryFileName;
        if (scanner_.hasToken()) name.assign(scanner_.nextNameView());
    } else {
        ShowError(GeometryLineRefusal(keyword));
        return false;
    }
    return true;
}

// A set number that names no set leaves the drivers without one; negative numbers never name one.
template <class Set>
bool ReferenceIsDefined(int32_t n, const Set* sets, const Set* (*find)(const Set*, int32_t), std::string_view kind) {
    if (n == 0 || (n > 0 && (sets == nullptr || find(sets, n) != nullptr))) return true;
    ShowError("Case file refers to undefined " + std::string(kind) + " set %d. Aborting read.", n);
    return false;
}

bool CaseParser::CheckReferences() const {
    const auto time = [this](int32_t n) { return ReferenceIsDefined(n, timeSets_, &FindTimeSet, "time"); };
    const auto file = [this](int32_t n) { return ReferenceIsDefined(n, fileSets_, &FindFileSet, "file"); };
    const GeometrySectionInfo& g = geometry_;
    if (!(time(g.modelTimeSet) && file(g.modelFileSet) && time(g.measuredTimeSet) && file(g.measuredFileSet))) {
        return false;
    }
    if (variables_ == nullptr) return true;
    if (!time(variables_->constantFileTimeSet)) return false;
    const auto entries = [&](const auto* entry) {
        for (; entry != nullptr; entry = entry->next) {
            if (!(time(entry->timeSet) && file(entry->fileSet))) return false;
        }
        return true;
    };
    for (const auto& kind : SvtKinds) {
        if (!entries((variables_->*kind.list).head)) return false;
    }
    for (const auto& kind : ComplexKinds) {
        if (!entries((variables_->*kind.list).head)) return false;
    }
    return true;
}

}  // namespace

KeywordLine ScanKeywordLine(std::string_view text, Scanner& scanner) {
    // Lines were C strings. No keyword of the format begins or ends with a
    // blank, so trimming misreads none.
    KeywordLine line;
    scanner.setText(TrimBlanks(text.substr(0, text.find('\0'))), Scanner::Whitespace);
    line.line = scanner.text();
    if (scanner.hasToken(":\t\r\n")) {
        line.keyword = TrimBlanks(scanner.nextTokenView(":\t\r\n"));
        scanner.skip(": \t");
    }
    line.value = line.line.substr(scanner.position());
    return line;
}

bool ParseCaseFile(const char* caseFileName, bool& isEnsight6, GeometrySectionInfo& geometry,
                   VariableSectionInfo*& variables, TimeSectionInfo*& timeSets, FileSectionInfo*& fileSets) {
    CaseParser parser(nullptr, caseFileName, isEnsight6, geometry, variables, timeSets, fileSets);
    return parser.Run();
}

bool ParseCaseFile(TextLines& caseFile, const char* caseFileName, bool& isEnsight6, GeometrySectionInfo& geometry,
                   VariableSectionInfo*& variables, TimeSectionInfo*& timeSets, FileSectionInfo*& fileSets) {
    if (!caseFile.Rewind()) {
        ShowError("Could not read the file %s.", caseFileName);
        return false;
    }
    CaseParser parser(&caseFile, caseFileName, isEnsight6, geometry, variables, timeSets, fileSets);
    return parser.Run();
}

bool NamesModelGeometry(const char* caseFileName, const GeometrySectionInfo& geometry) {
    if (!geometry.modelFileName.empty()) return true;
    ShowError("The case file %s names no geometry file (\"model:\" in its GEOMETRY section).", caseFileName);
    return false;
}

void AddPassedOver(std::vector<std::string>& names, std::string_view name) {
    if (std::find(names.begin(), names.end(), name) == names.end()) names.emplace_back(name);
}

void ShowPassedOver(const std::vector<std::string>& names) {
    if (names.empty()) return;
    std::string text =
        "The following sections and lines of the case file were passed over\n(this reader does not load them)\n";
    for (const std::string& name : names) text += "\n" + name;
    ShowInformation(text);
}

}  // namespace quorix
