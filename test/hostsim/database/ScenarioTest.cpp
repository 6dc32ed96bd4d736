// Scenario files and what a virtual ECU answers on the bus.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hostsim/database/Scenario.h"
#include "hostsim/bus/VirtualEcu.h"

namespace {

const char* kEngine = R"({
  "name": "two ECUs",
  "ecus": [
    {"label": "Engine", "address": "0x00", "replyDelayMs": 2,
     "name": {"identityNumber": 4242, "manufacturerCode": 100, "function": 0, "industryGroup": 1},
     "default": "nack",
     "pgns": {
       "0xFEE5": {"behaviour": "answer", "data": "80 C4 03 00 FF FF FF FF"},
       "49408":  {"behaviour": "answer", "data": "00 00 F0 05 00 00 E0 10"},
       "65260":  {"behaviour": "answer", "text": "1M2TR2407PM004217*"},
       "61444":  {"behaviour": "broadcast", "periodMs": 100, "priority": 3, "data": "F07D87401F00FF87"},
       "65217":  {"behaviour": "nack"},
       "65235":  {"behaviour": "ack"},
       "40704":  {"behaviour": "ignore"}
     }},
    {"label": "Cluster", "channel": 2, "address": 23, "default": "ignore"}
  ]
})";

hostsim::ScenarioDescription Load(const std::string& text) {
    hostsim::ScenarioResult result = hostsim::ParseScenarioText(text, "test.json");
    EXPECT_TRUE(result.scenario) << result.error;
    return result.scenario ? *result.scenario : hostsim::ScenarioDescription{};
}

hostsim::J1939Message Request(uint32_t pgn, uint8_t destination) {
    hostsim::J1939Message request;
    request.pgn = 0xEA00;
    request.source = 0xF9;
    request.destination = destination;
    request.data = {static_cast<uint8_t>(pgn), static_cast<uint8_t>(pgn >> 8), static_cast<uint8_t>(pgn >> 16)};
    return request;
}

std::string ErrorOf(const std::string& text) { return hostsim::ParseScenarioText(text, "bad.json").error; }

}  // namespace

TEST(Scenario, ReadsEcusNamesAndBehaviours) {
    hostsim::ScenarioDescription scenario = Load(kEngine);
    ASSERT_EQ(scenario.ecus.size(), 2u);
    EXPECT_EQ(scenario.tpPacketGapMs, hostsim::kDefaultTpPacketGapMs);
    const hostsim::EcuDescription& engine = scenario.ecus[0];
    EXPECT_EQ(engine.channel, 1);
    EXPECT_EQ(engine.replyDelayMs, 2u);
    EXPECT_EQ(engine.name.manufacturerCode, 100);
    EXPECT_EQ(engine.pgns.at(0xFEE5).data.size(), 8u);
    EXPECT_EQ(engine.pgns.at(61444).periodMs, 100u);
    EXPECT_EQ(engine.pgns.at(61444).priority, 3);
    EXPECT_EQ(engine.pgns.at(65260).data.size(), 18u);
    EXPECT_EQ(scenario.ecus[1].address, 23);
    EXPECT_EQ(scenario.ecus[1].defaultBehaviour, hostsim::Behaviour::Ignore);
}

