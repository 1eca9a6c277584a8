#include "host/node_map.h"

ZelNodeMap_s::~ZelNodeMap_s() {
    if (CleanupDue()) {
        cleanup_(this);
        CleanupDone();
    }
}

bool ZelNodeMap_s::Register(LoadOnDemandNodeMapLoad_pf load, LoadOnDemandNodeMapUnload_pf,
                            LoadOnDemandNodeMapCleanup_pf cleanup, ArbParam_t clientData) {
    if (load == nullptr || !AcceptRegistration(clientData, true, cleanup != nullptr)) return false;
    load_ = load;
    cleanup_ = cleanup;
    return true;
}

bool ZelNodeMap_s::Allocate() {
    return storage.present() || storage.Allocate(entryCount() * 4);
}

bool ZelNodeMap_s::SetNodes(int64_t firstPosition, int64_t count, const int32_t* nodes) {
    if (firstPosition < 1 || count < 0 || count > entryCount() - (firstPosition - 1)) return false;
    if (count > 0 && nodes == nullptr) return false;
    // Checked before anything is written: a refused call changes nothing.
    for (int64_t i = 0; i < count; ++i) {
        if (nodes[i] < 1 || nodes[i] > nodeCount) return false;
    }
    if (!Allocate()) return false;
    int32_t* to = Raw() + (firstPosition - 1);
    for (int64_t i = 0; i < count; ++i) to[i] = nodes[i] - 1;
    return true;
}

bool ZelNodeMap_s::SetEntry(int64_t element, int32_t corner, int64_t node) {
    if (element < 1 || element > elements || corner < 1 || corner > nodesPerElement) return false;
    if (node < 1 || node > nodeCount || node > INT32_MAX || !Allocate()) return false;
    Raw()[(element - 1) * nodesPerElement + (corner - 1)] = static_cast<int32_t>(node - 1);
    return true;
}

bool ZelNodeMap_s::CallLoad() {
    return zelhost::PrepareLoadArray(*this) && load_(this) != ZEL_FALSE;
}
