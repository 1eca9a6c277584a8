#include "apps/case_command.h"

#include <cstdio>

int RunCaseCommand(const std::string& casePath, bool) {
    std::fprintf(stderr, "case: not available yet (%s)\n", casePath.c_str());
    return 2;
}
