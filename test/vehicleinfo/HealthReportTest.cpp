// The vehicle health report, fresh bus data for the host's report generator, and the
// request pass for the diagnostic PGNs that the report and the query thread run.
#include <algorithm>
#include <array>
#include <atomic>

#include "VehicleApp/boundary/CommandHandler.h"
#include "VehicleApp/receive/Categories.h"
#include "platform/Platform.h"
#include "j1939/Protocol.h"
#include "test/support/AppTest.h"
#include "test/support/VirtualEcu.h"

namespace marl::testing {
namespace {

constexpr int32_t kHandle = 3;
constexpr int16_t kDataCategory = 7;
constexpr int16_t kVehicleInfoCategory = 8;
constexpr uint32_t kDataPgn = 0xFEE5;
constexpr uint32_t kSilentDataPgn = 0xFEE6;   // the ECU never answers it
constexpr uint32_t kVehicleInfoPgn = 0xFEEB;
constexpr TESKID kAddressDataPoint = 350;
constexpr uint32_t kCategorySettleMs = 2000;
constexpr uint32_t kDm2 = j1939::kPgnDm2, kDm6 = j1939::kPgnDm6, kDm12 = j1939::kPgnDm12, kDm23 = j1939::kPgnDm23,
                   kDm27 = j1939::kPgnDm27, kDm28 = j1939::kPgnDm28, kPgn40704 = j1939::kPgn40704;

class HealthReportTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        for (const auto& [teskId, pgn] : {std::pair<TESKID, uint32_t>{301, kDataPgn}, {302, kSilentDataPgn}, {303, kVehicleInfoPgn}})
            hostsim::AddDataPoint(DataPoint(teskId, pgn));
        hostsim::DataPointDefinition address = DataPoint(kAddressDataPoint, 0);
        address.name = "HEALTH_REPORTS_VEHICLE_INFO_SA";
        hostsim::AddDataPoint(address);
        hostsim::AddCategory(Category(kDataCategory, "HealthReport_Data", {301, 302}));
        hostsim::AddCategory(Category(kVehicleInfoCategory, "HealthReport_VehicleInfo", {303}));
        app.Receiver().ClassifyCategories(1);
        hostsim::SetHealthReport(L"Engine hours: 1200");
    }

    // A module whose report needs no bus work: diagnostics already asked, and a module
    // type and address that hold no category data.
    ModuleRecordPtr AddQuietModule() {
        ModuleRecordPtr module = AddCompletedModule(kHandle, 0x21, 1, kRestrictedModuleType);
        module->SetDiagnosticsRequested();
        return module;
    }

    uint16_t Report() {
        length = static_cast<int16_t>(text.size());
        return app.Vehicle().CallGenerateHealthReport(kHandle, text.data(), &length);
    }

    std::array<wchar_t, 64> text{};
    int16_t length = 0;
};

TEST_F(HealthReportTest, FirstReportRequestsDiagnosticsAndCategoriesThenGenerates) {
    ModuleRecordPtr transmission = AddCompletedModule(kHandle, 0x03, 1, 0);
    VirtualEcu ecu(app, kHandle, 0x03, kDiagnosticPgns);
    ecu.Answer({kDataPgn, kVehicleInfoPgn});

    EXPECT_EQ(Report(), 0);
    ecu.Drain();
    EXPECT_EQ(std::wstring(text.data()), L"Engine hours: 1200");
    EXPECT_EQ(length, 18);
    for (uint32_t pgn : kDiagnosticPgns) EXPECT_EQ(RequestCount(pgn, 0x03), 1u) << pgn;
    EXPECT_EQ(RequestCount(kDataPgn, 0x03), 1u);
    EXPECT_EQ(RequestCount(kVehicleInfoPgn, 0x03), 1u);
    EXPECT_GE(RequestCount(kSilentDataPgn, 0x03), 1u);

    EXPECT_EQ(hostsim::DataPoint(kAddressDataPoint).value, (std::vector<uint8_t>{0x03}));
    EXPECT_EQ(Visible({kAddressDataPoint}), std::vector<bool>{true});
    EXPECT_EQ(ArgsOf("GenerateHealthReport"), (std::vector<Texts>{{"3", "3", "out", "64"}}));

    EXPECT_TRUE(HasTrace(7, "CVehicleApp::CallGenerateHealthReport (Line 1583): Calling GenerateVehicleHealthReport "
                            "on ModuleHandle: 3."));
}

TEST_F(HealthReportTest, SecondReportAsksOnlyForTheUnansweredCategoryPgnsAgain) {
    AddCompletedModule(kHandle, 0x03, 1, 0);
    VirtualEcu ecu(app, kHandle, 0x03, kDiagnosticPgns);
    ecu.Answer({kDataPgn});
    ASSERT_EQ(Report(), 0);
    ecu.Drain();
    const Requests first = SentRequests();
    Requests unanswered;
    for (const auto& request : first)
        if (request.first == kSilentDataPgn || request.first == kVehicleInfoPgn) unanswered.push_back(request);

    ASSERT_EQ(Report(), 0);
    ecu.Drain();
    const Requests all = SentRequests();
    EXPECT_EQ(Requests(all.begin() + static_cast<std::ptrdiff_t>(first.size()), all.end()), unanswered)
        << "neither the diagnostics nor the answered PGN again";
    EXPECT_EQ(CallsWithArg("Zorv_GetCategoryDPs", 2, std::to_string(kDataCategory)), 2u);
}

