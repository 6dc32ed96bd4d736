// The host's fault screen through the command handler: the fault groups (1007), the
// fault-information window with the freeze frame the ECU sends on request (1009) and the
// freeze-frame query (1036).
#include <array>
#include <string>

#include "VehicleApp/boundary/CommandHandler.h"
#include "VehicleApp/receive/Categories.h"
#include "test/support/AppTest.h"

namespace marl::testing {
namespace {

constexpr ZCategoryId kFreezeFrameCategory = 15;
constexpr uint32_t kDm4 = 0xFECD;

// A DM4 from the engine holding SPN 190 FMI 2 and SPN 110 FMI 4, in that order.
const std::vector<uint8_t> kFrames = {0x06, 0xBE, 0x00, 0x02, 0x01, 0x11, 0x22, 0x07,
                                      0x6E, 0x00, 0x04, 0x03, 0x98, 0x7A, 0x55};

class FaultScreenTest : public AppTest {
protected:
    std::array<wchar_t, 2048> text{};
    int16_t length = 2048;

    void DescribeDatabase() override { hostsim::AddCategory(Category(kFreezeFrameCategory, "FreezeFrame", {1012})); }
    void SetUp() override {
        AppTest::SetUp();
        AddCompletedModule(1, 0x00);
        app.Receiver().ClassifyCategories(1);
        hostsim::FaultDefinition fault;
        fault.groupId = 12;
        fault.binNumber = 110;
        fault.description = L"Engine Coolant Temperature";
        fault.receivedData = {0x04, 0xFF, 0x6E, 0x00, 0x04, 0x03};
        fault.attributes = {{"FMI", L"FMI", 3, true, "4"}};
        hostsim::AddFault(fault);
    }
    // The engine answers the DM4 request with `answer` (a DM4 or an acknowledgement).
    void EngineAnswersDm4With(std::vector<uint8_t> answer) {
        hostsim::SetSendHook([this, answer](ZModuleHandle, const std::vector<uint8_t>& message) {
            if (IsRequest(message) && RequestedPgn(message) == kDm4) DeliverLater(5, 1, answer);
            return ZResult{0};
        });
    }
    uint16_t Command(int16_t code, const std::wstring& request, uint8_t* category = nullptr,
                     int16_t* categoryCount = nullptr, uint32_t* available = nullptr) {
        text.fill(L'\0');
        request.copy(text.data(), request.size());
        length = static_cast<int16_t>(text.size());
        const uint16_t result =
            HandleVehicleAppCommand(&app, 1, code, text.data(), &length, category, categoryCount, available);
        JoinAnswers();
        return result;
    }
};

TEST_F(FaultScreenTest, GroupIdsAreListedEachAfterASeparatorWithinTheHostsBuffer) {
    ResetHost();
    for (ZFaultGroupId id : {5u, 7u, 9u}) hostsim::AddFaultGroup(id);
    EXPECT_EQ(Command(zorv::kCmdListFaultGroups, L"junk"), 0);
    EXPECT_EQ(std::wstring(text.data()), L"\u00A75\u00A77\u00A79");
    EXPECT_EQ(length, 6);

    text.fill(L'#');
    length = 4;
    HandleVehicleAppCommand(&app, 1, zorv::kCmdListFaultGroups, text.data(), &length, nullptr, nullptr, nullptr);
    EXPECT_EQ(std::wstring(text.data()), L"\u00A75\u00A7");
    EXPECT_EQ(length, 3);
    EXPECT_EQ(text[4], L'#');

    hostsim::SetResult("Zorv_GetGroupCount", 3);
    length = 10;
    HandleVehicleAppCommand(&app, 1, zorv::kCmdListFaultGroups, text.data(), &length, nullptr, nullptr, nullptr);
    EXPECT_EQ(text[0], L'\0');
    EXPECT_EQ(length, 10) << "without a group count the size stays";
}

TEST_F(FaultScreenTest, MoreInformationAsksTheEcuForItsFreezeFrameAndOpensTheWindow) {
    EngineAnswersDm4With(Message(kDm4, 0x00, kFrames));
    EXPECT_EQ(Command(zorv::kCmdFaultInfo, L"12\u00A7110\u00A736"), 0);
    EXPECT_EQ(RequestCount(kDm4, 0x00), 1u);
    EXPECT_EQ(ArgOf("Zorv_GetRecvdFaultCodeData", 5).at(0), "36") << "the host gets the FMI unmasked";
    EXPECT_EQ(app.FaultCodes().InspectedFmi(), 4);
    EXPECT_TRUE(app.FaultCodes().FreezeFrameFound()) << "found by FMI 36 AND 0x1F in the second frame";
    EXPECT_EQ(ArgOf("Zorv_ParseMsg", 1).at(0), "10 CD FE 00 00 07 6E 00 04 03 98 7A 55");
    const std::vector<Texts> window = ArgsOf("ZorvLite_FaultInfoMsg");
    ASSERT_EQ(window.size(), 1u);
    EXPECT_EQ(window[0][1], "\"More Info - [Engine Coolant Temperature]\"");
    EXPECT_EQ(window[0][2], "\"Fault: Engine Coolant Temperature\r\nFMI: 4\"");
    EXPECT_EQ(window[0][3], "1");
    EXPECT_EQ(window[0][4], "15");
    EXPECT_EQ(window[0][5], "\"FreezeFrame\"");
    EXPECT_EQ(std::wstring(text.data()), L"Fault: Engine Coolant Temperature\r\nFMI: 4")
        << "the body, in the command's buffer";
    EXPECT_EQ(Parsed().size(), 0u) << "the DM4 answer is kept for the search, not parsed";

    // The freeze-frame query answers from the stored DM4 without asking again.
    uint8_t category = 0;
    int16_t categoryCount = 1;
    uint32_t available = 7;
    EXPECT_EQ(Command(zorv::kCmdFaultInfoExtended, L"12\u00A7190\u00A72", &category, &categoryCount, &available), 0);
    EXPECT_EQ(available, 1u);
    EXPECT_EQ(category, kFreezeFrameCategory);
    EXPECT_EQ(categoryCount, 1);
    EXPECT_EQ(RequestCount(kDm4, 0x00), 1u);
    category = 0;
    categoryCount = 0;
    EXPECT_EQ(Command(zorv::kCmdFaultInfoExtended, L"12\u00A7190\u00A73", &category, &categoryCount, &available), 0);
    EXPECT_EQ(available, 0u);
    EXPECT_EQ(category, 0) << "no room for a category: both stay";
    EXPECT_EQ(categoryCount, 0);
}

TEST_F(FaultScreenTest, AnEcuWithoutFreezeFramesOpensTheWindowWithNoneFound) {
    EngineAnswersDm4With(Acknowledgement(1, kDm4, 0x00));
    EXPECT_EQ(Command(zorv::kCmdFaultInfo, L"12\u00A7110\u00A74"), 0);
    EXPECT_FALSE(app.FaultCodes().FreezeFrameFound());
    EXPECT_EQ(ArgOf("ZorvLite_FaultInfoMsg", 3), Texts{"0"});
    EXPECT_EQ(CallCount("Zorv_ParseMsg"), 0u);

    // A failing text build reaches the host and opens no window.
    hostsim::RemoveLookup(zorv::kLookupGetAttributeBinInfo);
    EXPECT_EQ(Command(zorv::kCmdFaultInfo, L"12\u00A7110\u00A74"), 20);
    EXPECT_EQ(CallCount("ZorvLite_FaultInfoMsg"), 1u);
    EXPECT_EQ(std::wstring(text.data()), L"12\u00A7110\u00A74") << "the command's buffer is not changed";
}

}  // namespace
}  // namespace marl::testing
