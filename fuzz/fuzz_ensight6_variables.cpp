// Both ASCII EnSight 6 variable readers on arbitrary bytes over a fixed
// geometry (two unstructured parts and a block). The input is split at its
// first NUL: per-node file, then per-element file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "addon/host_api/host_lock.h"
#include "ensight6/ensight6_load_case.h"
#include "host/zel_host.h"
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

const std::string& WorkDir() {
    static const std::string dir = [] {
        std::string pattern = ScratchRoot() + "/quorix_fuzz_e6v_XXXXXX";
        const char* made = mkdtemp(pattern.data());
        std::string d = (made != nullptr ? pattern : ScratchRoot()) + "/";
        std::ofstream(d + "fixed.geo", std::ios::binary) << Geometry;
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
    size_t split = std::min(input.find('\0'), input.size());
    const std::string& dir = WorkDir();
    Write(dir + "node.var", input.substr(0, split));
    Write(dir + "element.var", split < input.size() ? input.substr(split + 1) : std::string_view());

    zelhost::ResetHost();
    quorix::SetAddOnId(ZelUtilAddOnRegister(113, "Quorix fuzz", "1.0", "fuzz"));
    {
        quorix::LoadOptions options;
        quorix::GeometrySectionInfo geometry;
        geometry.modelFileName = dir + "fixed.geo";
        quorix::VariableSectionInfo variables;
        quorix::VarSVT perNode;
        quorix::VarSVT perElement;
        AddEntry(variables.vectorPerNode, perNode, "v", dir + "node.var");
        AddEntry(variables.scalarPerElement, perElement, "e", dir + "element.var");
        quorix::Ensight6LoadCase(options, geometry, &variables, nullptr, nullptr);
    }
    zelhost::ResetHost();
    return 0;
}
