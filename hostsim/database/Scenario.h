// A simulated J1939 network as a scenario file describes it (data/README.md documents
// the format for users): the ECUs on each channel with their address, NAME and reply
// delay, and what each does with each parameter group:
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
//       },
//       "dm7": {"4175": "pass"},     // optional: the tests a DM7 runs (see below)
//       "faults": {                 // optional: a live fault state (see below)
//         "lamps": {"mil": "off", "redStop": "off", "amberWarning": "on", "protect": "off"},
//         "active": [{"spn": 110, "fmi": 15, "occurrences": 1,
//                     "freezeFrame": {"engineTorqueMode": 0, "boostPressureKpa": 180,
//                                     "engineSpeedRpm": 1450, "engineLoadPercent": 62,
//                                     "coolantTemperatureC": 112, "vehicleSpeedKmh": 85,
//                                     "manufacturer": "01 02"}}],
//         "previouslyActive": [{"spn": 100, "fmi": 1, "occurrences": 2,
//                               "freezeFrame": "F0 5A 50 14 32 7D 00 28"}],
//         "dm1PeriodMs": 1000, "dm3": "ack", "dm11": "ack", "dm4": "nack"
//       }
//     }]
//   }
//
// An ECU with "faults" keeps a fault state that DM1 (65226), DM2 (65227), DM4 (65229),
// DM3 (65228) and DM11 (65235) act on, so "pgns" must not list those five. It broadcasts
// its DM1 every "dm1PeriodMs" (default 1000; 0: only on request) and answers requests for
// DM1, DM2 and DM4 from its state as it is then:
// - "lamps": each of "mil", "redStop", "amberWarning", "protect" is "off" (default),
//   "on", "slow-flash", "fast-flash" or "not-available". They show while a code is
//   active; a DM1 without one, and every DM2, has all lamps off.
// - "active", "previouslyActive": codes with "spn" (0 to 524287), "fmi" (0 to 31),
//   "occurrences" (0 to 126; omitted: 127, not counted) and an optional "freezeFrame":
//   either named values (each optional, not available when left out; the engine torque
//   mode is its raw value 0 to 15) with "manufacturer" bytes after them, or the hex
//   bytes that follow the code in the DM4 frame.
// - "dm3" (clear previously active) and "dm11" (clear active): "ack" (default: clears,
//   acknowledges), "nack" (keeps, refuses), "ignore" (keeps, silent) or "silent-clear".
//   A refusal goes only to a request addressed to the ECU; "ack" acknowledges a global
//   request too.
// - "dm4": when no code has a freeze frame, "nack" (default) or "ignore".
//
// "dm7" lists the ECU's non-continuously monitored tests by SPN (decimal or "0x" hex):
// a DM7 (58112) addressed to the ECU for a listed SPN is answered as the entry says,
// "pass" or "fail" (a DM30, 41984, to the tool: the DM7's test identifier, SPN and FMI,
// then the SLOT, the test value, the maximum and the minimum, the value within the limits
// or above the maximum), "nack" (a negative acknowledgement of the DM7) or "ignore"
// (silence). A DM7 for any other SPN is refused with a negative acknowledgement.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/ZorvTypes.h"
#include "hostsim/bus/J1939Name.h"
#include "hostsim/bus/SimulatedFaults.h"
#include "hostsim/bus/SimulatedTests.h"

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
    std::optional<SimulatedFaults> faults;  // none: DM1 to DM11 behave as "pgns" says
    SimulatedTests tests;                   // what a DM7 runs
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
