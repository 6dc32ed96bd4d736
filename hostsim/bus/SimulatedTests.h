// The non-continuously monitored tests of a simulated ECU: what it does when a tool
// commands one with DM7 (PGN 58112, sent to the ECU's address). A test the ECU runs is
// reported in a DM30 (scaled test results, PGN 41984) to the tool that asked; a test it
// does not know is refused with a negative acknowledgement of the DM7.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

namespace hostsim {

enum class TestOutcome {
    Pass,    // DM30 with the test value within its limits
    Fail,    // DM30 with the test value above its maximum
    Nack,    // refuses the command
    Ignore,  // stays silent
};

// The ECU's tests by SPN; every SPN not listed is refused.
using SimulatedTests = std::map<uint32_t, TestOutcome>;

// The scaling the simulated results carry (SLOT), and their limits and values.
constexpr uint16_t kTestResultSlot = 0x0001;
constexpr uint16_t kTestLimitMinimum = 0x0000;
constexpr uint16_t kTestLimitMaximum = 0x0064;
constexpr uint16_t kPassingTestValue = 0x0010;
constexpr uint16_t kFailingTestValue = 0x00C8;

// One DM30 result as J1939-73 lays it out: the test identifier, the SPN with its FMI,
// the SLOT, the test value, the maximum and the minimum (16-bit values little-endian).
std::vector<uint8_t> Dm30Payload(uint8_t testId, uint32_t spn, uint8_t fmi, bool passed);

}  // namespace hostsim
