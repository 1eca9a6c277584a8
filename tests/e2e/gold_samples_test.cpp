// Every Gold sample under samples/gold/ loaded through zelhost, compared with the
// <case>.expect.json its writer computed: structure after the load, every array
// after forcing the deferred loads, and identical hashes whatever the encoding
// or the number of loading threads.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "zelhost_runner.h"

namespace {

namespace fs = std::filesystem;
using e2e::Json;
using e2e::Strings;

// Every case comes in these; most also in Fortran binary, as its expectation lists.
const std::vector<std::string> kEncodings{"ascii", "le", "be"};

struct Sample {
  std::string name;
  fs::path dir;
};

void PrintTo(const Sample& s, std::ostream* os) { *os << s.name; }

std::vector<Sample> ListSamples() {
  std::vector<Sample> out;
  const fs::path root = fs::path(QUORIX_SAMPLES) / "gold";
  if (!fs::is_directory(root)) return out;
  for (const auto& entry : fs::directory_iterator(root)) {
    const std::string name = entry.path().filename().string();
    if (fs::exists(entry.path() / (name + ".expect.json"))) out.push_back({name, entry.path()});
  }
  std::sort(out.begin(), out.end(), [](const Sample& a, const Sample& b) { return a.name < b.name; });
  return out;
}

// One zelhost run per sample, encoding and options, shared by the tests that need it.
const e2e::RunResult& Load(const Sample& s, const std::string& encoding, const std::vector<std::string>& extra) {
  static std::map<std::string, e2e::RunResult> cache;
  const std::string casePath = (s.dir / encoding / (s.name + ".case")).string();
  std::string key = casePath;
  for (const auto& a : extra) key += " " + a;
  auto it = cache.find(key);
  if (it == cache.end()) it = cache.emplace(key, e2e::LoadCase(casePath, extra)).first;
  return it->second;
}

bool Close(double got, double want) {
  const double tol = std::max({1e-5 * std::max(std::fabs(got), std::fabs(want)), 1e-6});
  return std::fabs(got - want) <= tol;
}

// Compares a scalar field the expectation names; integers and strings exactly, reals closely.
void ExpectField(const Json& got, const Json& want, const std::string& where) {
  switch (want.kind) {
    case Json::Kind::String:
      EXPECT_EQ(got.Str(), want.text) << where;
      break;
    case Json::Kind::Number:
      EXPECT_EQ(got.kind, Json::Kind::Number) << where;
      EXPECT_TRUE(Close(got.number, want.number)) << where << ": got " << got.number << ", want " << want.number;
      break;
    case Json::Kind::Bool:
      EXPECT_EQ(got.boolean, want.boolean) << where;
      break;
    default:
      break;
  }
}

bool HasMessage(const Json& messages, const Json& message) {
  return std::any_of(messages.items.begin(), messages.items.end(), [&](const Json& m) {
    return m["kind"].Str() == message["kind"].Str() && m["text"].Str() == message["text"].Str();
  });
}

// Every expected message is shown; a valid sample shows no error besides.
void ExpectMessages(const Json& report, const Json& expect) {
  for (const auto& want : expect["messages"].items) {
    EXPECT_TRUE(HasMessage(report["messages"], want)) << want["kind"].Str() << " message missing:\n" << want["text"].Str();
  }
  for (const auto& got : report["messages"].items) {
    if (got["kind"].Str() == "error") {
      EXPECT_TRUE(HasMessage(expect["messages"], got)) << "unexpected error: " << got["text"].Str();
    }
  }
}

// Compares every statistic the expectation lists for one array or map.
void ExpectSummary(const Json* got, const Json& want, const std::string& where) {
  if (got == nullptr) {
    ADD_FAILURE() << where << ": missing";
    return;
  }
  for (const auto& [key, value] : want.members) ExpectField((*got)[key], value, where + " " + key);
}

// Title, variables, messages and every zone field the expectation lists ("values" aside).
void ExpectStructure(const Json& report, const Json& expect) {
  EXPECT_EQ(report["loaded"].boolean, expect["loaded"].boolean);
  EXPECT_EQ(report["datasetTitle"].Str(), expect["datasetTitle"].Str());
  EXPECT_EQ(Strings(report["variables"]), Strings(expect["variables"]));
  ExpectMessages(report, expect);
  const auto& got = report["zones"].items;
  const auto& want = expect["zones"].items;
  ASSERT_EQ(got.size(), want.size()) << "zone count";
  for (size_t z = 0; z < want.size(); ++z) {
    const std::string where = "zone " + std::to_string(z + 1) + " (" + want[z]["name"].Str() + ")";
    for (const auto& [key, value] : want[z].members) {
      // filled only once the deferred loads have run
      if (key != "values" && key != "nodeMap" && key != "faceMap") ExpectField(got[z][key], value, where + " " + key);
    }
  }
}

// Statistics of every array the expectation lists, after a forced load.
void ExpectValues(const Json& report, const Json& expect) {
  const auto& got = report["zones"].items;
  const auto& want = expect["zones"].items;
  ASSERT_EQ(got.size(), want.size());
  for (size_t z = 0; z < want.size(); ++z) {
    const std::string where = "zone " + std::to_string(z + 1) + " (" + want[z]["name"].Str() + ")";
    EXPECT_EQ(got[z]["loadFailures"].number, 0) << where;
    for (const auto& [var, stats] : want[z]["values"].members) {
      ExpectSummary(got[z]["values"].Find(var), stats, where + " values of " + var);
    }
    for (const char* map : {"nodeMap", "faceMap"}) {
      if (const Json* m = want[z].Find(map)) ExpectSummary(got[z].Find(map), *m, where + " " + map);
    }
  }
}

class GoldSample : public ::testing::TestWithParam<Sample> {
 protected:
  void SetUp() override {
    auto e = e2e::ReadJsonFile(GetParam().dir / (GetParam().name + ".expect.json"));
    ASSERT_TRUE(e.has_value()) << "unreadable expectation";
    expect_ = *e;
  }
  // A finished load with a parsed report, or a test failure saying why not.
  const Json* Report(const std::string& encoding, const std::vector<std::string>& extra) {
    const auto& run = Load(GetParam(), encoding, extra);
    EXPECT_EQ(run.status, 0) << run.Describe();
    EXPECT_TRUE(run.report.has_value()) << "no JSON report\n" << run.Describe();
    return run.status == 0 && run.report ? &*run.report : nullptr;
  }
  // The encodings the expectation lists, the three above at least.
  std::vector<std::string> Encodings() const {
    std::vector<std::string> out = Strings(expect_["encodings"]);
    for (const auto& enc : kEncodings) {
      if (std::find(out.begin(), out.end(), enc) == out.end()) out.push_back(enc);
    }
    return out;
  }
  Json expect_;
};

TEST_P(GoldSample, LoadGivesExpectedStructure) {
  for (const auto& enc : Encodings()) {
    SCOPED_TRACE(enc);
    if (const Json* r = Report(enc, {})) ExpectStructure(*r, expect_);
  }
}

TEST_P(GoldSample, ForcedLoadGivesExpectedValues) {
  for (const auto& enc : Encodings()) {
    SCOPED_TRACE(enc);
    if (const Json* r = Report(enc, {"--load-all"})) {
      ExpectStructure(*r, expect_);
      ExpectValues(*r, expect_);
    }
  }
}

// Every encoding, from 1 or 8 threads, gives the hashes of the ASCII load.
TEST_P(GoldSample, EncodingsAndThreadCountsGiveIdenticalHashes) {
  const Json* ascii = Report("ascii", {"--load-all"});
  ASSERT_NE(ascii, nullptr);
  const auto want = e2e::Hashes(*ascii);
  EXPECT_FALSE(want.empty());
  const std::vector<std::vector<std::string>> threadCounts = {{"--load-all"}, {"--load-all", "--threads", "8"}};
  for (const auto& enc : Encodings()) {
    for (const auto& extra : threadCounts) {
      SCOPED_TRACE(enc + " " + extra.back());
      if (const Json* r = Report(enc, extra)) {
        EXPECT_EQ(e2e::Hashes(*r), want);
      }
    }
  }
}

// A field fixed over the steps is read once per part: the later steps share it.
TEST_P(GoldSample, FixedFieldsAreLoadedOncePerPart) {
  const Json* loadsOf = expect_.Find("loadsOf");
  if (loadsOf == nullptr) GTEST_SKIP() << "no field fixed over several steps";
  const Json* r = Report("le", {"--dump-load-requests"});
  ASSERT_NE(r, nullptr);
  for (const auto& [name, count] : loadsOf->members) EXPECT_EQ(e2e::LoadRequestsOf(*r, name), count.number) << name;
  // A host that allows no sharing gets a load of the same file per zone.
  const Json* shared = Report("le", {"--load-all"});
  const Json* apart = Report("le", {"--load-all", "--no-value-sharing"});
  ASSERT_TRUE(shared && apart);
  EXPECT_EQ(e2e::Hashes(*apart), e2e::Hashes(*shared));
}

TEST_P(GoldSample, ForcedLoadReleasesEverything) { e2e::ExpectClean(Load(GetParam(), "le", {"--load-all", "--threads", "8"})); }

INSTANTIATE_TEST_SUITE_P(Samples, GoldSample, ::testing::ValuesIn(ListSamples()),
                         [](const auto& info) { return info.param.name; });

// Each sample's encodings are loaded by the tests above: a missing one fails there.
TEST(GoldSamples, AreCommitted) { EXPECT_GE(ListSamples().size(), 15u) << "run samples/gold/make_gold_samples.py"; }

}  // namespace
