// The hand-over between the sender, which arms the PGN and address it waits for, and
// the receive path, which disarms them and signals the answer event when that PGN (or an
// acknowledgement of it) arrives.
#pragma once

#include <cstdint>

namespace marl {

class CVehicleApp;

// Releases the pending request when it awaits `pgn` from `sourceAddress` (or from any
// address). True when it did.
bool ReleaseAwaitedRequest(CVehicleApp& app, uint8_t sourceAddress, uint32_t pgn);

}  // namespace marl
