// The data points the host subscribes, the query thread that keeps them fresh with J1939
// Requests, and the host's word that a module's registration is complete (which starts
// that thread). The subscription lock guards the list; the receive thread takes it for
// every message to note who answered, so nothing holds it while waiting.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "VehicleApp/subscriptions/Subscription.h"
#include "VehicleApp/subscriptions/SubscriptionCollection.h"
#include "platform/Platform.h"

namespace marl {

class CVehicleApp;
class HostTrace;

constexpr const char* kQueryListMutexName = "1002 Marl J1939 - Mutex to Protect the Query Thread List.";
// The query thread's stack; the platform layer raises it to the smallest stack the
// operating system allows.
constexpr uint32_t kQueryThreadStackSize = 1024;

class Subscriptions {
public:
    explicit Subscriptions(CVehicleApp& app);
    // Ends the query thread before anything it uses goes away.
    ~Subscriptions();
    Subscriptions(const Subscriptions&) = delete;
    Subscriptions& operator=(const Subscriptions&) = delete;
    bool Valid() const { return queryListMutex_.Valid(); }

    uint16_t UpdateDatapointSubscriptions(int32_t moduleHandle, const uint32_t* teskIds, int32_t count, bool subscribe);
    // Command 1008: the module is let onto the bus; the query thread starts with the
    // first completed module.
    void RegistrationIsComplete(int32_t moduleHandle);
    // The receive path saw `pgn` from `sourceAddress`.
    void NoteResponder(uint32_t pgn, uint8_t sourceAddress);
    // A copy of the list, in order.
    std::vector<Subscription> Entries() const;
    // With the host's module 5 present, the host handles the engines' faults itself.
    bool Module5Present() const { return module5Present_.load(); }

    // One pass over the subscriptions: a Request for each one that is due, one every
    // 100 ms, while the bus is connected and no exit is signalled.
    void QuerySubscribedDatapoints();
    // The query thread's body: passes, and the diagnostic poll every ten seconds. The
    // query event is signalled however it ends.
    void QueryLoop();
    // Starts the query thread the first time only; true when this call started it.
    bool StartQueryThread();
    // Signals exit and waits, at most `timeoutMs`, for a running query thread to end;
    // false when it did not end in time.
    bool WaitForQueryThread(uint32_t timeoutMs);
    bool QueryThreadRunning() const { return queryThread_.Joinable(); }
    // Signals exit and joins the query thread.
    void StopQueryThread();

private:
    CVehicleApp& app_;
    HostTrace& trace_;
    mutable platform::CriticalSection lock_;
    SubscriptionCollection list_;
    platform::NamedMutex queryListMutex_;
    std::atomic<bool> module5Present_{false};
    std::atomic<bool> queryThreadStarted_{false};
    platform::Thread queryThread_;
};

}  // namespace marl
