#include "addon/zel_api.h"

namespace quorix {
// Placeholder until the entry is written.
void InitAddOn() noexcept {}
}
