// The variable lines of a case file: keyword, record field and list, in the
// order the load drivers consume them.
#pragma once

#include <string_view>

#include "casefile/case_record.h"

namespace quorix {

template <class Entry>
struct VariableKind {
    std::string_view keyword;  // as written in the case file (any letter case)
    std::string_view field;    // name of the list in VariableSectionInfo
    VarList<Entry> VariableSectionInfo::*list;
};

inline constexpr VariableKind<VarSVT> SvtKinds[] = {
    {"scalar per node", "scalarPerNode", &VariableSectionInfo::scalarPerNode},
    {"vector per node", "vectorPerNode", &VariableSectionInfo::vectorPerNode},
    {"tensor symm per node", "tensorSymmPerNode", &VariableSectionInfo::tensorSymmPerNode},
    {"tensor asym per node", "tensorAsymPerNode", &VariableSectionInfo::tensorAsymPerNode},
    {"scalar per element", "scalarPerElement", &VariableSectionInfo::scalarPerElement},
    {"vector per element", "vectorPerElement", &VariableSectionInfo::vectorPerElement},
    {"tensor symm per element", "tensorSymmPerElement", &VariableSectionInfo::tensorSymmPerElement},
    {"tensor asym per element", "tensorAsymPerElement", &VariableSectionInfo::tensorAsymPerElement},
    {"scalar per measured node", "scalarPerMeasuredNode", &VariableSectionInfo::scalarPerMeasuredNode},
    {"vector per measured node", "vectorPerMeasuredNode", &VariableSectionInfo::vectorPerMeasuredNode},
};

inline constexpr VariableKind<VarComplex> ComplexKinds[] = {
    {"complex scalar per node", "complexScalarPerNode", &VariableSectionInfo::complexScalarPerNode},
    {"complex vector per node", "complexVectorPerNode", &VariableSectionInfo::complexVectorPerNode},
    {"complex scalar per element", "complexScalarPerElement", &VariableSectionInfo::complexScalarPerElement},
    {"complex vector per element", "complexVectorPerElement", &VariableSectionInfo::complexVectorPerElement},
};

}  // namespace quorix
