// The diagnostic messages that list trouble codes, DM1 (active) and DM2 (previously
// active): two bytes of lamp states and their flash states, then four bytes per code.
// One code fits a single frame; an ECU with more sends the message by transport protocol.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "hostsim/HostSimTypes.h"

namespace hostsim {

// Nothing for fewer than the two lamp bytes. Only whole codes are read: trailing bytes
// that cannot hold one (the padding of a single frame) are ignored. The "no code" entries
// ECUs send when nothing is active (all zeros, or all ones) are not listed.
std::optional<DtcReport> DecodeDtcMessage(const uint8_t* data, size_t size);

}  // namespace hostsim
