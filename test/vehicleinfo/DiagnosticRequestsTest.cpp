// The request pass for the diagnostic PGNs, as the health report and the query thread
// run it.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "test/support/AppTest.h"
#include "test/support/VirtualEcu.h"

namespace marl::testing {
namespace {

constexpr uint32_t kDm2 = 65227;
constexpr uint32_t kDm6 = 65231;
constexpr uint32_t kDm12 = 65236;
constexpr uint32_t kDm23 = 64949;
constexpr uint32_t kDm27 = 64898;
constexpr uint32_t kDm28 = 64896;
constexpr uint32_t kPgn40704 = 40704;
const std::vector<uint32_t> kAll = {kDm2, kDm6, kDm12, kDm23, kDm27, kDm28, kPgn40704};

Requests To(uint8_t address, const std::vector<uint32_t>& pgns) {
    Requests requests;
    for (uint32_t pgn : pgns) requests.emplace_back(pgn, address);
    return requests;
}

class DiagnosticRequestsTest : public AppTest {
protected:
    // An ECU that answers all seven keeps each request short.
    static void Answering(VirtualEcu& ecu) { ecu.Answer({kDm2, kDm6, kDm12, kDm23, kDm27, kDm28, kPgn40704}); }
    ModuleRecordPtr Complete(ModuleRecordPtr module) {
        module->SetRegistrationComplete();
        return module;
    }
};

TEST_F(DiagnosticRequestsTest, RequestsTheSevenPgnsInOrderThroughTheModulesOwnHandle) {
    Complete(AddModule(1, 0x00));
    ModuleRecordPtr transmission = Complete(AddModule(2, 0x03));
    ASSERT_EQ(transmission->SendHandle(), 1);
    VirtualEcu ecu(app, 1, 0x03);
    Answering(ecu);

    EXPECT_EQ(app.Vehicle().RequestDiagnosticPgns(*transmission), 0);
    ecu.Drain();
    EXPECT_EQ(SentRequests(), To(0x03, kAll));
    for (const hostsim::Call& call : hostsim::CallsTo("SendJ1939Msg")) EXPECT_EQ(call.Arg(0), "2");
    EXPECT_TRUE(transmission->DiagnosticsRequested());
}

TEST_F(DiagnosticRequestsTest, TheFuelSystemIsNotAskedForDm6) {
    ModuleRecordPtr fuelSystem = Complete(AddModule(1, 18));
    VirtualEcu ecu(app, 1, 18);
    Answering(ecu);
    app.Vehicle().RequestDiagnosticPgns(*fuelSystem);
    ecu.Drain();
    EXPECT_EQ(SentRequests(), To(18, {kDm2, kDm12, kDm23, kDm27, kDm28, kPgn40704}));
}

TEST_F(DiagnosticRequestsTest, PgnsProbedWithoutAPositiveAnswerAreNotAskedAgain) {
    ModuleRecordPtr engine = Complete(AddModule(1, 0x00));
    engine->pgnMap.recordProbe(kDm12, 0x00);         // probed, never answered
    engine->pgnMap.recordProbe(kDm23, 0x00);         // probed and answered
    engine->pgnMap.recordResponse(kDm23, false);
    engine->pgnMap.recordProbe(kDm27, 0x00);         // probed and refused
    engine->pgnMap.recordResponse(kDm27, true);
    engine->pgnMap.recordPgn(kDm28);                 // in the table, never probed
    VirtualEcu ecu(app, 1, 0x00);
    Answering(ecu);
    app.Vehicle().RequestDiagnosticPgns(*engine);
    ecu.Drain();
    EXPECT_EQ(SentRequests(), To(0x00, {kDm2, kDm6, kDm23, kDm28, kPgn40704}));
}

TEST_F(DiagnosticRequestsTest, AModuleAtTheGlobalAddressIsAskedForEverything) {
    ModuleRecordPtr everyone = Complete(AddModule(1, 0xFF));
    everyone->pgnMap.recordProbe(kDm12, 0xFF);
    // Global requests give every ECU the whole time-out; an early exit after the last one
    // keeps the test short.
    hostsim::SetSendHook([this](ZModuleHandle, const std::vector<uint8_t>& message) {
        if (message.size() > 8 && (message[6] | (message[7] << 8)) == kPgn40704) shared.ExitEvent().Set();
        return ZResult{0};
    });
    app.Vehicle().RequestDiagnosticPgns(*everyone);
    EXPECT_EQ(SentRequests().size(), kAll.size());
}

TEST_F(DiagnosticRequestsTest, NothingIsSentInPlaybackOrOnExit) {
    ModuleRecordPtr engine = Complete(AddModule(1, 0x00));
    app.SetPlaybackStatus(1);
    EXPECT_EQ(app.Vehicle().RequestDiagnosticPgns(*engine), 0);
    EXPECT_EQ(app.Vehicle().RequestDiagnosticPgnsForHandle(1), 0);
    EXPECT_TRUE(hostsim::SentMessages().empty());
    EXPECT_FALSE(engine->DiagnosticsRequested());

    app.SetPlaybackStatus(0);
    shared.ExitEvent().Set();
    EXPECT_EQ(app.Vehicle().RequestDiagnosticPgns(*engine), 0);
    EXPECT_TRUE(hostsim::SentMessages().empty());
}

TEST_F(DiagnosticRequestsTest, ByHandleChecksTheHandleAndFindsTheModule) {
    ModuleRecordPtr engine = Complete(AddModule(1, 0x00));
    EXPECT_EQ(app.Vehicle().RequestDiagnosticPgnsForHandle(0), 5);
    EXPECT_EQ(app.Vehicle().RequestDiagnosticPgnsForHandle(256), 5);
    EXPECT_EQ(TraceLevels("CVehicleApp::CheckHandle (Line 2042) invalid ModHandle"), (std::vector<int32_t>{2, 2}));
    EXPECT_EQ(app.Vehicle().RequestDiagnosticPgnsForHandle(9), 0);
    EXPECT_TRUE(hostsim::SentMessages().empty());

    VirtualEcu ecu(app, 1, 0x00);
    Answering(ecu);
    EXPECT_EQ(app.Vehicle().RequestDiagnosticPgnsForHandle(1), 0);
    ecu.Drain();
    EXPECT_EQ(SentRequests(), To(0x00, kAll));
    EXPECT_TRUE(engine->DiagnosticsRequested());
}

}  // namespace
}  // namespace marl::testing
