// Short names of well-known J1939 parameter groups, for people reading the tables.
#pragma once

#include <cstdint>

namespace marl::tools {

// The acronym of a well-known PGN ("EEC1", "VI", "DM1"), or an empty text.
const char* PgnName(uint32_t pgn);

}  // namespace marl::tools
