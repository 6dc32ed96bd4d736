// State shared by every module and every worker thread: the module list, the
// subscriptions, and the four named events through which long work is paused, aborted
// and synchronised. Created with the application object by the first registration and
// destroyed after the last unregistration.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "VehicleApp/core/ModuleList.h"
#include "VehicleApp/core/SubscriptionCollection.h"
#include "platform/Platform.h"

namespace marl {

constexpr const char* kExitEventName = "1002 Marl J1939 - Exit";
constexpr const char* kConnectedEventName = "1002 Marl J1939 - Connected";
constexpr const char* kWaitEventName = "1002 Marl J1939 - Wait";
constexpr const char* kQueryEventName = "1002 Marl J1939 - Query";

// The query thread's stack as the host's other plug-ins size it; the platform layer
// raises it to the smallest stack the operating system allows.
constexpr uint32_t kQueryThreadStackSize = 1024;

class SharedState {
public:
    explicit SharedState(int32_t firstModuleHandle);
    // Stops and joins the query thread before anything it uses goes away.
    ~SharedState();
    SharedState(const SharedState&) = delete;
    SharedState& operator=(const SharedState&) = delete;

    bool Valid() const;

    SubscriptionCollection& Subscriptions() { return subscriptions_; }
    platform::CriticalSection& SubscriptionLock() { return subscriptionLock_; }
    ModuleList* Modules() { return moduleList_.get(); }
    int32_t FirstModuleHandle() const { return firstModuleHandle_; }

    void SetConnected(bool on);
    // Raised before the last module is removed, so that every loop stops at its next pause.
    void SignalExitIfLast();
    void SignalQuery();
    void SetWait(bool on);

    // Starts the query thread on `body` the first time only; the started flag is set even
    // when the thread could not be started, so a failure is not retried on every call.
    // Returns true when this call started the thread.
    bool StartQueryThread(std::function<void()> body);
    bool QueryThreadStarted() const { return queryThreadStarted_.load() != 0; }
    // True while a started query thread has not been joined; a thread that failed to
    // start never signals the query event, so nobody may wait for it.
    bool QueryThreadRunning() const { return queryThread_.Joinable(); }

    // The pause every worker makes: waits on the exit event for `ms`. True means the exit
    // event is signalled and the caller must stop its loop now.
    bool PauseOrExit(uint32_t ms);

    platform::Event& ExitEvent() { return exitEvent_; }
    platform::Event& ConnectedEvent() { return connectedEvent_; }
    platform::Event& WaitEvent() { return waitEvent_; }
    platform::Event& QueryEvent() { return queryEvent_; }

private:
    SubscriptionCollection subscriptions_;
    platform::CriticalSection subscriptionLock_;
    std::unique_ptr<ModuleList> moduleList_;
    int32_t firstModuleHandle_;
    std::atomic<uint32_t> queryThreadStarted_{0};
    platform::Event exitEvent_;
    platform::Event connectedEvent_;
    platform::Event waitEvent_;
    platform::Event queryEvent_;
    platform::Thread queryThread_;
};

}  // namespace marl
