// Supported-PGN discovery against the stand-in host, with an ECU that answers, refuses
// or ignores the plug-in's Requests from a thread of its own.

#include <atomic>

#include "VehicleApp/receive/Categories.h"
#include "test/support/AppTest.h"
#include "test/support/VirtualEcu.h"

namespace marl::testing {
namespace {

constexpr int16_t kRequestPgnsCategory = 5;
constexpr uint32_t kAnswered = 0xFEE5;
constexpr uint32_t kRefused = 0xFEE6;
constexpr uint32_t kIgnored = 0xFEE7;
constexpr uint32_t kLowPgn = 0x0F00;        // at most 4096: never probed by data point
constexpr uint32_t kGuidedTestPgn = 0xFEF0;

class DiscoveryTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        TESKID teskId = 101;
        for (uint32_t pgn : {kAnswered, kRefused, kIgnored, kLowPgn}) hostsim::AddDataPoint(DataPoint(teskId++, pgn));
        hostsim::AddDataPoint(DataPoint(105, kGuidedTestPgn, 0, 1));
        hostsim::AddDataPoint(DataPoint(106, kAnswered));
        hostsim::AddCategory(Category(kRequestPgnsCategory, "RequestPGNs", {101, 102, 103, 104, 105}));
        app.Receiver().ClassifyCategories(1);
    }
    void UseAdapter(int16_t productId) {
        hostsim::SetProductId(productId);
        app.Registrations().IdentifyAdapter();
        if (productId == 0x40) app.Discoveries().SetShowOnlySupported(false);  // showing everything
    }
    // The engine's list built with the adapter that names the data points to probe by the
    // host's discovery identifiers, read through `udis` (the look-up fails when null).
    ModuleRecordPtr BuildWithUdis(void* udis) {
        UseAdapter(0x47);
        if (udis == nullptr) hostsim::RemoveLookup(0x2214);
        else hostsim::RegisterModuleFunction(0x2214, -1, udis);
        ModuleRecordPtr engine = AddModule(1, 0x00);
        app.Discoveries().BuildSupportedPgnList(*engine);
        EXPECT_EQ(engine->BusyCount(), 0);
        return engine;
    }
};

TEST_F(DiscoveryTest, TableHoldsThePgnsOfTheProbeCategoryExceptGuidedTests) {
    ModuleRecordPtr engine = AddModule(1, 0x00);
    app.Discoveries().BuildSupportedPgnList(*engine);
    const PgnSupportSnapshot table = engine->pgnMap.snapshot();
    std::vector<uint32_t> pgns;
    for (const auto& item : table) pgns.push_back(item.first);
    EXPECT_EQ(pgns, (std::vector<uint32_t>{kLowPgn, kAnswered, kRefused, kIgnored}));
    EXPECT_EQ(engine->pgnMap.sourceAddressOf(kAnswered), 0x00);
    EXPECT_TRUE(hostsim::SentMessages().empty());
}

TEST_F(DiscoveryTest, ProbingSortsAnsweredRefusedAndIgnoredPgns) {
    ModuleRecordPtr engine = AddModule(1, 0x00);
    VirtualEcu ecu(app, 1, 0x00, {kAnswered});
    ecu.Refuse(kRefused);
    app.Discoveries().BuildSupportedPgnList(*engine);
    // Registration holds the module busy around discovery; answers count only then.
    engine->SetBusy(true);
    app.Discoveries().RequestSupportedPgns(*engine, 0x00, 2);
    ecu.Drain();
    engine->SetBusy(false);

    EXPECT_TRUE(engine->pgnMap.isSupported(kAnswered));
    EXPECT_TRUE(engine->PositiveAnswerSeen());
    EXPECT_TRUE(engine->pgnMap.hasResponded(kRefused));
    EXPECT_FALSE(engine->pgnMap.isSupported(kRefused));
    EXPECT_TRUE(engine->pgnMap.hasResponded(0xE800));
    EXPECT_FALSE(engine->pgnMap.isSupported(0xE800)) << "an acknowledgement never counts as support for itself";
    EXPECT_TRUE(engine->pgnMap.wasRequested(kIgnored));
    EXPECT_FALSE(engine->pgnMap.hasResponded(kIgnored));

    EXPECT_EQ(RequestCount(kAnswered, 0x00), 1u) << "answered in the first pass, not asked again";
    EXPECT_EQ(RequestCount(kRefused, 0x00), 1u);
    EXPECT_EQ(RequestCount(kIgnored, 0x00), 2u) << "one Request per pass";
    EXPECT_EQ(engine->BusyCount(), 0);
}

