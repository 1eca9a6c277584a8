#include "casefile/file_section.h"

#include "casefile/show_error.h"

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

}  // namespace

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
