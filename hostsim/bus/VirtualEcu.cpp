#include "hostsim/bus/VirtualEcu.h"

#include <utility>

namespace hostsim {

using namespace ::j1939;

VirtualEcu::VirtualEcu(EcuDescription described) : described_(std::move(described)), faults_(described_.faults) {}

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

J1939Message VirtualEcu::MessageOf(ZPgn pgn, uint8_t priority, std::vector<uint8_t> data, uint8_t requester) const {
    J1939Message message;
    message.pgn = pgn;
    message.priority = priority;
    message.source = described_.address;
    // A PDU1 group goes back to whoever asked; a PDU2 group is always for everybody.
    message.destination = IsPdu1(pgn) ? requester : kGlobalAddress;
    message.data = std::move(data);
    return message;
}

std::vector<J1939Message> VirtualEcu::Acknowledged(uint8_t control, ZPgn pgn, const J1939Message& request,
                                                   bool evenToGlobal) const {
    if (request.destination == kGlobalAddress && !evenToGlobal) return {};
    J1939Message ack;
    ack.pgn = kPgnAcknowledgement;
    ack.priority = kDefaultPriority;
    ack.source = described_.address;
    ack.destination = kGlobalAddress;
    ack.data = {control, kAckGroupFunctionNone, kPaddingByte, kPaddingByte, request.source};
    AppendPgn(ack.data, pgn);
    return {ack};
}

std::vector<VirtualEcu::Broadcast> VirtualEcu::Broadcasts() const {
    std::vector<Broadcast> broadcasts;
    for (const auto& pgn : described_.pgns) {
        if (pgn.second.behaviour == Behaviour::Broadcast) broadcasts.push_back({pgn.first, pgn.second.periodMs});
    }
    if (faults_ && faults_->dm1PeriodMs > 0) broadcasts.push_back({kPgnDm1, faults_->dm1PeriodMs});
    return broadcasts;
}

J1939Message VirtualEcu::BroadcastMessage(ZPgn pgn) const {
    if (faults_ && pgn == kPgnDm1) return MessageOf(pgn, kDefaultPriority, Dm1Payload(*faults_), kGlobalAddress);
    const PgnBehaviour& behaviour = described_.pgns.at(pgn);
    return MessageOf(pgn, behaviour.priority, behaviour.data, kGlobalAddress);
}

std::vector<J1939Message> VirtualEcu::OnClear(ClearReply reply, void (*clear)(SimulatedFaults&), ZPgn pgn,
                                              const J1939Message& request) {
    switch (reply) {
        case ClearReply::Ack:
            clear(*faults_);
            // A clearing ECU says so even to a global DM3/DM11: the tool learns that the
            // codes are gone. Refusals never go to a global request.
            return Acknowledged(kAckPositive, pgn, request, true);
        case ClearReply::Nack:
            return Acknowledged(kAckNegative, pgn, request);
        case ClearReply::SilentClear:
            clear(*faults_);
            break;
        case ClearReply::Ignore:
            break;
    }
    return {};
}

std::optional<std::vector<J1939Message>> VirtualEcu::OnFaultRequest(ZPgn requested, const J1939Message& request) {
    switch (requested) {
        case kPgnDm1:
            return std::vector<J1939Message>{BroadcastMessage(kPgnDm1)};
        case kPgnDm2:
            return std::vector<J1939Message>{
                MessageOf(requested, kDefaultPriority, Dm2Payload(*faults_), request.source)};
        case kPgnDm4: {
            std::vector<uint8_t> frames = Dm4Payload(*faults_);
            if (!frames.empty())
                return std::vector<J1939Message>{
                    MessageOf(requested, kDefaultPriority, std::move(frames), request.source)};
            if (faults_->dm4 == NoFreezeFrameReply::Nack) return Acknowledged(kAckNegative, requested, request);
            return std::vector<J1939Message>{};
        }
        case kPgnDm3:
            return OnClear(faults_->dm3, &ClearPreviouslyActive, requested, request);
        case kPgnDm11:
            return OnClear(faults_->dm11, &ClearActive, requested, request);
        default:
            return std::nullopt;
    }
}

std::vector<J1939Message> VirtualEcu::OnTestCommand(const J1939Message& command) const {
    // DM7 is a command to one ECU; a command too short to name its test is not one.
    if (command.destination != described_.address || command.data.size() < 1 + kSpnFmiBytes) return {};
    const uint8_t testId = command.data[0];
    const uint32_t spn = ReadSpn(&command.data[1]);
    const uint8_t fmi = ReadFmi(&command.data[1]);
    auto test = described_.tests.find(spn);
    switch (test != described_.tests.end() ? test->second : TestOutcome::Nack) {
        case TestOutcome::Pass:
        case TestOutcome::Fail:
            return {MessageOf(kPgnDm30, kDefaultPriority,
                              Dm30Payload(testId, spn, fmi, test->second == TestOutcome::Pass), command.source)};
        case TestOutcome::Nack:
            return Acknowledged(kAckNegative, kPgnDm7, command);
        case TestOutcome::Ignore:
            break;
    }
    return {};
}

std::vector<J1939Message> VirtualEcu::OnMessage(const J1939Message& message) {
    if (message.pgn == kPgnDm7) return OnTestCommand(message);
    if (message.pgn != kPgnRequest || message.data.size() < kPgnBytes) return {};
    bool global = message.destination == kGlobalAddress;
    if (!global && message.destination != described_.address) return {};
    ZPgn requested = ReadPgn(message.data.data());
    if (requested == kPgnAddressClaimed) return {AddressClaim()};
    if (faults_) {
        if (auto replies = OnFaultRequest(requested, message)) return *replies;
    }

    auto listed = described_.pgns.find(requested);
    Behaviour behaviour = listed != described_.pgns.end() ? listed->second.behaviour : described_.defaultBehaviour;
    switch (behaviour) {
        case Behaviour::Answer:
        case Behaviour::Broadcast:
            return {MessageOf(requested, listed->second.priority, listed->second.data, message.source)};
        case Behaviour::Nack:
            return Acknowledged(kAckNegative, requested, message);
        case Behaviour::Ack:
            return Acknowledged(kAckPositive, requested, message);
        case Behaviour::Ignore:
            break;
    }
    return {};
}

}  // namespace hostsim
