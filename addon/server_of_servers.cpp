#include "addon/server_of_servers.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "addon/gold_load_driver.h"
#include "casefile/ascii_case.h"
#include "casefile/case_parser.h"
#include "casefile/case_record.h"
#include "casefile/regular_file.h"
#include "casefile/scanner.h"
#include "casefile/show_error.h"
#include "casefile/text_lines.h"
#include "host_api/host_memory.h"

namespace quorix {
namespace {

using zelvane::strutil::Scanner;

// Runs `onLine` with every line that is neither blank nor a comment, and its
// number, until it returns false.
template <class OnLine>
bool ForEachLine(TextLines& lines, const char* path, OnLine onLine) {
    int64_t number = 0;
    if (!lines.Rewind()) {
        ShowError("Could not read the file %s.", path);
        return false;
    }
    Scanner scanner;
    return ForEachTextLine(lines, path, [&](std::string_view line) {
        ++number;
        const KeywordLine parts = ScanKeywordLine(line, scanner);
        return parts.keyword.empty() || parts.keyword.front() == '#' || onLine(parts, number);
    });
}

std::string_view FirstWord(std::string_view text) { return zelvane::strutil::nextToken(text); }

// A file name as a case file gives one: a word, or the text between double quotes.
std::string FileName(std::string_view value) { return std::string(Scanner(value).nextNameView()); }

// What the master file says: its type, the server count it gives and the case
// files it lists, with the lines that said it (0: not given).
struct MasterFile {
    std::string type;
    int64_t typeLine = 0;
    bool countGiven = false;
    int64_t count = -1;
    int64_t countLine = 0;
    std::vector<std::string> caseFiles;  // as written
    std::vector<int64_t> caseFileLines;
};

bool ParseCount(std::string_view value, int64_t& count) {
    if (value.empty() || value.size() > 9) return false;
    count = 0;
    for (char c : value) {
        if (c < '0' || c > '9') return false;
        count = count * 10 + (c - '0');
    }
    return true;
}

bool ReadMasterFile(TextLines& lines, const char* path, MasterFile& master) {
    bool countValid = true;
    const bool read = ForEachLine(lines, path, [&](const KeywordLine& line, int64_t number) {
        if (EqualsIgnoreCase(line.keyword, "type")) {
            master.type.assign(line.value);
            master.typeLine = number;
        } else if (EqualsIgnoreCase(line.keyword, "number of servers")) {
            master.countGiven = true;
            countValid = ParseCount(line.value, master.count);
            master.countLine = number;
        } else if (EqualsIgnoreCase(line.keyword, "casefile")) {
            master.caseFiles.push_back(FileName(line.value));
            master.caseFileLines.push_back(number);
        }
        return true;
    });
    if (!read) return false;
    std::string problem;
    int64_t line = 0;
    const std::string_view type = TrimBlanks(master.type);
    if (!EqualsIgnoreCase(FirstWord(type), "master_server") || !EqualsIgnoreCase(TrimBlanks(type.substr(13)), "gold")) {
        problem = "The server-of-servers file %s is not of type \"master_server gold\".";
        line = master.typeLine;
    } else if (!master.countGiven || !countValid) {
        problem = "The server-of-servers file %s gives no valid \"number of servers\".";
        line = master.countLine;
    } else if (master.caseFiles.empty()) {
        problem = "The server-of-servers file %s lists no case file.";
    } else if (master.count != static_cast<int64_t>(master.caseFiles.size())) {
        problem = "The server-of-servers file %s gives " + std::to_string(master.count) + " servers but lists " +
                  std::to_string(master.caseFiles.size()) + " case files.";
        line = master.countLine;
    } else {
        for (size_t i = 0; i < master.caseFiles.size(); ++i) {
            if (!master.caseFiles[i].empty()) continue;
            problem = "The server-of-servers file %s has a \"casefile\" line without a file name.";
            line = master.caseFileLines[i];
            break;
        }
    }
    if (problem.empty()) return true;
    ShowError(problem, path);
    if (line > 0) ShowError(LinePlaceText(path, line));
    return false;
}

// A listed case file: relative names are in the master file's folder.
std::string PiecePath(const char* masterPath, const std::string& name) {
    if (name.front() == '/') return name;
    HostString base;
    base.Adopt(ZelUtilGetBasePath(masterPath));
    return std::string(base.view()) + name;
}

// A piece that cannot be opened or parsed, or that is not a Gold case, fails the whole load.
bool ParsePiece(const char* masterPath, const std::string& piecePath, CaseRecord& piece) {
    const std::string listed = "The case file " + piecePath + " listed in %s";
    TextLines caseFile;
    OpenFailure failure = OpenFailure::None;
    if (!caseFile.Open(piecePath.c_str(), &failure)) {
        ShowError(listed + " could not be opened" + std::string(OpenFailureNote(failure)) + ".", masterPath);
        return false;
    }
    if (!ParseCaseFile(caseFile, piecePath.c_str(), piece.isEnsight6, piece.geometry, piece.variables, piece.timeSets,
                       piece.fileSets)) {
        ShowError(listed + " could not be read - probable bad format.", masterPath);
        return false;
    }
    if (!NamesModelGeometry(piecePath.c_str(), piece.geometry)) return false;
    if (piece.isEnsight6) {
        ShowError(listed + " is not an EnSight Gold case; the pieces of a server-of-servers file must be.",
                  masterPath);
        return false;
    }
    return true;
}

}  // namespace

bool IsServerOfServersFile(TextLines& lines) {
    // Silent: the case parser reports a file it cannot read.
    if (!lines.Rewind()) return false;
    // The FORMAT section comes first: its type line decides.
    std::string_view line;
    Scanner scanner;
    while (lines.Next(line) == TextLines::Status::Line) {
        const KeywordLine parts = ScanKeywordLine(line, scanner);
        const bool skipped = parts.keyword.empty() || parts.keyword.front() == '#';
        if (skipped || EqualsIgnoreCase(parts.keyword, "FORMAT")) continue;
        return EqualsIgnoreCase(parts.keyword, "type") && EqualsIgnoreCase(FirstWord(parts.value), "master_server");
    }
    return false;
}

bool LoadServerOfServers(TextLines& masterFile, const char* path) {
    MasterFile master;
    if (!ReadMasterFile(masterFile, path, master)) return false;
    std::vector<std::unique_ptr<CaseRecord>> pieces;
    std::vector<GoldCase> cases;
    for (const std::string& name : master.caseFiles) {
        pieces.push_back(std::make_unique<CaseRecord>());
        CaseRecord& piece = *pieces.back();
        if (!ParsePiece(path, PiecePath(path, name), piece)) return false;
        cases.push_back({piece.geometry, piece.variables, piece.timeSets, piece.fileSets});
    }
    if (!LoadGoldCases(cases)) return false;
    // The pieces of one run are alike: each name once for them all.
    std::vector<std::string> passedOver;
    for (const auto& piece : pieces) {
        for (const std::string& name : piece->geometry.passedOver) AddPassedOver(passedOver, name);
    }
    ShowPassedOver(passedOver);
    return true;
}

}  // namespace quorix
