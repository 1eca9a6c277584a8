// Zone creation time for many parts over many steps, in the two transient
// shapes: a static geometry whose variables have a time set (one shared copy
// per part and later step), and a geometry scanned at every step.
//
//   transient_zones [parts [steps]]     (default 10000 x 100)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "dataset/transient_zones.h"
#include "dataset/zone_creation.h"
#include "host_api/host_lock.h"
#include "host_api/zel_api.h"

namespace {

using quorix::PartCollection;
using quorix::PartInfo;

void FillTrianglePart(PartInfo& part) {
    part.kind = quorix::PartUnstructured;
    part.category = quorix::CategorySurface;
    part.name = "part " + std::to_string(part.partNumber) + "\n";
    part.fileName = "/nonexistent/bench.geo";
    part.format = quorix::EncodingCBinary;
    part.byteOrder = quorix::LittleEndian;
    part.nodeCount = 3;
    part.imax = 3;
    part.elementCount = 1;
    part.jmax = 1;
    part.maxNodesPerElement = 3;
    quorix::ElementBlockInfo block;
    block.type = quorix::ElementTria3;
    block.nodesPerElement = 3;
    block.elementCount = 1;
    block.offset = 100;
    block.inCategory = true;
    part.blocks.push_back(block);
}

void FillTimeSet(quorix::TimeSectionInfo& timeSet, int32_t steps) {
    timeSet.number = 1;
    timeSet.numberOfSteps = steps;
    for (int32_t k = 0; k < steps; ++k) timeSet.timeValues.Append(0.1f * static_cast<float>(k), "Time values");
    timeSet.timeValuesRead = steps;
}

int32_t ZoneCount() {
    EntIndex_t zones = 0;
    ZelUtilDataSetGetInfo(nullptr, &zones, nullptr);
    return zones;
}

// Wall time and the process's CPU time: on a shared machine the CPU time is the figure to compare.
struct Clock {
    std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
    std::clock_t cpu = std::clock();
};

void Report(const char* what, int32_t parts, int32_t steps, bool made, const Clock& start) {
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start.wall).count();
    double cpu = static_cast<double>(std::clock() - start.cpu) / CLOCKS_PER_SEC;
    int32_t zones = ZoneCount();
    std::printf("%-20s %6d parts x %4d steps: %8d zones, cpu %7.3f s (%.2f M zones/s), wall %7.3f s%s\n", what,
                parts, steps, zones, cpu, zones / cpu / 1e6, wall, made ? "" : "  FAILED");
    ZelUtilFrameDeleteTop();
}

void StaticGeometryTransientVariables(int32_t parts, int32_t steps) {
    quorix::TimeSectionInfo timeSet;
    FillTimeSet(timeSet, steps);
    quorix::VarSVT scalar;
    scalar.timeSet = 1;
    quorix::VariableSectionInfo variables;
    variables.scalarPerNode.head = variables.scalarPerNode.tail = &scalar;

    PartCollection collection(0, 1, 0, 1);
    for (int32_t p = 1; p <= parts; ++p) FillTrianglePart(collection.AddPart(p, 1));
    Set_pa zoneSet = ZelUtilSetAlloc(ZEL_FALSE);
    Clock start;
    bool made = quorix::CreateGeometryZones(collection, false, nullptr, zoneSet) &&
                quorix::CreateTransientVariableZones(collection, zoneSet, &variables, &timeSet);
    Report("transient variables", parts, steps, made, start);
    ZelUtilSetDealloc(&zoneSet);
}

void TransientGeometry(int32_t parts, int32_t steps) {
    quorix::TimeSectionInfo timeSet;
    FillTimeSet(timeSet, steps);
    PartCollection collection(1, steps, 0, 1);
    for (int32_t step = 1; step <= steps; ++step) {
        for (int32_t p = 1; p <= parts; ++p) FillTrianglePart(collection.AddPart(p, step));
    }
    Set_pa zoneSet = ZelUtilSetAlloc(ZEL_FALSE);
    Clock start;
    bool made = quorix::CreateGeometryZones(collection, true, &timeSet, zoneSet);
    Report("transient geometry", parts, steps, made, start);
    ZelUtilSetDealloc(&zoneSet);
}

}  // namespace

int main(int argc, char** argv) {
    int32_t parts = argc > 1 ? std::atoi(argv[1]) : 10000;
    int32_t steps = argc > 2 ? std::atoi(argv[2]) : 100;
    if (parts < 1 || steps < 1) {
        std::fprintf(stderr, "usage: transient_zones [parts [steps]]\n");
        return 2;
    }
    ZelUtilLockOn();
    quorix::SetAddOnId(ZelUtilAddOnRegister(113, "Quorix bench", "1.0", "bench"));
    StaticGeometryTransientVariables(parts, steps);
    // Every zone of a scanned geometry carries its own loaders: a tenth of the parts keeps memory modest.
    TransientGeometry(parts / 10 > 0 ? parts / 10 : 1, steps);
    TransientGeometry(parts / 100 > 0 ? parts / 100 : 1, steps);
    ZelUtilLockOff();
    return 0;
}
