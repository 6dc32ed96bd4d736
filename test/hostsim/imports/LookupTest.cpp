// The host's look-up: its own functions, other modules' entries, removed functions.
#include <cstdint>
#include <set>

#include "test/hostsim/HostSimFixture.h"

namespace {

ZResult ZORV_STDCALL Unregister(ZModuleHandle) { return 0; }

}  // namespace

TEST_F(HostSimTest, EveryHostFunctionIsThereAndDistinct) {
    const int32_t numbers[] = {
        zorv::kLookupOpenTraceSource,    zorv::kLookupCloseTraceSource,    zorv::kLookupTraceOutput,
        zorv::kLookupTraceReserved,      zorv::kLookupGetDeviceId,         zorv::kLookupOverrideRp1210Impl,
        zorv::kLookupGetDeviceProductId, zorv::kLookupClaimBusAddress,     zorv::kLookupUnclaimBusAddress,
        zorv::kLookupGetJ1939Name,       zorv::kLookupCheckAssignable,     zorv::kLookupSendJ1939Msg,
        zorv::kLookupParseJ1939Msg,      zorv::kLookupClearFaultList,      zorv::kLookupGenerateHealthReport,
        zorv::kLookupGetDiscoveryUdis,   zorv::kLookupGetAttributeBinInfo, zorv::kLookupGetFaultRelatedTeskIdCount,
        zorv::kLookupGetFaultRelatedTeskId,
    };
    std::set<void*> addresses;
    for (int32_t number : numbers) {
        void* address = Zorv_GetFunctionAddress(number, zorv::kModuleIdHost);
        EXPECT_NE(address, nullptr) << std::hex << number;
        addresses.insert(address);
    }
    EXPECT_EQ(addresses.size(), sizeof(numbers) / sizeof(numbers[0]));
    EXPECT_EQ(Zorv_GetFunctionAddress(0x1234, zorv::kModuleIdHost), nullptr);
    EXPECT_EQ(Zorv_GetFunctionAddress(zorv::kLookupSendJ1939Msg, zorv::kModuleIdMarlJ1939), nullptr)
        << "host functions answer only for module -1";
}

TEST_F(HostSimTest, RemovedFunctionsAnswerNullUntilRestoredOrReset) {
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

TEST_F(HostSimTest, OtherModulesEntriesAndReplacedHostFunctions) {
    void* entry = reinterpret_cast<void*>(&Unregister);
    EXPECT_EQ(Zorv_GetFunctionAddress(zorv::kEntryUnregisterModule, zorv::kModuleIdFive), nullptr);
    hostsim::RegisterModuleFunction(zorv::kEntryUnregisterModule, zorv::kModuleIdFive, entry);
    EXPECT_EQ(Zorv_GetFunctionAddress(zorv::kEntryUnregisterModule, zorv::kModuleIdFive), entry);
    hostsim::RemoveLookup(zorv::kEntryUnregisterModule, zorv::kModuleIdFive);
    EXPECT_EQ(Zorv_GetFunctionAddress(zorv::kEntryUnregisterModule, zorv::kModuleIdFive), nullptr);

    hostsim::RegisterModuleFunction(zorv::kLookupUnclaimBusAddress, zorv::kModuleIdHost, entry);
    EXPECT_EQ(Zorv_GetFunctionAddress(zorv::kLookupUnclaimBusAddress, zorv::kModuleIdHost), entry);
    hostsim::Reset();
    EXPECT_NE(Zorv_GetFunctionAddress(zorv::kLookupUnclaimBusAddress, zorv::kModuleIdHost), entry);
    EXPECT_EQ(Zorv_GetFunctionAddress(zorv::kEntryUnregisterModule, zorv::kModuleIdFive), nullptr)
        << "reset forgets other modules";
}
