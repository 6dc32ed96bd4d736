// The fault-code database, scaled attributes, the user interface script and reports.
#include <cstdint>
#include <string>
#include <vector>

#include "test/hostsim/HostSimFixture.h"

namespace {

hostsim::FaultDefinition MakeFault() {
    hostsim::FaultDefinition fault;
    fault.groupId = 12;
    fault.binNumber = 1234;
    fault.description = L"Engine Coolant Temperature";
    fault.attributes = {{"FMI", L"Failure Mode", 40, true, "4"}, {"Status", L"Status", 41, false, ""}};
    fault.receivedData = {0x01, 0x02, 0x03};
    fault.relatedTeskIds = {101, 102};
    return fault;
}

}  // namespace

TEST_F(HostSimTest, FaultGroupsIndexesAndAttributes) {
    hostsim::AddFaultGroup(5);
    hostsim::AddFault(MakeFault());
    uint32_t groups = 0;
    EXPECT_EQ(Zorv_GetGroupCount(1, 0, 0, &groups), 0);
    EXPECT_EQ(groups, 2u);
    ZFaultGroupId groupId = 0;
    EXPECT_EQ(Zorv_GetFaultGroupIDByIndex(1, 0, 0, 1, &groupId), 0);
    EXPECT_EQ(groupId, 12u);

    uint16_t first = 9, second = 9, third = 9, faultIndex = 9;
    EXPECT_EQ(Zorv_GetFaultGroupIndexesByID(1, 12, &first, &second, &third), 0);
    EXPECT_EQ(Zorv_GetFaultCodeIndexByBinNumber(1, first, second, third, 1234, &faultIndex), 0);
    EXPECT_EQ(faultIndex, 0);
    int16_t attributes = 0;
    EXPECT_EQ(Zorv_GetFaultCodeAttributeCount(1, first, second, third, faultIndex, &attributes), 0);
    EXPECT_EQ(attributes, 2);

    wchar_t description[255] = {};
    char text[255] = {};
    int64_t value = 0;
    EXPECT_EQ(Zorv_GetFaultCodeExtendedInfo(1, first, second, third, faultIndex, 1, description, 255, text, 255,
                                            &value, nullptr, nullptr, nullptr, 0),
              0);
    EXPECT_EQ(std::wstring(description), L"Engine Coolant Temperature");

    wchar_t displayName[255] = {};
    char key[255] = {};
    EXPECT_EQ(Zorv_GetFaultCodeAttributeBinInfo(1, first, second, third, faultIndex, 1, 1, displayName, 255, key,
                                                255),
              0);
    EXPECT_EQ(std::string(key), "Status");
    auto binInfo = Lookup<zorv::GetAttributeBinInfoFn>(zorv::kLookupGetAttributeBinInfo);
    AttributeBinInfo record{};
    EXPECT_EQ(binInfo(1, 12, 1234, 0, &record), 0);
    uint16_t attributeId = record.attributeId;
    EXPECT_EQ(attributeId, 40);

    hostsim::FaultDefinition noInfo = MakeFault();
    noInfo.binNumber = 99;
    noInfo.hasDescription = false;
    hostsim::AddFault(noInfo);
    EXPECT_NE(Zorv_GetFaultCodeExtendedInfo(1, first, second, third, 1, 1, description, 255, text, 255, &value,
                                            nullptr, nullptr, nullptr, 0),
              0);
}

