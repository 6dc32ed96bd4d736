#include "hostsim/bus/TransportProtocol.h"

#include <algorithm>

namespace hostsim {
namespace {

using namespace ::j1939;

constexpr size_t kControlOffset = 0;
constexpr size_t kSizeLowOffset = 1;
constexpr size_t kSizeHighOffset = 2;
constexpr size_t kPacketCountOffset = 3;
constexpr size_t kSequenceOffset = 0;
constexpr size_t kManagementBytes = 8;
constexpr size_t kManagementPgnOffset = 5;
constexpr uint8_t kNextPacketFirst = 1;
constexpr unsigned kByteBits = 8;
constexpr size_t kByteMask = 0xFF;
constexpr uint8_t kReserved = 0xFF;

J1939Message Management(uint8_t source, uint8_t destination) {
    J1939Message management;
    management.pgn = kPgnTpConnection;
    management.priority = kTransportPriority;
    management.source = source;
    management.destination = destination;
    return management;
}

std::vector<uint8_t> SizeAndPackets(uint8_t control, size_t size, size_t packets, uint8_t fifth, ZPgn pgn) {
    std::vector<uint8_t> data = {control, static_cast<uint8_t>(size & kByteMask),
                                 static_cast<uint8_t>(size >> kByteBits), static_cast<uint8_t>(packets), fifth};
    AppendPgn(data, pgn);
    return data;
}

CanFrame FrameOf(const J1939Message& message) { return CanFrame{CanIdOf(message), message.data}; }

}  // namespace

std::vector<CanFrame> FramesOf(const J1939Message& message) {
    if (message.data.size() <= kSingleFrameBytes) return {FrameOf(message)};
    size_t size = std::min(message.data.size(), kTpMaxMessageBytes);
    size_t packets = (size + kTpPacketPayload - 1) / kTpPacketPayload;
    bool broadcast = message.destination == kGlobalAddress;
    std::vector<CanFrame> frames;

    J1939Message announce = Management(message.source, message.destination);
    announce.data = broadcast ? SizeAndPackets(kTpBroadcastAnnounce, size, packets, kReserved, message.pgn)
                              : SizeAndPackets(kTpRequestToSend, size, packets, kReserved, message.pgn);
    frames.push_back(FrameOf(announce));
    if (!broadcast) {
        J1939Message clear = Management(message.destination, message.source);
        clear.data = {kTpClearToSend, static_cast<uint8_t>(packets), kNextPacketFirst, kReserved, kReserved};
        AppendPgn(clear.data, message.pgn);
        frames.push_back(FrameOf(clear));
    }
    for (size_t packet = 0; packet < packets; ++packet) {
        J1939Message transfer;
        transfer.pgn = kPgnTpData;
        transfer.priority = kTransportPriority;
        transfer.source = message.source;
        transfer.destination = message.destination;
        transfer.data.assign(kSingleFrameBytes, kPaddingByte);
        transfer.data[kSequenceOffset] = static_cast<uint8_t>(packet + 1);
        size_t first = packet * kTpPacketPayload;
        size_t count = std::min(kTpPacketPayload, size - first);
        std::copy_n(message.data.begin() + static_cast<std::ptrdiff_t>(first), count, transfer.data.begin() + 1);
        frames.push_back(FrameOf(transfer));
    }
    if (!broadcast) {
        J1939Message done = Management(message.destination, message.source);
        done.data = SizeAndPackets(kTpEndOfMessageAck, size, packets, kReserved, message.pgn);
        frames.push_back(FrameOf(done));
    }
    return frames;
}

const J1939Message* TransportReassembler::Feed(const CanFrame& frame) {
    ++framesFed_;
    // The frame's header is read into complete_, which keeps the storage its data has grown.
    ReadCanId(frame.id, complete_);
    if (complete_.pgn == kPgnTpConnection) {
        Announce(complete_, frame.data);
        return nullptr;
    }
    if (complete_.pgn == kPgnTpData) return Packet(complete_.source, complete_.destination, frame.data);
    complete_.data.assign(frame.data.begin(), frame.data.end());
    return &complete_;
}

void TransportReassembler::Announce(const J1939Message& header, const FrameData& data) {
    if (data.size() < kManagementBytes) return;
    uint8_t control = data[kControlOffset];
    Key key{header.source, header.destination};
    if (control == kTpAbort) {
        // An abort may come from either side of the connection.
        size_t dropped = sessions_.erase(key) + sessions_.erase({key.second, key.first});
        stats_.sessionsDropped += static_cast<uint32_t>(dropped);
        return;
    }
    if (control != kTpBroadcastAnnounce && control != kTpRequestToSend) return;
    size_t size = data[kSizeLowOffset] | (static_cast<size_t>(data[kSizeHighOffset]) << kByteBits);
    size_t packets = data[kPacketCountOffset];
    bool valid = size > kSingleFrameBytes && size <= kTpMaxMessageBytes && packets != 0 &&
                 packets * kTpPacketPayload >= size && (packets - 1) * kTpPacketPayload < size;
    if (sessions_.erase(key) != 0) ++stats_.sessionsDropped;
    if (!valid) return;
    Session session;
    session.message.pgn = ReadPgn(data.data() + kManagementPgnOffset);
    session.message.priority = header.priority;
    session.message.source = header.source;
    session.message.destination = header.destination;
    session.size = size;
    session.packets = packets;
    session.broadcast = control == kTpBroadcastAnnounce;
    session.lastActive = framesFed_;
    if (sessions_.size() >= kMaxOpenSessions) DropStalest();
    sessions_[key] = session;
}

void TransportReassembler::DropStalest() {
    auto stalest = sessions_.begin();
    for (auto it = sessions_.begin(); it != sessions_.end(); ++it) {
        if (it->second.lastActive < stalest->second.lastActive) stalest = it;
    }
    sessions_.erase(stalest);
    ++stats_.sessionsDropped;
}

const J1939Message* TransportReassembler::Packet(uint8_t source, uint8_t destination, const FrameData& data) {
    auto found = sessions_.find({source, destination});
    if (found == sessions_.end() || data.empty()) return nullptr;
    Session& session = found->second;
    if (data[kSequenceOffset] != session.nextSequence) {
        sessions_.erase(found);
        ++stats_.sessionsDropped;
        return nullptr;
    }
    session.lastActive = framesFed_;
    session.message.data.insert(session.message.data.end(), data.begin() + 1, data.end());
    if (++session.nextSequence <= session.packets) return nullptr;
    complete_ = session.message;
    complete_.data.resize(session.size, kPaddingByte);
    if (session.broadcast) {
        ++stats_.broadcastsCompleted;
    } else {
        ++stats_.connectionsCompleted;
    }
    sessions_.erase(found);
    return &complete_;
}

}  // namespace hostsim