// With the restricted module type only the main ECUs' reports request their categories.
TEST_F(HealthReportTest, RestrictedModuleTypeRequestsCategoriesOnlyForTheMainEcus) {
    AddQuietModule();
    EXPECT_EQ(Report(), 0);
    EXPECT_EQ(hostsim::CallCount("Zorv_GetCategoryDPs"), 0u) << "no categories, so no settling pause";
    EXPECT_TRUE(hostsim::SentMessages().empty());

    app.Modules().RemoveModuleRecord(kHandle);
    AddCompletedModule(kHandle, 0x00, 1, kRestrictedModuleType)->SetDiagnosticsRequested();
    VirtualEcu ecu(app, kHandle, 0x00, {kDataPgn, kSilentDataPgn, kVehicleInfoPgn});
    const uint32_t start = platform::TickCountMs();
    EXPECT_EQ(Report(), 0);
    EXPECT_GE(platform::TickCountMs() - start, kCategorySettleMs - 100);
    EXPECT_EQ(hostsim::CallCount("Zorv_GetCategoryDPs"), 2u);
    EXPECT_EQ(RequestCount(kVehicleInfoPgn, 0x00), 1u);
}

// A generator with nothing to say: the stand-in host itself writes a report from the
// database whenever no text is set.
ZResult ZORV_STDCALL EmptyReport(ZModuleHandle, uint32_t, wchar_t* text, int16_t* length) {
    if (text != nullptr && *length > 0) text[0] = L'\0';
    *length = 0;
    return 0;
}

TEST_F(HealthReportTest, AnEmptyReportIsAFailureForTheHost) {
    AddQuietModule();
    hostsim::RegisterModuleFunction(0x2208, -1, reinterpret_cast<void*>(&EmptyReport));
    EXPECT_EQ(Report(), 46);

    // The host command tells the report's success by its flag.
    for (const uint32_t expected : {0u, 1u}) {
        uint32_t flag = 7;
        length = static_cast<int16_t>(text.size());
        HandleVehicleAppCommand(&app, kHandle, zorv::kCmdHealthReport, text.data(), &length, nullptr, nullptr, &flag);
        EXPECT_EQ(flag, expected);
        hostsim::Reset();
        hostsim::SetHealthReport(L"ok");
    }
}

TEST_F(HealthReportTest, FailureStatuses) {
    EXPECT_EQ(Report(), 73) << "no module";
    EXPECT_TRUE(hostsim::SentMessages().empty());

    AddQuietModule();
    hostsim::RemoveLookup(0x2208);
    EXPECT_EQ(Report(), 93);
    EXPECT_TRUE(HasTrace(2, "CVehicleApp::GenerateVehicleHealthReport (Line 1705) GenerateHealthReport == NULL"));

    hostsim::RestoreLookup(0x2208);
    shared.ExitEvent().Set();
    EXPECT_EQ(Report(), 94);
    EXPECT_TRUE(HasTrace(7, "CVehicleApp::GenerateVehicleHealthReport (Line 1697): Must be Exiting."));

    // An exit during the engine's category pause.
    app.Modules().RemoveModuleRecord(kHandle);
    AddCompletedModule(kHandle, 0x00, 1, 0)->SetDiagnosticsRequested();
    EXPECT_EQ(Report(), 60);
    EXPECT_TRUE(HasTrace(7, "CVehicleApp::GenerateVehicleHealthReport (Line 1690): Must be Exiting."));
    EXPECT_EQ(hostsim::CallCount("GenerateHealthReport"), 0u);
}

// The report waits for the module's discovery without holding the module lock: the
// receive thread and every other module user find their modules meanwhile.
TEST_F(HealthReportTest, WaitingForDiscoveryLeavesTheModuleListFree) {
    ModuleRecordPtr module = AddCompletedModule(kHandle, 0x21, 1, kRestrictedModuleType);
    module->SetBusy(true);
    std::atomic<bool> done{false};
    uint16_t status = 0xFFFF;
    std::thread reporter([&] {
        status = Report();
        done = true;
    });
    EXPECT_TRUE(WaitUntil([] { return HasTrace(7, "CVehicleApp::CallGenerateHealthReport (Line 1567): Start on ModuleHandle: 3."); }));
    platform::SleepMs(50);

    EXPECT_TRUE(app.Modules().FindModule(kHandle));
    EXPECT_EQ(app.Modules().SourceAddressOf(kHandle), 0x21);
    EXPECT_FALSE(done.load()) << "still waiting for discovery";
    EXPECT_TRUE(hostsim::SentMessages().empty()) << "no diagnostic request before discovery ends";

    VirtualEcu ecu(app, kHandle, 0x21, kDiagnosticPgns);
    const uint32_t released = platform::TickCountMs();
    module->SetBusy(false);
    reporter.join();
    ecu.Drain();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(SentRequests().size(), 7u);
    // Seven requests with 250 ms each to wait for an answer: only answers that reach the
    // plug-in while the report runs keep the pass shorter than all seven time-outs. Under a
    // test time scale the time-outs are too short to tell that from the machine's load.
    if (platform::TimeScale() == 1) {
        EXPECT_LT(platform::TickCountMs() - released, 1750u);
    }
    EXPECT_TRUE(module->pgnMap.wasRequested(65227)) << "the answer reached the receive path";
}

