#include "dataset/not_loaded_report.h"

#include "casefile/show_error.h"
#include "host_api/host_memory.h"
#include "host_api/zel_api.h"

namespace quorix {
namespace {

constexpr const char* ConstantsLeftOut = "constants are not loaded";

// The constants list holds, per line, an optional "TS:" and set number, then
// the description, with "VAL:" before each value: the names are the rest.
std::vector<std::string> ConstantNames(StringList_pa constants) {
    std::vector<std::string> names;
    const LgIndex_t count = ZelUtilStringListGetCount(constants);
    for (LgIndex_t i = 1; i <= count; ++i) {
        HostString text;
        text.Adopt(ZelUtilStringListGetString(constants, i));
        if (text.view() == "TS:" || text.view() == "VAL:") {
            ++i;  // the marker's number
            continue;
        }
        names.emplace_back(text.view());
    }
    return names;
}

}  // namespace

void NotLoadedReport::Add(std::string_view name, std::string_view reason) {
    lines_.push_back(std::string(name) + " (" + std::string(reason) + ")");
}

void NotLoadedReport::AddUnloadable(const VariableSectionInfo& variables, const char* particlesLeftOut) {
    for (StringList_pa constants : {variables.constants, variables.constantsPerPart}) {
        if (constants == nullptr) continue;
        for (const std::string& name : ConstantNames(constants)) Add(name, ConstantsLeftOut);
    }
    if (!variables.constantFileName.empty()) Add(variables.constantFileName.view(), ConstantsLeftOut);
    if (particlesLeftOut == nullptr) return;
    for (const VarList<VarSVT>* list : {&variables.scalarPerMeasuredNode, &variables.vectorPerMeasuredNode}) {
        for (const VarSVT* entry = list->head; entry != nullptr; entry = entry->next) {
            Add(entry->fileName.view(), particlesLeftOut);
        }
    }
}

void NotLoadedReport::Show() {
    if (lines_.empty()) return;
    std::string text = "The following variables were not loaded\n(file was empty or an error was encountered)\n";
    for (const std::string& line : lines_) text += "\n" + line;
    ShowInformation(text);
    lines_.clear();
}

}  // namespace quorix
