#include "VehicleApp/subscriptions/Subscription.h"

namespace marl {

bool IsDue(const Subscription& entry, uint32_t now) {
    if (entry.requestCount == 0) return true;
    const uint32_t elapsed = now - entry.lastRequestTime;
    switch (entry.security) {
        case kDpSecurityPeriodicSlow:
            return elapsed > kPeriodicSlowMs;
        case kDpSecurityPeriodicFast:
            return elapsed > kPeriodicFastMs;
        default:
            break;
    }
    if (!entry.repeatUntilCount && entry.responder >= 0) return false;
    if (entry.requestCount >= kOnDemandAttempts) return false;
    return elapsed > kOnDemandRetryMs;
}

void Rearm(Subscription& entry) {
    entry.requestCount = 0;
    entry.responder = kNoResponder;
}

}  // namespace marl
