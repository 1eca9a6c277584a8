#include "casefile/file_section.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "casefile/ascii_case.h"
#include "casefile/byte_order.h"
#include "casefile/regular_file.h"
#include "casefile/show_error.h"
#include "casefile/string_record.h"
#include "casefile/time_step_mark.h"

namespace quorix {
namespace {

using zelvane::strutil::Scanner;

bool ParseFileSetLine(Scanner& scanner, FileSectionInfo*& fileSets) {
    FileSectionInfo* set = HostNew<FileSectionInfo>("File section info");
    if (set == nullptr) {
        ShowError("Not enough memory to load data");
        return false;
    }
    set->previous = fileSets;
    if (fileSets != nullptr) fileSets->next = set;
    fileSets = set;
    if (!scanner.isIntToken()) {
        ShowError("Missing file set in FILE section. Aborting read.");
        return false;
    }
    set->number = scanner.nextInt();
    return true;
}

bool ParseFilenameIndex(Scanner& scanner, FileSectionInfo& set) {
    if (!scanner.isIntToken()) {
        ShowError("Missing file index in FILE section. Aborting read.");
        return false;
    }
    if (set.filenameIndex != 0) {
        ShowError("Multiple file indices per file set are not currently supported.");
        return false;
    }
    set.filenameIndex = scanner.nextInt();
    return true;
}

bool ParseNumberOfSteps(Scanner& scanner, FileSectionInfo& set) {
    if (!scanner.isIntToken()) {
        ShowError("Missing number of steps in FILE section. Aborting read.");
        return false;
    }
    set.numberOfSteps = scanner.nextInt();
    if (set.numberOfSteps < 1) {
        ShowError("Invalid number of steps in FILE section. Aborting read.");
        return false;
    }
    return true;
}

// A marker lies within one record (or line) of its start.
constexpr size_t MarkerReach = StringRecordBytes;

// A C binary record stands at a multiple of 4 bytes; an ASCII one starts a line.
bool IsStepStart(std::string_view window, size_t at, char before, int64_t offset) {
    if (AsciiLower(window[at]) != 'b' || (offset % 4 != 0 && before != '\n')) return false;
    return IsBeginStep(window.substr(at, MarkerReach));
}

bool ReadAt(std::FILE* file, int64_t offset, unsigned char* bytes, size_t n) {
    return ::fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0 && std::fread(bytes, 1, n, file) == n;
}

// In a Fortran file the record of the marker begins with its length, 80, four
// bytes before it, and the same length follows the record.
void MoveToFortranRecordStarts(std::FILE* file, std::vector<int64_t>& starts) {
    for (int64_t& start : starts) {
        unsigned char before[4];
        unsigned char after[4];
        const int64_t end = start + int64_t{StringRecordBytes};
        if (start < 4 || !ReadAt(file, start - 4, before, 4) || !ReadAt(file, end, after, 4)) continue;
        if (FortranFrameOrder(before, after) != ByteOrderUnknown) start -= 4;
    }
}

}  // namespace

std::vector<int64_t> FindStepStarts(const std::string& path) {
    constexpr size_t Slice = size_t{1} << 20;
    std::vector<int64_t> starts;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenRegularStream(path.c_str()), std::fclose);
    if (!file) return starts;
    std::vector<char> slice(Slice);
    std::string window;     // the unjudged bytes, from `base` on
    int64_t base = 0;
    char before = '\n';     // the byte in front of window[0]
    for (bool more = true; more;) {
        const size_t got = std::fread(slice.data(), 1, Slice, file.get());
        more = got == Slice;
        window.append(slice.data(), got);
        // A position is judged once all the marker may take is in the window.
        const size_t keep = MarkerReach;
        const size_t judged = !more ? window.size() : window.size() > keep ? window.size() - keep : 0;
        for (size_t at = 0; at < judged; ++at) {
            if (IsStepStart(window, at, at == 0 ? before : window[at - 1], base + static_cast<int64_t>(at))) {
                starts.push_back(base + static_cast<int64_t>(at));
            }
        }
        if (judged > 0) before = window[judged - 1];
        window.erase(0, judged);
        base += static_cast<int64_t>(judged);
    }
    MoveToFortranRecordStarts(file.get(), starts);
    return starts;
}

bool ParseFileLine(Scanner& scanner, std::string_view keyword, FileSectionInfo*& fileSets) {
    if (EqualsIgnoreCase(keyword, "file set")) return ParseFileSetLine(scanner, fileSets);
    const bool index = EqualsIgnoreCase(keyword, "filename index");
    if (!index && !EqualsIgnoreCase(keyword, "number of steps")) return true;  // other FILE lines are ignored
    if (fileSets == nullptr) {
        ShowError("\"%s\" before any file set in FILE section. Aborting read.", keyword);
        return false;
    }
    return index ? ParseFilenameIndex(scanner, *fileSets) : ParseNumberOfSteps(scanner, *fileSets);
}

bool CheckFileSets(const FileSectionInfo* fileSets) {
    while (fileSets != nullptr && fileSets->previous != nullptr) fileSets = fileSets->previous;
    for (const FileSectionInfo* set = fileSets; set != nullptr; set = set->next) {
        if (set->numberOfSteps < 1) {
            ShowError("File set %d does not contain number of steps. Aborting read.", set->number);
            return false;
        }
    }
    return true;
}

}  // namespace quorix
