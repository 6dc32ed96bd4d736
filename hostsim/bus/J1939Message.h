// One J1939 message as the bus carries it, in the two forms the host knows: the host's
// byte layout (PGN in three bytes, priority, source, destination, data) that the
// plug-in sends and receives, and the 29-bit CAN identifier of a frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "host/ZorvTypes.h"
#include "j1939/Protocol.h"

namespace hostsim {

struct J1939Message {
    ZPgn pgn = 0;
    uint8_t priority = j1939::kDefaultPriority;
    uint8_t source = j1939::kNullAddress;
    uint8_t destination = j1939::kGlobalAddress;
    std::vector<uint8_t> data;

    bool operator==(const J1939Message& other) const;
};

std::vector<uint8_t> ToHostLayout(const J1939Message& message);
size_t HostLayoutSize(const J1939Message& message);
// The same at `out`, which has room for HostLayoutSize(message) bytes.
void WriteHostLayout(const J1939Message& message, uint8_t* out);
// Nothing for fewer bytes than the header.
std::optional<J1939Message> FromHostLayout(const uint8_t* bytes, size_t length);

// PDU1 groups address one ECU; their PGN has a zero PS byte.
bool IsPdu1(ZPgn pgn);
uint32_t CanIdOf(const J1939Message& message);
// Everything but the data, read back from a 29-bit identifier.
J1939Message HeaderOfCanId(uint32_t canId);
// The same into `message`, whose data is left as it is.
void ReadCanId(uint32_t canId, J1939Message& message);

}  // namespace hostsim
