// A fresh host per test, and hand-built scan records for zone creation.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "addon/host_api/host_lock.h"
#include "addon/zel_api.h"
#include "casefile/case_record.h"
#include "casefile/checked_math.h"
#include "casefile/element_types.h"
#include "gold/part_collection.h"
#include "host/zel_host.h"

namespace quorix::zonetest {

class HostTest : public ::testing::Test {
protected:
    void SetUp() override {
        zelhost::ResetHost();
        SetAddOnId(ZelUtilAddOnRegister(113, "Quorix test", "1.0", "tests"));
        zoneSet = ZelUtilSetAlloc(ZEL_FALSE);
    }
    void TearDown() override {
        ZelUtilSetDealloc(&zoneSet);
        for (const std::string& fault : zelhost::Faults()) ADD_FAILURE() << "host fault: " << fault;
        zelhost::ResetHost();
    }
    void SetBatchMode() {
        zelhost::Settings settings = zelhost::CurrentSettings();
        settings.batchMode = true;
        zelhost::Configure(settings);
    }
    static std::vector<std::string> ErrorTexts() {
        std::vector<std::string> texts;
        for (const auto& message : zelhost::Messages()) {
            if (message.kind == "error") texts.push_back(message.text);
        }
        return texts;
    }
    // Batch mode logs the same errors without showing a dialog.
    static size_t DialogCount() {
        size_t dialogs = 0;
        for (const auto& message : zelhost::Messages()) dialogs += message.dialog;
        return dialogs;
    }
    static zelhost::ZoneSummary Zone(int32_t zone) {
        auto info = zelhost::ZoneInfo(zone);
        EXPECT_TRUE(info.has_value()) << "zone " << zone;
        return info.value_or(zelhost::ZoneSummary{});
    }

    Set_pa zoneSet = nullptr;
};

// One unstructured part with a block of one element per type (count 1), closed as the scan closes it.
inline PartInfo& AddUnstructured(PartCollection& collection, int32_t number, int32_t step, int32_t category,
                                 std::initializer_list<int32_t> types, int32_t nodes = 20,
                                 const std::string& name = "part") {
    PartInfo& part = collection.AddPart(number, step);
    part.kind = PartUnstructured;
    part.category = category;
    part.name = name;
    part.fileName = "/nonexistent/test.geo";
    part.format = quorix::EncodingCBinary;
    part.byteOrder = quorix::LittleEndian;
    part.nodeCount = nodes;
    part.imax = nodes;
    part.xOffset = 100;
    part.yOffset = 200;
    part.zOffset = 300;
    int64_t offset = 1000;
    for (int32_t type : types) {
        ElementBlockInfo block;
        block.type = type;
        block.nodesPerElement = NodesPerElement(type);
        block.elementCount = 1;
        block.faceCount = type == 16 ? 4 : 0;
        block.nodeCount = type == 15 ? 5 : (type == 16 ? 12 : 0);
        block.offset = offset;
        offset += 100;
        part.blocks.push_back(block);
    }
    EXPECT_TRUE(ClosePart(part));
    return part;
}

inline PartInfo& AddBlock(PartCollection& collection, int32_t number, int32_t step, int32_t i, int32_t j, int32_t k,
                          const std::string& name = "block") {
    PartInfo& part = collection.AddPart(number, step);
    part.kind = PartCurvilinear;
    part.name = name;
    part.fileName = "/nonexistent/test.geo";
    part.imax = i;
    part.jmax = j;
    part.kmax = k;
    part.nodeCount = i * j * k;
    part.elementCount = *BlockCellCount(i, j, k);
    part.xOffset = 100;
    return part;
}

inline PartInfo& AddParticles(PartCollection& collection, int32_t step, int32_t count) {
    PartInfo& part = collection.AddPart(ParticlePartNumber, step);
    part.kind = PartParticles;
    part.category = 1;
    part.fileName = "/nonexistent/test.mgeo";
    part.nodeCount = count;
    part.imax = count;
    part.xOffset = 100;
    return part;
}

// A time set with `values` (maybe fewer than `steps`, as a damaged case could give).
inline void FillTimeSet(TimeSectionInfo& timeSet, int32_t number, int32_t steps, std::vector<float> values) {
    timeSet.number = number;
    timeSet.numberOfSteps = steps;
    for (float value : values) timeSet.timeValues.Append(value, "Time values");
    timeSet.timeValuesRead = static_cast<int32_t>(values.size());
}

}  // namespace quorix::zonetest
