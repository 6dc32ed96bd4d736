// Scenario files and what a virtual ECU answers on the bus.

#include <string>
#include <vector>

#include "hostsim/bus/VirtualEcu.h"
#include "hostsim/database/Scenario.h"
#include "test/hostsim/HostSimFixture.h"

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

std::string ErrorOf(const std::string& text) { return hostsim::ParseScenarioText(text, "bad.json").error; }

}  // namespace

TEST(Scenario, EcuAnswersNacksAndStaysSilentAsJ1939Wants) {
    hostsim::VirtualEcu engine(Load(kEngine).ecus[0]);
    struct Case {
        const char* what;
        uint32_t pgn;
        uint8_t destination;
        size_t replies;
        uint32_t replyPgn;
        uint8_t replyDestination;
    };
    const Case cases[] = {
        {"answered: a PDU2 answer is for everybody", 0xFEE5, 0x00, 1, 0xFEE5, 0xFF},
        {"a global request is answered too", 0xFEE5, 0xFF, 1, 0xFEE5, 0xFF},
        {"a request for another ECU", 0xFEE5, 0x03, 0, 0, 0},
        {"a PDU1 answer goes back to the requester", 49408, 0x00, 1, 49408, 0xF9},
        {"refused: NACK", 65217, 0x00, 1, 0xE800, 0xFF},
        {"no NACK to a global request", 65217, 0xFF, 0, 0, 0},
        {"an unlisted PGN takes the default", 0xFECA, 0x00, 1, 0xE800, 0xFF},
        {"acknowledged", 65235, 0x00, 1, 0xE800, 0xFF},
        {"ignored", 40704, 0x00, 0, 0, 0},
        {"a claim is always answered", 0xEE00, 0xFF, 1, 0xEE00, 0xFF},
    };
    for (const Case& c : cases) {
        auto replies = engine.OnMessage(RequestMessage(c.pgn, c.destination));
        ASSERT_EQ(replies.size(), c.replies) << c.what;
        if (c.replies == 0) continue;
        EXPECT_EQ(replies[0].pgn, c.replyPgn) << c.what;
        EXPECT_EQ(replies[0].source, 0x00) << c.what;
        EXPECT_EQ(replies[0].destination, c.replyDestination) << c.what;
    }
    EXPECT_EQ(engine.OnMessage(RequestMessage(65217, 0x00))[0].data,
              (std::vector<uint8_t>{0x01, 0xFF, 0xFF, 0xFF, 0xF9, 0xC1, 0xFE, 0x00}));
    EXPECT_EQ(engine.OnMessage(RequestMessage(65235, 0x00))[0].data[0], 0x00) << "positive acknowledgement";
    hostsim::J1939Message notARequest = RequestMessage(0xFEE5, 0x00);
    notARequest.pgn = 0xFEE5;
    EXPECT_TRUE(engine.OnMessage(notARequest).empty());
    hostsim::VirtualEcu cluster(Load(kEngine).ecus[1]);
    EXPECT_TRUE(cluster.OnMessage(RequestMessage(0xFEE5, 23)).empty()) << "an ECU that ignores what it does not know";
}

