// Bytes -> geometry file -> format detection and structure scan.
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

#include "gold/geometry_reader.h"
#include "gold/part_collection.h"
#include "scratch_dir.h"

namespace {

const std::string& ScratchPath() {
    static const std::string path = ScratchRoot() + "/fuzz_gold_geometry_" + std::to_string(::getpid()) + ".geo";
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Larger inputs add nothing the scan has not seen, only time.
    if (size > (size_t{1} << 20)) return 0;
    FILE* out = std::fopen(ScratchPath().c_str(), "wb");
    if (out == nullptr) return 0;
    if (size > 0) std::fwrite(data, 1, size, out);
    std::fclose(out);
    quorix::PartCollection collection(0, 1, 0, 1);
    quorix::CFileEnsightGeomGold reader;
    if (reader.Open(ScratchPath())) {
        bool scanned = reader.ScanParts(collection, 0);
        if (!scanned && reader.errorText().empty()) __builtin_trap();  // a failure must say why
    }
    return 0;
}
