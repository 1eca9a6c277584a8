// Every kept fuzz input scans without harm; the seeds (not "crash-" inputs) scan to the end.
#include <gtest/gtest.h>

#include "geometry_scan_fixture.h"
#include "support/corpus_inputs.h"

namespace quorix {
namespace {

TEST(FuzzCorpus, GoldGeometryInputs) {
    const auto inputs = test::CorpusInputs("fuzz_gold_geometry");
    for (const auto& [name, bytes] : inputs) {
        SCOPED_TRACE(name);
        test::GeometryScan scan;
        test::ScanBytes(bytes, scan);
        if (name.rfind("crash-", 0) == 0) {
            EXPECT_TRUE(scan.scanned || !scan.error.empty());
        } else {
            EXPECT_TRUE(scan.scanned) << scan.error;
        }
    }
    EXPECT_FALSE(inputs.empty());
}

}  // namespace
}  // namespace quorix
