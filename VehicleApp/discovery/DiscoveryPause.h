// The pace and the stop signal of discovery in one: a pause is a wait on the shared exit
// event, and a missing shared state counts as an exit.
#pragma once

#include <cstdint>

namespace marl {

class SharedState;

constexpr uint32_t kExitCheckMs = 0;

// Waits up to `ms`; true when the work in progress must stop.
bool PauseStops(SharedState* shared, uint32_t ms);

}  // namespace marl
