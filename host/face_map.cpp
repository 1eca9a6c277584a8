#include "host/face_map.h"


ZelFaceMap_s::~ZelFaceMap_s() {
    if (CleanupDue()) {
        cleanup_(this);
        CleanupDone();
    }
}

bool ZelFaceMap_s::Register(const Totals& totals, LoadOnDemandFaceMapLoad_pf load, LoadOnDemandFaceMapUnload_pf,
                            LoadOnDemandFaceMapCleanup_pf cleanup, ArbParam_t clientData) {
    if (load == nullptr || totals.faces < 0 || totals.faceNodes < 0) return false;
    if (!AcceptRegistration(clientData, true, cleanup != nullptr)) return false;
    announced = totals;
    load_ = load;
    cleanup_ = cleanup;
    return true;
}

// Both copies run in one pass without an early exit, so that they vectorise.
int64_t ZelFaceMap_s::CopyPositive(const int32_t* counts, int64_t n, zelhost::HostInts& to) {
    if ((n > 0 && counts == nullptr) || !to.Allocate(n)) return -1;
    int32_t* out = to.data();
    int64_t sum = 0;  // n <= 2^31 terms below 2^31 each: no overflow
    int32_t least = 1;
    for (int64_t i = 0; i < n; ++i) {
        out[i] = counts[i];
        least = counts[i] < least ? counts[i] : least;
        sum += counts[i];
    }
    return least >= 1 ? sum : -1;
}

bool ZelFaceMap_s::CopyNodes(const int32_t* from, int64_t n, zelhost::HostInts& to) const {
    if ((n > 0 && from == nullptr) || !to.Allocate(n)) return false;
    int32_t* out = to.data();
    // With nodeCount <= INT32_MAX, node - 1 or nodeCount - node has its top bit set
    // exactly when node lies outside 1..nodeCount.
    const auto last = static_cast<uint32_t>(nodeCount);
    uint32_t outside = 0;
    for (int64_t i = 0; i < n; ++i) {
        const auto node = static_cast<uint32_t>(from[i]);
        outside |= (node - 1u) | (last - node);
        out[i] = static_cast<int32_t>(node - 1u);
    }
    return (outside >> 31) == 0;
}

// Built aside and swapped in at the end: a refused call changes nothing.
bool ZelFaceMap_s::Assign(int64_t elementCount, const int32_t* newElementCounts, const int32_t* newFaceNodeCounts,
                          const int32_t* newNodes) {
    if (elementCount != elements) return false;
    zelhost::HostInts builtElementCounts, builtFaceNodeCounts, builtNodes;
    const int64_t perElement = CopyPositive(newElementCounts, elementCount, builtElementCounts);
    if (perElement < 0) return false;
    int64_t nodeTotal = perElement;
    if (polyhedron) {
        if (newFaceNodeCounts == nullptr && perElement > 0) return false;
        const int64_t faces = perElement;
        if (announced.faces > 0 && faces != announced.faces) return false;
        nodeTotal = CopyPositive(newFaceNodeCounts, faces, builtFaceNodeCounts);
        if (nodeTotal < 0) return false;
        if (announced.faceNodes > 0 && nodeTotal != announced.faceNodes) return false;
    }
    if (!CopyNodes(newNodes, nodeTotal, builtNodes)) return false;
    elementCounts.Swap(builtElementCounts);
    faceNodeCounts.Swap(builtFaceNodeCounts);
    nodes.Swap(builtNodes);
    assigned = true;
    return true;
}

bool ZelFaceMap_s::CallLoad() { return load_(this) != ZEL_FALSE; }

void ZelFaceMap_s::Discard() {
    elementCounts.Release();
    faceNodeCounts.Release();
    nodes.Release();
    assigned = false;
}
