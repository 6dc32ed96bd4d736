// Host functions whose state a test sets up and the plug-in's tests take for granted:
// look-ups a test removes or replaces, the frozen clock, scripted answers, resource
// texts cut to the caller's buffer, and the report the host writes from its categories.
#include <cstdint>
#include <string>

#include "test/hostsim/HostSimFixture.h"

namespace {

ZResult ZORV_STDCALL Unregister(ZModuleHandle) { return 0; }

void* HostFunction(int32_t number) { return Zorv_GetFunctionAddress(number, zorv::kModuleIdHost); }

}  // namespace

TEST_F(HostSimTest, LookupChangesLastUntilRestoredOrReset) {
    void* claim = HostFunction(zorv::kLookupClaimBusAddress);
    ASSERT_NE(claim, nullptr);
    hostsim::RemoveLookup(zorv::kLookupClaimBusAddress);
    EXPECT_EQ(HostFunction(zorv::kLookupClaimBusAddress), nullptr);
    hostsim::RestoreLookup(zorv::kLookupClaimBusAddress);
    EXPECT_EQ(HostFunction(zorv::kLookupClaimBusAddress), claim);
    EXPECT_EQ(Zorv_GetFunctionAddress(zorv::kLookupSendJ1939Msg, zorv::kModuleIdMarlJ1939), nullptr)
        << "host functions answer only for module -1";

    void* entry = reinterpret_cast<void*>(&Unregister);
    hostsim::RegisterModuleFunction(zorv::kEntryUnregisterModule, zorv::kModuleIdFive, entry);
    EXPECT_EQ(Zorv_GetFunctionAddress(zorv::kEntryUnregisterModule, zorv::kModuleIdFive), entry);
    hostsim::RegisterModuleFunction(zorv::kLookupUnclaimBusAddress, zorv::kModuleIdHost, entry);
    EXPECT_EQ(HostFunction(zorv::kLookupUnclaimBusAddress), entry);
    hostsim::RemoveLookup(zorv::kLookupTraceOutput);
    hostsim::Reset();
    EXPECT_NE(HostFunction(zorv::kLookupTraceOutput), nullptr);
    EXPECT_NE(HostFunction(zorv::kLookupUnclaimBusAddress), entry);
    EXPECT_EQ(Zorv_GetFunctionAddress(zorv::kEntryUnregisterModule, zorv::kModuleIdFive), nullptr)
        << "reset forgets other modules";
}

TEST_F(HostSimTest, ClockScriptAndResourcesAsATestSetsThem) {
    hostsim::SetSysTime(0xFFFFFF00u);
    hostsim::AdvanceSysTime(0x200);
    EXPECT_EQ(Zorv_GetSysTime(), 0x100u) << "the host's time wraps at 2^32";

    int32_t answer = 0;
    EXPECT_EQ(Zorv_UIGenericMsg(8, L"q", 4, 32, &answer), 0);
    EXPECT_EQ(answer, 0) << "no scripted answer leaves the caller's value";
    hostsim::QueueUiAnswer(6);
    hostsim::QueueUiAnswer(7);
    for (int32_t expected : {6, 7}) {
        EXPECT_EQ(Zorv_UIGenericMsg(8, L"q", 4, 32, &answer), 0);
        EXPECT_EQ(answer, expected);
    }

    wchar_t text[8] = {};
    EXPECT_EQ(Zorv_LoadResourceStringByName(1, L"NotAvailable", 1, text, 8), hostsim::kResultNotFound);
    hostsim::SetResourceString(L"NotAvailable", L"Not available");
    EXPECT_EQ(Zorv_LoadResourceStringByName(1, L"NotAvailable", 1, text, 8), 0);
    EXPECT_EQ(std::wstring(text), L"Not ava") << "cut to the buffer, terminated";
}

TEST_F(HostSimTest, HealthReportIsWrittenFromTheReportCategories) {
    hostsim::DataPointDefinition hours;
    hours.teskId = 301;
    hours.name = "SPN_247";
    hours.description = L"Engine Total Hours of Operation";
    hours.valueText = L"12345.5 h";
    hostsim::AddDataPoint(hours);
    hostsim::DataPointDefinition vin;
    vin.teskId = 302;
    vin.name = "SPN_237";
    vin.description = L"Vehicle Identification Number";
    hostsim::AddDataPoint(vin);
    hostsim::AddCategory({40, "HealthReport_Data", L"Health", 0, {301}});
    hostsim::AddCategory({41, "HealthReport_VehicleInfo", L"Vehicle", 0, {302}});
    auto report = Lookup<zorv::GenerateHealthReportFn>(zorv::kLookupGenerateHealthReport);
    wchar_t body[512] = {};
    int16_t length = 512;
    EXPECT_EQ(report(1, 0x12, body, &length), 0);
    const std::wstring text(body);
    EXPECT_EQ(static_cast<size_t>(length), text.size());
    EXPECT_NE(text.find(L"address 0x12"), std::wstring::npos) << hostsim::ToUtf8(text);
    EXPECT_NE(text.find(L"Engine Total Hours of Operation: 12345.5 h"), std::wstring::npos);
    EXPECT_NE(text.find(L"Vehicle Identification Number: (not received)"), std::wstring::npos);
    EXPECT_LT(text.find(L"Vehicle information"), text.find(L"Health data")) << "vehicle information comes first";
}
