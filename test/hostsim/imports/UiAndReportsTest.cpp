// The user-interface script, resource texts and the health report.
#include <cstdint>
#include <string>

#include "test/hostsim/HostSimFixture.h"

TEST_F(HostSimTest, UserInterfaceAnswersInScriptOrder) {
    int32_t answer = 0;
    EXPECT_EQ(Zorv_UIGenericMsg(8, L"Marl J1939: Show only supported parameters?", 4, 32, &answer), 0);
    EXPECT_EQ(answer, 0) << "no scripted answer leaves the caller's value";
    hostsim::QueueUiAnswer(6);
    hostsim::QueueUiAnswer(7);
    EXPECT_EQ(Zorv_UIGenericMsg(8, L"q", 4, 32, &answer), 0);
    EXPECT_EQ(answer, 6);
    EXPECT_EQ(Zorv_UIGenericMsg(8, L"q", 4, 32, &answer), 0);
    EXPECT_EQ(answer, 7);
}

TEST_F(HostSimTest, ResourcesAndTheReportATestChose) {
    wchar_t text[8] = {};
    EXPECT_EQ(Zorv_LoadResourceStringByName(1, L"NotAvailable", 1, text, 8), hostsim::kResultNotFound);
    hostsim::SetResourceString(L"NotAvailable", L"Not available");
    EXPECT_EQ(Zorv_LoadResourceStringByName(1, L"NotAvailable", 1, text, 8), 0);
    EXPECT_EQ(std::wstring(text), L"Not ava") << "cut to the buffer, terminated";

    auto report = Lookup<zorv::GenerateHealthReportFn>(zorv::kLookupGenerateHealthReport);
    wchar_t body[16] = {};
    int16_t length = 16;
    EXPECT_EQ(report(1, 0, body, &length), 0);
    EXPECT_EQ(length, 0) << "an empty report without data points or a chosen text";
    hostsim::SetHealthReport(L"Engine: OK, Brakes: OK");
    length = 16;
    EXPECT_EQ(report(1, 0, body, &length), 0);
    EXPECT_EQ(length, 15);
    EXPECT_EQ(std::wstring(body), L"Engine: OK, Bra");
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
