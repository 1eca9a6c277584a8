// A load request: the instruction list turned into load options, and the case it names.
#pragma once

#include <cstdint>
#include <memory>

#include "casefile/text_lines.h"
#include "host_api/zel_api.h"

namespace quorix {

// One load request's options, filled from the host's instruction list.
struct LoadOptions {
    bool IsEnsight6 = true;
    char* CaseFileName = nullptr;  // host string "Case File Name"
    int32_t ZoneCount = 0;
    int32_t* ZoneArray = nullptr;  // host array "Zone Array"
    int32_t VarCount = 0;          // 0 given is stored as -1
    int32_t* VarArray = nullptr;   // host array "Var Array"
    // The case file, opened once when the request names it: the server-of-servers
    // test, the parse and the master file's reading each start over in it.
    std::unique_ptr<TextLines> caseFile;
};

void ResetLoadOptions(LoadOptions& options);
void ReleaseLoadOptions(LoadOptions& options);
// False refuses the request.
bool ParseLoadInstructions(StringList_pa instructions, LoadOptions& options);
bool LoadCaseFile(LoadOptions& options);

}  // namespace quorix