TEST_F(HostSimTest, ReceivedDataAndScaledValuesAreGivenBack) {
    hostsim::AddFault(MakeFault());
    uint8_t data[45] = {};
    uint16_t length = 2;
    EXPECT_EQ(Zorv_GetRecvdFaultCodeData(1, 12, 1234, data, &length, 36), 0);
    EXPECT_EQ(length, 2) << "never more than the caller's room";
    length = 45;
    EXPECT_EQ(Zorv_GetRecvdFaultCodeData(1, 12, 1234, data, &length, 36), 0);
    EXPECT_EQ(length, 3);

    int32_t live = hostsim::LiveScaledAttributes();
    IScaledAttributes* scaled = nullptr;
    EXPECT_EQ(Zorv_GetScaledAttributeByID(1, 12, 1234, data, length, 1, 40, &scaled), 0);
    ASSERT_NE(scaled, nullptr);
    EXPECT_EQ(hostsim::LiveScaledAttributes(), live + 1);
    EXPECT_STREQ(scaled->GetValueText(kScaledValueFormDefault), "4");
    EXPECT_EQ(scaled->Release(), 0);
    EXPECT_EQ(hostsim::LiveScaledAttributes(), live);

    EXPECT_EQ(Zorv_GetScaledAttributeByID(1, 12, 1234, data, length, 1, 41, &scaled), 0);
    EXPECT_EQ(scaled->GetValueText(kScaledValueFormDefault), nullptr);
    scaled->Release();
    EXPECT_NE(Zorv_GetScaledAttributeByID(1, 12, 1234, data, length, 1, 77, &scaled), 0);

    auto relatedCount = Lookup<zorv::GetFaultRelatedTeskIdCountFn>(zorv::kLookupGetFaultRelatedTeskIdCount);
    auto related = Lookup<zorv::GetFaultRelatedTeskIdFn>(zorv::kLookupGetFaultRelatedTeskId);
    uint16_t count = 0;
    TESKID teskId = 0;
    EXPECT_EQ(relatedCount(1, 1234, &count), 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(related(1, 1234, 1, &teskId), 0);
    EXPECT_EQ(teskId, 102u);
    EXPECT_NE(related(1, 1234, 2, &teskId), 0);

    hostsim::SetReceivedFaultCount(3);
    EXPECT_EQ(Zorv_GetRecvdFaultCodeCount(1, &count), 0);
    EXPECT_EQ(count, 3);
}

TEST_F(HostSimTest, UserInterfaceAnswersInScriptOrder) {
    int32_t answer = 0;
    EXPECT_EQ(Zorv_UIGenericMsg(8, L"Marl J1939: Show only supported parameters?", 4, 32, &answer), 0);
    EXPECT_EQ(answer, 0) << "no scripted answer leaves the caller's value";
    hostsim::QueueUiAnswer(6);
    EXPECT_EQ(Zorv_UIGenericMsg(8, L"q", 4, 32, &answer), 0);
    EXPECT_EQ(answer, 6);

    std::wstring longReply(400, L'9');
    hostsim::QueueUiReply(L"204");
    hostsim::QueueUiReply(longReply);
    wchar_t reply[kUiReplyCapacity] = {};
    EXPECT_EQ(Zorv_UIMsgDataInput(8, 1, L"", L"213\u00A7901\u00A76", 0, nullptr, nullptr, reply, 0, -1), 0);
    EXPECT_EQ(std::wstring(reply), L"204");
    EXPECT_EQ(Zorv_UIMsgDataInput(8, 1, L"", L"206", 0, nullptr, nullptr, reply, 0, -1), 0);
    EXPECT_EQ(std::wstring(reply).size(), kUiReplyCapacity - 1u) << "a reply never runs past the buffer";
    EXPECT_EQ(hostsim::CallsTo("Zorv_UIMsgDataInput")[0].Arg(3), "\"213\xC2\xA7" "901\xC2\xA7" "6\"");
}

TEST_F(HostSimTest, ResourcesAndHealthReport) {
    wchar_t text[8] = {};
    EXPECT_EQ(Zorv_LoadResourceStringByName(1, L"NotAvailable", 1, text, 8), hostsim::kResultNotFound);
    hostsim::SetResourceString(L"NotAvailable", L"Not available");
    EXPECT_EQ(Zorv_LoadResourceStringByName(1, L"NotAvailable", 1, text, 8), 0);
    EXPECT_EQ(std::wstring(text), L"Not ava");

    auto report = Lookup<zorv::GenerateHealthReportFn>(zorv::kLookupGenerateHealthReport);
    wchar_t body[16] = {};
    int16_t length = 16;
    EXPECT_EQ(report(1, 0, body, &length), 0);
    EXPECT_EQ(length, 0) << "an empty report by default";
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
    EXPECT_NE(text.find(L"Engine Total Hours of Operation: 12345.5 h"), std::wstring::npos) << hostsim::ToUtf8(text);
    EXPECT_NE(text.find(L"Vehicle Identification Number: (not received)"), std::wstring::npos);
    EXPECT_LT(text.find(L"Vehicle information"), text.find(L"Health data")) << "vehicle information comes first";

    wchar_t small[10] = {};
    length = 10;
    EXPECT_EQ(report(1, 0x12, small, &length), 0);
    EXPECT_EQ(length, 9) << "the report is cut to the buffer";
}
