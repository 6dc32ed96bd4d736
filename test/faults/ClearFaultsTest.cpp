// Clearing faults: DM3 and DM11 to the ECU (twice when it stays silent) and to all ECUs,
// the J1708 application's command when the host has that application, and the host's
// fault list.
#include <string>

#include "test/support/AppTest.h"

namespace marl::testing {
namespace {

constexpr uint32_t kDm3 = 0xFECC;
constexpr uint32_t kDm11 = 0xFED3;
constexpr ZModuleHandle kJ1708Handle = 77;

struct J1708Call {
    uint32_t handle;
    int16_t code;
    std::wstring text;
};
std::vector<J1708Call> j1708Calls;

ZResult ZORV_STDCALL J1708Command(uint32_t handle, int16_t code, wchar_t* text, int16_t* length, uint8_t*, int16_t*,
                                  uint32_t*) {
    j1708Calls.push_back({handle, code, std::wstring(text, std::wcslen(text))});
    EXPECT_EQ(*length, 256);
    return 0;
}

class ClearFaultsTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        j1708Calls.clear();
        AddCompletedModule(1, 0x0F);
        hostsim::SetReceivedFaultCount(2);
    }
    // The ECU at 0x0F acknowledges the clearing requests addressed to it; requests to
    // everyone are answered by the engine.
    void EcuAcknowledges() {
        hostsim::SetSendHook([this](ZModuleHandle, const std::vector<uint8_t>& message) {
            if (!IsRequest(message)) return ZResult{0};
            if (message[5] == 0x0F) {
                DeliverLater(5, 1, Acknowledgement(0, RequestedPgn(message), 0x0F));
            } else {
                AnswerLater(5, 0x00, RequestedPgn(message));
            }
            return ZResult{0};
        });
    }
    void AddJ1708Application() {
        hostsim::SetModuleId(kJ1708Handle, zorv::kModuleIdJ1708App);
        hostsim::RegisterModuleFunction(zorv::kLookupVehicleAppCommand, zorv::kModuleIdJ1708App,
                                        reinterpret_cast<void*>(&J1708Command));
    }
};

TEST_F(ClearFaultsTest, AnAcknowledgingEcuIsClearedInOnePassThenEveryoneTheJ1708AppAndTheHostsList) {
    EcuAcknowledges();
    AddJ1708Application();
    EXPECT_EQ(app.FaultCodes().ClearFaultCodes(1), 0);
    JoinAnswers();
    EXPECT_EQ(SentRequests(), (Requests{{kDm3, 0x0F}, {kDm11, 0x0F}, {kDm3, 0xFF}, {kDm11, 0xFF}}));
    ASSERT_EQ(j1708Calls.size(), 1u);
    EXPECT_EQ(j1708Calls[0].handle, static_cast<uint32_t>(kJ1708Handle));
    EXPECT_EQ(j1708Calls[0].code, zorv::kJ1708CommandClearFaults);
    EXPECT_EQ(j1708Calls[0].text, L"15") << "the ECU's address in decimal";
    EXPECT_EQ(ArgOf("ClearFaultList", 0), Texts{"1"});
    EXPECT_TRUE(TracesWith("Failed to clear").empty());
}

TEST_F(ClearFaultsTest, AnEcuOutOfReachGetsTwoPassesAndTheClearingStillReachesEveryoneAndTheHost) {
    // The adapter refuses every request to the ECU; the engine answers those to all.
    hostsim::SetSendHook([this](ZModuleHandle, const std::vector<uint8_t>& message) {
        if (message[5] == 0x0F) return ZResult{31};
        AnswerLater(5, 0x00, RequestedPgn(message));
        return ZResult{0};
    });
    EXPECT_EQ(app.FaultCodes().ClearFaultCodes(1), 0);
    JoinAnswers();
    EXPECT_EQ(SentRequests().size(), 2u * 2 * 3 + 2) << "two passes of three attempts each, then the global pair";
    EXPECT_EQ(TraceCodes("Failed to clear Inactive DTCs for 0F SA"), (std::vector<ZResult>{31, 31}));
    EXPECT_EQ(TracesWith("Failed to clear Active DTCs for 0F SA").size(), 2u);
    EXPECT_TRUE(TracesWith("Global SA").empty());
    EXPECT_EQ(CallCount("ClearFaultList"), 1u);
    EXPECT_TRUE(j1708Calls.empty()) << "the host has no J1708 application";
    EXPECT_TRUE(TracesWith("pVehicleAppCommand").empty());
}

TEST_F(ClearFaultsTest, NothingIsSentWithoutFaultsAModuleOrAValidHandle) {
    hostsim::SetReceivedFaultCount(0);
    EXPECT_EQ(app.FaultCodes().ClearFaultCodes(1), 0);
    EXPECT_EQ(app.FaultCodes().ClearFaultCodes(2), 0) << "no module with that handle";
    EXPECT_EQ(app.FaultCodes().ClearFaultCodes(0), 5);
    EXPECT_EQ(app.FaultCodes().ClearFaultCodes(256), 5);
    EXPECT_EQ(TracesWith("invalid ModHandle").size(), 2u);
    EXPECT_TRUE(SentRequests().empty());
    EXPECT_EQ(CallCount("ClearFaultList"), 0u);

    // The J1708 application without its command: traced, the clearing goes on.
    hostsim::SetReceivedFaultCount(1);
    EcuAcknowledges();
    hostsim::SetModuleId(kJ1708Handle, zorv::kModuleIdJ1708App);
    EXPECT_EQ(app.FaultCodes().ClearFaultCodes(1), 0);
    JoinAnswers();
    EXPECT_EQ(TracesWith("pVehicleAppCommand == NULL").size(), 1u);
    EXPECT_EQ(CallCount("ClearFaultList"), 1u);
}

}  // namespace
}  // namespace marl::testing
