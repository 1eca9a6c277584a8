#include "host_api/hand_over.h"

#include <algorithm>

#include "host_api/host_lock.h"

namespace quorix {
namespace {

// Values copied per turn of the host lock (4 MiB), so that another thread
// handing over never waits long.
constexpr int64_t HandOverPiece = int64_t{1} << 20;

}  // namespace

bool HandOver(FieldData_pa field, int64_t first, int64_t count, const void* values) {
    if (count < 0) return false;
    const auto* bytes = static_cast<const char*>(values);
    for (int64_t done = 0; done < count;) {
        const int64_t n = std::min(HandOverPiece, count - done);
        HostLock lock;
        if (ZelUtilDataValueArraySetByRef(field, first + done + 1, n, bytes + 4 * done) != ZEL_TRUE) return false;
        done += n;
    }
    return true;
}

}  // namespace quorix
