#pragma once

#include <string>

// `zelhost case CASE [--json]`: parse a case file and print the record with every step path.
// Returns the process exit status.
int RunCaseCommand(const std::string& casePath, bool json);
