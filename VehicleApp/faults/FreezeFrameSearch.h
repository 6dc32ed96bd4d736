// The search of a stored DM4 message for the freeze frame of one fault. After the six
// header bytes comes a chain of frames, each a length byte L and L bytes: the SPN's low
// and middle byte, its top three bits with the FMI, then the frame's parameters. The
// message comes from the bus, so every length byte is checked against its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace marl {

struct FreezeFrameSpan {
    size_t offset = 0;  // of the length byte
    size_t size = 0;    // L + 1
};

// The frame of `spn` and `fmi`; none when the chain ends, runs past the message, or a
// length byte reads 0xFE or 0xFF (not available, error) before it.
std::optional<FreezeFrameSpan> FindFreezeFrame(const std::vector<uint8_t>& message, uint32_t spn, uint8_t fmi);

// The record the host's generic parser takes for a freeze frame: 0x10, the DM4 PGN,
// address byte 0x00, then the frame with its length byte.
std::vector<uint8_t> FreezeFrameRecord(const std::vector<uint8_t>& message, FreezeFrameSpan frame);

}  // namespace marl
