#include "apps/case_steps.h"

#include "casefile/file_names.h"

using namespace quorix;

std::vector<std::string> StepPaths(const CaseRecord& record, std::string_view name, int32_t timeSet,
                                   int32_t fileSet) {
    const TimeSectionInfo* times = FindTimeSet(record.timeSets, timeSet);
    const FileSectionInfo* files = FindFileSet(record.fileSets, fileSet);
    const int32_t steps = times != nullptr && times->numberOfSteps > 0 ? times->numberOfSteps : 1;
    std::vector<std::string> paths;
    paths.reserve(static_cast<size_t>(steps));
    for (int32_t k = 0; k < steps; ++k) {
        const HostString path =
            BuildDataFileName(record.geometry.caseDirectory, name, FileNumberForStep(times, files, k));
        paths.emplace_back(path.view());
    }
    return paths;
}
