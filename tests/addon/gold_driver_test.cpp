// What a Gold load leaves in the host when it succeeds, fails or is stopped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "addon/zel_api.h"
#include "host/zel_host.h"

namespace quorix {
void InitAddOn() noexcept;
}

namespace {

std::string Sample(const std::string& name, const std::string& encoding = "ascii") {
    return std::string(QUORIX_SAMPLES) + "/gold/" + name + "/" + encoding + "/" + name + ".case";
}

bool Load(const std::string& path) { return zelhost::CallLoader({"STANDARDSYNTAX", "1.0", "FILENAME_CASEFILE", path}); }

class GoldDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        zelhost::ResetHost();
        quorix::InitAddOn();
    }
    void TearDown() override {
        zelhost::SendStateChange(ZelStateQuit);
        zelhost::ResetHost();
        EXPECT_EQ(zelhost::ClientDataRegistered(), zelhost::ClientDataReleased());
        EXPECT_TRUE(zelhost::LiveAllocations().empty());
    }
    void Settle(const zelhost::Settings& settings) {
        zelhost::Configure(settings);
        quorix::InitAddOn();
    }
};

TEST_F(GoldDriverTest, StopDuringTheScanLeavesNoFrame) {
    zelhost::Settings settings;
    settings.cancelAtPercent = 50;
    Settle(settings);
    EXPECT_FALSE(Load(Sample("transient_geometry")));
    EXPECT_EQ(zelhost::FrameCount(), 0);
    const auto texts = zelhost::StatusTexts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), "Scanning geometry data.... Click [Stop] to cancel.");
    EXPECT_EQ(texts.back(), "Cancel request acknowledged, please wait...");
    EXPECT_TRUE(zelhost::StateChanges().empty());
}

TEST_F(GoldDriverTest, EarlierDataSetSurvivesAFailureBeforeZones) {
    ASSERT_TRUE(Load(Sample("cube")));
    const int32_t zones = zelhost::ZoneCount();
    const std::string broken = std::string(QUORIX_TESTS_DIR) + "/addon/cases/gold_missing_geometry.case";
    EXPECT_FALSE(Load(broken));
    EXPECT_EQ(zelhost::FrameCount(), 1);
    EXPECT_EQ(zelhost::ZoneCount(), zones);
    const auto messages = zelhost::Messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().text.rfind("Error when reading file ", 0), 0u);
}

TEST_F(GoldDriverTest, BatchModeLogsTheErrorWithoutADialog) {
    zelhost::Settings settings;
    settings.batchMode = true;
    Settle(settings);
    const std::string broken = std::string(QUORIX_TESTS_DIR) + "/addon/cases/gold_missing_geometry.case";
    EXPECT_FALSE(Load(broken));
    const auto messages = zelhost::Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, "error");
    EXPECT_EQ(messages[0].text.rfind("Error when reading file ", 0), 0u);
    EXPECT_FALSE(messages[0].dialog);
}

TEST_F(GoldDriverTest, SuccessAnnouncesZonesThenVariables) {
    ASSERT_TRUE(Load(Sample("cube")));
    const auto changes = zelhost::StateChanges();
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].code, ZelStateZonesAdded);
    EXPECT_EQ(changes[0].members, std::vector<int64_t>{1});
    EXPECT_EQ(changes[1].code, ZelStateVarsAdded);
    EXPECT_EQ(changes[1].members, (std::vector<int64_t>{4, 5, 6, 7}));
    EXPECT_EQ(zelhost::DataSetTitle(), "Ensight Gold");
}

TEST_F(GoldDriverTest, MissingVariableIsReportedAndTheLoadSucceeds) {
    ASSERT_TRUE(Load(Sample("missing_variable")));
    const auto messages = zelhost::Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, "info");
    EXPECT_EQ(messages[0].text.rfind("The following variables were not loaded\n(file was empty or an error was "
                                     "encountered)\n\n",
                                     0),
              0u);
}

}  // namespace
