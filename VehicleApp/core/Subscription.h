// One subscribed data point: which PGN to request, how often and from whom. The request
// classes and the due-time rules arrive with the query thread.
#pragma once

#include <cstdint>

namespace marl {

// Subscription::responder before anyone answered, and once several addresses did.
constexpr int32_t kNoResponder = -1;
constexpr int32_t kSeveralResponders = 0xFF;

struct Subscription {
    int32_t moduleHandle = 0;
    uint32_t teskId = 0;
    uint32_t pgn = 0;
    uint8_t destination = 0xFF;
    // The one address that answered the PGN, or one of the two values above.
    int32_t responder = kNoResponder;
};

}  // namespace marl
