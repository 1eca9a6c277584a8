// Gold complex variables whose real or imaginary file is missing or damaged:
// the load goes on, the other part loads, and the failed file is named.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "zelhost_runner.h"

namespace {

namespace fs = std::filesystem;
using e2e::Json;

fs::path CopyOfComplexSample(const std::string& tag) {
  const fs::path dir = e2e::FreshFolder("complex_" + tag);
  fs::copy(fs::path(QUORIX_SAMPLES) / "gold" / "complex" / "le", dir, fs::copy_options::recursive);
  return dir;
}

bool Mentions(const Json& report, const std::string& fileName) {
  for (const auto& m : report["messages"].items) {
    if (m["text"].Str().find(fileName) != std::string::npos) return true;
  }
  return false;
}

TEST(ComplexVariables, AFailedPartIsNamedAndTheOtherLoads) {
  const struct {
    const char* name;
    const char* file;
    const char* lost;  // the variable name that must be absent
    const char* kept;
    bool remove;
  } cases[] = {
      {"imaginary_missing", "complex.velocity_i", "velocityIX", "velocityX", true},
      {"real_missing", "complex.pressure_r", "pressure", "pressureI", true},
      {"imaginary_garbage", "complex.pressure_i", "pressureI", "pressure", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path dir = CopyOfComplexSample(c.name);
    if (c.remove) {
      fs::remove(dir / c.file);
    } else {
      std::ofstream(dir / c.file, std::ios::binary | std::ios::trunc) << "C Binary\n\x01\x02garbage";
    }
    for (const char* threads : {"1", "4"}) {
      const auto run = e2e::LoadCase((dir / "complex.case").string(), {"--batch", "--load-all", "--threads", threads});
      ASSERT_EQ(run.status, 0) << run.Describe();
      ASSERT_TRUE(run.report.has_value()) << run.Describe();
      const Json& report = *run.report;
      EXPECT_TRUE(Mentions(report, c.file)) << run.out;
      bool lostSeen = false;
      for (const auto& v : report["variables"].items) lostSeen = lostSeen || v.Str() == c.lost;
      EXPECT_FALSE(lostSeen);
      for (const auto& zone : report["zones"].items) {
        EXPECT_EQ(zone["loadFailures"].number, 0) << zone["name"].Str();
        EXPECT_NE(zone["values"].Find(c.kept), nullptr) << zone["name"].Str() << " lacks " << c.kept;
      }
    }
  }
}

}  // namespace