TEST(Scenario, ErrorsNameThePlaceAndTheProblem) {
    const std::pair<const char*, const char*> cases[] = {
        {"{ \"ecus\": [ }", "bad.json: not valid JSON"},
        {"{}", "'ecus' is missing"},
        {R"({"ecus": [{"label": "Engine"}]})", "ecus[0] (Engine): 'address' is missing"},
        {R"({"ecus": [{"address": 254}]})", "'address' is 254, not between 0 and 253"},
        {R"({"ecus": [{"address": 0, "pgns": {"65260": {"behaviour": "anwser"}}}]})",
         "pgns[\"65260\"]: 'behaviour' \"anwser\" is not one of"},
        {R"({"ecus": [{"address": 0, "pgns": {"65260": {"behaviour": "answer"}}}]})", "needs 'data' or 'text'"},
        {R"({"ecus": [{"address": 0, "pgns": {"61444": {"behaviour": "broadcast", "data": "00"}}}]})",
         "'periodMs' is missing"},
        {R"({"ecus": [{"address": 0, "pgns": {"0x40000": {"behaviour": "nack"}}}]})", "'PGN' is 262144"},
        {R"({"ecus": [{"address": 3}, {"address": "0x03"}]})", "address 3 is claimed twice"},
        // A fault state
        {R"({"ecus": [{"address": 0, "faults": [], "pgns": {}}]})", "'faults' must be an object"},
        {R"({"ecus": [{"address": 0, "faults": {}, "pgns": {"65226": {"behaviour": "ack"}}}]})",
         "pgns[\"65226\"] is answered by 'faults'"},
        {R"({"ecus": [{"address": 0, "faults": {"activ": []}}]})", "faults: unknown key 'activ' (expected lamps,"},
        {R"({"ecus": [{"address": 0, "faults": {"active": {}}}]})", "'active' must be a list"},
        {R"({"ecus": [{"address": 0, "faults": {"active": [{"spn": 110, "fmi": 32}]}}]})",
         "faults: active[0]: 'fmi' is 32, not between 0 and 31"},
        {R"({"ecus": [{"address": 0, "faults": {"active": [{"fmi": 1}]}}]})", "active[0]: 'spn' is missing"},
        {R"({"ecus": [{"address": 0, "faults": {"previouslyActive": [{"spn": 1, "fmi": 1}, {"spn": 1, "fmi": 1}]}}]})",
         "previouslyActive[1]: the SPN and FMI appear twice"},
        {R"({"ecus": [{"address": 0, "faults": {"lamps": {"amberWarning": "on"}}}]})", "a lamp is lit but no code"},
        {R"({"ecus": [{"address": 0, "faults": {"lamps": {"amber": "on"}}}]})", "lamps: unknown key 'amber'"},
        {R"({"ecus": [{"address": 0, "faults": {"lamps": {"mil": "blink"}}}]})", "'mil' \"blink\" is not one of"},
        {R"({"ecus": [{"address": 0, "faults": {"dm11": "yes"}}]})", "'dm11' \"yes\" is not one of ack, nack"},
        {R"({"ecus": [{"address": 0, "faults": {"dm4": "ack"}}]})", "'dm4' \"ack\" is not one of nack, ignore"},
        {R"({"ecus": [{"address": 0, "faults": {"active": [{"spn": 1, "fmi": 1, "freezeFrame":
            {"coolantTemperatureC": 300}}]}}]})",
         "freezeFrame: 'coolantTemperatureC' 300 °C is outside what SPN 110"},
        {R"({"ecus": [{"address": 0, "faults": {"active": [{"spn": 1, "fmi": 1, "freezeFrame": {"rpm": 1}}]}}]})",
         "unknown freeze-frame value 'rpm'"},
        {R"({"ecus": [{"address": 0, "faults": {"active": [{"spn": 1, "fmi": 1, "freezeFrame": 7}]}}]})",
         "'freezeFrame' must be an object of values or a text of hex bytes"},
        {R"({"ecus": [{"address": 0, "faults": {"active": [{"spn": 1, "fmi": 1, "freezeFrame": "0G"}]}}]})",
         "'freezeFrame' \"0G\" is not hexadecimal"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_NE(ErrorOf(text).find(expected), std::string::npos) << ErrorOf(text);
    std::string tooLong = R"({"ecus": [{"address": 0, "faults": {"active": [{"spn": 1, "fmi": 1, "freezeFrame": ")" +
                          std::string(2 * 252, 'A') + R"("}]}}]})";
    EXPECT_NE(ErrorOf(tooLong).find("252 bytes, more than the 251"), std::string::npos) << ErrorOf(tooLong);
    EXPECT_NE(hostsim::ReadScenarioFile("no-such-truck.json").error.find("no-such-truck.json: cannot open"),
              std::string::npos);
}
