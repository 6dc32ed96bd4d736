// The bytes the host keeps for one received fault, the way the ECU sent them in its DM1
// or DM2: the message's two lamp bytes, then the fault's four bytes. The fault screen
// gets them from Zorv_GetRecvdFaultCodeData and hands them back for scaling.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "hostsim/HostSimTypes.h"

namespace hostsim {

constexpr size_t kFaultBytes = 6;
using FaultBytes = std::array<uint8_t, kFaultBytes>;

struct ReceivedFault {
    DtcLamps lamps;
    Dtc dtc;
};

// Every field of the lamp bytes and of a code is a whole bit range, so the bytes come
// out exactly as the ECU sent them.
FaultBytes EncodeFaultBytes(const DtcLamps& lamps, const Dtc& dtc);
// Nothing for fewer than six bytes or for a "no code" entry; bytes beyond six are not read.
std::optional<ReceivedFault> DecodeFaultBytes(const uint8_t* data, size_t size);
// The code of a fault's four bytes alone (as a freeze frame starts); nothing for "no code".
std::optional<Dtc> DecodeDtcBytes(const uint8_t* data, size_t size);

}  // namespace hostsim
