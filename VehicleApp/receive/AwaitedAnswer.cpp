#include "VehicleApp/receive/AwaitedAnswer.h"

#include "VehicleApp/CVehicleApp.h"

namespace marl {

bool ReleaseAwaitedRequest(CVehicleApp& app, uint8_t sourceAddress, uint32_t pgn) {
    const uint8_t awaitedSa = app.awaitedResponseSa.load();
    if (awaitedSa != kGlobalAddress && awaitedSa != sourceAddress) return false;
    // Only the PGN is disarmed atomically: a second message of the same PGN arriving at
    // once must not signal a request armed after this one.
    int32_t expected = static_cast<int32_t>(pgn);
    if (!app.awaitedPgn.compare_exchange_strong(expected, kNoAwaitedPgn)) return false;
    app.awaitedResponseSa = kNullAddress;
    app.ResponseEvent().Set();
    return true;
}

}  // namespace marl
