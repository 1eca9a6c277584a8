#include "host/arg_list.h"

#include <iterator>

namespace zelhost {
namespace {

constexpr std::string_view KnownNames[] = {
    "NAME",         "ZONETYPE",         "IMAX",          "JMAX",
    "KMAX",         "VARDATATYPE",      "DEFERVARCREATION", "STRANDID",
    "SOLUTIONTIME", "CONNECTSHAREZONE", "DEFERNODEMAPCREATION", "VALUELOCATION",
    "CALLBACKFUNCTION", "STATECHANGEMODE",
};
static_assert(std::size(KnownNames) == static_cast<size_t>(ArgName::Other));
static_assert(static_cast<unsigned>(ArgName::Other) < 32, "names are told apart by one bit each");

}  // namespace

ArgName ArgNameOf(const char* name) {
    // Lengths differ for most pairs, so this rarely compares text.
    const std::string_view text(name);
    for (size_t i = 0; i < std::size(KnownNames); ++i) {
        if (text == KnownNames[i]) return static_cast<ArgName>(i);
    }
    return ArgName::Other;
}

}  // namespace zelhost

using zelhost::ArgName;

std::string_view ZelArgList_s::Item::name() const {
    if (key == ArgName::Other) return otherName;
    return zelhost::KnownNames[static_cast<size_t>(key)];
}

const ZelArgList_s::Item* ZelArgList_s::Find(ArgName name, Kind kind) const {
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        if (it->key == name && it->kind == kind) return &*it;
    }
    return nullptr;
}

std::optional<int64_t> ZelArgList_s::Int(ArgName name) const {
    const Item* item = Find(name, Kind::Int);
    if (item == nullptr) return std::nullopt;
    return item->integer;
}

std::optional<double> ZelArgList_s::Double(ArgName name) const {
    if (const Item* item = Find(name, Kind::Double)) return item->real;
    if (const Item* item = Find(name, Kind::Int)) return static_cast<double>(item->integer);
    return std::nullopt;
}

const std::string* ZelArgList_s::String(ArgName name) const {
    const Item* item = Find(name, Kind::String);
    return item == nullptr ? nullptr : &item->text;
}

const int32_t* ZelArgList_s::Int32Array(ArgName name) const {
    const Item* item = Find(name, Kind::Array);
    return item == nullptr ? nullptr : static_cast<const int32_t*>(item->array);
}

ZelFunction_pf ZelArgList_s::Function(ArgName name) const {
    const Item* item = Find(name, Kind::Function);
    return item == nullptr ? nullptr : item->function;
}

std::vector<std::string> ZelArgList_s::Unknown(std::initializer_list<ArgName> known) const {
    uint32_t knownMask = 0;
    for (ArgName name : known) knownMask |= 1u << static_cast<unsigned>(name);
    std::vector<std::string> unknown;
    for (const Item& item : items) {
        if ((knownMask >> static_cast<unsigned>(item.key) & 1u) == 0) unknown.emplace_back(item.name());
    }
    return unknown;
}
