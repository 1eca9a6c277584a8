#include "host_api/zel_api.h"

namespace quorix {
void InitAddOn() noexcept;
}

// The host's one way in.
extern "C" ZEL_EXPORT void InitZelAddOn113(void) { quorix::InitAddOn(); }
