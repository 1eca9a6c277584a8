// The kept inputs of the differential fuzz target: the deferred loaders and the
// reference loader must still read each of them alike.
#include <gtest/gtest.h>

#include "fuzz/differential_load.h"
#include "support/corpus_inputs.h"

namespace quorix {
namespace {

TEST(DifferentialCorpus, LoadersAgreeWithReference) {
    const auto inputs = test::CorpusInputs("fuzz_differential");
    for (const auto& [name, bytes] : inputs) {
        EXPECT_EQ(differential::Run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), "") << name;
    }
    EXPECT_FALSE(inputs.empty());
}

}  // namespace
}  // namespace quorix
