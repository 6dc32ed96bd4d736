// Every message the plug-in puts on the bus goes through the sender. One exchange at a
// time holds the send lock: the awaited source address and PGN are armed for the receive
// path, which releases them and raises the answer event when the answer (or its
// acknowledgement) arrives.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "platform/Platform.h"

namespace marl {

class CVehicleApp;

constexpr const char* kResponseEventName = "1002 Marl J1939 - Event for when request sent on bus.";

// The address and PGN a request waits for, armed and released as one 64-bit word: a
// late answer to an earlier request can then neither disarm nor release a request armed
// after it.
class AwaitedAnswer {
public:
    AwaitedAnswer();
    bool Valid() const { return event_.Valid(); }
    // Waits from now on for `pgn` from `sourceAddress` (0xFF: from any address).
    void Arm(uint8_t sourceAddress, uint32_t pgn);
    void Disarm();
    // Releases the armed request when it awaits `pgn` from `sourceAddress` (or from any
    // address) and raises the answer event. True when it did.
    bool Release(uint8_t sourceAddress, uint32_t pgn);
    // True when the answer came within `ms`.
    bool Wait(uint32_t ms);
    // The same, ending early (false) once `stop` is signalled.
    bool WaitUnless(platform::Event& stop, uint32_t ms);
    bool Answered() const { return event_.IsSignalled(); }
    bool IsArmed() const;

private:
    std::atomic<uint64_t> armed_;
    platform::Event event_;
};

class MessageSender {
public:
    explicit MessageSender(CVehicleApp& app) : app_(app) {}
    MessageSender(const MessageSender&) = delete;
    MessageSender& operator=(const MessageSender&) = delete;
    bool Valid() const { return awaited_.Valid(); }

    // Puts a message on the bus and, where asked, waits for the receive path to report
    // the answer.
    uint16_t SendTimedMessage(int32_t sendHandle, const std::vector<uint8_t>& message, uint32_t awaitedPgn,
                              bool expectAnswer, uint8_t attempts, uint16_t timeoutMs);
    // Sends a J1939 Request for `pgn` through SendTimedMessage, awaiting that PGN.
    uint16_t RequestPgn(int32_t sendHandle, uint32_t pgn, uint8_t destination, bool expectAnswer, uint16_t timeoutMs,
                        uint8_t attempts);
    // The receive path's side of the exchange.
    AwaitedAnswer& Awaited() { return awaited_; }

private:
    CVehicleApp& app_;
    platform::CriticalSection sendLock_;
    AwaitedAnswer awaited_;
};

// A message of the plug-in in the host's layout: `pgn` (three bytes, least significant
// first), priority 6, source 0xF9, `destination`, then `data`.
std::vector<uint8_t> BuildJ1939Message(uint32_t pgn, uint8_t destination, const std::vector<uint8_t>& data);

// The Request (PGN 0xEA00) the plug-in sends from its own address 0xF9: header
// (00 EA 00, priority 6, source 0xF9, destination) and the requested PGN in three
// bytes, least significant first.
std::vector<uint8_t> BuildRequestMessage(uint32_t requestedPgn, uint8_t destination);

}  // namespace marl
