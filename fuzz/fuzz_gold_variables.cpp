// Gold per-node and per-element variable files: open and scan against a fixed
// geometry. The first byte picks per node / per element and the component count.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "casefile/element_types.h"
#include "gold/variable_reader.h"
#include "scratch_dir.h"

namespace {

constexpr size_t MaxInput = 1 << 16;

quorix::ElementBlockInfo Block(quorix::ElementType type, int32_t count, bool inCategory) {
    quorix::ElementBlockInfo block;
    block.type = type;
    block.nodesPerElement = quorix::NodesPerElement(type);
    block.elementCount = count;
    block.inCategory = inCategory;
    return block;
}

// Part 1: surface of tria3, quad4, g_tria3 and bar2 edges; part 2: flat block;
// part 3: bar3; part 0: big-endian C binary (settles part-0 byte order).
void FillGeometry(quorix::PartCollection& geometry) {
    quorix::PartInfo& surface = geometry.AddPart(1, 1);
    surface.kind = quorix::PartUnstructured;
    surface.category = quorix::CategorySurface;
    surface.nodeCount = 4;
    surface.elementCount = 6;
    surface.blocks = {Block(quorix::ElementTria3, 2, true), Block(quorix::ElementQuad4, 3, true),
                      Block(quorix::ElementTria3, 1, true), Block(quorix::ElementBar2, 2, false)};
    quorix::PartInfo& flat = geometry.AddPart(2, 1);
    flat.kind = quorix::PartCurvilinear;
    flat.imax = 3;
    flat.jmax = 3;
    flat.kmax = 1;
    flat.nodeCount = 9;
    quorix::PartInfo& bars = geometry.AddPart(3, 1);
    bars.kind = quorix::PartUnstructured;
    bars.category = quorix::CategoryLine;
    bars.nodeCount = 5;
    bars.elementCount = 4;
    bars.blocks = {Block(quorix::ElementBar3, 2, true)};
    quorix::PartInfo& zero = geometry.AddPart(0, 1);
    zero.kind = quorix::PartUnstructured;
    zero.nodeCount = 2;
    zero.format = quorix::EncodingCBinary;
    zero.byteOrder = quorix::BigEndian;
}

std::string WriteInput(const uint8_t* data, size_t size) {
    static const std::string path = ScratchRoot() + "/fuzz_gold_variables_" + std::to_string(::getpid());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return {};
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > MaxInput) return 0;
    constexpr int32_t Components[] = {1, 3, 6, 9};
    quorix::VariableKind kind;
    kind.isNodal = (data[0] & 1) != 0;
    kind.components = Components[(data[0] >> 1) & 3];
    const std::string path = WriteInput(data + 1, size - 1);
    if (path.empty()) return 0;
    quorix::PartCollection geometry(0, 1, 0, 1);
    FillGeometry(geometry);
    quorix::CFileEnsightVarGold reader;
    if (reader.Open(path, geometry)) reader.ScanVariableParts(geometry, kind, (data[0] >> 3) & 1);
    return 0;
}
