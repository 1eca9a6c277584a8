// Bytes -> case file (up to a line "@@side@@") and side file "t" -> parse,
// every step path built, record released; the host ledger must end empty.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "casefile/case_parser.h"
#include "casefile/file_names.h"
#include "casefile/variable_kinds.h"
#include "host/zel_host.h"
#include "scratch_dir.h"

namespace {

using namespace quorix;

const std::filesystem::path& ScratchDir() {
    static const std::filesystem::path dir = [] {
        const std::filesystem::path base = ScratchRoot();
        std::filesystem::path path = base / ("fuzz_casefile_" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return dir;
}

void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return;
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
}

void BuildStepPaths(const GeometrySectionInfo& geometry, const TimeSectionInfo* timeSets,
                    const FileSectionInfo* fileSets, std::string_view name, int32_t timeSet, int32_t fileSet) {
    const TimeSectionInfo* times = FindTimeSet(timeSets, timeSet);
    const FileSectionInfo* files = FindFileSet(fileSets, fileSet);
    const int32_t steps = times != nullptr && times->numberOfSteps > 0 ? times->numberOfSteps : 1;
    for (int32_t k = 0; k < steps; ++k) {
        const HostString path = BuildDataFileName(geometry.caseDirectory, name, FileNumberForStep(times, files, k));
        float time = 0.0f;
        if (times != nullptr && times->numberOfSteps > 0 && !TimeValueForStep(times, k, time)) __builtin_trap();
    }
}

void BuildAllStepPaths(const GeometrySectionInfo& g, const VariableSectionInfo* variables,
                       const TimeSectionInfo* timeSets, const FileSectionInfo* fileSets) {
    BuildStepPaths(g, timeSets, fileSets, g.modelFileName, g.modelTimeSet, g.modelFileSet);
    BuildStepPaths(g, timeSets, fileSets, g.measuredFileName, g.measuredTimeSet, g.measuredFileSet);
    if (variables == nullptr) return;
    for (const auto& kind : SvtKinds) {
        for (const VarSVT* e = (variables->*kind.list).head; e != nullptr; e = e->next) {
            BuildStepPaths(g, timeSets, fileSets, e->fileName.view(), e->timeSet, e->fileSet);
        }
    }
    for (const auto& kind : ComplexKinds) {
        for (const VarComplex* e = (variables->*kind.list).head; e != nullptr; e = e->next) {
            BuildStepPaths(g, timeSets, fileSets, e->realFileName.view(), e->timeSet, e->fileSet);
        }
    }
}


}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (size_t{1} << 20)) return 0;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    constexpr std::string_view marker = "\n@@side@@\n";
    const size_t split = input.find(marker);
    const std::filesystem::path casePath = ScratchDir() / "c.case";
    WriteFile(casePath, input.substr(0, split));
    WriteFile(ScratchDir() / "t", split == std::string_view::npos ? std::string_view() : input.substr(split + marker.size()));

    bool isEnsight6 = true;
    GeometrySectionInfo geometry;
    VariableSectionInfo* variables = nullptr;
    TimeSectionInfo* timeSets = nullptr;
    FileSectionInfo* fileSets = nullptr;
    zelhost::Settings settings = zelhost::CurrentSettings();
    settings.echoMessages = false;  // keeps the fuzzer's own output readable
    zelhost::Configure(settings);
    if (ParseCaseFile(casePath.c_str(), isEnsight6, geometry, variables, timeSets, fileSets))
        BuildAllStepPaths(geometry, variables, timeSets, fileSets);
    ReleaseVariableSectionInfo(variables);
    ReleaseTimeSets(timeSets);
    ReleaseFileSets(fileSets);
    if (!zelhost::LiveAllocations().empty()) __builtin_trap();
    zelhost::ResetHost();  // forgets the recorded messages
    return 0;
}
