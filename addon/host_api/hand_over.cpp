#include "addon/host_api/hand_over.h"

#include "addon/host_api/host_lock.h"

namespace quorix {

bool HandOver(FieldData_pa field, int64_t first, int64_t count, const void* values) {
    if (count == 0) return true;
    HostLock lock;
    return ZelUtilDataValueArraySetByRef(field, first + 1, count, values) == ZEL_TRUE;
}

}  // namespace quorix
