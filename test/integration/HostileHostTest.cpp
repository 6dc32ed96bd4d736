// The plug-in against a host that misbehaves: counts larger than the buffers it was given,
// texts without terminators, null objects, and a failure at every host call in turn.
// Under the sanitizers a read or write past a buffer fails the run; here the plug-in must
// also give the documented results and tear down whatever happened.
#include <set>
#include <string>

#include "VehicleApp/core/ResultCodes.h"
#include "test/support/AppTest.h"
#include "test/support/EntryTest.h"

namespace marl::testing {
namespace {

constexpr size_t kTextCapacity = 512;
constexpr int32_t kHostFailure = 77;
constexpr TESKID kSpeed = 900;
constexpr TESKID kCoolant = 901;

class HostileHost : public EntryTest, public ::testing::WithParamInterface<uint32_t> {
protected:
    void SetUp() override {
        EntryTest::SetUp();
        for (auto [teskId, pgn] : {std::pair<TESKID, uint32_t>{kSpeed, 61444}, {kCoolant, 65262}})
            hostsim::AddDataPoint(DataPoint(teskId, pgn));
        hostsim::AddCategory(Category(1, "Engine", {kSpeed, kCoolant}));
    }

    // One registration's worth of work through the entries: register, complete, subscribe,
    // the fault screens and the health report. Returns the registration's result.
    uint16_t Session(int32_t handle, uint8_t address, uint32_t moduleType, bool screens = true) {
        ModuleInfo info = Info(address, 1, "", moduleType);
        const uint16_t registered =
            Entry<zorv::FnRegisterModuleWithInfo>(zorv::kEntryRegisterModuleWithInfo)(kEntryUiHandle, handle, &info);
        Complete(handle);
        const uint32_t teskIds[] = {kSpeed, kCoolant};
        Entry<zorv::FnSubscribeDatapoints>(zorv::kEntrySubscribeDatapoints)(handle, teskIds, 2);
        auto command = Entry<zorv::FnVehicleAppCommand>(zorv::kEntryVehicleAppCommand);
        if (!screens) return registered;
        for (auto [code, request] : {std::pair<int16_t, const wchar_t*>{zorv::kCmdListFaultGroups, L""},
                                     {zorv::kCmdFaultInfo, L"1\u00A7110\u00A715"},
                                     {zorv::kCmdHealthReport, L""},
                                     {zorv::kCmdGetVin, L""}}) {
            std::wstring text(kTextCapacity, L'\0');
            text.replace(0, std::wcslen(request), request);
            int16_t length = static_cast<int16_t>(kTextCapacity);
            uint32_t flag = 0;
            command(static_cast<uint32_t>(handle), code, &text[0], &length, nullptr, nullptr, &flag);
            EXPECT_LE(length, static_cast<int16_t>(kTextCapacity)) << "command " << code;
        }
        return registered;
    }
};

TEST_P(HostileHost, ASessionAgainstAMisbehavingHostEndsCleanly) {
    ASSERT_EQ(hostsim::LoadDefaultScenario(), "");
    hostsim::SetHostileBehaviour(GetParam());
    handles_.push_back(1);
    // Component names without an end name no parameter file: registration is refused as
    // for a file that will not load. Otherwise the host answered every call with success.
    const uint16_t registered = Session(1, 0x00, 0);
    if ((GetParam() & hostsim::kHostileUnterminatedTexts) != 0) {
        EXPECT_EQ(registered, results::kConnectOrFileFailure);
    } else {
        EXPECT_EQ(registered, 0);
        // A report generator that fails gives no report, however long it says it is.
        hostsim::SetResult(hostsim::names::kGenerateHealthReport, kHostFailure);
        std::wstring text(kTextCapacity, L'\0');
        int16_t length = static_cast<int16_t>(kTextCapacity);
        uint32_t flag = 1;
        Entry<zorv::FnVehicleAppCommand>(zorv::kEntryVehicleAppCommand)(1, zorv::kCmdHealthReport, &text[0], &length,
                                                                        nullptr, nullptr, &flag);
        EXPECT_EQ(flag, 0u);
    }
    UnregisterAll();
    EXPECT_FALSE(AppExists());
}

INSTANTIATE_TEST_SUITE_P(Behaviours, HostileHost,
                         ::testing::Values(hostsim::kHostileOversizedCounts, hostsim::kHostileUnterminatedTexts,
                                           hostsim::kHostileNullOutputs,
                                           hostsim::kHostileOversizedCounts | hostsim::kHostileUnterminatedTexts |
                                               hostsim::kHostileNullOutputs));

TEST_F(HostileHost, EveryHostCallFailingInTurnIsReportedOrSurvived) {
    // A registration that needs no seconds-long discovery, so that every call can fail once.
    const auto quick = [this] { return Session(1, kQuickAddress, kRestrictedModuleType, false); };
    handles_.push_back(1);
    ASSERT_EQ(quick(), 0);
    UnregisterAll();
    const size_t calls = hostsim::Calls().size();
    ASSERT_GT(calls, 20u);
    // A failure of these leaves registration without a module id, playback status, device
    // or connection: it must fail, never report success.
    const std::set<std::string> essential = {"Zorv_GetModuleIDFromHandle", "Zorv_GetModulePlaybackStatus",
                                             "GetDeviceID", "Zorv_Connect"};
    std::set<std::string> failed;
    for (uint32_t n = 1; n <= calls; ++n) {
        hostsim::ClearCalls();
        hostsim::FailCallNumber(n, kHostFailure);
        handles_.push_back(1);
        const uint16_t result = quick();
        UnregisterAll();
        const std::string function = hostsim::FailedCall();
        failed.insert(function);
        if (essential.count(function) != 0) {
            EXPECT_NE(result, 0) << "call " << n << ", " << function;
        }
        EXPECT_FALSE(AppExists()) << "call " << n << ", " << function;
    }
    for (const std::string& function : essential) EXPECT_EQ(failed.count(function), 1u) << function << " never failed";
}

}  // namespace
}  // namespace marl::testing