TEST_F(DiscoveryTest, ProbingByDataPointSkipsLowPgnsAndDuplicatesAndFallsBackToGlobal) {
    ModuleRecordPtr engine = AddModule(1, 0x00);
    VirtualEcu ecu(app, 1, 0x00, {kAnswered});
    app.Discoveries().RequestPgnsForTeskIds(1, {104, 101, 106, 103});
    ecu.Drain();

    EXPECT_EQ(SentRequests(), (Requests{
                                  {kAnswered, 0x00},
                                  {kIgnored, 0x00}, {kIgnored, 0x00}, {kIgnored, 0x00},
                                  {kIgnored, 0xFF}, {kIgnored, 0xFF}, {kIgnored, 0xFF}}));
    EXPECT_TRUE(engine->pgnMap.isSupported(kAnswered));
    EXPECT_TRUE(engine->pgnMap.contains(kLowPgn)) << "recorded from its data point all the same";
    EXPECT_FALSE(engine->pgnMap.wasRequested(kLowPgn));
    EXPECT_TRUE(engine->pgnMap.contains(kIgnored));
    EXPECT_EQ(engine->BusyCount(), 0);
}

TEST_F(DiscoveryTest, AnUnknownModuleIsNotProbed) {
    EXPECT_EQ(app.Discoveries().BuildAndRequestSupportedPgns(nullptr), 3);
    app.Discoveries().RequestPgnsForTeskIds(7, {101});
    EXPECT_TRUE(hostsim::SentMessages().empty());
    EXPECT_EQ(hostsim::CallCount("Zorv_GetPIDForTESKID"), 0u);
}

TEST_F(DiscoveryTest, FirstModuleOfAChannelAlsoProbesGlobally) {
    ModuleRecordPtr engine = AddModule(1, 0x00);
    // Stopping at the first global Request spares the settling time.
    std::atomic<int> globalRequests{0};
    hostsim::SetSendHook([this, &globalRequests](ZModuleHandle, const std::vector<uint8_t>& message) {
        if (message.size() > 5 && message[5] == 0xFF && globalRequests++ == 0) shared.ExitEvent().Set();
        return ZResult{0};
    });
    EXPECT_EQ(app.Discoveries().BuildAndRequestSupportedPgns(engine.get()), 0);
    EXPECT_EQ(RequestCount(kLowPgn, 0x00), 2u);
    EXPECT_EQ(globalRequests.load(), 1);
    EXPECT_EQ(engine->pgnMap.sourceAddressOf(kLowPgn), 0xFF) << "the global probe is the last one sent";
    EXPECT_FALSE(engine->pgnMap.contains(0xFECD)) << "nothing answered: no freeze-frame support assumed";
}

TEST_F(DiscoveryTest, LaterModuleOfAChannelSkipsTheGlobalPass) {
    AddModule(1, 0x00);
    ModuleRecordPtr transmission = AddModule(2, 0x03);
    ASSERT_EQ(transmission->SendHandle(), 1);
    VirtualEcu ecu(app, 1, 0x03, {kAnswered});
    EXPECT_EQ(app.Discoveries().BuildAndRequestSupportedPgns(transmission.get()), 0);
    ecu.Drain();

    const auto requests = SentRequests();
    EXPECT_FALSE(requests.empty());
    for (const auto& request : requests) EXPECT_EQ(request.second, 0x03);
    EXPECT_TRUE(transmission->pgnMap.isSupported(kAnswered));
    EXPECT_TRUE(transmission->pgnMap.isSupported(0xFECD)) << "an ECU that answers is taken to keep freeze frames";
}

// An adapter that defers discovery and shows everything probes nothing: the engine
// builds its table for later, other modules make every data point visible.
TEST_F(DiscoveryTest, DeferredAdapterShowingEverythingProbesNothing) {
    UseAdapter(0x40);
    ModuleRecordPtr engine = AddModule(1, 0x01);
    EXPECT_EQ(app.Discoveries().BuildAndRequestSupportedPgns(engine.get()), 0);
    EXPECT_TRUE(engine->pgnMap.contains(kAnswered));
    EXPECT_FALSE(hostsim::DataPoint(101).visible);

    hostsim::ClearCalls();
    ModuleRecordPtr transmission = AddModule(2, 0x03, 2);
    EXPECT_EQ(app.Discoveries().BuildAndRequestSupportedPgns(transmission.get()), 0);
    EXPECT_EQ(Visible({101, 102, 103, 104, 105, 106}), std::vector<bool>(6, true));
    EXPECT_EQ(hostsim::CallCount("Zorv_GetCategoryDPs"), 0u);
    EXPECT_EQ(transmission->pgnMap.size(), 0u);
    EXPECT_TRUE(hostsim::SentMessages().empty());
}

// The adapter without a probe category: the host's discovery identifiers name the data
// points whose PGNs are probed, and every data point of the module is recorded.
ZResult ZORV_STDCALL DiscoveryUdisFifty(ZUdi* udis, uint32_t* count) {
    if (*count < 1) {
        *count = 1;
        return 42;
    }
    udis[0] = 50;
    *count = 1;
    return 0;
}

