// The module's setup on the bus after its file is loaded: the adapter's filter, the
// tool's address claim, categories, discovery, and the VIN path of the adapters that
// defer discovery.

#include "VehicleApp/receive/Categories.h"
#include "host/ZorvLookup.h"
#include "test/support/AppTest.h"

namespace marl::testing {
namespace {

constexpr ZCategoryId kRequestPgnsCategory = 77;
constexpr ZCategoryId kTripDataCategory = 31;
constexpr TESKID kVinTeskId = 500;
constexpr uint32_t kVinPgn = 0xFEEC;
constexpr TESKID kEmptyMakeTeskId = 601;
constexpr TESKID kFilledMakeTeskId = 602;

class FinishTest : public RegistrationTest {
protected:
    void SetUp() override {
        RegistrationTest::SetUp();
        hostsim::AddCategory(Category(kRequestPgnsCategory, "RequestPGNs"));
        hostsim::AddCategory(Category(kTripDataCategory, "TripData_Engine"));
    }

    // Whether the supported-PGN list was built: it starts from the "RequestPGNs" category.
    static bool BuiltSupportedPgnList() { return CallsWithArg("Zorv_GetCategoryDPs", 2, std::to_string(kRequestPgnsCategory)) != 0; }
};

// A module registered on a channel that has one already is a client of the first one's
// connection and is filtered through it, also when it is named by its make (DTNA, JCB)
// and has no component address; the tool claims its address once per channel.
TEST_F(FinishTest, ModulesOfAChannelShareItsConnectionAndTheToolsAddressClaim) {
    ASSERT_EQ(Register(10, Info(0x05, 1)), 0);
    ASSERT_EQ(Register(11, Info(0x17, 1)), 0);
    ASSERT_EQ(Register(12, Info(0x21, 2)), 0);
    ASSERT_EQ(Register(13, Info(0x27, 1, "DTNA")), 0);
    ASSERT_EQ(Register(14, Info(0x31, 1, "JCB")), 0);

    EXPECT_EQ(ArgOf("Zorv_Connect", 4), (Texts{"1", "0", "1", "0", "0"})) << "client flags";
    EXPECT_EQ(CallCount("GetDeviceProductId"), 2u) << "a new channel reads the adapter again";
    EXPECT_EQ(app.Modules().SendHandles(), (std::vector<int32_t>{10, 12}));
    EXPECT_EQ(CallsTo("Zorv_SendCommand")[0].args, (Texts{"10", "4", "04 00 00 00 00 05 00", "7", "0", "1", "null"}));
    EXPECT_EQ(ArgOf("Zorv_SendCommand", 0), (Texts{"10", "10", "12", "10", "10"}));
    EXPECT_EQ(ArgOf("Zorv_SendCommand", 2), (Texts{"04 00 00 00 00 05 00", "04 00 00 00 00 17 00", "04 00 00 00 00 21 00",
                                                   "04 00 00 00 00 27 00", "04 00 00 00 00 31 00"}));
    EXPECT_EQ(ArgOf("Zorv_EnableParsing", 0), (Texts{"10", "10", "10", "10", "12", "12", "10", "10", "10", "10"}));
    EXPECT_EQ(ArgOf("ClaimBusAddress", 0), (Texts{"10", "12"}));
    EXPECT_EQ(ArgOf("ClaimBusAddress", 1), (Texts{"249", "249"}));

    EXPECT_EQ(app.Receiver().CategoryId(kCategoryTripData), kTripDataCategory);
    EXPECT_EQ(ArgOf("Zorv_SetVehicleData", 1), Texts(5, std::to_string(reinterpret_cast<uintptr_t>(&app))));
}

TEST_F(FinishTest, FailuresOfTheBusSetupAreReturned) {
    AddModule(1, kQuickAddress, 1, kRestrictedModuleType);
    app.SetConnected(true);

    hostsim::SetResult("Zorv_SendCommand", 44);
    EXPECT_EQ(app.Registrations().FinishRegistration(1), 44);
    EXPECT_EQ(TraceCodes("CVehicleApp::FinishRegistration (Line 951) :: SetFilterForSourceAddress Failed for Module - 5"),
              std::vector<ZResult>{44});
    EXPECT_EQ(CallCount("ClaimBusAddress"), 0u);
    hostsim::ClearResult("Zorv_SendCommand");

    hostsim::SetResult("ClaimBusAddress", 9);
    EXPECT_EQ(app.Registrations().FinishRegistration(1), 9);
    EXPECT_EQ(CallCount("Zorv_GetCategoryCount"), 0u);
    hostsim::ClearResult("ClaimBusAddress");

    hostsim::RemoveLookup(zorv::kLookupClaimBusAddress);
    EXPECT_EQ(app.Registrations().FinishRegistration(1), 20);
    EXPECT_EQ(TracesWith("CVehicleApp::SendClaimDiagToolAddress (Line 227) ClaimBusAddress == NULL").size(), 1u);
    hostsim::RestoreLookup(zorv::kLookupClaimBusAddress);

    app.SetConnected(false);
    EXPECT_EQ(app.Registrations().FinishRegistration(1), 0xFFFF);
    EXPECT_EQ(CallCount("Zorv_SetVehicleData"), 0u);

    EXPECT_EQ(app.Registrations().FinishRegistration(99), 5);
}

TEST_F(FinishTest, RestrictedModuleTypeListsOnlyEngineTransmissionAndBrakes) {
    // Discovery itself is cut short at its first exit check.
    shared.ExitEvent().Set();
    // The brakes at 0x0B and at another of their addresses; other module types list every address.
    const std::tuple<uint8_t, uint32_t, bool> cases[] = {
        {0x0B, kRestrictedModuleType, true}, {0x17, kRestrictedModuleType, false}, {0xCA, kRestrictedModuleType, true}, {0x17, 0, true}};
    int16_t channel = 1;
    for (const auto& [address, moduleType, listed] : cases) {
        hostsim::ClearCalls();
        ASSERT_EQ(Register(channel, Info(address, channel, "", moduleType)), 0);
        EXPECT_EQ(BuiltSupportedPgnList(), listed) << channel++;
    }
}

TEST_F(FinishTest, TheEngineAlsoProbesItsIdentification) {
    shared.ExitEvent().Set();
    ASSERT_EQ(Register(1, Info(0x00, 1)), 0);
    EXPECT_NE(CallsWithArg("Zorv_GetTeskIdsFromUdiList", 1, "[10]"), 0u);

    hostsim::ClearCalls();
    ASSERT_EQ(Register(2, Info(kQuickAddress, 2)), 0);
    EXPECT_EQ(CallCount("Zorv_GetTeskIdsFromUdiList"), 0u);
}

class DeferredFinishTest : public FinishTest {
protected:
    void SetUp() override {
        FinishTest::SetUp();
        hostsim::SetProductId(0x40);
        // The VIN (discovery identifier 7) and two makes (17), one of them filled.
        for (const auto& [teskId, pgn, udi] : {std::tuple<TESKID, uint32_t, ZUdi>{kVinTeskId, kVinPgn, 7},
                                               {kEmptyMakeTeskId, 0, 17}, {kFilledMakeTeskId, 0, 17}}) {
            hostsim::DataPointDefinition described = DataPoint(teskId, pgn);
            described.udis = {udi};
            if (teskId == kFilledMakeTeskId) described.value = {'K', 'W'};
            hostsim::AddDataPoint(described);
        }
    }
};

TEST_F(DeferredFinishTest, RequestsTheVinAndFillsEmptyMakesButDiscoversNothing) {
    AnswerEveryRequest(10);
    ASSERT_EQ(Register(1, Info(kQuickAddress, 1, "Volvo", 0)), 0);

    // The VIN first, then the diagnostic PGNs of the health report.
    Requests expected = {{kVinPgn, kQuickAddress}};
    for (uint32_t pgn : kDiagnosticPgns) expected.emplace_back(pgn, kQuickAddress);
    EXPECT_EQ(SentRequests(), expected);
    EXPECT_EQ(Visible({kVinTeskId, kEmptyMakeTeskId, kFilledMakeTeskId}), (std::vector<bool>{true, true, false}));
    EXPECT_EQ(hostsim::DataPoint(kEmptyMakeTeskId).value, (std::vector<uint8_t>{'V', 'o', 'l', 'v', 'o'}));
    EXPECT_EQ(hostsim::DataPoint(kFilledMakeTeskId).value, (std::vector<uint8_t>{'K', 'W'}));

    EXPECT_FALSE(BuiltSupportedPgnList());
    EXPECT_EQ(TracesWith("VehicleApp/CVehicleApp - CVehicleApp::FinishRegistration (Line 1020) :: FinishRegistration Requesting VIN").size(), 1u);
    EXPECT_EQ(TracesWith("CVehicleApp::FinishRegistration (Line 1032) :: SetVisibilityForSupportedPgns skipped for Module - 5").size(), 1u);
    EXPECT_EQ(CallCount("Zorv_SetVehicleData"), 0u);
    EXPECT_EQ(CallCount("Zorv_RemoveNotifyModule"), 0u);
    EXPECT_EQ(app.Modules().FindModule(1)->BusyCount(), 0);
}

TEST_F(DeferredFinishTest, AVinPgnAlreadyKnownIsNotRequestedAgain) {
    AddModule(1, kQuickAddress)->pgnMap.recordPgn(kVinPgn);
    app.Registrations().IdentifyAdapter();
    app.SetConnected(true);
    EXPECT_EQ(app.Registrations().FinishRegistration(1), 0);
    EXPECT_EQ(RequestCount(kVinPgn, kQuickAddress), 0u) << "the VIN's PGN is known already";
    EXPECT_EQ(CallCount("Zorv_SetDPValue"), 0u) << "no make to hand on";
}

}  // namespace
}  // namespace marl::testing
