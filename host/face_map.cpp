#include "host/face_map.h"

#include <algorithm>

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

int64_t ZelFaceMap_s::SumOfPositive(const int32_t* counts, int64_t n) {
    if (n > 0 && counts == nullptr) return -1;
    int64_t sum = 0;  // n <= 2^31 terms below 2^31 each: no overflow
    for (int64_t i = 0; i < n; ++i) {
        if (counts[i] < 1) return -1;
        sum += counts[i];
    }
    return sum;
}

bool ZelFaceMap_s::Assign(int64_t elementCount, const int32_t* newElementCounts, const int32_t* newFaceNodeCounts,
                          const int32_t* newNodes) {
    if (elementCount != elements) return false;
    const int64_t perElement = SumOfPositive(newElementCounts, elementCount);
    if (perElement < 0) return false;
    int64_t faces = 0;
    int64_t nodeTotal = perElement;
    if (polyhedron) {
        if (newFaceNodeCounts == nullptr && perElement > 0) return false;
        faces = perElement;
        nodeTotal = SumOfPositive(newFaceNodeCounts, faces);
        if (nodeTotal < 0) return false;
        if (announced.faces > 0 && faces != announced.faces) return false;
        if (announced.faceNodes > 0 && nodeTotal != announced.faceNodes) return false;
    }
    if (nodeTotal > 0 && newNodes == nullptr) return false;
    for (int64_t i = 0; i < nodeTotal; ++i) {
        if (newNodes[i] < 1 || newNodes[i] > nodeCount) return false;
    }
    elementCounts.assign(elementCount, 0);
    if (elementCount > 0) std::copy_n(newElementCounts, elementCount, elementCounts.begin());
    faceNodeCounts.assign(faces, 0);
    if (faces > 0) std::copy_n(newFaceNodeCounts, faces, faceNodeCounts.begin());
    nodes.resize(static_cast<size_t>(nodeTotal));
    for (int64_t i = 0; i < nodeTotal; ++i) nodes[i] = newNodes[i] - 1;
    assigned = true;
    return true;
}

bool ZelFaceMap_s::CallLoad() { return load_(this) != ZEL_FALSE; }

void ZelFaceMap_s::Discard() {
    elementCounts = {};
    faceNodeCounts = {};
    nodes = {};
    assigned = false;
}
