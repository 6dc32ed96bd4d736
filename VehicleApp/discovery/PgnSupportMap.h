// What the bus has answered about each PGN a module may send. The discovery thread and
// the host's receive thread write the same map at once, so every operation takes the
// map's own lock; code that walks the map walks a snapshot and asks the live map again
// for each PGN.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>

#include "j1939/Protocol.h"
#include "platform/Platform.h"

namespace marl {

constexpr uint32_t kNoPgn = 0xFFFFFF;

struct PgnSupportEntry {
    uint32_t pgn = kNoPgn;
    // A Request went out for it, or a message with it came in.
    bool requested = false;
    uint16_t reserved = 0;
    // Where the PGN is expected from: the module, the last probe's destination, or the
    // sender of the last message that carried it.
    uint8_t sourceAddress = j1939::kNullAddress;
    // The bus answered, with data or with an acknowledgement.
    bool responded = false;
    // The answer was a negative acknowledgement.
    bool negative = false;
    // Time stamps of the last message of the PGN passed to the host's parser, and of the
    // last one handed to a running recording.
    uint32_t lastRecordTime = 0;
    uint32_t lastRecordedMessageTime = 0;
};

using PgnSupportSnapshot = std::map<uint32_t, PgnSupportEntry>;

class PgnSupportMap {
public:
    // PGNs kept for a module; a real ECU sends and answers a few hundred.
    static constexpr size_t kMaxHeardPgns = 2048;

    // `moduleAddress` is the module's own source address; `positiveAnswerSeen` is the
    // module's flag that a first positive answer raises.
    PgnSupportMap(uint8_t moduleAddress, std::atomic<bool>& positiveAnswerSeen);
    PgnSupportMap(const PgnSupportMap&) = delete;
    PgnSupportMap& operator=(const PgnSupportMap&) = delete;

    // Queries never insert; an absent PGN gives the entry's default.
    bool contains(uint32_t pgn) const;
    uint8_t sourceAddressOf(uint32_t pgn) const;
    bool wasRequested(uint32_t pgn) const;
    bool hasResponded(uint32_t pgn) const;
    bool isSupported(uint32_t pgn) const;
    uint32_t lastRecordTime(uint32_t pgn) const;

    // Each inserts a default entry first when the PGN is absent.
    void recordPgn(uint32_t pgn);
    void recordProbe(uint32_t pgn, uint8_t address);
    void recordResponse(uint32_t pgn, bool negative);

    // The receive throttle: true, and `timeStamp` kept as the PGN's last record time,
    // when more than `interval` passed since the last one (unsigned difference, so a
    // wrap of the time stamp still passes). An absent PGN is judged against a last
    // record time of 0 and stays absent.
    bool passThrottle(uint32_t pgn, uint32_t timeStamp, uint32_t interval);
    // The same throttle for the messages handed to a running recording, on a time of its
    // own so that recording never holds back what the parser gets.
    bool passRecordingThrottle(uint32_t pgn, uint32_t timeStamp, uint32_t interval);

    // The receive path's note of one message, under one lock: the PGN came from `address`
    // (recordProbe); when `supported`, the bus answered it (recordResponse, positive); when
    // `throttle`, passThrottle decides. False only when the throttle holds it back.
    bool noteReceived(uint32_t pgn, uint8_t address, bool supported, bool throttle, uint32_t timeStamp,
                      uint32_t interval);

    PgnSupportSnapshot snapshot() const;
    size_t size() const;

private:
    PgnSupportEntry& EntryFor(uint32_t pgn);
    void MarkResponded(PgnSupportEntry& entry, bool negative);
    const PgnSupportEntry* Find(uint32_t pgn) const;
    bool PassInterval(uint32_t PgnSupportEntry::*lastTime, uint32_t pgn, uint32_t timeStamp, uint32_t interval);

    const uint8_t moduleAddress_;
    std::atomic<bool>& positiveAnswerSeen_;
    mutable platform::CriticalSection lock_;
    PgnSupportSnapshot entries_;
    PgnSupportEntry overflow_;
};

}  // namespace marl