std::atomic<int> tooSmallCalls{0};
ZResult ZORV_STDCALL DiscoveryUdisAlwaysTooSmall(ZUdi*, uint32_t* count) {
    ++tooSmallCalls;
    *count = 300;
    return 42;
}

ZResult ZORV_STDCALL DiscoveryUdisOverstated(ZUdi* udis, uint32_t* count) {
    udis[0] = 50;
    *count = 5000;
    return 0;
}

TEST_F(DiscoveryTest, UdiAdapterProbesTheIdentifiedDataPointsAndRecordsAll) {
    hostsim::DataPointDefinition named = DataPoint(107, 0xFEE9);
    named.udis = {50};
    hostsim::AddDataPoint(named);
    VirtualEcu ecu(app, 1, 0x00, {0xFEE9});
    ModuleRecordPtr engine = BuildWithUdis(reinterpret_cast<void*>(&DiscoveryUdisFifty));
    ecu.Drain();

    EXPECT_EQ(SentRequests(), (Requests{{0xFEE9, 0x00}}));
    EXPECT_TRUE(engine->pgnMap.isSupported(0xFEE9));
    for (uint32_t pgn : {kAnswered, kRefused, kIgnored, kLowPgn}) EXPECT_TRUE(engine->pgnMap.contains(pgn)) << pgn;
    EXPECT_FALSE(engine->pgnMap.contains(kGuidedTestPgn));
    EXPECT_EQ(hostsim::CallCount("Zorv_GetCategoryDPs"), 0u);
}

// A list that never fits is asked for a bounded number of times, a count beyond the
// buffer is cut to it, and a missing host function records nothing.
TEST_F(DiscoveryTest, UdiListsThatDoNotFitAreBounded) {
    tooSmallCalls = 0;
    EXPECT_EQ(BuildWithUdis(reinterpret_cast<void*>(&DiscoveryUdisAlwaysTooSmall))->pgnMap.size(), 0u);
    EXPECT_EQ(tooSmallCalls.load(), 5);
    EXPECT_EQ(hostsim::CallCount("Zorv_GetTeskIdsFromUdiList"), 0u);

    app.Modules().RemoveModuleRecord(1);
    BuildWithUdis(reinterpret_cast<void*>(&DiscoveryUdisOverstated));
    EXPECT_EQ(ArgOf("Zorv_GetTeskIdsFromUdiList", 2), Texts{"256"});
    app.Modules().RemoveModuleRecord(1);
    EXPECT_EQ(BuildWithUdis(nullptr)->pgnMap.size(), 0u);
}

TEST_F(DiscoveryTest, TeskIdsOfAnIdentifierGrowTheListOnce) {
    std::vector<uint32_t> expected;
    for (TESKID teskId = 300; teskId < 312; ++teskId) {
        hostsim::DataPointDefinition described = DataPoint(teskId, 0xFEE3);
        described.udis = {10};
        hostsim::AddDataPoint(described);
        expected.push_back(teskId);
    }
    EXPECT_EQ(app.Discoveries().TeskIdsForUdi(1, 10), expected);
    EXPECT_EQ(hostsim::CallCount("Zorv_GetTeskIdsFromUdiList"), 2u);
    EXPECT_TRUE(app.Discoveries().TeskIdsForUdi(1, 99).empty());

    hostsim::QueueResults("Zorv_GetTeskIdsFromUdiList", {21, 21});
    EXPECT_TRUE(app.Discoveries().TeskIdsForUdi(1, 10).empty()) << "a second 'too small' gives up";
}

TEST_F(DiscoveryTest, VehicleInfoPgnsAreRequestedOnceEachInOrder) {
    for (const auto& [teskId, pgn] : {std::pair<TESKID, uint32_t>{201, 0xFEEC}, {202, 0xFEEC}, {203, 0xFEEB}, {204, 0xFEDA}})
        hostsim::AddDataPoint(DataPoint(teskId, pgn));
    hostsim::AddCategory(Category(7, "Vehicle Info", {201, 202, 203, 204}));
    app.Receiver().ClassifyCategories(1);
    ModuleRecordPtr engine = AddModule(1, 0x00);
    engine->pgnMap.recordResponse(0xFEDA, false);
    VirtualEcu ecu(app, 1, 0x00, {0xFEEC, 0xFEEB});

    engine->SetBusy(true);
    EXPECT_EQ(app.Discoveries().BuildVehicleInfoPgnList(*engine), 0);
    ecu.Drain();
    engine->SetBusy(false);

    EXPECT_EQ(SentRequests(), (Requests{{0xFEEC, 0x00}, {0xFEEB, 0x00}}));
    EXPECT_TRUE(engine->pgnMap.isSupported(0xFEEB));
    EXPECT_TRUE(HasTrace(7, "(Module Handle: 1), CVehicleApp::GetSupportedVehicleInfoPgns (Line 1853), Number of TESKIDs Supported: 4"));
}

}  // namespace
}  // namespace marl::testing
