#include "casefile/variable_section.h"

#include <string>

#include "casefile/ascii_case.h"
#include "casefile/file_names.h"
#include "casefile/show_error.h"
#include "casefile/variable_kinds.h"

namespace quorix {
namespace {

using zelvane::strutil::Scanner;

bool AppendConstant(StringList_pa list, std::string_view text) {
    return ZelUtilStringListAppendString(list, std::string(text).c_str()) == ZEL_TRUE;
}

// 'constant per case: 2 Mach 0.85' appends "TS:", "2", "Mach", "VAL:", "0.85";
// "constant per part" lines go the same way into their own list.
bool ParseConstantLine(Scanner& scanner, StringList_pa& list) {
    if (list == nullptr) list = ZelUtilStringListAlloc();
    if (list == nullptr) return false;
    if (scanner.isIntToken() && !(AppendConstant(list, "TS:") && AppendConstant(list, scanner.nextTokenView()))) {
        return false;
    }
    while (scanner.hasToken()) {
        if (scanner.isDoubleToken() && !AppendConstant(list, "VAL:")) return false;
        if (!AppendConstant(list, scanner.nextTokenView())) return false;
    }
    return true;
}

bool AssignNextToken(Scanner& scanner, HostString& field) {
    return !scanner.hasToken() || field.Assign(scanner.nextNameView());
}

bool ParseConstantPerCaseFile(Scanner& scanner, VariableSectionInfo& variables) {
    if (scanner.isIntToken()) variables.constantFileTimeSet = scanner.nextInt();
    return AssignNextToken(scanner, variables.constantFileDescription) &&
           AssignNextToken(scanner, variables.constantFileName);
}

// [ts [fs]]: a description that is itself an integer is taken for a set number.
template <class Entry>
void ParseSetNumbers(Scanner& scanner, Entry& entry) {
    if (!scanner.isIntToken()) return;
    entry.timeSet = scanner.nextInt();
    if (scanner.isIntToken()) entry.fileSet = scanner.nextInt();
}

bool ParseEntryFields(Scanner& scanner, VarSVT& entry) {
    ParseSetNumbers(scanner, entry);
    return AssignNextToken(scanner, entry.description) && AssignNextToken(scanner, entry.fileName);
}

bool ParseEntryFields(Scanner& scanner, VarComplex& entry) {
    ParseSetNumbers(scanner, entry);
    return AssignNextToken(scanner, entry.description) && AssignNextToken(scanner, entry.realFileName) &&
           AssignNextToken(scanner, entry.imagFileName) && AssignNextToken(scanner, entry.frequency);
}

bool EntryNamesSeries(const VarSVT& entry) { return NamesSeries(entry.fileName.view()); }

bool EntryNamesSeries(const VarComplex& entry) {
    return NamesSeries(entry.realFileName.view()) || NamesSeries(entry.imagFileName.view());
}

template <class Entry>
bool ParseEntry(Scanner& scanner, VarList<Entry>& list, const char* label, int32_t*& series) {
    if (!scanner.hasToken()) return false;
    Entry* entry = HostNew<Entry>(label);
    if (entry == nullptr) {
        ShowError("Not enough memory to load data");
        return false;
    }
    // Linked before it is filled, so that the record owns it on every path.
    if (list.tail != nullptr) list.tail->next = entry;
    else list.head = entry;
    list.tail = entry;
    if (!ParseEntryFields(scanner, *entry)) return false;
    if (EntryNamesSeries(*entry)) series = &entry->timeSet;
    return true;
}

}  // namespace

bool ParseVariableLine(Scanner& scanner, std::string_view keyword, VariableSectionInfo& variables, int32_t*& series) {
    series = nullptr;
    if (EqualsIgnoreCase(keyword, "constant per case")) return ParseConstantLine(scanner, variables.constants);
    if (EqualsIgnoreCase(keyword, "constant per part")) return ParseConstantLine(scanner, variables.constantsPerPart);
    if (EqualsIgnoreCase(keyword, "constant per case file")) return ParseConstantPerCaseFile(scanner, variables);
    for (const auto& kind : SvtKinds) {
        if (EqualsIgnoreCase(keyword, kind.keyword)) return ParseEntry(scanner, variables.*kind.list, "Var SVT", series);
    }
    for (const auto& kind : ComplexKinds) {
        if (EqualsIgnoreCase(keyword, kind.keyword)) return ParseEntry(scanner, variables.*kind.list, "Var Complex", series);
    }
    return false;
}

}  // namespace quorix
