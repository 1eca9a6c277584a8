// A fresh host per test, a small fake add-on's worth of helpers, and a ledger check at the end.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "host/zel_host.h"
#include "host_api/zel_api.h"

namespace hosttest {

struct ZoneSpec {
    std::string name = "zone";
    int32_t zoneType = ZelZoneOrdered;
    int64_t imax = 1, jmax = 1, kmax = 1;
    int64_t shareZone = 0;
};

inline bool MakeDataSet(const std::vector<std::string>& variables) {
    StringList_pa names = ZelUtilStringListAlloc();
    for (const std::string& name : variables) ZelUtilStringListAppendString(names, name.c_str());
    const bool made = ZelUtilDataSetCreate("test", names, ZEL_TRUE) != ZEL_FALSE;
    ZelUtilStringListDealloc(&names);
    return made;
}

inline bool AddZone(const ZoneSpec& spec) {
    ArgList_pa args = ZelUtilArgListAlloc();
    ZelUtilArgListAppendString(args, "NAME", spec.name.c_str());
    ZelUtilArgListAppendInt(args, "ZONETYPE", spec.zoneType);
    ZelUtilArgListAppendInt(args, "IMAX", spec.imax);
    ZelUtilArgListAppendInt(args, "JMAX", spec.jmax);
    ZelUtilArgListAppendInt(args, "KMAX", spec.kmax);
    ZelUtilArgListAppendInt(args, "DEFERVARCREATION", 1);
    if (spec.shareZone != 0) {
        ZelUtilArgListAppendInt(args, "CONNECTSHAREZONE", spec.shareZone);
    } else {
        ZelUtilArgListAppendInt(args, "DEFERNODEMAPCREATION", 1);
    }
    const bool added = ZelUtilDataSetAddZoneX(args) != ZEL_FALSE;
    ZelUtilArgListDealloc(&args);
    return added;
}

// Client data of the fake loaders: what to hand over and what happened.
struct FakeSource {
    std::vector<float> values;
    std::vector<int32_t> nodes;
    bool fail = false;
    int delayMs = 0;
    std::atomic<int> loads{0};
    std::atomic<int> cleanups{0};
};

inline FakeSource& SourceOf(ArbParam_t clientData) { return *reinterpret_cast<FakeSource*>(clientData); }
inline ArbParam_t ClientData(FakeSource& source) { return reinterpret_cast<ArbParam_t>(&source); }

// Counts itself, optionally dawdles so that other threads pile up, then hands over under the host lock.
template <class Handle, class HandOver>
Boolean_t FakeLoad(FakeSource& source, Handle, HandOver handOver) {
    ++source.loads;
    if (source.delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(source.delayMs));
    bool ok = !source.fail;
    if (ok) {
        ZelUtilLockStart(nullptr);
        ok = handOver();
        ZelUtilLockFinish(nullptr);
    }
    return ok ? ZEL_TRUE : ZEL_FALSE;
}

inline Boolean_t LoadValues(FieldData_pa field) {
    FakeSource& source = SourceOf(ZelUtilDataValueGetClientData(field));
    return FakeLoad(source, field, [&] {
        return ZelUtilDataValueArraySetByRef(field, 1, static_cast<LgIndex_t>(source.values.size()),
                                             source.values.data()) != ZEL_FALSE;
    });
}

inline void CleanupValues(FieldData_pa field) { ++SourceOf(ZelUtilDataValueGetClientData(field)).cleanups; }

inline Boolean_t LoadNodes(NodeMap_pa nodeMap) {
    FakeSource& source = SourceOf(ZelUtilDataNodeGetClientData(nodeMap));
    return FakeLoad(source, nodeMap, [&] {
        return ZelUtilDataNodeArraySetByRef(nodeMap, 1, static_cast<LgIndex_t>(source.nodes.size()),
                                            source.nodes.data()) != ZEL_FALSE;
    });
}

inline void CleanupNodes(NodeMap_pa nodeMap) { ++SourceOf(ZelUtilDataNodeGetClientData(nodeMap)).cleanups; }

inline bool RegisterValues(EntIndex_t zone, EntIndex_t var, FakeSource& source) {
    return ZelUtilDataValueCustomLOD(zone, var, LoadValues, nullptr, CleanupValues, nullptr, nullptr,
                                     ClientData(source)) != ZEL_FALSE;
}

inline bool RegisterNodes(EntIndex_t zone, FakeSource& source) {
    return ZelUtilDataNodeCustomLOD(zone, LoadNodes, nullptr, CleanupNodes, ClientData(source)) != ZEL_FALSE;
}

// Positions handed over to the host, and whether it must take them.
struct RangeRow {
    const char* name;
    int64_t first;
    int64_t count;
    bool accepted;
};

class HostTest : public ::testing::Test {
protected:
    void SetUp() override {
        zelhost::ResetHost();
        before_ = Live();
    }
    void TearDown() override {
        zelhost::DeleteAllFrames();
        EXPECT_EQ(Live(), before_) << "host allocations leaked";
        EXPECT_EQ(zelhost::ClientDataRegistered(), zelhost::ClientDataReleased());
        EXPECT_TRUE(zelhost::Faults().empty()) << zelhost::Faults().front();
        EXPECT_EQ(zelhost::HostLockDepth(), 0);
    }
    static std::map<std::string, int64_t> Live() {
        std::map<std::string, int64_t> live;
        for (const auto& [label, blocks] : zelhost::LiveAllocations()) live[label] = blocks.count;
        return live;
    }
    static void Configure(const std::function<void(zelhost::Settings&)>& change) {
        zelhost::Settings settings = zelhost::CurrentSettings();
        change(settings);
        zelhost::Configure(settings);
    }

    // Outlives the test body: clean-ups run when TearDown deletes the frames.
    FakeSource& Source() { return sources_.emplace_back(); }

private:
    std::map<std::string, int64_t> before_;
    std::deque<FakeSource> sources_;
};

}  // namespace hosttest
