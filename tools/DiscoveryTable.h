// What the bus told about each PGN the tool asked an ECU for, read from the messages a
// watcher of the host's bus recorded: answered with data (supported), refused with a
// negative acknowledgement, or never answered (silent).
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "hostsim/HostSimTypes.h"

namespace marl::tools {

enum class PgnOutcome { Supported, Refused, Silent };

struct PgnRow {
    uint32_t pgn = 0;
    int requests = 0;  // requests the tool addressed to the ECU or to everyone
    PgnOutcome outcome = PgnOutcome::Silent;
};

// The rows for one ECU on one channel, in PGN order. Only PGNs the tool requested are
// listed; a PGN the ECU broadcasts on its own counts as supported once requested.
std::vector<PgnRow> DiscoveryTableFor(const std::vector<hostsim::TrafficRecord>& traffic, int channel,
                                      uint8_t ecuAddress);

struct OutcomeCounts {
    int supported = 0;
    int refused = 0;
    int silent = 0;
    int requests = 0;
};
OutcomeCounts Count(const std::vector<PgnRow>& rows);

const char* OutcomeText(PgnOutcome outcome);

}  // namespace marl::tools
