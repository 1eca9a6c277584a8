// Named arguments of the ...X calls.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "addon/zel_api.h"

struct ZelArgList_s {
    enum class Kind { String, Int, Double, Array, Function };
    struct Item {
        std::string name;
        Kind kind;
        std::string text;
        int64_t integer = 0;
        double real = 0.0;
        const void* array = nullptr;  // read when the list is used
        ZelFunction_pf function = nullptr;
    };
    std::vector<Item> items;

    // The last item of that name and kind.
    const Item* Find(const char* name, Kind kind) const;
    std::optional<int64_t> Int(const char* name) const;
    std::optional<double> Double(const char* name) const;  // an integer passes too
    std::optional<std::string> String(const char* name) const;
    const int32_t* Int32Array(const char* name) const;
    ZelFunction_pf Function(const char* name) const;
    // Names the list holds that are not among `known` (the caller reports them).
    std::vector<std::string> Unknown(const std::vector<std::string>& known) const;
};
