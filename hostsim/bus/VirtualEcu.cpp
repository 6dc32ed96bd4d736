#include "hostsim/bus/VirtualEcu.h"

#include <utility>

namespace hostsim {

using namespace ::j1939;

VirtualEcu::VirtualEcu(EcuDescription described) : described_(std::move(described)) {}

J1939Message VirtualEcu::AddressClaim() const {
    J1939Message claim;
    claim.pgn = kPgnAddressClaimed;
    claim.priority = kDefaultPriority;
    claim.source = described_.address;
    claim.destination = kGlobalAddress;
    claim.data.resize(kNameBytes);
    NameToBytes(EncodeName(described_.name), claim.data.data());
    return claim;
}

J1939Message VirtualEcu::MessageOf(ZPgn pgn, const PgnBehaviour& behaviour, uint8_t requester) const {
    J1939Message message;
    message.pgn = pgn;
    message.priority = behaviour.priority;
    message.source = described_.address;
    // A PDU1 group goes back to whoever asked; a PDU2 group is always for everybody.
    message.destination = IsPdu1(pgn) ? requester : kGlobalAddress;
    message.data = behaviour.data;
    return message;
}

J1939Message VirtualEcu::Acknowledgement(uint8_t control, ZPgn pgn, uint8_t requester) const {
    J1939Message ack;
    ack.pgn = kPgnAcknowledgement;
    ack.priority = kDefaultPriority;
    ack.source = described_.address;
    ack.destination = kGlobalAddress;
    ack.data = {control, kAckGroupFunctionNone, kPaddingByte, kPaddingByte, requester};
    AppendPgn(ack.data, pgn);
    return ack;
}

std::vector<J1939Message> VirtualEcu::OnMessage(const J1939Message& message) const {
    if (message.pgn != kPgnRequest || message.data.size() < kPgnBytes) return {};
    bool global = message.destination == kGlobalAddress;
    if (!global && message.destination != described_.address) return {};
    ZPgn requested = ReadPgn(message.data.data());
    if (requested == kPgnAddressClaimed) return {AddressClaim()};

    auto listed = described_.pgns.find(requested);
    Behaviour behaviour = listed != described_.pgns.end() ? listed->second.behaviour : described_.defaultBehaviour;
    switch (behaviour) {
        case Behaviour::Answer:
        case Behaviour::Broadcast:
            return {MessageOf(requested, listed->second, message.source)};
        case Behaviour::Nack:
            if (global) return {};
            return {Acknowledgement(kAckNegative, requested, message.source)};
        case Behaviour::Ack:
            if (global) return {};
            return {Acknowledgement(kAckPositive, requested, message.source)};
        case Behaviour::Ignore:
            break;
    }
    return {};
}

}  // namespace hostsim
