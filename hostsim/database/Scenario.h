// A simulated J1939 network as a scenario file describes it: the ECUs on each channel with
// their address, NAME and reply delay, and what each does with each parameter group:
//
//   {
//     "name": "Test truck",
//     "tpPacketGapMs": 50,          // gap between transport packets (default 50)
//     "broadcastScale": 1.0,        // stretches every broadcast period (default 1)
//     "ecus": [{
//       "label": "Engine #1", "channel": 1, "address": "0x00", "replyDelayMs": 10,
//       "name": {"identityNumber": 4242, "manufacturerCode": 100, "function": 0,
//                "industryGroup": 1, "arbitraryAddressCapable": false},
//       "default": "nack",          // PGNs not listed: "nack" or "ignore"
//       "pgns": {
//         "0xF004": {"behaviour": "broadcast", "periodMs": 100, "priority": 3,
//                    "data": "F0 7D 7D 40 1F 00 F0 7D"},
//         "65260":  {"behaviour": "answer", "text": "1XKAD49X0CJ123456*"},
//         "65253":  {"behaviour": "nack"},
//         "65235":  {"behaviour": "ack"},
//         "65164":  {"behaviour": "ignore"}
//       }
//     }]
//   }
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/ZorvTypes.h"
#include "hostsim/bus/J1939Name.h"

namespace hostsim {

enum class Behaviour { Answer, Nack, Ack, Ignore, Broadcast };

struct PgnBehaviour {
    Behaviour behaviour = Behaviour::Ignore;
    std::vector<uint8_t> data;
    uint32_t periodMs = 0;
    uint8_t priority = 0;
};

struct EcuDescription {
    std::string label;
    int channel = 1;
    uint8_t address = 0;
    J1939NameFields name;
    uint32_t replyDelayMs = 0;
    Behaviour defaultBehaviour = Behaviour::Nack;
    std::map<ZPgn, PgnBehaviour> pgns;
};

struct ScenarioDescription {
    std::string name;
    uint32_t tpPacketGapMs = 0;
    double broadcastScale = 1.0;
    std::vector<EcuDescription> ecus;
};

constexpr uint32_t kDefaultTpPacketGapMs = 50;
constexpr int kMaxChannel = 16;

// Exactly one of the two is set.
struct ScenarioResult {
    std::optional<ScenarioDescription> scenario;
    std::string error;
};

ScenarioResult ParseScenarioText(const std::string& text, const std::string& origin);
ScenarioResult ReadScenarioFile(const std::string& path);

}  // namespace hostsim
