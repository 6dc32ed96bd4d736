// The host's side of the J1939 bus as far as the plug-in sees it: the rule that decides
// the result of its sends, the NAMEs the host has seen claimed and the host's
// arbitrary-address check.
//
// CheckAssignable is asked in two forms. (address, 1) asks whether the NAME claimed at an
// address can tell more than the address does: true when the host has seen a NAME
// claimed there, or when the address is one self-configurable ECUs take (128-247).
// (first word, last word) of a decoded NAME asks whether that NAME is arbitrary-address
// capable (bit 63 of the NAME, bit 31 of the last word). A decoded NAME's first word is
// never below 0x100 (see J1939Name.h), so the two forms cannot be confused. The answers
// are worked out only while a simulated network runs; otherwise, and whenever a test
// set an answer for the pair or a default, the test's answer holds.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "host/ZorvRecords.h"
#include "hostsim/HostSim.h"

namespace hostsim {

class BusState {
public:
    void SetSendResultRule(SendResultRule rule);
    SendResultRule SendRule();

    void SetName(uint8_t address, const J1939DecodedName& name);
    bool Name(uint8_t address, J1939DecodedName& name);
    void SetAssignable(uint32_t first, uint32_t second, bool assignable);
    void SetAssignableDefault(bool assignable);
    bool Assignable(uint32_t first, uint32_t second);
    // Whether answers are worked out from the NAMEs (while a simulated network runs).
    void SetNetworkRunning(bool running);

    void Reset();

private:
    std::mutex mutex_;
    SendResultRule sendRule_;
    std::map<uint8_t, J1939DecodedName> names_;
    std::map<std::pair<uint32_t, uint32_t>, bool> assignable_;
    std::optional<bool> assignableDefault_;
    bool networkRunning_ = false;
};

}  // namespace hostsim
