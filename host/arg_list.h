// Named arguments of the ...X calls.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host_api/zel_api.h"

namespace zelhost {

// The argument names some ...X call understands, matched once when an item is
// appended so that reading a list compares small integers, not text.
enum class ArgName : int8_t {
    Name,
    ZoneType,
    IMax,
    JMax,
    KMax,
    VarDataType,
    DeferVarCreation,
    StrandId,
    SolutionTime,
    ConnectShareZone,
    DeferNodeMapCreation,
    ValueLocation,
    CallbackFunction,
    StateChangeMode,
    Other,  // a name no call knows: the item keeps its text
};
ArgName ArgNameOf(const char* name);

}  // namespace zelhost

struct ZelArgList_s {
    enum class Kind { String, Int, Double, Array, Function };
    struct Item {
        zelhost::ArgName key = zelhost::ArgName::Other;
        std::string otherName;  // only for ArgName::Other
        Kind kind = Kind::Int;
        std::string text;
        int64_t integer = 0;
        double real = 0.0;
        const void* array = nullptr;  // read when the list is used
        ZelFunction_pf function = nullptr;

        std::string_view name() const;
    };
    std::vector<Item> items;

    // The last item of that name and kind.
    const Item* Find(zelhost::ArgName name, Kind kind) const;
    std::optional<int64_t> Int(zelhost::ArgName name) const;
    std::optional<double> Double(zelhost::ArgName name) const;  // an integer passes too
    const std::string* String(zelhost::ArgName name) const;
    const int32_t* Int32Array(zelhost::ArgName name) const;
    ZelFunction_pf Function(zelhost::ArgName name) const;
    // Names the list holds that are not among `known` (the caller reports them).
    std::vector<std::string> Unknown(std::initializer_list<zelhost::ArgName> known) const;
};
