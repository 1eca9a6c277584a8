// The EnSight 6 geometry path on arbitrary bytes: encoding detection, the
// scan, zone creation, the node maps written at load time and every deferred
// load (coordinates, iblank, face maps), in a fresh in-process host per input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "ensight6/ensight6_load_case.h"
#include "host/zel_host.h"
#include "host_api/host_lock.h"
#include "scratch_dir.h"

namespace {

// Inputs above this size only slow the search down.
constexpr size_t MaxInput = 1 << 16;

const std::string& WorkDir() {
    static const std::string dir = [] {
        std::string pattern = ScratchRoot() + "/quorix_fuzz_e6g_XXXXXX";
        const char* made = mkdtemp(pattern.data());
        return (made != nullptr ? pattern : ScratchRoot()) + "/";
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > MaxInput) return 0;
    const std::string path = WorkDir() + "input.geo";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    zelhost::ResetHost();
    quorix::SetAddOnId(ZelUtilAddOnRegister(113, "Quorix fuzz", "1.0", "fuzz"));
    zelhost::Settings settings = zelhost::CurrentSettings();
    settings.batchMode = true;
    settings.echoMessages = false;  // batch mode still prints every error
    zelhost::Configure(settings);
    quorix::Ensight6Selection options;
    quorix::GeometrySectionInfo geometry;
    geometry.modelFileName = path;
    // The coordinates and maps registered for later load are read as well.
    if (quorix::Ensight6LoadCase(options, geometry, nullptr, nullptr, nullptr)) zelhost::ForceAllLoads(1);
    zelhost::DeleteAllFrames();
    if (zelhost::ClientDataRegistered() != zelhost::ClientDataReleased()) __builtin_trap();
    zelhost::ResetHost();
    return 0;
}
