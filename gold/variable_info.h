// Where the values of one variable lie, as the variable scans record them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "casefile/element_types.h"
#include "gold/ensight_reader.h"
#include "gold/file_a.h"

namespace quorix {

// How a section of a Gold variable file marks values as undefined: "undef"
// puts a marker real before the values (a value equal to it is undefined),
// "partial" lists n 1-based indices and then n values per component (every
// other position is undefined).
struct SectionForm {
    enum Kind : int32_t { Plain, Undef, Partial };
    Kind kind = Plain;
    int64_t offset = 0;  // undef: the marker; partial: the first index
    int32_t listed = 0;  // partial: values per component
};

struct TypeVariableInfo {
    ElementType type = ElementNone;  // ElementNone for per-node values and structured blocks
    int32_t count = 0;   // values per component
    std::array<int64_t, 9> componentOffset{};
    bool present = false;
    // Measured vectors: 3 (components interleaved per particle). Every
    // componentOffset then holds the start of the one array, and component k
    // of particle i is its value i * stride + k.
    int32_t stride = 1;
    SectionForm form;  // partial: each componentOffset holds form.listed values
};

struct PartVariableInfo {
    int32_t partNumber = 0;
    int32_t step = 0;
    std::string fileName;
    ByteOrder byteOrder = ByteOrderUnknown;
    GeometryEncoding format = EncodingUndefined;
    int32_t valueCount = 0;
    std::vector<TypeVariableInfo> types;
};

// One kind of variable being scanned (the driver's variable kind record).
struct VariableKind {
    std::vector<PartVariableInfo> items;
    bool isNodal = true;
    int32_t components = 1;
};

}  // namespace quorix
