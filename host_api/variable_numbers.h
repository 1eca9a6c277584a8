// The host variables every zone of the data set shares, by number.
#pragma once

#include <cstdint>

namespace quorix {

constexpr int32_t XVariable = 1;
constexpr int32_t YVariable = 2;
constexpr int32_t ZVariable = 3;
constexpr int32_t IBlankVariable = 4;  // "IBlank", when any part has iblank values

}  // namespace quorix
