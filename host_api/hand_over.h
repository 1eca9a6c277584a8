// Values handed to the host by reference into a field.
#pragma once

#include <cstdint>

#include "host_api/zel_api.h"

namespace quorix {

// Hands `count` values to `field` from 0-based position `first` (the host counts
// from 1), under the host lock a piece at a time; false when the host refused
// them. No values is no call.
bool HandOver(FieldData_pa field, int64_t first, int64_t count, const void* values);

}  // namespace quorix
