// The J1939 Request (PGN 0xEA00) the plug-in sends from its own address 0xF9.
#pragma once

#include <cstdint>
#include <vector>

namespace marl {

// Header (00 EA 00, priority 6, source 0xF9, destination) and the requested PGN in
// three bytes, least significant first.
std::vector<uint8_t> BuildRequestMessage(uint32_t requestedPgn, uint8_t destination);

}  // namespace marl
