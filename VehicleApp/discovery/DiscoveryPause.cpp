#include "VehicleApp/discovery/DiscoveryPause.h"

#include "VehicleApp/core/SharedState.h"

namespace marl {

bool PauseStops(SharedState* shared, uint32_t ms) { return shared == nullptr || shared->PauseOrExit(ms); }

}  // namespace marl
