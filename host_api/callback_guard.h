// The guard around every callback the host makes into the add-on.
#pragma once

#include "host_api/zel_api.h"

namespace quorix {

// Runs `body`; no exception crosses into the host, and `onFailure` (which must
// not throw) runs once when the body failed or threw.
template <class Body, class OnFailure>
Boolean_t GuardCallback(Body&& body, OnFailure&& onFailure) noexcept {
    bool done = false;
    try {
        done = body();
    } catch (...) {
        done = false;
    }
    if (!done) onFailure();
    return done ? ZEL_TRUE : ZEL_FALSE;
}

}  // namespace quorix
