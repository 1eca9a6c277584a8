// Every kept input of every fuzz target (fuzz/corpus/<target>/) once through
// its target, as built here: a crash, a trap of the target's own checks or a
// sanitizer report fails the run, and the input's name is the last line of
// stderr then.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "support/corpus_inputs.h"

// Each target's LLVMFuzzerTestOneInput, compiled under the target's name.
#define X(target) extern "C" int target(const uint8_t* data, size_t size);
QUORIX_FUZZ_TARGETS
#undef X

namespace {

struct Target {
    const char* name;
    int (*run)(const uint8_t*, size_t);
};

#define X(target) {#target, target},
const Target kTargets[] = {QUORIX_FUZZ_TARGETS};
#undef X

TEST(FuzzCorpora, EveryInputRunsThroughItsTarget) {
    for (const Target& target : kTargets) {
        const auto inputs = quorix::test::CorpusInputs(target.name);
        EXPECT_FALSE(inputs.empty()) << target.name << " has no corpus";
        for (const auto& [name, bytes] : inputs) {
            std::fprintf(stderr, "%s/%s\n", target.name, name.c_str());
            target.run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        }
    }
}

TEST(FuzzCorpora, EveryCorpusHasItsTarget) {
    for (const auto& corpus : std::filesystem::directory_iterator(std::string(QUORIX_TESTS_DIR) + "/../fuzz/corpus")) {
        const std::string name = corpus.path().filename().string();
        const bool known = std::any_of(std::begin(kTargets), std::end(kTargets),
                                       [&](const Target& t) { return name == t.name; });
        EXPECT_TRUE(known) << name;
    }
}

}  // namespace
