// The add-on shows the host exactly one entry point.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<std::string> DefinedDynamicSymbols(const std::string& library) {
    const std::string command = "nm -D --defined-only '" + library + "'";
    std::vector<std::string> symbols;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return symbols;
    char line[4096];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        std::string text(line);
        const size_t last = text.find_last_of(' ');
        std::string name = text.substr(last + 1);
        while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
        symbols.push_back(name);
    }
    pclose(pipe);
    return symbols;
}

TEST(AddOnExports, OnlyTheEntryPoint) {
    EXPECT_EQ(DefinedDynamicSymbols(QUORIX_ADDON_PATH), std::vector<std::string>{"InitZelAddOn113"});
}

}  // namespace
