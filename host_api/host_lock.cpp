#include "host_api/host_lock.h"

#include <atomic>

namespace quorix {
namespace {
std::atomic<AddOn_pa> addOnId{nullptr};
}

AddOn_pa AddOnId() { return addOnId.load(std::memory_order_acquire); }
void SetAddOnId(AddOn_pa id) { addOnId.store(id, std::memory_order_release); }

}  // namespace quorix
