// One subscribed data point at one destination: which PGN the query thread requests for
// it, how often (its request class) and who has answered so far.
#pragma once

#include <cstdint>

#include "host/ZorvRecords.h"

namespace marl {

// Subscription::responder before anyone answered, and once several addresses did.
constexpr int32_t kNoResponder = -1;
constexpr int32_t kSeveralResponders = 0xFF;

struct Subscription {
    uint32_t teskId = 0;
    // The module whose connection sends the requests.
    int32_t moduleHandle = 0;
    // Where the request goes; 0xFF is the global address.
    uint8_t destination = 0xFF;
    uint32_t pgn = 0;
    int16_t security = kDpSecurityGlobalOnDemand;
    // Requests sent since the entry was made or last rearmed.
    uint32_t requestCount = 0;
    // Host system time (ms) of the last request.
    uint32_t lastRequestTime = 0;
    // Set for subscriptions made through adapters that defer discovery: their on-demand
    // entries are asked for three times even once answered.
    bool repeatUntilCount = false;
    // The one address that answered the PGN, or one of the two values above.
    int32_t responder = kNoResponder;
};

// When a subscribed data point is requested again. Periodic classes are re-requested at
// a fixed pace; on-demand entries until someone answers (or, on adapters that defer
// discovery, three times regardless), never more than three times per arming. The pace
// is in host system time (ms); a request is due once strictly more than the period has
// passed.
constexpr uint32_t kPeriodicSlowMs = 4500;
constexpr uint32_t kPeriodicFastMs = 800;
constexpr uint32_t kOnDemandRetryMs = 800;
constexpr uint32_t kOnDemandAttempts = 3;

// `now` is the host's system time; differences are unsigned, so the wrap of the 32-bit
// millisecond count does not stall or hurry a request.
bool IsDue(const Subscription& entry, uint32_t now);
// Makes the entry due at once, as if it had just been subscribed.
void Rearm(Subscription& entry);

}  // namespace marl
