// A polygon or polyhedron zone's face map.
//  Polygons: elementCounts = nodes per polygon, nodes = the polygons' nodes.
//  Polyhedra: elementCounts = faces per element, faceNodeCounts = nodes per face,
//  nodes = the faces' nodes. Nodes are held from 0.
#pragma once

#include <cstdint>

#include "host/deferred_data.h"
#include "host/host_buffer.h"
#include "host_api/zel_api.h"

struct ZelFaceMap_s final : zelhost::DeferredData {
    ZelFaceMap_s(bool polyhedron, int64_t elements, int64_t nodeCount)
        : polyhedron(polyhedron), elements(elements), nodeCount(nodeCount) {}
    ~ZelFaceMap_s() override;

    struct Totals {
        int64_t faces = 0;
        int64_t faceNodes = 0;
        int64_t boundaryFaces = 0;
        int64_t boundaryConnections = 0;
    };
    bool Register(const Totals& announced, LoadOnDemandFaceMapLoad_pf load, LoadOnDemandFaceMapUnload_pf unload,
                  LoadOnDemandFaceMapCleanup_pf cleanup, ArbParam_t clientData);
    // Refuses counts that do not add up and nodes outside the zone; a refused call changes nothing.
    bool Assign(int64_t elementCount, const int32_t* elementCounts, const int32_t* faceNodeCounts,
                const int32_t* nodes);
    bool present() const override { return assigned; }
    // Unknown before the load: about six four-node faces per polyhedron, four nodes per polygon.
    int64_t LoadBytesHint() const override { return elements * (polyhedron ? 32 : 8) * 4; }

    const bool polyhedron;
    const int64_t elements;
    const int64_t nodeCount;
    Totals announced;  // zero = not announced
    zelhost::HostInts elementCounts;
    zelhost::HostInts faceNodeCounts;
    zelhost::HostInts nodes;
    bool assigned = false;

private:
    bool CallLoad() override;
    void Discard() override;
    bool MakePresent() override { return true; }
    // Copies n counts into `to`; their sum, or -1 when one is below 1 or memory is short.
    static int64_t CopyPositive(const int32_t* counts, int64_t n, zelhost::HostInts& to);
    // Copies n node numbers into `to` as held (from 0); false when one lies outside the zone.
    bool CopyNodes(const int32_t* from, int64_t n, zelhost::HostInts& to) const;

    LoadOnDemandFaceMapLoad_pf load_ = nullptr;
    LoadOnDemandFaceMapCleanup_pf cleanup_ = nullptr;
};
