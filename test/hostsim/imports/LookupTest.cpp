// The host's look-up: its own functions, other modules' entries, removed functions.
#include <cstdint>
#include <string>

#include "test/hostsim/HostSimFixture.h"

namespace {

const int32_t kHostFunctionNumbers[] = {
    zorv::kLookupOpenTraceSource,     zorv::kLookupCloseTraceSource,   zorv::kLookupTraceOutput,
    zorv::kLookupTraceReserved,       zorv::kLookupGetDeviceId,        zorv::kLookupOverrideRp1210Impl,
    zorv::kLookupGetDeviceProductId,  zorv::kLookupClaimBusAddress,    zorv::kLookupUnclaimBusAddress,
    zorv::kLookupGetJ1939Name,        zorv::kLookupCheckAssignable,    zorv::kLookupSendJ1939Msg,
    zorv::kLookupParseJ1939Msg,       zorv::kLookupClearFaultList,     zorv::kLookupGenerateHealthReport,
    zorv::kLookupGetDiscoveryUdis,    zorv::kLookupGetAttributeBinInfo, zorv::kLookupGetFaultRelatedTeskIdCount,
    zorv::kLookupGetFaultRelatedTeskId,
};

int16_t gLastCode = 0;
std::wstring gLastText;

ZResult ZORV_STDCALL J1708Command(uint32_t, int16_t code, wchar_t* text, int16_t*, uint8_t*, int16_t*,
                                  uint32_t* flag) {
    gLastCode = code;
    gLastText = text != nullptr ? text : L"";
    if (flag != nullptr) *flag = 1;
    return 0;
}

ZResult ZORV_STDCALL Unregister(ZModuleHandle) { return 0; }

}  // namespace

TEST_F(HostSimTest, EveryHostFunctionIsThereAndDistinct) {
    for (int32_t number : kHostFunctionNumbers) {
        EXPECT_NE(Zorv_GetFunctionAddress(number, zorv::kModuleIdHost), nullptr) << std::hex << number;
        for (int32_t other : kHostFunctionNumbers) {
            if (other != number) {
                EXPECT_NE(Zorv_GetFunctionAddress(number, zorv::kModuleIdHost),
                          Zorv_GetFunctionAddress(other, zorv::kModuleIdHost));
            }
        }
    }
    EXPECT_EQ(Zorv_GetFunctionAddress(0x1234, zorv::kModuleIdHost), nullptr);
    EXPECT_EQ(Zorv_GetFunctionAddress(zorv::kLookupSendJ1939Msg, zorv::kModuleIdMarlJ1939), nullptr)
        << "host functions answer only for module -1";
}

TEST_F(HostSimTest, RemovedFunctionsAnswerNullUntilRestored) {
    void* claim = Zorv_GetFunctionAddress(zorv::kLookupClaimBusAddress, zorv::kModuleIdHost);
    hostsim::RemoveLookup(zorv::kLookupClaimBusAddress);
    EXPECT_EQ(Zorv_GetFunctionAddress(zorv::kLookupClaimBusAddress, zorv::kModuleIdHost), nullptr);
    EXPECT_NE(Zorv_GetFunctionAddress(zorv::kLookupUnclaimBusAddress, zorv::kModuleIdHost), nullptr);
    hostsim::RestoreLookup(zorv::kLookupClaimBusAddress);
    EXPECT_EQ(Zorv_GetFunctionAddress(zorv::kLookupClaimBusAddress, zorv::kModuleIdHost), claim);

    hostsim::RemoveLookup(zorv::kLookupTraceOutput);
    hostsim::Reset();
    EXPECT_NE(Zorv_GetFunctionAddress(zorv::kLookupTraceOutput, zorv::kModuleIdHost), nullptr);
}

TEST_F(HostSimTest, OtherModulesEntriesCanBeRegisteredAndRemoved) {
    EXPECT_EQ(Zorv_GetFunctionAddress(zorv::kEntryUnregisterModule, zorv::kModuleIdFive), nullptr);
    hostsim::RegisterModuleFunction(zorv::kEntryUnregisterModule, zorv::kModuleIdFive,
                                    reinterpret_cast<void*>(&Unregister));
    EXPECT_NE(Zorv_GetFunctionAddress(zorv::kEntryUnregisterModule, zorv::kModuleIdFive), nullptr);

    hostsim::RegisterModuleFunction(zorv::kEntryVehicleAppCommand, zorv::kModuleIdJ1708App,
                                    reinterpret_cast<void*>(&J1708Command));
    auto command = Lookup<zorv::VehicleAppCommandFn>(zorv::kEntryVehicleAppCommand, zorv::kModuleIdJ1708App);
    ASSERT_NE(command, nullptr);
    wchar_t text[] = L"11";
    uint32_t flag = 0;
    EXPECT_EQ(command(7, zorv::kJ1708CommandClearFaults, text, nullptr, nullptr, nullptr, &flag), 0);
    EXPECT_EQ(gLastCode, zorv::kJ1708CommandClearFaults);
    EXPECT_EQ(gLastText, L"11");
    EXPECT_EQ(flag, 1u);

    hostsim::RemoveLookup(zorv::kEntryVehicleAppCommand, zorv::kModuleIdJ1708App);
    EXPECT_EQ(Zorv_GetFunctionAddress(zorv::kEntryVehicleAppCommand, zorv::kModuleIdJ1708App), nullptr);
    hostsim::Reset();
    EXPECT_EQ(Zorv_GetFunctionAddress(zorv::kEntryUnregisterModule, zorv::kModuleIdFive), nullptr)
        << "reset forgets other modules";
}

TEST_F(HostSimTest, RegisteringForTheHostReplacesItsFunction) {
    hostsim::RegisterModuleFunction(zorv::kLookupUnclaimBusAddress, zorv::kModuleIdHost,
                                    reinterpret_cast<void*>(&Unregister));
    EXPECT_EQ(Zorv_GetFunctionAddress(zorv::kLookupUnclaimBusAddress, zorv::kModuleIdHost),
              reinterpret_cast<void*>(&Unregister));
}
