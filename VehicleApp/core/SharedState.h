// The four named events that every module and every worker thread share: long work
// pauses on the exit event (so that unregistration of the last module stops every loop
// at its next pause), the query thread runs while the connected event is set and says
// it has ended with the query event, and fault clearing waits on the wait event.
// Created with the application object by the first registration and destroyed after
// the last unregistration, once every thread of the plug-in has ended.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

namespace marl {

constexpr const char* kExitEventName = "1002 Marl J1939 - Exit";
constexpr const char* kConnectedEventName = "1002 Marl J1939 - Connected";
constexpr const char* kWaitEventName = "1002 Marl J1939 - Wait";
constexpr const char* kQueryEventName = "1002 Marl J1939 - Query";

// A pause of no length: only asks whether the exit event is signalled.
constexpr uint32_t kExitCheckMs = 0;

class SharedState {
public:
    explicit SharedState(int32_t firstModuleHandle);
    SharedState(const SharedState&) = delete;
    SharedState& operator=(const SharedState&) = delete;

    bool Valid() const;
    int32_t FirstModuleHandle() const { return firstModuleHandle_; }

    void SetConnected(bool on);
    void SignalQuery();
    void SetWait(bool on);

    // The pause every worker makes: waits on the exit event for `ms`. True means the exit
    // event is signalled and the caller must stop its loop now.
    bool PauseOrExit(uint32_t ms);

    platform::Event& ExitEvent() { return exitEvent_; }
    platform::Event& ConnectedEvent() { return connectedEvent_; }
    platform::Event& WaitEvent() { return waitEvent_; }
    platform::Event& QueryEvent() { return queryEvent_; }

private:
    int32_t firstModuleHandle_;
    platform::Event exitEvent_;
    platform::Event connectedEvent_;
    platform::Event waitEvent_;
    platform::Event queryEvent_;
};

// A worker's pause; a missing shared state counts as an exit.
bool PauseStops(SharedState* shared, uint32_t ms);

}  // namespace marl
