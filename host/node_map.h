// A finite-element zone's node map: nodesPerElement node numbers per element,
// held from 0 as the raw pointer exposes them.
#pragma once

#include <cstdint>

#include "host/deferred_data.h"
#include "host/host_buffer.h"
#include "host_api/zel_api.h"

struct ZelNodeMap_s final : zelhost::DeferredData {
    ZelNodeMap_s(int64_t elements, int32_t nodesPerElement, int64_t nodeCount)
        : elements(elements), nodesPerElement(nodesPerElement), nodeCount(nodeCount) {}
    ~ZelNodeMap_s() override;

    bool Register(LoadOnDemandNodeMapLoad_pf load, LoadOnDemandNodeMapUnload_pf unload,
                  LoadOnDemandNodeMapCleanup_pf cleanup, ArbParam_t clientData);
    // Node numbers from 1, positions from 1; false outside the map or for unknown nodes.
    bool SetNodes(int64_t firstPosition, int64_t count, const int32_t* nodes);
    bool SetEntry(int64_t element, int32_t corner, int64_t node);
    bool Allocate();
    int32_t* Raw() { return Allocate() ? reinterpret_cast<int32_t*>(storage.data()) : nullptr; }
    const int32_t* Entries() const { return reinterpret_cast<const int32_t*>(storage.data()); }
    int64_t entryCount() const { return elements * nodesPerElement; }
    int64_t LoadBytesHint() const override { return entryCount() * 4; }
    bool present() const override { return storage.present(); }

    const int64_t elements;
    const int32_t nodesPerElement;
    const int64_t nodeCount;
    zelhost::HostBuffer storage;

private:
    bool CallLoad() override;
    void Discard() override { storage.Release(); }
    bool MakePresent() override { return Allocate(); }

    LoadOnDemandNodeMapLoad_pf load_ = nullptr;
    LoadOnDemandNodeMapCleanup_pf cleanup_ = nullptr;
};