TEST(Scenario, EcuAnswersNacksAndStaysSilentAsJ1939Wants) {
    hostsim::VirtualEcu engine(Load(kEngine).ecus[0]);

    auto hours = engine.OnMessage(Request(0xFEE5, 0x00));
    ASSERT_EQ(hours.size(), 1u);
    EXPECT_EQ(hours[0].pgn, 0xFEE5u);
    EXPECT_EQ(hours[0].source, 0x00);
    EXPECT_EQ(hours[0].destination, 0xFF) << "a PDU2 answer is for everybody";
    EXPECT_EQ(engine.OnMessage(Request(0xFEE5, 0xFF)).size(), 1u) << "a global request is answered too";
    EXPECT_TRUE(engine.OnMessage(Request(0xFEE5, 0x03)).empty()) << "a request for another ECU";
    auto dm21 = engine.OnMessage(Request(49408, 0x00));
    ASSERT_EQ(dm21.size(), 1u);
    EXPECT_EQ(dm21[0].destination, 0xF9) << "a PDU1 answer goes back to the requester";

    auto nack = engine.OnMessage(Request(65217, 0x00));
    ASSERT_EQ(nack.size(), 1u);
    EXPECT_EQ(nack[0].pgn, 0xE800u);
    EXPECT_EQ(nack[0].data, (std::vector<uint8_t>{0x01, 0xFF, 0xFF, 0xFF, 0xF9, 0xC1, 0xFE, 0x00}));
    EXPECT_TRUE(engine.OnMessage(Request(65217, 0xFF)).empty()) << "no NACK to a global request";
    EXPECT_EQ(engine.OnMessage(Request(0xFECA, 0x00)).size(), 1u) << "an unlisted PGN takes the default";
    EXPECT_TRUE(engine.OnMessage(Request(0xFECA, 0xFF)).empty());

    auto ack = engine.OnMessage(Request(65235, 0x00));
    ASSERT_EQ(ack.size(), 1u);
    EXPECT_EQ(ack[0].data[0], 0x00) << "positive acknowledgement";
    EXPECT_TRUE(engine.OnMessage(Request(40704, 0x00)).empty());

    auto claim = engine.OnMessage(Request(0xEE00, 0xFF));
    ASSERT_EQ(claim.size(), 1u);
    EXPECT_EQ(claim[0].pgn, 0xEE00u);
    EXPECT_EQ(claim[0].data, engine.AddressClaim().data);

    hostsim::J1939Message notARequest = Request(0xFEE5, 0x00);
    notARequest.pgn = 0xFEE5;
    EXPECT_TRUE(engine.OnMessage(notARequest).empty());
    hostsim::VirtualEcu cluster(Load(kEngine).ecus[1]);
    EXPECT_TRUE(cluster.OnMessage(Request(0xFEE5, 23)).empty()) << "an ECU that ignores what it does not know";
}

TEST(Scenario, ErrorsNameThePlaceAndTheProblem) {
    EXPECT_NE(ErrorOf("{ \"ecus\": [ }").find("bad.json: not valid JSON"), std::string::npos);
    EXPECT_NE(ErrorOf("{}").find("'ecus' is missing"), std::string::npos);
    EXPECT_NE(ErrorOf(R"({"ecus": [{"label": "Engine"}]})").find("ecus[0] (Engine): 'address' is missing"),
              std::string::npos);
    EXPECT_NE(ErrorOf(R"({"ecus": [{"address": 254}]})").find("'address' is 254, not between 0 and 253"),
              std::string::npos);
    EXPECT_NE(ErrorOf(R"({"ecus": [{"address": 0, "pgns": {"65260": {"behaviour": "anwser"}}}]})")
                  .find("pgns[\"65260\"]: 'behaviour' \"anwser\" is not one of"),
              std::string::npos);
    EXPECT_NE(ErrorOf(R"({"ecus": [{"address": 0, "pgns": {"65260": {"behaviour": "answer"}}}]})")
                  .find("needs 'data' or 'text'"),
              std::string::npos);
    EXPECT_NE(ErrorOf(R"({"ecus": [{"address": 0, "pgns": {"61444": {"behaviour": "broadcast", "data": "00"}}}]})")
                  .find("'periodMs' is missing"),
              std::string::npos);
    EXPECT_NE(ErrorOf(R"({"ecus": [{"address": 0, "pgns": {"61444": {"behaviour": "answer", "data": "0G"}}}]})")
                  .find("is not hexadecimal"),
              std::string::npos);
    EXPECT_NE(ErrorOf(R"({"ecus": [{"address": 0, "pgns": {"0x40000": {"behaviour": "nack"}}}]})")
                  .find("'PGN' is 262144"),
              std::string::npos);
    EXPECT_NE(ErrorOf(R"({"ecus": [{"address": 0, "default": "answer"}]})").find("'default' must be"),
              std::string::npos);
    EXPECT_NE(ErrorOf(R"({"ecus": [{"address": 3}, {"address": "0x03"}]})").find("address 3 is claimed twice"),
              std::string::npos);
    EXPECT_NE(ErrorOf(R"({"ecus": [{"address": 3, "name": {"function": 256}}]})").find("name: 'function' is 256"),
              std::string::npos);
    EXPECT_NE(ErrorOf(R"({"ecus": [{"address": 3, "channel": 0}]})").find("'channel' is 0"), std::string::npos);
    EXPECT_NE(hostsim::ReadScenarioFile("no-such-truck.json").error.find("no-such-truck.json: cannot open"),
              std::string::npos);
}
