#include "host/arg_list.h"

#include <algorithm>

const ZelArgList_s::Item* ZelArgList_s::Find(const char* name, Kind kind) const {
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        if (it->kind == kind && it->name == name) return &*it;
    }
    return nullptr;
}

std::optional<int64_t> ZelArgList_s::Int(const char* name) const {
    const Item* item = Find(name, Kind::Int);
    if (item == nullptr) return std::nullopt;
    return item->integer;
}

std::optional<double> ZelArgList_s::Double(const char* name) const {
    if (const Item* item = Find(name, Kind::Double)) return item->real;
    if (const Item* item = Find(name, Kind::Int)) return static_cast<double>(item->integer);
    return std::nullopt;
}

std::optional<std::string> ZelArgList_s::String(const char* name) const {
    const Item* item = Find(name, Kind::String);
    if (item == nullptr) return std::nullopt;
    return item->text;
}

const int32_t* ZelArgList_s::Int32Array(const char* name) const {
    const Item* item = Find(name, Kind::Array);
    return item == nullptr ? nullptr : static_cast<const int32_t*>(item->array);
}

ZelFunction_pf ZelArgList_s::Function(const char* name) const {
    const Item* item = Find(name, Kind::Function);
    return item == nullptr ? nullptr : item->function;
}

std::vector<std::string> ZelArgList_s::Unknown(const std::vector<std::string>& known) const {
    std::vector<std::string> unknown;
    for (const Item& item : items) {
        if (std::find(known.begin(), known.end(), item.name) == known.end()) unknown.push_back(item.name);
    }
    return unknown;
}
