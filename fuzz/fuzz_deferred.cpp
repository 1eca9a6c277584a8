// A Gold geometry file and a variable file, joined by a separator, are
// scanned as a load scans them; zones and loaders are made and every deferred
// load is forced through libzel. Loads may fail; nothing may crash, leak or
// read out of bounds. The first byte picks per node / per element and the
// component count.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "dataset/deferred_loading.h"
#include "dataset/zone_creation.h"
#include "gold/geometry_reader.h"
#include "gold/variable_reader.h"
#include "host/zel_host.h"
#include "host_api/host_lock.h"
#include "host_api/zel_api.h"
#include "scratch_dir.h"

namespace {

constexpr size_t MaxInput = 1 << 16;
// The variable file starts after this separator (binary files hold NUL bytes).
constexpr char Separator[] = "\0\0VARIABLE\0\0";
constexpr size_t SeparatorLength = sizeof Separator - 1;

std::string WriteFile(const char* name, const uint8_t* data, size_t size) {
    const std::string path = ScratchRoot() + "/fuzz_deferred_" + std::to_string(::getpid()) + "_" + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return {};
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);
    return path;
}

void RegisterVariable(quorix::PartCollection& collection, const quorix::VariableKind& kind, int32_t firstVariable) {
    for (const quorix::PartVariableInfo& item : kind.items) {
        const quorix::PartInfo* part = collection.FindPart(item.partNumber, item.step);
        const int32_t zone = collection.ZoneForPartStep(item.partNumber, 1);
        if (part == nullptr || zone < 1) continue;
        if (kind.isNodal) {
            quorix::RegisterNodalValueLoaders(item, *part, zone, firstVariable, kind.components);
        } else {
            quorix::RegisterCellValueLoaders(item, *part, zone, firstVariable, kind.components);
        }
    }
}

void Load(const std::string& geometryPath, const std::string& variablePath, uint8_t choice) {
    constexpr int32_t Components[] = {1, 3, 6, 9};
    quorix::PartCollection collection(0, 1, 0, 1);
    quorix::CFileEnsightGeomGold geometry;
    if (!geometry.Open(geometryPath) || !geometry.ScanParts(collection, 0)) return;
    Set_pa zones = ZelUtilSetAlloc(ZEL_FALSE);
    if (quorix::CreateGeometryZones(collection, false, nullptr, zones)) {
        quorix::VariableKind kind;
        kind.isNodal = (choice & 1) != 0;
        kind.components = Components[(choice >> 1) & 3];
        quorix::CFileEnsightVarGold variable;
        EntIndex_t zoneCount = 0, variableCount = 0;
        ZelUtilDataSetGetInfo(nullptr, &zoneCount, &variableCount);
        if (variable.Open(variablePath, collection) && variable.ScanVariableParts(collection, kind, 0) &&
            quorix::AddVariables(kind.components, "v", kind.isNodal ? 1 : 0))
            RegisterVariable(collection, kind, variableCount + 1);
    }
    ZelUtilSetDealloc(&zones);
    zelhost::ForceAllLoads(1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > MaxInput) return 0;
    const uint8_t* body = data + 1;
    const size_t bodySize = size - 1;
    const void* found = memmem(body, bodySize, Separator, SeparatorLength);
    const size_t geometrySize = found != nullptr ? static_cast<size_t>(static_cast<const uint8_t*>(found) - body) : bodySize;
    const size_t variableStart = found != nullptr ? geometrySize + SeparatorLength : bodySize;
    const std::string geometryPath = WriteFile("geo", body, geometrySize);
    const std::string variablePath = WriteFile("var", body + variableStart, bodySize - variableStart);
    if (geometryPath.empty() || variablePath.empty()) return 0;
    zelhost::ResetHost();
    quorix::SetAddOnId(ZelUtilAddOnRegister(113, "Quorix fuzz", "1.0", "fuzz"));
    zelhost::Settings settings = zelhost::CurrentSettings();
    settings.batchMode = true;
    settings.echoMessages = false;  // batch mode still prints every error
    zelhost::Configure(settings);
    Load(geometryPath, variablePath, data[0]);
    zelhost::DeleteAllFrames();
    if (zelhost::ClientDataRegistered() != zelhost::ClientDataReleased()) __builtin_trap();
    if (zelhost::LiveAllocations().count("Client Data") != 0) __builtin_trap();
    return 0;
}
