// Failed loads through zelhost: batch mode shows no dialog, but every failure
// still leaves its error, byte for byte the text a dialog would show, in the
// report's messages and on stderr, naming the file at fault. Outside batch
// mode the same errors are shown once each.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "case_fixture.h"
#include "zelhost_runner.h"

namespace {

namespace fs = std::filesystem;
using quorix::test::TempDir;
using casetest::CopySample;
using e2e::Sample;
using ::testing::AllOf;
using ::testing::Contains;
using ::testing::HasSubstr;

struct LoggedError {
  std::string text;
  bool dialog = false;
};

std::vector<LoggedError> Errors(const e2e::RunResult& run) {
  std::vector<LoggedError> errors;
  if (!run.report) return errors;
  for (const e2e::Json& message : (*run.report)["messages"].items) {
    if (message["kind"].Str() == "error") errors.push_back({message["text"].Str(), message["dialog"].boolean});
  }
  return errors;
}

size_t Occurrences(const std::string& haystack, const std::string& needle) {
  size_t count = 0;
  for (size_t at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + 1)) ++count;
  return count;
}

// The failed load in batch mode and without it: the same errors, each logged
// once and printed once, at least one naming `file`; dialogs only outside batch mode.
void ExpectExplainedFailure(const std::string& casePath, const std::string& file, const std::vector<std::string>& extra) {
  std::vector<std::string> batchOptions{"--batch"};
  batchOptions.insert(batchOptions.end(), extra.begin(), extra.end());
  const e2e::RunResult batch = e2e::LoadCase(casePath, batchOptions);
  const e2e::RunResult interactive = e2e::LoadCase(casePath, extra);
  for (const e2e::RunResult* run : {&batch, &interactive}) {
    const bool inBatch = run == &batch;
    SCOPED_TRACE(inBatch ? "batch mode" : "interactive");
    ASSERT_TRUE(run->report.has_value()) << run->Describe();
    EXPECT_EQ(run->status, 1) << run->Describe();
    const std::vector<LoggedError> errors = Errors(*run);
    ASSERT_FALSE(errors.empty()) << run->Describe();
    bool named = false;
    for (const LoggedError& error : errors) {
      named = named || error.text.find(file) != std::string::npos;
      EXPECT_EQ(error.dialog, !inBatch) << error.text;
      EXPECT_EQ(Occurrences(run->err, error.text + "\n"), 1u) << "stderr:\n" << run->err;
    }
    EXPECT_TRUE(named) << "no error names " << file << "\n" << run->out;
  }
  const std::vector<LoggedError> batchErrors = Errors(batch), shownErrors = Errors(interactive);
  ASSERT_EQ(batchErrors.size(), shownErrors.size()) << batch.out << "\n" << interactive.out;
  for (size_t i = 0; i < batchErrors.size(); ++i) EXPECT_EQ(batchErrors[i].text, shownErrors[i].text);
}

// A geometry file missing, garbage, or EnSight 6 Fortran (refused with a message of its own).
TEST(BatchMessages, UnreadableGeometryFile) {
  const auto garbage = [](std::string bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 37 % 251);
    return bytes;
  };
  const struct {
    const char* name;
    const char* sample;
    const char* geometry;
    std::function<std::string(std::string)> change;  // of the geometry; an empty result leaves it out
  } rows[] = {
      {"missing", "gold/cube/le/cube.case", "cube.geo", [](const std::string&) { return std::string(); }},
      {"garbage, ASCII case", "gold/cube/ascii/cube.case", "cube.geo", garbage},
      {"garbage, C binary case", "gold/cube/le/cube.case", "cube.geo", garbage},
      {"EnSight 6 Fortran", "ensight6/failures/fortran.case", "fortran.geo", [](std::string bytes) { return bytes; }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    const std::string casePath = CopySample(dir, Sample(row.sample), [&](const std::string& name, std::string bytes) {
      return name == row.geometry ? row.change(bytes) : bytes;
    });
    ExpectExplainedFailure(casePath, dir.Prefix() + row.geometry, {});
  }
}

