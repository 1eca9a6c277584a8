// The kept inputs of one fuzz target's corpus (fuzz/corpus/<target>/), for
// the tests that replay them.
#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "files.h"

namespace quorix::test {

// File name -> bytes; empty when the folder is missing.
inline std::map<std::string, std::string> CorpusInputs(const std::string& target) {
    std::map<std::string, std::string> inputs;
    const std::filesystem::path corpus = std::filesystem::path(QUORIX_TESTS_DIR) / "../fuzz/corpus" / target;
    if (!std::filesystem::is_directory(corpus)) return inputs;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) inputs[entry.path().filename().string()] = ReadBytes(entry.path());
    return inputs;
}

}  // namespace quorix::test
