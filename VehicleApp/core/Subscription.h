// One subscribed data point: which PGN to request, how often and from whom. The request
// classes and the due-time rules arrive with the query thread.
#pragma once

#include <cstdint>

namespace marl {

struct Subscription {
    int32_t moduleHandle = 0;
    uint32_t teskId = 0;
    uint32_t pgn = 0;
    uint8_t destination = 0xFF;
};

}  // namespace marl
