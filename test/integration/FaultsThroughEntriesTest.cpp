// The technician's fault screen through the entries: the default truck's engine reports
// its faults in DM1, the host lists them, the plug-in opens the information window of one
// with the freeze frame the ECU sends, and clearing empties the ECU's and the host's
// lists. A capture of a real engine gives its faults too.
#include <string>

#include "host/ZorvApi.h"
#include "test/support/AppTest.h"
#include "test/support/EntryTest.h"

namespace marl::testing {
namespace {

constexpr const char* kIdleEngineLog = MARL_TEST_LOGS_DIR "/engine-idle-dm1.candump.log";
constexpr size_t kRequestCapacity = 2048;
constexpr ZCategoryId kFreezeFrameCategory = 15;

class FaultsThroughEntries : public EntryTest {
protected:
    uint16_t Command(int16_t code, std::wstring& text, uint8_t* category = nullptr, int16_t* count = nullptr,
                     uint32_t* flag = nullptr) {
        text.resize(kRequestCapacity, L'\0');
        int16_t length = static_cast<int16_t>(kRequestCapacity);
        const uint16_t result = Entry<zorv::FnVehicleAppCommand>(zorv::kEntryVehicleAppCommand)(
            1, code, &text[0], &length, category, count, flag);
        text.resize(std::wcslen(text.c_str()));
        return result;
    }
    static std::vector<std::pair<uint32_t, uint8_t>> Listed(const hostsim::FaultListView& view) {
        std::vector<std::pair<uint32_t, uint8_t>> codes;
        for (const auto& fault : view.faults) codes.emplace_back(fault.dtc.spn, fault.dtc.fmi);
        return codes;
    }
};

TEST_F(FaultsThroughEntries, TheDefaultTrucksEngineFaultsAreListedExplainedAndCleared) {
    ASSERT_EQ(hostsim::LoadDefaultScenario(), "");
    ASSERT_EQ(RegisterWithInfo(1, 0x00, 1), 0);
    Complete(1);
    ASSERT_TRUE(WaitUntil([] { return hostsim::FaultList(1).faults.size() >= 2; }, 10000));

    std::wstring text;
    EXPECT_EQ(Command(zorv::kCmdListFaultGroups, text), 0);
    EXPECT_EQ(text, L"\u00A71\u00A72");
    const hostsim::FaultListView listed = hostsim::FaultList(1);
    EXPECT_EQ(Listed(listed)[0], (std::pair<uint32_t, uint8_t>{3719, 16}));
    EXPECT_EQ(listed.received.active.lamps.amberWarning.state, hostsim::kLampOn);

    text = L"1\u00A7110\u00A715";
    EXPECT_EQ(Command(zorv::kCmdFaultInfo, text), 0);
    const auto windows = hostsim::FaultInfoWindows();
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0].caption, "More Info - [Engine Coolant Temperature]");
    const std::string& body = windows[0].body;
    EXPECT_EQ(body.rfind("Fault: Engine Coolant Temperature\r\n", 0), 0u) << body;
    const size_t fmiDescription = body.find("Data Valid But Above Normal Operating Range - Least Severe Level"),
                 spn = body.find("SPN: 110"), fmi = body.find("FMI: 15"), status = body.find("Active"),
                 associated = body.find("Associated");
    EXPECT_LT(fmiDescription, spn) << body;
    EXPECT_LT(spn, fmi);
    EXPECT_LT(fmi, status);
    EXPECT_LT(status, associated);
    EXPECT_NE(associated, std::string::npos) << body;
    EXPECT_TRUE(windows[0].freezeFrameFound);
    EXPECT_EQ(windows[0].categoryId, kFreezeFrameCategory);
    EXPECT_TRUE(hostsim::FreezeFrame(1).found);

    text = L"1\u00A7110\u00A715";
    uint8_t category = 0;
    int16_t categoryCount = 1;
    uint32_t available = 0;
    EXPECT_EQ(Command(zorv::kCmdFaultInfoExtended, text, &category, &categoryCount, &available), 0);
    EXPECT_EQ(available, 1u);
    EXPECT_EQ(category, kFreezeFrameCategory);

    hostsim::SetJ1708AppPresent(true);
    EXPECT_EQ(Entry<zorv::FnModuleHandleOnly>(zorv::kEntryClearFaultCodes)(1), 0);
    EXPECT_TRUE(hostsim::FaultList(1).faults.empty()) << "the host's list is emptied";
    ASSERT_EQ(hostsim::J1708Commands().size(), 1u);
    EXPECT_EQ(hostsim::J1708Commands()[0].text, "0");
    // The engine's next DM1 holds no fault and its lamps are off.
    ASSERT_TRUE(WaitUntil([] { return hostsim::ReceivedFaults(1).activeReceived; }, 3000));
    const hostsim::ReceivedFaultCodes after = hostsim::ReceivedFaults(1);
    EXPECT_TRUE(after.active.dtcs.empty());
    EXPECT_EQ(after.active.lamps.amberWarning.state, hostsim::kLampOff);
}

TEST_F(FaultsThroughEntries, AReplayedEngineCaptureGivesTheFaultsTheEngineReported) {
    // An adapter that defers discovery: nothing on this bus would answer its probes.
    hostsim::SetProductId(0x40);
    ASSERT_EQ(RegisterWithInfo(1, 0x00, 1), 0);
    Complete(1);
    ASSERT_EQ(hostsim::ReplayBusLog(kIdleEngineLog, 1, 0), "");
    ASSERT_TRUE(hostsim::WaitForReplay(60000));
    const hostsim::FaultListView view = hostsim::FaultList(1);
    EXPECT_EQ(Listed(view), (std::vector<std::pair<uint32_t, uint8_t>>{{980, 9}, {3216, 20}, {609, 9}, {609, 12}}));
    for (const auto& fault : view.faults) {
        EXPECT_EQ(fault.description.rfind("SPN ", 0), std::string::npos) << "a name, not a number: " << fault.dtc.spn;
        EXPECT_FALSE(fault.fmiText.empty());
    }
    EXPECT_EQ(view.received.active.lamps.malfunction.state, hostsim::kLampOn);
    EXPECT_EQ(view.received.active.lamps.amberWarning.state, hostsim::kLampOff);

    // The plug-in lists the host's groups for the screen.
    std::wstring text;
    EXPECT_EQ(Command(zorv::kCmdListFaultGroups, text), 0);
    EXPECT_EQ(text, L"\u00A71\u00A72");
}

}  // namespace
}  // namespace marl::testing
