#include "VehicleApp/core/SharedState.h"

namespace marl {

SharedState::SharedState(int32_t firstModuleHandle)
    : firstModuleHandle_(firstModuleHandle),
      exitEvent_(kExitEventName, true, false),
      connectedEvent_(kConnectedEventName, true, true),
      waitEvent_(kWaitEventName, true, false),
      queryEvent_(kQueryEventName, true, false) {
    // Named events outlive us when another handle to them is still open; a new shared
    // state must not inherit a stale exit or query signal from the previous one.
    exitEvent_.Reset();
    connectedEvent_.Set();
    waitEvent_.Reset();
    queryEvent_.Reset();
}

bool SharedState::Valid() const {
    return exitEvent_.Valid() && connectedEvent_.Valid() && waitEvent_.Valid() && queryEvent_.Valid();
}

void SharedState::SetConnected(bool on) {
    if (on) {
        connectedEvent_.Set();
    } else {
        connectedEvent_.Reset();
    }
}

void SharedState::SignalQuery() { queryEvent_.Set(); }

void SharedState::SetWait(bool on) {
    if (on) {
        waitEvent_.Set();
    } else {
        waitEvent_.Reset();
    }
}

bool SharedState::PauseOrExit(uint32_t ms) { return exitEvent_.Wait(ms) != platform::WaitResult::TimedOut; }

bool PauseStops(SharedState* shared, uint32_t ms) { return shared == nullptr || shared->PauseOrExit(ms); }

}  // namespace marl
