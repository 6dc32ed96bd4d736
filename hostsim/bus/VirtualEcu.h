// One ECU of the simulated network: what it puts on the bus when it sees a message.
// It answers J1939 Requests addressed to it or to everybody, following its scenario:
// the data of an answered or broadcast PGN, a negative or positive acknowledgement, or
// nothing. As J1939 wants, a request to the global address is never acknowledged; only
// the ECU that was asked by address answers with an acknowledgement. A Request for
// Address Claimed always brings the ECU's Address Claimed message.
#pragma once

#include <vector>

#include "hostsim/bus/J1939Message.h"
#include "hostsim/database/Scenario.h"

namespace hostsim {

class VirtualEcu {
public:
    explicit VirtualEcu(EcuDescription described);

    const EcuDescription& Described() const { return described_; }
    J1939Message AddressClaim() const;
    std::vector<J1939Message> OnMessage(const J1939Message& message) const;
    // The PGN's message as the ECU sends it on its own or in answer to a requester.
    J1939Message MessageOf(ZPgn pgn, const PgnBehaviour& behaviour, uint8_t requester) const;

private:
    J1939Message Acknowledgement(uint8_t control, ZPgn pgn, uint8_t requester) const;

    EcuDescription described_;
};

}  // namespace hostsim
