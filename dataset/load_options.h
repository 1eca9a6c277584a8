// One load request's options, filled from the host's instruction list.
#pragma once

#include <cstdint>

namespace quorix {

struct LoadOptions {
    bool IsEnsight6 = true;
    char* CaseFileName = nullptr;  // host string "Case File Name"
    int32_t ZoneCount = 0;
    int32_t* ZoneArray = nullptr;  // host array "Zone Array"
    int32_t VarCount = 0;          // 0 given is stored as -1
    int32_t* VarArray = nullptr;   // host array "Var Array"
};

}  // namespace quorix
