// The variable lines of a case file: keyword, record field and list, in the
// order the load drivers consume them.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "casefile/case_record.h"

namespace quorix {

template <class Entry>
struct VariableLine {
    std::string_view keyword;  // as written in the case file (any letter case)
    std::string_view field;    // name of the list in VariableSectionInfo
    VarList<Entry> VariableSectionInfo::*list;
    int32_t components;        // values per node or element
    bool isNodal;              // per node, measured nodes included; otherwise per element
};

inline constexpr VariableLine<VarSVT> SvtKinds[] = {
    {"scalar per node", "scalarPerNode", &VariableSectionInfo::scalarPerNode, 1, true},
    {"vector per node", "vectorPerNode", &VariableSectionInfo::vectorPerNode, 3, true},
    {"tensor symm per node", "tensorSymmPerNode", &VariableSectionInfo::tensorSymmPerNode, 6, true},
    {"tensor asym per node", "tensorAsymPerNode", &VariableSectionInfo::tensorAsymPerNode, 9, true},
    {"scalar per element", "scalarPerElement", &VariableSectionInfo::scalarPerElement, 1, false},
    {"vector per element", "vectorPerElement", &VariableSectionInfo::vectorPerElement, 3, false},
    {"tensor symm per element", "tensorSymmPerElement", &VariableSectionInfo::tensorSymmPerElement, 6, false},
    {"tensor asym per element", "tensorAsymPerElement", &VariableSectionInfo::tensorAsymPerElement, 9, false},
    {"scalar per measured node", "scalarPerMeasuredNode", &VariableSectionInfo::scalarPerMeasuredNode, 1, true},
    {"vector per measured node", "vectorPerMeasuredNode", &VariableSectionInfo::vectorPerMeasuredNode, 3, true},
};

inline constexpr VariableLine<VarComplex> ComplexKinds[] = {
    {"complex scalar per node", "complexScalarPerNode", &VariableSectionInfo::complexScalarPerNode, 1, true},
    {"complex vector per node", "complexVectorPerNode", &VariableSectionInfo::complexVectorPerNode, 3, true},
    {"complex scalar per element", "complexScalarPerElement", &VariableSectionInfo::complexScalarPerElement, 1, false},
    {"complex vector per element", "complexVectorPerElement", &VariableSectionInfo::complexVectorPerElement, 3, false},
};

// A complex variable is two host variables: its real part under the
// description, its imaginary part under this name.
inline std::string ImaginaryPartName(std::string_view description) { return std::string(description) + "I"; }

// The measured rows come last.
inline constexpr std::span<const VariableLine<VarSVT>> ModelSvtKinds(SvtKinds, 8);
inline constexpr std::span<const VariableLine<VarSVT>> MeasuredSvtKinds(SvtKinds + 8, 2);

}  // namespace quorix
