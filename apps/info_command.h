#pragma once

#include <string>

// `zelhost info CASE [--json]`: what a case holds, from the case file and a
// structure scan of its first geometry file; no values are read. Returns the
// process exit status: 0 when the case parsed, its geometry scanned and no
// file it names is missing.
int RunInfoCommand(const std::string& casePath, bool json);

struct CaseInfo {
    std::string text;  // empty when the case file did not parse (the parser has said why)
    int status = 1;    // as RunInfoCommand returns it
};
CaseInfo DescribeCase(const std::string& casePath, bool json);
