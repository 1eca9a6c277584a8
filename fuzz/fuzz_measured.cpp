// Measured data: a particle geometry file scanned and its coordinates read,
// then a measured variable file opened and scanned over its steps. Input:
// geometry length (2 bytes, little-endian), a flag byte (bit 0: vector), the
// geometry file, then the variable file. Both may be C binary, so no NUL split.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "gold/geometry_reader.h"
#include "gold/variable_reader.h"
#include "scratch_dir.h"

namespace {

constexpr size_t MaxInput = 1 << 16;
constexpr int32_t Stride = 3;

std::string WriteFile(const char* tag, const uint8_t* data, size_t size) {
    const std::string path = ScratchRoot() + "/fuzz_measured_" + tag + "_" + std::to_string(::getpid());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return {};
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);
    return path;
}

void ReadCoordinates(const quorix::PartInfo& part) {
    // the scan checked the count against the file; the cap only bounds the fuzzer's memory
    if (part.nodeCount < 0 || part.nodeCount > static_cast<int32_t>(MaxInput)) return;
    std::vector<float> xyz(3 * static_cast<size_t>(part.nodeCount));
    quorix::CFileEnsight reader;
    if (reader.Open(part.fileName, true, part.format, part.byteOrder, part.xOffset)) {
        reader.ReadParticleCoords(xyz.data(), part.nodeCount);
    }
}

void ScanGeometry(const std::string& path, quorix::PartCollection& collection) {
    quorix::CFileEnsightGeomGold geometry;
    if (geometry.Open(path)) geometry.ScanParts(collection, 0);
    for (const auto& part : collection.parts()) {
        if (part->kind == quorix::PartParticles) ReadCoordinates(*part);
    }
}

void ScanVariable(const std::string& path, quorix::PartCollection& collection, int32_t components) {
    quorix::VariableKind kind;
    kind.components = components;
    quorix::CFileEnsightVarGold reader;
    if (!reader.OpenMeasuredVariable(collection, kind, path, 0, Stride)) return;
    for (int32_t step = 0; step < Stride; ++step) {
        const size_t before = kind.items.size();
        if (!reader.ScanMeasuredValues(collection, kind, step) || kind.items.size() == before) break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr size_t Header = 3;
    if (size < Header || size > MaxInput) return 0;
    const size_t geometrySize = std::min<size_t>(data[0] | (data[1] << 8), size - Header);
    const std::string geometryPath = WriteFile("geo", data + Header, geometrySize);
    const std::string variablePath =
        WriteFile("var", data + Header + geometrySize, size - Header - geometrySize);
    if (geometryPath.empty() || variablePath.empty()) return 0;
    quorix::PartCollection collection(0, 1, 1, Stride);
    ScanGeometry(geometryPath, collection);
    if (collection.FindPart(quorix::ParticlePartNumber) == nullptr) {
        quorix::PartInfo& particles = collection.AddPart(quorix::ParticlePartNumber, 1);
        particles.kind = quorix::PartParticles;
        particles.nodeCount = particles.imax = 3;
    }
    ScanVariable(variablePath, collection, (data[2] & 1) != 0 ? 3 : 1);
    return 0;
}
