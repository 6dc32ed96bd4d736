// Which data points the host lists after discovery, decided from the module's PGN table.

#include <atomic>

#include "VehicleApp/discovery/SoftwareIdFields.h"
#include "platform/Platform.h"
#include "test/support/AppTest.h"

namespace marl::testing {
namespace {

constexpr uint32_t kSupported = 0xFEE5;
constexpr uint32_t kRefused = 0xFEE6;
constexpr uint32_t kSilent = 0xFEE7;
constexpr uint32_t kSoftwareId = 0xFEDA;

// Read with a query message of its own: the first two query bytes name the PGN asked.
hostsim::DataPointDefinition QueriedDataPoint(TESKID teskId, uint32_t ownPgn, uint32_t queriedPgn) {
    hostsim::DataPointDefinition described = DataPoint(teskId, ownPgn);
    described.attribute.kind = kDpKindPgnFromQueryMessage;
    described.query = {static_cast<uint8_t>(queriedPgn >> 8), static_cast<uint8_t>(queriedPgn), 0x00, 0x11};
    return described;
}

class ParameterVisibilityTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        TESKID teskId = 201;
        for (uint32_t pgn : {kSupported, kRefused, kSilent}) hostsim::AddDataPoint(DataPoint(teskId++, pgn));
        hostsim::AddDataPoint(QueriedDataPoint(204, kSilent, kSupported));
        hostsim::AddDataPoint(QueriedDataPoint(205, kSupported, kSilent));
        hostsim::DataPointDefinition notAvailable = DataPoint(207, kSupported);
        notAvailable.valueText = L"N/A";
        hostsim::AddDataPoint(notAvailable);
        module = AddModule(1, 0x1A);
        module->pgnMap.recordPgn(kSilent);
    }

    void Answer() {
        module->pgnMap.recordResponse(kSupported, false);
        module->pgnMap.recordResponse(kRefused, true);
    }

    ModuleRecordPtr module;
};

TEST_F(ParameterVisibilityTest, OptionOffLeavesEveryDataPointAsItIs) {
    app.Discoveries().SetShowOnlySupported(false);
    hostsim::DataPointDefinition shown = DataPoint(206, kRefused);
    shown.visible = true;
    hostsim::AddDataPoint(shown);

    EXPECT_EQ(app.Discoveries().SetVisibilityForSupportedPgns(*module), 0);
    EXPECT_EQ(hostsim::CallCount("Zorv_SetDataPointVisible"), 0u);
    EXPECT_TRUE(hostsim::SentMessages().empty());
    EXPECT_EQ(Visible({206, 201}), (std::vector<bool>{true, false}));

    app.Discoveries().SetAllDataPointsVisible(*module, true);
    EXPECT_EQ(Visible({201, 202, 203, 204, 205, 206}), std::vector<bool>(6, true));
}

TEST_F(ParameterVisibilityTest, OptionOnFollowsSupportAndTheQueriedPgn) {
    Answer();
    app.Discoveries().SetAllDataPointsVisible(*module, true);
    // 202's PGN was refused, which is no support; 204's queried PGN is supported, 205's own
    // PGN does not count.
    EXPECT_EQ(Visible({201, 202, 203, 204, 205}), (std::vector<bool>{true, false, false, true, false}));
}

TEST_F(ParameterVisibilityTest, AModuleThatNeverAnsweredHidesEverythingAndGivesEleven) {
    app.Discoveries().SetShowOnlySupported(false);
    app.Discoveries().SetAllDataPointsVisible(*module, true);
    app.Discoveries().SetShowOnlySupported(true);

    EXPECT_EQ(app.Discoveries().SetVisibilityForSupportedPgns(*module), 11);
    EXPECT_EQ(Visible({201, 202, 203, 204, 205}), std::vector<bool>(5, false));
    EXPECT_EQ(SentRequests(), (Requests{{kSilent, 0x1A}}))
        << "one more Request for the PGN still unanswered";
    EXPECT_TRUE(HasTrace(2, "CVehicleApp::SetVisibilityForSupportedPgns (Line 1961): Failed to get Supported PGNS from SA: 1A"));
}

TEST_F(ParameterVisibilityTest, SupportedPgnsShowTheirDataPointsAndNotAvailableValuesAreHidden) {
    hostsim::SetResourceString(L"NotAvailable", L"n. v.");
    Answer();

    EXPECT_EQ(app.Discoveries().SetVisibilityForSupportedPgns(*module), 0);
    // 205 is carried by the supported PGN in the host's message table; 207 reads "N/A".
    EXPECT_EQ(Visible({201, 202, 203, 204, 205, 207}), (std::vector<bool>{true, false, false, true, true, false}));
}

TEST_F(ParameterVisibilityTest, ExitDuringTheSettlingPauseSkipsTheNotAvailablePass) {
    hostsim::SetResourceString(L"NotAvailable", L"N/A");
    Answer();

    // The software-identification step is the last before the pause: its look-up of
    // "SPN_965" tells that the pause has begun or is about to.
    std::atomic<bool> finished{false};
    std::thread exiter([&] {
        while (!finished.load() && hostsim::CallCount("Zorv_GetDPIDbyName") == 0) platform::SleepMs(1);
        shared.ExitEvent().Set();
    });
    EXPECT_EQ(app.Discoveries().SetVisibilityForSupportedPgns(*module), 0);
    finished = true;
    exiter.join();

    EXPECT_TRUE(hostsim::DataPoint(207).visible);
    EXPECT_EQ(hostsim::CallCount("Zorv_LoadResourceStringByName"), 0u);
}

}  // namespace
}  // namespace marl::testing
