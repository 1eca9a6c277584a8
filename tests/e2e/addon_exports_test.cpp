// The add-on shows the host exactly one entry point.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "zelhost_runner.h"

namespace {

std::vector<std::string> DefinedDynamicSymbols(const std::string& library) {
    const e2e::RunResult nm = e2e::RunProgram({"nm", "-D", "--defined-only", library});
    std::vector<std::string> symbols;
    std::istringstream lines(nm.out);
    for (std::string line; std::getline(lines, line);) symbols.push_back(line.substr(line.find_last_of(' ') + 1));
    return symbols;
}

TEST(AddOnExports, OnlyTheEntryPoint) {
    EXPECT_EQ(DefinedDynamicSymbols(QUORIX_ADDON_PATH), std::vector<std::string>{"InitZelAddOn113"});
}

}  // namespace
