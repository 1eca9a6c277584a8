// Every kept fuzz input scans without harm; the seeds (not "crash-" inputs) scan to the end.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "geometry_scan_fixture.h"

namespace quorix {
namespace {

TEST(FuzzCorpus, GoldGeometryInputs) {
    const std::filesystem::path corpus = std::filesystem::path(QUORIX_TESTS_DIR) / "../fuzz/corpus/fuzz_gold_geometry";
    ASSERT_TRUE(std::filesystem::is_directory(corpus));
    int inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        test::GeometryScan scan;
        test::ScanBytes(bytes.str(), scan);
        if (name.rfind("crash-", 0) == 0) {
            EXPECT_TRUE(scan.scanned || !scan.error.empty());
        } else {
            EXPECT_TRUE(scan.scanned) << scan.error;
        }
        ++inputs;
    }
    EXPECT_GT(inputs, 0);
}

}  // namespace
}  // namespace quorix
