// The tests a simulated ECU runs on a DM7: the DM30 it reports for a test that passes or
// fails, the refusal or silence the scenario asks for, the scenario's "dm7" list, and the
// DM30 crossing the bus to the tool by transport protocol.
#include <chrono>
#include <string>
#include <vector>

#include "hostsim/bus/VirtualEcu.h"
#include "hostsim/database/JsonFields.h"
#include "hostsim/database/Scenario.h"
#include "platform/Platform.h"
#include "test/hostsim/HostSimFixture.h"

namespace {

std::vector<uint8_t> Hex(const std::string& text) { return hostsim::jsonfields::HexBytes(text, "test", "hex"); }

// The tool's DM7 to `destination` for a test of an SPN with its FMI.
hostsim::J1939Message Dm7(uint8_t destination, uint8_t testId, uint32_t spn, uint8_t fmi) {
    hostsim::J1939Message command;
    command.pgn = j1939::kPgnDm7;
    command.source = j1939::kToolAddress;
    command.destination = destination;
    command.data = {testId};
    j1939::AppendSpnFmi(command.data, spn, fmi);
    command.data.insert(command.data.end(), 4, j1939::kPaddingByte);
    return command;
}

const char* kScenario = R"({"tpPacketGapMs": 1, "ecus": [
    {"address": 0, "dm7": {"4175": "pass", "3719": "fail", "100": "nack", "0x6E": "ignore"}},
    {"address": 3}]})";

}  // namespace

TEST(EcuTests, ADm7IsAnsweredAsTheScenarioSays) {
    hostsim::ScenarioResult result = hostsim::ParseScenarioText(kScenario, "test.json");
    ASSERT_TRUE(result.scenario) << result.error;
    hostsim::VirtualEcu engine(result.scenario->ecus[0]);
    hostsim::VirtualEcu gearbox(result.scenario->ecus[1]);

    std::vector<hostsim::J1939Message> passed = engine.OnMessage(Dm7(0x00, 249, 4175, 31));
    ASSERT_EQ(passed.size(), 1u);
    EXPECT_EQ(passed[0].pgn, j1939::kPgnDm30);
    EXPECT_EQ(passed[0].source, 0x00);
    EXPECT_EQ(passed[0].destination, j1939::kToolAddress) << "the result goes to the tool that asked";
    EXPECT_EQ(passed[0].data, Hex("F9 4F 10 1F 01 00 10 00 64 00 00 00"))
        << "test id, SPN and FMI as asked, SLOT, value within maximum and minimum";

    std::vector<hostsim::J1939Message> failed = engine.OnMessage(Dm7(0x00, 247, 3719, 31));
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].data, Hex("F7 87 0E 1F 01 00 C8 00 64 00 00 00")) << "the value above the maximum";

    const std::vector<uint8_t> refusal = Hex("01 FF FF FF F9 00 E3 00");
    struct Silent {
        const char* what;
        hostsim::VirtualEcu& ecu;
        hostsim::J1939Message command;
        bool refused;
    };
    hostsim::J1939Message tooShort = Dm7(0x00, 249, 4175, 31);
    tooShort.data.resize(3);
    const Silent cases[] = {
        {"listed as nack", engine, Dm7(0x00, 249, 100, 1), true},
        {"an SPN not listed", engine, Dm7(0x00, 249, 84, 31), true},
        {"an ECU without tests", gearbox, Dm7(0x03, 249, 4175, 31), true},
        {"listed as ignore", engine, Dm7(0x00, 249, 110, 31), false},
        {"a DM7 to everybody", engine, Dm7(0xFF, 249, 4175, 31), false},
        {"a DM7 to another ECU", engine, Dm7(0x03, 249, 4175, 31), false},
        {"a DM7 too short to name a test", engine, tooShort, false},
    };
    for (const Silent& test : cases) {
        std::vector<hostsim::J1939Message> replies = test.ecu.OnMessage(test.command);
        if (!test.refused) {
            EXPECT_TRUE(replies.empty()) << test.what;
            continue;
        }
        ASSERT_EQ(replies.size(), 1u) << test.what;
        EXPECT_EQ(replies[0].pgn, j1939::kPgnAcknowledgement) << test.what;
        EXPECT_EQ(replies[0].data, refusal) << test.what;
    }
}

TEST(EcuTests, TheScenarioListsTestsBySpnAndTheDefaultEnginePassesTheDpfTest) {
    const std::pair<const char*, const char*> bad[] = {
        {R"({"ecus": [{"address": 0, "dm7": {"4175": "maybe"}}]})", "is not one of pass, fail, nack, ignore"},
        {R"({"ecus": [{"address": 0, "dm7": {"600000": "pass"}}]})", "dm7[\"600000\"]"},
        {R"({"ecus": [{"address": 0, "dm7": {"4175": "pass", "0x104F": "fail"}}]})", "appears twice"},
    };
    for (const auto& [text, fragment] : bad) {
        hostsim::ScenarioResult result = hostsim::ParseScenarioText(text, "bad.json");
        EXPECT_FALSE(result.scenario) << text;
        EXPECT_NE(result.error.find(fragment), std::string::npos) << result.error;
    }

    hostsim::ScenarioResult truck = hostsim::ReadScenarioFile(hostsim::DataFolderPath() + "/trucks/default-truck.json");
    ASSERT_TRUE(truck.scenario) << truck.error;
    EXPECT_EQ(truck.scenario->ecus[0].tests,
              (hostsim::SimulatedTests{{j1939::kSpnDpfActiveRegenerationForced, hostsim::TestOutcome::Pass}}));
}

TEST_F(HostSimTest, TheDm30CrossesTheBusToTheToolByTransportProtocol) {
    ASSERT_EQ(hostsim::LoadScenarioText(kScenario), "");
    hostsim::BusRecorder recorder;
    auto send = Lookup<zorv::SendJ1939MsgFn>(zorv::kLookupSendJ1939Msg);
    ASSERT_EQ(Zorv_Connect(1, L"J1939:Baud=Auto,Channel=1", 1, nullptr, 1), 0);
    std::vector<uint8_t> command = hostsim::ToHostLayout(Dm7(0x00, 249, 4175, 31));
    ASSERT_EQ(send(1, command.data(), static_cast<uint16_t>(command.size()), 1, 1, 0), 0);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    bool reported = false;
    while (!reported && std::chrono::steady_clock::now() < deadline) {
        for (const hostsim::TrafficRecord& message : recorder.Messages())
            reported = reported || (message.pgn == j1939::kPgnDm30 && message.data.size() == j1939::kDm30ResultBytes);
        marl::platform::SleepMs(2);
    }
    EXPECT_TRUE(reported) << "the twelve bytes of the result, reassembled";
    hostsim::UnloadScenario();
}
