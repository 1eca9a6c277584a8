#include "host/data_set.h"

namespace zelhost {

Zone* DataSet::FindZone(int64_t zone) const {
    if (zone < 1 || zone > ZoneCount()) return nullptr;
    return zones[static_cast<size_t>(zone - 1)].get();
}

ZelFieldData_s* DataSet::Field(int64_t zone, int64_t variable) const {
    Zone* z = FindZone(zone);
    if (z == nullptr || !HasVariable(variable)) return nullptr;
    return z->fields[static_cast<size_t>(variable - 1)].get();
}

}  // namespace zelhost
