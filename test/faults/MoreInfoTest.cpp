// The caption and body of the fault-information window, built from the stand-in host's
// fault-code database, the bytes it received for the fault and the related data points.
#include <array>
#include <string>

#include "test/support/AppTest.h"

namespace marl::testing {
namespace {

constexpr ZFaultGroupId kGroup = 3;
constexpr ZBinNumber kCoolantBin = 110;
constexpr TESKID kCoolantTemperature = 1012;
constexpr TESKID kOilPressure = 1020;
constexpr TESKID kNoSuchDataPoint = 4444;

hostsim::FaultAttributeDefinition Attribute(const std::string& key, const std::wstring& name, uint16_t id,
                                            const std::string& value) {
    hostsim::FaultAttributeDefinition attribute;
    attribute.key = key;
    attribute.displayName = name;
    attribute.attributeId = id;
    attribute.valueText = value;
    return attribute;
}

class MoreInfoTest : public AppTest {
protected:
    std::array<wchar_t, 255> caption{};
    std::array<wchar_t, 2048> body{};

    void DescribeDatabase() override {
        hostsim::DataPointDefinition coolant = DataPoint(kCoolantTemperature, 0xFEEE);
        coolant.description = L"Engine Coolant Temperature";
        coolant.visible = true;
        hostsim::DataPointDefinition oil = DataPoint(kOilPressure, 0xFEEF);
        oil.description = L"Engine Oil Pressure";
        hostsim::AddDataPoint(coolant);
        hostsim::AddDataPoint(oil);
    }
    void SetUp() override {
        AppTest::SetUp();
        AddModule(1, 0x00)->pgnMap.recordResponse(0xFEEE, false);
    }
    hostsim::FaultDefinition Coolant() {
        hostsim::FaultDefinition fault;
        fault.groupId = kGroup;
        fault.binNumber = kCoolantBin;
        fault.description = L"Engine Coolant Temperature";
        fault.receivedData = {0x04, 0xFF, 0x6E, 0x00, 0x0F, 0x01};
        return fault;
    }
    uint16_t Build(uint16_t captionCapacity = 255, uint16_t bodyCapacity = 2048) {
        return app.FaultCodes().BuildMoreInfoDataString(1, caption.data(), captionCapacity, body.data(), bodyCapacity,
                                                        kGroup, kCoolantBin, 15);
    }
    std::wstring Caption() const { return caption.data(); }
    std::wstring Body() const { return body.data(); }
};

TEST_F(MoreInfoTest, APlainFaultGivesTheLabelledDescriptionInBothTexts) {
    hostsim::AddFault(Coolant());
    EXPECT_EQ(Build(), 0);
    EXPECT_EQ(Caption(), L"More Info - [Engine Coolant Temperature]");
    EXPECT_EQ(Body(), L"Fault: Engine Coolant Temperature");

    // Localized labels come from the host's resources; without a description or its
    // resource the fault is "Undefined".
    hostsim::FaultDefinition unknown = Coolant();
    unknown.hasDescription = false;
    ResetHost();
    hostsim::AddFault(unknown);
    hostsim::SetResourceString(L"FAULT", L"Fehler");
    hostsim::SetResourceString(L"MORE_INFO", L"Details");
    EXPECT_EQ(Build(), 0);
    EXPECT_EQ(Caption(), L"Details - [Undefined]");
    EXPECT_EQ(Body(), L"Fehler: Undefined");
    hostsim::SetResourceString(L"NO_FURTHER_INFO", L"Keine Angaben");
    EXPECT_EQ(Build(), 0);
    EXPECT_EQ(Body(), L"Fehler: Keine Angaben");
}

TEST_F(MoreInfoTest, AttributesScaledFromTheReceivedBytesAndRelatedParametersFollowInTheirOrder) {
    hostsim::FaultDefinition fault = Coolant();
    fault.attributes = {Attribute("Status", L"Status", 6, "Active"), Attribute("ID", L"SPN", 2, "110"),
                        Attribute("FMI", L"FMI", 3, "15"), Attribute("Occurrences", L"Occurrences", 5, "1")};
    fault.attributes[3].hasValue = false;
    fault.relatedTeskIds = {kOilPressure, kNoSuchDataPoint, kCoolantTemperature};
    hostsim::AddFault(fault);
    EXPECT_EQ(Build(), 0);
    EXPECT_EQ(Body(),
              L"Fault: Engine Coolant Temperature\r\nSPN: 110\r\nFMI: 15\r\nStatus: Active\r\nOccurrences: \r\n"
              L"Associated Parameter: Engine Coolant Temperature")
        << "the oil pressure is hidden and unsupported, the unknown data point has no attributes";
    EXPECT_EQ(ArgOf("Zorv_GetScaledAttributeByID", 3).at(0), "04 FF 6E 00 0F 01") << "scaled from what the ECU sent";
    EXPECT_EQ(hostsim::LiveScaledAttributes(), 0) << "every scaled attribute goes back to the host";

    // Small buffers get the beginning of each text, terminated.
    caption.fill(L'#');
    body.fill(L'#');
    EXPECT_EQ(Build(12, 20), 0);
    EXPECT_EQ(Caption(), L"More Info -");
    EXPECT_EQ(Body(), L"Fault: Engine Coola");
    EXPECT_EQ(body[20], L'#') << "nothing written past the capacity";
}

TEST_F(MoreInfoTest, FailuresOfTheHostStopTheTextWhereTheyHappen) {
    hostsim::FaultDefinition fault = Coolant();
    fault.attributes = {Attribute("FMI", L"FMI", 3, "15")};
    fault.relatedTeskIds = {kCoolantTemperature};
    hostsim::AddFault(fault);

    hostsim::SetResult("Zorv_GetRecvdFaultCodeData", 9);
    EXPECT_EQ(Build(), 9);
    EXPECT_EQ(Caption(), L"More Info - [Engine Coolant Temperature]");
    EXPECT_EQ(Body(), L"Fault: Engine Coolant Temperature");
    hostsim::ClearResult("Zorv_GetRecvdFaultCodeData");
    hostsim::SetResult("Zorv_GetScaledAttributeByID", 11);
    EXPECT_EQ(Build(), 11);
    hostsim::ClearResult("Zorv_GetScaledAttributeByID");

    hostsim::RemoveLookup(zorv::kLookupGetFaultRelatedTeskId);
    EXPECT_EQ(Build(), 20);
    EXPECT_EQ(Body(), L"Fault: Engine Coolant Temperature\r\nFMI: 15") << "all but the associated parameters";
    EXPECT_TRUE(HasTrace(2, "CVehicleApp::BuildMoreInfoDataString (Line 601) GetFaultRelatedTeskIdProc == NULL"));
    hostsim::RestoreLookup(zorv::kLookupGetFaultRelatedTeskId);

    app.Modules().RemoveModuleRecord(1);
    EXPECT_EQ(Build(), 20) << "the module went while its related parameters were listed";

    body.fill(L'#');
    hostsim::RemoveLookup(zorv::kLookupGetAttributeBinInfo);
    EXPECT_EQ(Build(), 20);
    EXPECT_EQ(body[0], L'#') << "the texts are left untouched";
    EXPECT_TRUE(HasTrace(2, "CVehicleApp::BuildMoreInfoDataString (Line 286) GetAttributeBinInfo == NULL"));
}

}  // namespace
}  // namespace marl::testing
