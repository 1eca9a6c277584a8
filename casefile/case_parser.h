// Reading a case file into the case record.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "casefile/case_record.h"
#include "casefile/scanner.h"
#include "casefile/text_lines.h"

namespace quorix {

// Reads `caseFileName` and the time-values and filename-numbers files it names.
// Sets isEnsight6 from the FORMAT section (left as it was without one). On
// failure the outputs hold what was parsed and the caller releases them.
bool ParseCaseFile(const char* caseFileName, bool& isEnsight6, GeometrySectionInfo& geometry,
                   VariableSectionInfo*& variables, TimeSectionInfo*& timeSets, FileSectionInfo*& fileSets);
// The same for the case file opened once by the load request, read from its start.
bool ParseCaseFile(TextLines& caseFile, const char* caseFileName, bool& isEnsight6, GeometrySectionInfo& geometry,
                   VariableSectionInfo*& variables, TimeSectionInfo*& timeSets, FileSectionInfo*& fileSets);

// A line of a case file or of a server-of-servers file as the parser takes
// it: a NUL ends it and blanks around it are passed over (writers pad lines
// and keywords; list-directed Fortran output starts every line with one). The
// keyword runs to the first colon, tab or line end, blanks inside it count;
// the value follows the colons, blanks and tabs after it. Sets `scanner` to
// the line, at its value (continuation lines read it from the start); the
// views are into the scanner's text.
struct KeywordLine {
    std::string_view line;
    std::string_view keyword;
    std::string_view value;
};
KeywordLine ScanKeywordLine(std::string_view text, zelvane::strutil::Scanner& scanner);

// A case that parses yet names no model geometry holds nothing to load: says
// so, naming the case file, and returns false.
bool NamesModelGeometry(const char* caseFileName, const GeometrySectionInfo& geometry);

// Adds `name` unless `names` holds it.
void AddPassedOver(std::vector<std::string>& names, std::string_view name);
// After a load, one information message naming what the case files hold
// that the load passed over (`GeometrySectionInfo::passedOver`); none when empty.
void ShowPassedOver(const std::vector<std::string>& names);

}  // namespace quorix
