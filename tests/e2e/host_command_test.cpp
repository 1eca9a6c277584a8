// zelhost's command line and the host behaviours it exposes, through the real add-on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_fixture.h"
#include "zelhost_runner.h"

namespace {

using e2e::Json;

const std::string GoldCase = std::string(QUORIX_SAMPLES) + "/gold/cube/cube.case";
const std::string Ensight6Case = std::string(QUORIX_SAMPLES) + "/ensight6/steady_var3/ascii/steady_var3.case";

std::vector<std::string> MessageTexts(const Json& report) {
    std::vector<std::string> texts;
    for (const Json& message : report["messages"].items) texts.push_back(message["kind"].Str() + ": " + message["text"].Str());
    return texts;
}

struct UsageRow {
    const char* name;
    std::vector<std::string> args;
};

TEST(HostCommand, UnusableCommandLinesExitWithStatus2) {
    const UsageRow rows[] = {
        {"no command", {"--json"}},
        {"unknown command", {"open", GoldCase}},
        {"unknown option", {"load", GoldCase, "--fast"}},
        {"load without a case", {"load"}},
        {"load with two cases", {"load", GoldCase, GoldCase}},
        {"run without instructions", {"run"}},
        {"pick without a case", {"pick"}},
        {"threads 0", {"load", GoldCase, "--threads", "0"}},
        {"threads not a number", {"load", GoldCase, "--threads", "x"}},
        {"answer maybe", {"load", GoldCase, "--answer", "maybe"}},
        {"cancel beyond 100", {"load", GoldCase, "--cancel-at", "101"}},
        {"refuse registration 0", {"load", GoldCase, "--refuse-registration", "0"}},
        {"option without its value", {"load", GoldCase, "--addon"}},
        {"host version of three parts", {"load", GoldCase, "--host-version", "12.1.0"}},
        {"add-on that does not exist", {"load", GoldCase, "--addon", "/nonexistent/libquorix.so"}},
    };
    for (const UsageRow& row : rows) {
        SCOPED_TRACE(row.name);
        const e2e::RunResult run = e2e::RunZelhost(row.args);
        EXPECT_EQ(run.status, 2) << run.Describe();
        EXPECT_FALSE(run.err.empty());
    }
}

TEST(HostCommand, HelpNamesEveryOption) {
    const e2e::RunResult run = e2e::RunZelhost({"--help"});
    EXPECT_EQ(run.status, 0);
    for (const char* option : {"--batch", "--answer", "--host-version", "--cancel-at", "--addon", "--dialog-cancel",
                               "--refuse-registration", "--no-raw-node-map", "--json", "--load-all", "--threads",
                               "--time", "--dump-load-requests", "--dump-connectivity"}) {
        EXPECT_NE(run.out.find(option), std::string::npos) << option;
    }
}

struct VersionRow {
    const char* version;
    bool loads;
};

TEST(HostCommand, VersionGate) {
    const VersionRow rows[] = {{"12.1.0.0", true}, {"12.1-0-1", true}, {"13.0.0.0", true},
                               {"12.0.9.9", false}, {"12.0.0.0", false}, {"11.9.0.0", false}};
    for (const VersionRow& row : rows) {
        SCOPED_TRACE(row.version);
        const e2e::RunResult run = e2e::LoadCase(GoldCase, {"--host-version", row.version});
        ASSERT_TRUE(run.report) << run.Describe();
        EXPECT_EQ((*run.report)["loaded"].boolean, row.loads);
        EXPECT_EQ(run.status, row.loads ? 0 : 1);
        if (!row.loads) {
            EXPECT_EQ(MessageTexts(*run.report),
                      std::vector<std::string>{"error: Add-on \"Quorix\" requires Zelvane version 12.1-0-0\n or "
                                               "later.  Please contact Zelvane Technical Support."});
        }
        e2e::ExpectClean(run);
    }
}

// The dialog lists only the files its filter admits: picking another acts as a cancel.
TEST(HostCommand, PickGoesThroughTheFileDialog) {
    struct Row {
        const char* name;  // of the case file, copied from the cube's; empty: the dialog is cancelled
        bool loads;
    };
    const Row rows[] = {{"cube.case", true}, {"flow.encas", true}, {"flow.encase", true}, {"FLOW.CASE", true},
                        {"flow.txt", false}, {"", false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        quorix::test::TempDir dir;
        dir.Write("cube.geo", quorix::test::ReadBytes(std::string(QUORIX_SAMPLES) + "/gold/cube/le/cube.geo"));
        const std::string casePath = dir.Write(row.name, "FORMAT\ntype: ensight gold\nGEOMETRY\nmodel: cube.geo\n");
        const e2e::RunResult run = e2e::RunZelhost(row.name[0] != '\0' ? std::vector<std::string>{"pick", casePath, "--json"}
                                                                      : std::vector<std::string>{"pick", "--dialog-cancel", "--json"});
        ASSERT_TRUE(run.report) << run.Describe();
        EXPECT_EQ(run.status, row.loads ? 0 : 1);
        EXPECT_EQ((*run.report)["zones"].items.size(), row.loads ? 1u : 0u);
        EXPECT_EQ((*run.report)["datasetTitle"].IsNull(), !row.loads);
        EXPECT_TRUE(e2e::Texts(*run.report).empty());
        e2e::ExpectClean(run);  // state change 15 released the remembered case file name
    }
}

TEST(HostCommand, NoToTheDataLossQuestionKeepsTheDataSet) {
    const std::string question = "question: Warning: All current data will be lost. Continue?";
    const e2e::RunResult declined =
        e2e::RunZelhost({"pick", Ensight6Case, "--preload", GoldCase, "--answer", "no", "--json"});
    ASSERT_TRUE(declined.report) << declined.Describe();
    EXPECT_FALSE((*declined.report)["loaded"].boolean);
    EXPECT_EQ(MessageTexts(*declined.report), std::vector<std::string>{question});
    EXPECT_EQ((*declined.report)["datasetTitle"].Str(), "Ensight Gold");  // the preloaded one
    e2e::ExpectClean(declined);

    const e2e::RunResult accepted = e2e::RunZelhost({"pick", Ensight6Case, "--preload", GoldCase, "--json"});
    ASSERT_TRUE(accepted.report) << accepted.Describe();
    EXPECT_TRUE((*accepted.report)["loaded"].boolean);
    EXPECT_EQ(MessageTexts(*accepted.report), std::vector<std::string>{question});
    e2e::ExpectClean(accepted);
}

TEST(HostCommand, RawInstructionsWithAnotherSyntaxAreRefusedSilently) {
    const e2e::RunResult run =
        e2e::RunZelhost({"run", "STANDARDSYNTAX", "1.1", "FILENAME_CASEFILE", GoldCase, "--json"});
    ASSERT_TRUE(run.report) << run.Describe();
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(MessageTexts(*run.report).empty());
    e2e::ExpectClean(run);
}

TEST(HostCommand, EveryRefusedRegistrationIsReleasedByTheAddOn) {
    for (int n = 1; n <= 8; ++n) {
        SCOPED_TRACE("refuse registration " + std::to_string(n));
        for (const std::string& casePath : {GoldCase, Ensight6Case, e2e::Sample("gold/measured/le/measured.case")}) {
            const e2e::RunResult run =
                e2e::LoadCase(casePath, {"--load-all", "--refuse-registration", std::to_string(n)});
            EXPECT_LE(run.status, 1) << run.Describe();
            e2e::ExpectClean(run);
        }
    }
}

TEST(HostCommand, CancelStopsTheLoadCleanly) {
    const e2e::RunResult run = e2e::LoadCase(GoldCase, {"--cancel-at", "0"});
    ASSERT_TRUE(run.report) << run.Describe();
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE((*run.report)["loaded"].boolean);
    bool acknowledged = false;
    for (const Json& text : (*run.report)["statusTexts"].items) {
        acknowledged = acknowledged || text.Str() == "Cancel request acknowledged, please wait...";
    }
    EXPECT_TRUE(acknowledged) << run.out;
    e2e::ExpectClean(run);
}

TEST(HostCommand, ReportNeverForcesALoad) {
    const e2e::RunResult lazy = e2e::LoadCase(GoldCase, {"--dump-load-requests"});
    ASSERT_TRUE(lazy.report) << lazy.Describe();
    const Json& zone = (*lazy.report)["zones"].items.at(0);
    EXPECT_TRUE(zone["values"].members.empty());
    EXPECT_EQ(zone.Find("nodeMap"), nullptr);
    EXPECT_FALSE((*lazy.report)["loadRequests"].items.empty());
    EXPECT_EQ((*lazy.report)["loadRequests"].items.at(0)["kind"].Str(), "values");

    const e2e::RunResult forced = e2e::LoadCase(GoldCase, {"--load-all", "--dump-connectivity"});
    ASSERT_TRUE(forced.report) << forced.Describe();
    const Json& loaded = (*forced.report)["zones"].items.at(0);
    EXPECT_EQ(loaded["values"].members.size(), (*forced.report)["variables"].items.size());
    EXPECT_EQ(loaded["nodeMap"]["nodes"].items.size(), std::stoul(loaded["nodeMap"]["entries"].text));
    e2e::ExpectClean(forced);
}

// Descriptions may hold any byte: the report stays valid JSON, UTF-8 kept, other bytes as Latin-1.
TEST(HostCommand, ZoneNamesOfAnyBytesStayValidJson) {
    quorix::test::TempDir directory;
    directory.Write("t.geo",
                    "first\nsecond\nnode id off\nelement id off\npart\n         1\n"
                    "caf\xe9 \"q\"\ttab\xc3\xa9\ncoordinates\n         3\n"
                    " 0.00000e+00\n 1.00000e+00\n 0.00000e+00\n 0.00000e+00\n 0.00000e+00\n 1.00000e+00\n"
                    " 0.00000e+00\n 0.00000e+00\n 0.00000e+00\ntria3\n         1\n         1         2         3\n");
    const std::string casePath = directory.Write("t.case", "FORMAT\ntype: ensight gold\nGEOMETRY\nmodel: t.geo\n");
    const e2e::RunResult run = e2e::LoadCase(casePath, {"--load-all"});
    ASSERT_TRUE(run.report) << run.Describe();
    const Json& zone = (*run.report)["zones"].items.at(0);
    EXPECT_EQ(zone["name"].Str(), "Surf: caf\xc3\xa9 \"q\"\ttab\xc3\xa9");
    EXPECT_EQ(zone["nodeMap"]["entries"].text, "3");
    e2e::ExpectClean(run);
}

}  // namespace
