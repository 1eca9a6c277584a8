// Server-of-servers master files through zelhost: the load gives the zones of
// its cases loaded one by one, in order, with their variables joined by name;
// a bad master file or piece fails the load with a message naming it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "support/realwriter.h"
#include "zelhost_runner.h"

namespace {

namespace fs = std::filesystem;
using e2e::Json;
using ::testing::AnyOf;
using ::testing::Contains;
using ::testing::HasSubstr;

std::string MasterText(const std::vector<std::string>& caseFiles, size_t count) {
  std::string text = "FORMAT\ntype:      master_server gold\nSERVERS\nnumber of servers:   " +
                     std::to_string(count) + "\n";
  for (const auto& name : caseFiles) {
    text += "\nmachine id: localhost\nexecutable: server\ndirectory:\nlogin id:\ncasefile: " + name + "\n";
  }
  return text;
}

// What a zone is, apart from its number and strand: shape, time, and the hash of every array.
std::map<std::string, std::string> ZoneFacts(const Json& zone) {
  std::map<std::string, std::string> facts;
  for (const char* key : {"name", "zoneType", "imax", "jmax", "kmax", "nodes", "elements", "solutionTime"}) {
    facts[key] = zone[key].kind == Json::Kind::String ? zone[key].Str() : zone[key].text;
  }
  for (const auto& [var, stats] : zone["values"].members) {
    facts["value " + var] = stats["location"].Str() + " " + stats["hash"].Str();
  }
  for (const char* map : {"nodeMap", "faceMap"}) {
    if (const Json* m = zone.Find(map)) facts[map] = (*m)["hash"].Str() + "#" + (*m)["entries"].text;
  }
  return facts;
}

// A piece without iblank values shows "IBlank" 1 everywhere once another piece has them.
void DropConstantIBlank(std::map<std::string, std::string>& got, const std::map<std::string, std::string>& want,
                        const Json& zone) {
  if (want.count("value IBlank") != 0 || got.count("value IBlank") == 0) return;
  const Json& iblank = zone["values"]["IBlank"];
  EXPECT_EQ(iblank["min"].number, 1) << zone["name"].Str();
  EXPECT_EQ(iblank["max"].number, 1) << zone["name"].Str();
  got.erase("value IBlank");
}

// samples/gold/<sample>/<encoding> copied to the folder's <sample>/, or `to`.
void CopyGoldSample(const quorix::test::TempDir& temp, const std::string& sample, const std::string& encoding,
                const std::string& to = "") {
  fs::copy(e2e::Sample("gold/" + sample + "/" + encoding), temp.Path() / (to.empty() ? sample : to),
           fs::copy_options::recursive);
}

const Json* LoadedReport(const e2e::RunResult& run) {
  EXPECT_EQ(run.status, 0) << run.Describe();
  EXPECT_TRUE(run.report && (*run.report)["loaded"].boolean) << run.Describe();
  return run.status == 0 && run.report ? &*run.report : nullptr;
}

// The master file's load matches the pieces' own loads, zone for zone and in order.
void ExpectZonesOfPieces(const fs::path& master, const std::vector<fs::path>& pieces,
                         const std::vector<std::string>& extra) {
  const auto whole = e2e::LoadCase(master.string(), extra);
  const Json* report = LoadedReport(whole);
  ASSERT_NE(report, nullptr);
  e2e::ExpectClean(whole);
  const auto& zones = (*report)["zones"].items;
  size_t next = 0;
  std::set<std::pair<std::string, std::string>> strandTimes;
  for (const fs::path& piece : pieces) {
    SCOPED_TRACE(piece.string());
    const auto alone = e2e::LoadCase(piece.string(), extra);
    const Json* own = LoadedReport(alone);
    ASSERT_NE(own, nullptr);
    for (const Json& want : (*own)["zones"].items) {
      ASSERT_LT(next, zones.size()) << "fewer zones than the pieces have";
      const Json& zone = zones[next++];
      auto got = ZoneFacts(zone);
      const auto expected = ZoneFacts(want);
      DropConstantIBlank(got, expected, zone);
      EXPECT_EQ(got, expected) << "zone " << next;
      EXPECT_TRUE(strandTimes.insert({zone["strand"].text, zone["solutionTime"].text}).second)
          << "zone " << next << " shares strand and time with an earlier zone";
    }
  }
  EXPECT_EQ(next, zones.size()) << "more zones than the pieces have";
}

TEST(ServerOfServers, ReferencePiecesLoadAsOneDataSet) {
  SKIP_WITHOUT_REALWRITER();
  const fs::path dir = fs::path(QUORIX_REALWRITER).parent_path() / "reference" / "vtk_mandelbrot_sos";
  const std::vector<fs::path> pieces{dir / "mandelbrot1.case", dir / "mandelbrot2.case"};
  for (const auto& threads : {"1", "4"}) {
    SCOPED_TRACE(std::string("threads ") + threads);
    ExpectZonesOfPieces(dir / "mandelbrot.sos", pieces, {"--batch", "--load-all", "--threads", threads});
  }
}

// Pieces that differ: variables of several kinds, complex ones, a block with
// iblank values, steps of transient variables on a steady geometry; one piece
// named by its absolute path, one in quotes for the blank in its name.
TEST(ServerOfServers, DifferentPiecesKeepTheirZonesAndShareVariables) {
  const quorix::test::TempDir temp;
  const std::vector<std::pair<std::string, std::string>> copies{
      {"variables", "le"}, {"struct_iblanked", "be"}, {"variable_steps", "ascii"}, {"complex", "le"}};
  std::vector<std::string> names;
  std::vector<fs::path> pieces;
  for (const auto& [sample, encoding] : copies) {
    const std::string folder = sample == "struct_iblanked" ? "struct iblanked" : sample;
    CopyGoldSample(temp, sample, encoding, folder);
    pieces.push_back(temp.Path() / folder / (sample + ".case"));
    const std::string name = folder + "/" + sample + ".case";
    names.push_back(folder == sample ? name : "\"" + name + "\"");
  }
  names.back() = pieces.back().string();
  const std::string master = temp.Write("all.sos", MasterText(names, names.size()));
  for (const auto& threads : {"1", "4"}) {
    SCOPED_TRACE(std::string("threads ") + threads);
    ExpectZonesOfPieces(master, pieces, {"--load-all", "--threads", threads});
  }

  // "velocity" is a per-element vector in two pieces: one variable of the data set.
  const auto run = e2e::LoadCase(master);
  const Json* report = LoadedReport(run);
  ASSERT_NE(report, nullptr);
  std::map<std::string, int> uses;
  for (const auto& name : (*report)["variables"].items) ++uses[name.Str()];
  EXPECT_EQ(uses["velocityX"], 1);
  EXPECT_EQ(uses["IBlank"], 1);
  EXPECT_EQ((*report)["variables"].items[3].Str(), "IBlank");
}

// A name that an earlier piece gave another kind of variable is not joined: that
// piece's variable is reported not loaded, and its zones lack it.
TEST(ServerOfServers, SameNameOfAnotherKindIsNotLoaded) {
  const quorix::test::TempDir temp;
  // "velocity": per element there, per node in the cube; "temperature" per node in both.
  for (const char* sample : {"variable_steps", "cube"}) CopyGoldSample(temp, sample, "le");
  const auto run = e2e::LoadCase(temp.Write("two.sos", MasterText({"variable_steps/variable_steps.case", "cube/cube.case"}, 2)),
                                 {"--load-all", "--batch"});
  const Json* report = LoadedReport(run);
  ASSERT_NE(report, nullptr);
  const std::vector<std::string> info = e2e::Texts(*report, "info");
  ASSERT_EQ(info.size(), 1u) << run.out;
  EXPECT_NE(info[0].find("cube.velocity"), std::string::npos) << run.out;
  const Json& cube = (*report)["zones"].items.back();
  EXPECT_EQ(cube["name"].Str(), "Vol: cube");
  EXPECT_EQ(cube["values"].Find("velocityX"), nullptr);
  EXPECT_EQ(cube["values"]["temperature"]["location"].Str(), "nodal");
}

// Each bad master file fails the load, leaves no data set, and says what is wrong with which file.
TEST(ServerOfServers, BadMasterFilesFailWithAMessage) {
  const quorix::test::TempDir temp;
  CopyGoldSample(temp, "cube", "ascii");
  fs::copy(e2e::Sample("ensight6/mixed/ascii"), temp.Path() / "e6", fs::copy_options::recursive);
  temp.Write("garbage.case", "FORMAT\ntype: ensight gold\nGEOMETRY\nnonsense here\n");
  const struct {
    const char* name;
    std::string text;
    std::string fragment;
  } cases[] = {
      {"missing_piece", MasterText({"cube/cube.case", "absent/piece.case"}, 2), "absent/piece.case"},
      {"count_too_high", MasterText({"cube/cube.case"}, 3), "gives 3 servers but lists 1 case files"},
      {"count_not_number",
       "FORMAT\ntype: master_server gold\nSERVERS\nnumber of servers: two\ncasefile: cube/cube.case\n",
       "number of servers"},
      {"no_case_files", "FORMAT\ntype: master_server gold\nSERVERS\nnumber of servers: 0\n", "lists no case file"},
      {"empty_name", MasterText({"cube/cube.case", ""}, 2), "without a file name"},
      {"not_gold", "FORMAT\ntype: master_server ensight\nSERVERS\nnumber of servers: 1\ncasefile: cube/cube.case\n",
       "master_server gold"},
      {"ensight6_piece", MasterText({"cube/cube.case", "e6/mixed.case"}, 2), "is not an EnSight Gold case"},
      {"bad_piece", MasterText({"cube/cube.case", "garbage.case"}, 2), "garbage.case"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path master = temp.Write(std::string(c.name) + ".sos", c.text);
    for (const char* mode : {"--answer", "--batch"}) {
      std::vector<std::string> extra{mode};
      if (std::string(mode) == "--answer") extra.push_back("yes");
      const auto run = e2e::LoadCase(master.string(), extra);
      EXPECT_NE(run.status, 0) << run.Describe();
      ASSERT_TRUE(run.report.has_value()) << run.Describe();
      EXPECT_FALSE((*run.report)["loaded"].boolean);
      EXPECT_TRUE((*run.report)["zones"].items.empty()) << "a failed load leaves no zones";
      e2e::ExpectClean(run);
      const std::vector<std::string> errors = e2e::Texts(*run.report, "error");
      EXPECT_THAT(errors, Contains(HasSubstr(c.fragment)));
      EXPECT_THAT(errors, Contains(HasSubstr(master.filename().string()))) << "the message names the master file";
    }
  }
}

// A master file cut anywhere after its type either loads its complete pieces or fails
// with an error naming it; never a crash or a silent failure.
TEST(ServerOfServers, TruncatedMasterFileLoadsOrFailsWithAMessage) {
  const quorix::test::TempDir temp;
  for (const char* sample : {"cube", "parts125"}) CopyGoldSample(temp, sample, "le");
  const std::string text = MasterText({"cube/cube.case", "parts125/parts125.case"}, 2);
  // Cut before its type the file is no master file, and no longer this reader's.
  const size_t typed = text.find("master_server") + std::string("master_server").size();
  for (size_t length = typed; length <= text.size(); length += 3) {
    SCOPED_TRACE(length);
    const auto run = e2e::LoadCase(temp.Write("cut.sos", text.substr(0, length)), {"--batch"});
    ASSERT_TRUE(run.report.has_value()) << run.Describe();
    if (run.status == 0) {
      EXPECT_TRUE((*run.report)["loaded"].boolean);
      EXPECT_FALSE((*run.report)["zones"].items.empty());
    } else {
      EXPECT_LT(run.status, 128) << run.Describe();
      EXPECT_THAT(e2e::Texts(*run.report, "error"), Contains(AnyOf(HasSubstr("cut.sos"), HasSubstr("case file"))));
    }
  }
}

}  // namespace
