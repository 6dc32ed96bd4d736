// Small judgements the receive path makes about a message.
#pragma once

#include <cstdint>

namespace marl {

// Fault messages that the host must not see while faults are being cleared (or while
// the host's own application handles the faults of the engines).
bool IsSuppressedDiagnosticPgn(uint32_t pgn);

// Whether any of the first eight data bytes that the message really has carries a value
// (is not 0xFF, "not available").
bool HasAvailableData(const uint8_t* message, int16_t length);

}  // namespace marl