// A FIFO in place of a file the case names, or a device as the case, fails
// at once with a message naming it: opening a FIFO must not wait for a writer.
// A variable file of a Gold case is left out, as when it is missing.
TEST(BatchMessages, NotARegularFile) {
  const std::string timeSet =
      "FORMAT\ntype: ensight gold\nGEOMETRY\nmodel: cube.geo\nTIME\ntime set: 1\nnumber of steps: 1\n";
  struct Row {
    const char* name;
    const char* sample;   // copied into the folder unless empty
    const char* caseFile;
    const char* special;  // made a FIFO in the folder; a device when absolute
    std::map<std::string, std::string> files;  // written over the copies
    bool loads;
  };
  const Row rows[] = {
      {"case file", "gold/cube/le/cube.case", "cube.case", "cube.case", {}, false},
      {"Gold geometry", "gold/cube/le/cube.case", "cube.case", "cube.geo", {}, false},
      {"Gold variable", "gold/cube/le/cube.case", "cube.case", "cube.temperature", {}, true},
      {"time values file", "gold/cube/le/cube.case", "cube.case", "times.txt",
       {{"cube.case", timeSet + "time values file: times.txt\n"}}, false},
      {"filename numbers file", "gold/cube/le/cube.case", "cube.case", "numbers.txt",
       {{"cube.case", timeSet + "time values: 0\nfilename numbers file: numbers.txt\n"}}, false},
      {"server-of-servers piece", "gold/cube/le/cube.case", "all.sos", "piece.case",
       {{"all.sos", "FORMAT\ntype: master_server gold\nSERVERS\nnumber of servers: 1\ncasefile: piece.case\n"}}, false},
      {"EnSight 6 geometry", "ensight6/mixed/ascii/mixed.case", "mixed.case", "mixed.geo", {}, false},
      {"EnSight 6 variable", "ensight6/mixed/ascii/mixed.case", "mixed.case", "mixed.velocity", {}, false},
      {"/dev/null as the case", "", "/dev/null", "/dev/null", {}, false},
      {"/dev/zero as the case", "", "/dev/zero", "/dev/zero", {}, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    if (row.sample[0] != '\0') CopySample(dir, Sample(row.sample));
    for (const auto& [name, text] : row.files) dir.Write(name, text);
    const auto inFolder = [&](const std::string& name) { return name[0] == '/' ? name : dir.Prefix() + name; };
    const std::string special = inFolder(row.special);
    if (row.special[0] != '/') {
      fs::remove(special);
      ASSERT_EQ(mkfifo(special.c_str(), 0600), 0) << special;
    }
    // The watchdog: a hang is killed and fails the test.
    const e2e::RunResult run = e2e::LoadCase(inFolder(row.caseFile), {"--batch", "--load-all"}, 5);
    ASSERT_FALSE(run.timedOut) << run.Describe();
    EXPECT_EQ(run.status, row.loads ? 0 : 1) << run.Describe();
    ASSERT_TRUE(run.report.has_value()) << run.Describe();
    EXPECT_THAT(e2e::Texts(*run.report), Contains(AllOf(HasSubstr(row.special), HasSubstr("not a regular file"))))
        << run.Describe();
  }
}

// A failed deferred load tells which file and what it could not load, once,
// also when several threads force loads at the same time.
void ExpectOneErrorPerFailedLoad(const std::string& casePath, const std::string& file) {
  for (const char* threads : {"1", "4"}) {
    SCOPED_TRACE(std::string(threads) + " threads");
    const e2e::RunResult run = e2e::LoadCase(casePath, {"--batch", "--load-all", "--threads", threads});
    ASSERT_TRUE(run.report.has_value()) << run.Describe();
    EXPECT_TRUE((*run.report)["loaded"].boolean) << run.out;
    ASSERT_EQ((*run.report)["forced"]["failures"].text, "1") << run.out;
    const std::vector<LoggedError> errors = Errors(run);
    ASSERT_FALSE(errors.empty()) << run.out;
    EXPECT_EQ(errors[0].text.rfind("Error when reading file " + file + "\nCould not load the ", 0), 0u) << errors[0].text;
    // At most the place where the reader stopped follows.
    ASSERT_LE(errors.size(), 2u) << run.out;
    if (errors.size() == 2) {
      EXPECT_EQ(errors[1].text.rfind("File " + file + ", ", 0), 0u) << errors[1].text;
    }
  }
  ExpectExplainedFailure(casePath, file, {"--load-all"});
}

// An ASCII array one value short passes the scan, which only counts lines.
TEST(BatchMessages, ForcedLoadOfAnArrayShortOfAValue) {
  TempDir dir;
  const std::string casePath =
      CopySample(dir, Sample("gold/cube/ascii/cube.case"), [](const std::string& name, std::string bytes) {
        if (name != "cube.temperature") return bytes;
        const size_t lastLine = bytes.rfind('\n', bytes.size() - 2);
        return bytes.substr(0, lastLine + 1) + "\n";
      });
  ExpectOneErrorPerFailedLoad(casePath, dir.Prefix() + "cube.temperature");
}

// The scan skips connectivity; a node number one past the part's fails the forced load of the node map.
TEST(BatchMessages, ForcedLoadOfConnectivityNamingAMissingNode) {
  TempDir dir;
  const std::string casePath =
      CopySample(dir, Sample("gold/cube/le/cube.case"), [](const std::string& name, std::string bytes) {
        if (name != "cube.geo") return bytes;
        const size_t block = bytes.find("hexa8");
        if (block == std::string::npos) return std::string();
        const size_t firstNode = block + 80 + 4;
        bytes.replace(firstNode, 4, std::string("\x09\x00\x00\x00", 4));  // node 9 of 8, little-endian
        return bytes;
      });
  ExpectOneErrorPerFailedLoad(casePath, dir.Prefix() + "cube.geo");
}

}  // namespace
