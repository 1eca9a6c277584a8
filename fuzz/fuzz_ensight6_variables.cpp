// Both ASCII EnSight 6 variable readers on arbitrary bytes over a fixed
// geometry (two unstructured parts and a block). The input is split at its
// first NUL: per-node file, then per-element file.
// An input whose first byte is 0xB0..0xB3 goes to the C binary walk instead,
// over a fixed C binary geometry, with every deferred load forced: the byte
// picks scalar, vector, symmetric or asymmetric tensor, and the rest is split
// at BinarySeparator into the per-node and per-element files.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "casefile/variable_kinds.h"
#include "ensight6/ensight6_load_case.h"
#include "host/zel_host.h"
#include "host_api/host_lock.h"
#include "scratch_dir.h"

namespace {

constexpr size_t MaxInput = 1 << 16;

constexpr std::string_view Geometry =
    "fuzz geometry\n"
    "second line\n"
    "node id given\n"
    "element id off\n"
    "coordinates\n"
    "       4\n"
    "       5 0.00000e+00 0.00000e+00 0.00000e+00\n"
    "       9 1.00000e+00 0.00000e+00 0.00000e+00\n"
    "       7 0.00000e+00 1.00000e+00 0.00000e+00\n"
    "      11-1.00000e+00 1.00000e+00 1.00000e+00\n"
    "part       1\n"
    "surface\n"
    "bar2\n"
    "       1\n"
    "       5       9\n"
    "tria3\n"
    "       2\n"
    "       5       9       7\n"
    "       9       7      11\n"
    "part       2\n"
    "line\n"
    "bar3\n"
    "       1\n"
    "       5       9       7\n"
    "part       3\n"
    "block\n"
    "block iblanked\n"
    "       3       2       1\n"
    " 0.00000e+00 1.00000e+00 2.00000e+00 0.00000e+00 1.00000e+00 2.00000e+00\n"
    " 0.00000e+00 0.00000e+00 0.00000e+00 1.00000e+00 1.00000e+00 1.00000e+00\n"
    " 0.00000e+00 0.00000e+00 0.00000e+00 0.00000e+00 0.00000e+00 0.00000e+00\n"
    "       1       1       0       1       1       1\n";

constexpr uint8_t BinaryMode = 0xB0;
constexpr std::string_view BinarySeparator("\0\0ELEMENT\0\0", 11);

// Four global nodes under a tria3 part, a flat 3 x 2 x 1 block and an
// iblanked 2 x 2 x 2 block, in the machine's byte order.
std::string BinaryGeometry() {
    std::string out;
    auto record = [&](std::string_view text) { out += std::string(text).append(80 - text.size(), '\0'); };
    auto word = [&](auto value) { out.append(reinterpret_cast<const char*>(&value), 4); };
    auto block = [&](const char* name, const char* kind, int32_t i, int32_t j, int32_t k) {
        record(name);
        record(kind);
        for (int32_t d : {i, j, k}) word(d);
        for (int32_t v = 0; v < 3 * i * j * k; ++v) word(static_cast<float>(v % (i * j * k)));
    };
    for (const char* text : {"C Binary", "fuzz geometry", "second line", "node id off", "element id off", "coordinates"})
        record(text);
    word(int32_t{4});
    for (float v : {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 1}) word(v);
    for (const char* text : {"part 1", "surface", "tria3"}) record(text);
    for (int32_t v : {2, 1, 2, 3, 2, 3, 4}) word(v);
    record("part 2");
    block("flat block", "block", 3, 2, 1);
    record("part 3");
    block("solid block", "block iblanked", 2, 2, 2);
    for (int v = 0; v < 8; ++v) word(int32_t{1});
    return out;
}

const std::string& WorkDir() {
    static const std::string dir = [] {
        std::string pattern = ScratchRoot() + "/quorix_fuzz_e6v_XXXXXX";
        const char* made = mkdtemp(pattern.data());
        std::string d = (made != nullptr ? pattern : ScratchRoot()) + "/";
        std::ofstream(d + "fixed.geo", std::ios::binary) << Geometry;
        std::ofstream(d + "binary.geo", std::ios::binary) << BinaryGeometry();
        return d;
    }();
    return dir;
}

void Write(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void AddEntry(quorix::VarList<quorix::VarSVT>& list, quorix::VarSVT& entry, const char* description,
              const std::string& file) {
    entry.description.Assign(description);
    entry.fileName.Assign(file);
    list.head = list.tail = &entry;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > MaxInput) return 0;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const bool binary = size > 0 && (data[0] & 0xFC) == BinaryMode;
    const size_t kind = binary ? data[0] & 3 : 1;
    if (binary) input.remove_prefix(1);
    const std::string_view separator = binary ? BinarySeparator : std::string_view("\0", 1);
    const size_t split = std::min(input.find(separator), input.size());
    const std::string& dir = WorkDir();
    Write(dir + "node.var", input.substr(0, split));
    Write(dir + "element.var", split < input.size() ? input.substr(split + separator.size()) : std::string_view());

    zelhost::ResetHost();
    quorix::SetAddOnId(ZelUtilAddOnRegister(113, "Quorix fuzz", "1.0", "fuzz"));
    {
        quorix::Ensight6Selection options;
        quorix::GeometrySectionInfo geometry;
        geometry.modelFileName = dir + (binary ? "binary.geo" : "fixed.geo");
        quorix::VariableSectionInfo variables;
        quorix::VarSVT perNode;
        quorix::VarSVT perElement;
        AddEntry(variables.*quorix::SvtKinds[kind].list, perNode, "v", dir + "node.var");
        AddEntry(variables.*quorix::SvtKinds[binary ? kind + 4 : 4].list, perElement, "e", dir + "element.var");
        quorix::Ensight6LoadCase(options, geometry, &variables, nullptr, nullptr);
    }
    if (binary) zelhost::ForceAllLoads(1);
    zelhost::ResetHost();
    return 0;
}
