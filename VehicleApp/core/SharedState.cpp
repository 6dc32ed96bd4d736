#include "VehicleApp/core/SharedState.h"

#include "VehicleApp/core/Subscription.h"

namespace marl {

SharedState::SharedState(int32_t firstModuleHandle)
    : moduleList_(std::make_unique<ModuleList>()),
      firstModuleHandle_(firstModuleHandle),
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

SharedState::~SharedState() {
    if (queryThread_.Joinable()) {
        exitEvent_.Set();
        queryThread_.Join();
    }
    platform::CsLock lock(subscriptionLock_);
    while (!subscriptions_.Entries().empty()) subscriptions_.Entries().pop_back();
}

bool SharedState::Valid() const {
    return moduleList_ && exitEvent_.Valid() && connectedEvent_.Valid() && waitEvent_.Valid() &&
           queryEvent_.Valid();
}

void SharedState::SetConnected(bool on) {
    if (on) {
        connectedEvent_.Set();
    } else {
        connectedEvent_.Reset();
    }
}

void SharedState::SignalExitIfLast() {
    if (!moduleList_ || moduleList_->Count() <= 1) exitEvent_.Set();
}

void SharedState::SignalQuery() { queryEvent_.Set(); }

void SharedState::SetWait(bool on) {
    if (on) {
        waitEvent_.Set();
    } else {
        waitEvent_.Reset();
    }
}

bool SharedState::StartQueryThread(std::function<void()> body) {
    uint32_t expected = 0;
    if (!queryThreadStarted_.compare_exchange_strong(expected, 1)) return false;
    return queryThread_.Start(std::move(body), kQueryThreadStackSize);
}

bool SharedState::PauseOrExit(uint32_t ms) {
    return exitEvent_.Wait(ms) != platform::WaitResult::TimedOut;
}

}  // namespace marl
