// Buses a careless or hostile node makes, generated frame by frame for replay into the
// host: address-claim floods and address stealing, request floods, BAM sessions that never
// end or overlap, CTS abuse, RTS/CTS connection exhaustion, random identifiers and data,
// and transfers that stop half-way. Frames follow each other at full bus rate (an 8-byte
// extended frame every 540 us at 250 kbit/s). A scenario file (JSON) lists them:
//   {"buses": [{"name": "...", "kind": "request-flood", "frames": 4000, "seed": 7,
//               "target": "0x00"}]}
// `target` is the address the bus is hostile to (a module's ECU); `seed` makes the random
// choices repeatable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hostsim/bus/CandumpLog.h"

namespace hostsim {

struct HostileBusScenario {
    std::string name;
    std::string kind;
    uint32_t frames = 0;
    uint32_t seed = 0;
    uint8_t target = 0;
};

// The scenarios of a file; empty with `error` set when the file is not one.
std::vector<HostileBusScenario> LoadHostileBuses(const std::string& path, std::string& error);
// The bus's frames on interface can0, time-stamped from 0; none for an unknown kind.
std::vector<CandumpFrame> HostileBusFrames(const HostileBusScenario& scenario);
// Writes frames as a candump log; empty text when written.
std::string WriteCandump(const std::vector<CandumpFrame>& frames, const std::string& path);

}  // namespace hostsim
