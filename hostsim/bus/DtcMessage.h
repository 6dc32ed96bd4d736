// The diagnostic messages that list trouble codes, DM1 (active) and DM2 (previously
// active): two bytes of lamp states and their flash states, then four bytes per code.
// One code fits a single frame; an ECU with more sends the message by transport protocol.
// The simulated ECUs write these messages with the same layout the host's parser reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "hostsim/HostSimTypes.h"

namespace hostsim {

// Nothing for fewer than the two lamp bytes. Only whole codes are read: trailing bytes
// that cannot hold one (the padding of a single frame) are ignored. The "no code" entries
// ECUs send when nothing is active (all zeros, or all ones) are not listed.
std::optional<DtcReport> DecodeDtcMessage(const uint8_t* data, size_t size);

// The four bytes of one code; a count above 126 goes out as "not available".
constexpr size_t kDtcBytes = 4;
void AppendDtc(std::vector<uint8_t>& data, const Dtc& dtc);

// A DM1 or DM2 payload: the lamps, then the codes. With no code the message carries one
// "no code" entry of zeros, so that it always fills a frame; a single code is padded to
// the frame's eight bytes.
std::vector<uint8_t> EncodeDtcMessage(const DtcLamps& lamps, const std::vector<Dtc>& dtcs);

}  // namespace hostsim
