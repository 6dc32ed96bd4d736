// J1939 transport protocol (TP.CM 0xEC00 and TP.DT 0xEB00): how a message longer than
// one frame goes onto the bus, and the reassembly of such messages from the frames of a
// recorded bus. A message to the global address is announced with BAM; one to a single
// address uses RTS/CTS, whose CTS and end-of-message acknowledgement come from the
// receiving side.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "hostsim/bus/FrameData.h"
#include "hostsim/bus/J1939Message.h"

namespace hostsim {

struct CanFrame {
    uint32_t id = 0;  // 29-bit identifier
    FrameData data;

    bool operator==(const CanFrame& other) const { return id == other.id && data == other.data; }
};

// One frame for a message of up to eight data bytes, else the transport session.
std::vector<CanFrame> FramesOf(const J1939Message& message);

// Feeds frames in bus order and hands back every message they complete. A frame that is
// not transport traffic is a message of its own; connection management (CTS, end of
// message, abort) is consumed. A session that breaks (a packet out of sequence, an abort,
// a new announcement on the same connection) is dropped.
class TransportReassembler {
public:
    struct Stats {
        uint32_t broadcastsCompleted = 0;
        uint32_t connectionsCompleted = 0;
        uint32_t sessionsDropped = 0;
    };

    // The message the frame completes, valid until the next call; null when it completes
    // none. The message keeps its storage from one call to the next, so a bus of single
    // frames is reassembled without allocating.
    const J1939Message* Feed(const CanFrame& frame);
    const Stats& Statistics() const { return stats_; }
    size_t OpenSessions() const { return sessions_.size(); }

    // Sessions open at once. A bus can announce a connection between every pair of
    // addresses and never send a packet; past this many the stalest session is dropped.
    static constexpr size_t kMaxOpenSessions = 256;

private:
    struct Session {
        J1939Message message;
        size_t size = 0;
        size_t packets = 0;
        size_t nextSequence = 1;
        bool broadcast = false;
        uint64_t lastActive = 0;  // the reassembler's frame count when it was last fed
    };
    using Key = std::pair<uint8_t, uint8_t>;  // source, destination

    void Announce(const J1939Message& header, const FrameData& data);
    // The message the packet completes, else null.
    const J1939Message* Packet(uint8_t source, uint8_t destination, const FrameData& data);

    void DropStalest();

    std::map<Key, Session> sessions_;
    uint64_t framesFed_ = 0;
    J1939Message complete_;
    Stats stats_;
};

}  // namespace hostsim