Requests To(uint8_t address, const std::vector<uint32_t>& pgns) {
    Requests requests;
    for (uint32_t pgn : pgns) requests.emplace_back(pgn, address);
    return requests;
}

class DiagnosticRequestsTest : public AppTest {
protected:
    // The requests of the pass for `module`, found by its handle, whose ECU answers all
    // seven so that each request is short.
    Requests AskedOf(const ModuleRecordPtr& module) {
        VirtualEcu ecu(app, module->SendHandle(), module->EcuAddress(), kDiagnosticPgns);
        EXPECT_EQ(app.Vehicle().RequestDiagnosticPgnsForHandle(module->Handle()), 0);
        ecu.Drain();
        return SentRequests();
    }
};

TEST_F(DiagnosticRequestsTest, RequestsTheSevenPgnsInOrderThroughTheModulesOwnHandle) {
    AddCompletedModule(1, 0x00);
    ModuleRecordPtr transmission = AddCompletedModule(2, 0x03);
    ASSERT_EQ(transmission->SendHandle(), 1);
    EXPECT_EQ(AskedOf(transmission), To(0x03, kDiagnosticPgns));
    for (const hostsim::Call& call : hostsim::CallsTo("SendJ1939Msg")) EXPECT_EQ(call.Arg(0), "2");
    EXPECT_TRUE(transmission->DiagnosticsRequested());
}

TEST_F(DiagnosticRequestsTest, TheFuelSystemIsNotAskedForDm6) {
    EXPECT_EQ(AskedOf(AddCompletedModule(1, 18)), To(18, {kDm2, kDm12, kDm23, kDm27, kDm28, kPgn40704}));
}

TEST_F(DiagnosticRequestsTest, PgnsProbedWithoutAPositiveAnswerAreNotAskedAgain) {
    ModuleRecordPtr engine = AddCompletedModule(1, 0x00);
    engine->pgnMap.recordProbe(kDm12, 0x00);         // probed, never answered
    engine->pgnMap.recordProbe(kDm23, 0x00);         // probed and answered
    engine->pgnMap.recordResponse(kDm23, false);
    engine->pgnMap.recordProbe(kDm27, 0x00);         // probed and refused
    engine->pgnMap.recordResponse(kDm27, true);
    engine->pgnMap.recordPgn(kDm28);                 // in the table, never probed
    EXPECT_EQ(AskedOf(engine), To(0x00, {kDm2, kDm6, kDm23, kDm28, kPgn40704}));
}

TEST_F(DiagnosticRequestsTest, AModuleAtTheGlobalAddressIsAskedForEverything) {
    ModuleRecordPtr everyone = AddCompletedModule(1, 0xFF);
    everyone->pgnMap.recordProbe(kDm12, 0xFF);
    // Global requests give every ECU the whole time-out; an early exit after the last one
    // keeps the test short.
    hostsim::SetSendHook([this](ZModuleHandle, const std::vector<uint8_t>& message) {
        if (message.size() > 8 && (message[6] | (message[7] << 8)) == kPgn40704) shared.ExitEvent().Set();
        return ZResult{0};
    });
    app.Vehicle().RequestDiagnosticPgns(*everyone);
    EXPECT_EQ(SentRequests().size(), kDiagnosticPgns.size());
}

// Invalid or unknown handles, playback and an exit put nothing on the bus.
TEST_F(DiagnosticRequestsTest, NothingIsSentForBadHandlesInPlaybackOrOnExit) {
    ModuleRecordPtr engine = AddCompletedModule(1, 0x00);
    EXPECT_EQ(app.Vehicle().RequestDiagnosticPgnsForHandle(0), 5);
    EXPECT_EQ(app.Vehicle().RequestDiagnosticPgnsForHandle(256), 5);
    EXPECT_EQ(TraceLevels("CVehicleApp::CheckHandle (Line 2042) invalid ModHandle"), (std::vector<int32_t>{2, 2}));
    EXPECT_EQ(app.Vehicle().RequestDiagnosticPgnsForHandle(9), 0);

    app.SetPlaybackStatus(1);
    EXPECT_EQ(app.Vehicle().RequestDiagnosticPgns(*engine), 0);
    EXPECT_EQ(app.Vehicle().RequestDiagnosticPgnsForHandle(1), 0);
    EXPECT_FALSE(engine->DiagnosticsRequested());

    app.SetPlaybackStatus(0);
    shared.ExitEvent().Set();
    EXPECT_EQ(app.Vehicle().RequestDiagnosticPgns(*engine), 0);
    EXPECT_TRUE(hostsim::SentMessages().empty());
}

}  // namespace
}  // namespace marl::testing
