// One ECU of the simulated network: what it puts on the bus when it sees a message.
// It answers J1939 Requests addressed to it or to everybody, following its scenario:
// the data of an answered or broadcast PGN, a negative or positive acknowledgement, or
// nothing. As J1939 wants, a request to the global address is never acknowledged; only
// the ECU that was asked by address answers with an acknowledgement. A Request for
// Address Claimed always brings the ECU's Address Claimed message. An ECU with a fault
// state answers DM1, DM2 and DM4 from it and clears it on DM3 and DM11. A DM7 sent to
// the ECU runs one of its tests (SimulatedTests.h).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "hostsim/bus/J1939Message.h"
#include "hostsim/bus/SimulatedFaults.h"
#include "hostsim/database/Scenario.h"

namespace hostsim {

class VirtualEcu {
public:
    struct Broadcast {
        ZPgn pgn = 0;
        uint32_t periodMs = 0;
    };

    explicit VirtualEcu(EcuDescription described);

    const EcuDescription& Described() const { return described_; }
    J1939Message AddressClaim() const;
    // Not const: a request to clear codes changes the ECU's fault state.
    std::vector<J1939Message> OnMessage(const J1939Message& message);
    // What the ECU sends on its own, and the message of one of those PGNs as it is now.
    std::vector<Broadcast> Broadcasts() const;
    J1939Message BroadcastMessage(ZPgn pgn) const;

private:
    J1939Message MessageOf(ZPgn pgn, uint8_t priority, std::vector<uint8_t> data, uint8_t requester) const;
    // An acknowledgement of `request`; none to a global request unless `evenToGlobal`.
    std::vector<J1939Message> Acknowledged(uint8_t control, ZPgn pgn, const J1939Message& request,
                                           bool evenToGlobal = false) const;
    std::optional<std::vector<J1939Message>> OnFaultRequest(ZPgn requested, const J1939Message& request);
    std::vector<J1939Message> OnTestCommand(const J1939Message& command) const;
    std::vector<J1939Message> OnClear(ClearReply reply, void (*clear)(SimulatedFaults&), ZPgn pgn,
                                      const J1939Message& request);

    EcuDescription described_;
    std::optional<SimulatedFaults> faults_;  // the live state, from described_.faults
};

}  // namespace hostsim
