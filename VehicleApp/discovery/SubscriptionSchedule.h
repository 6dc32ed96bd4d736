// When a subscribed data point is requested again. Periodic classes are re-requested at
// a fixed pace; on-demand entries until someone answers (or, on adapters that defer
// discovery, three times regardless), never more than three times per arming.
#pragma once

#include <cstdint>

namespace marl {

struct Subscription;

// Pace of the periodic request classes and of the on-demand retries, in host system
// time (ms). A request is due once strictly more than the period has passed.
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
