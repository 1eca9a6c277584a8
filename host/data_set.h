// The data set of one frame: title, variables and zones, numbered from 1.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/zone.h"

namespace zelhost {

struct DataSet {
    std::string title;
    std::vector<std::string> variables;
    std::vector<std::unique_ptr<Zone>> zones;

    Zone* FindZone(int64_t zone) const;
    bool HasVariable(int64_t variable) const { return variable >= 1 && variable <= VariableCount(); }
    int32_t ZoneCount() const { return static_cast<int32_t>(zones.size()); }
    int32_t VariableCount() const { return static_cast<int32_t>(variables.size()); }
    ZelFieldData_s* Field(int64_t zone, int64_t variable) const;
};

}  // namespace zelhost
