// The query thread keeps subscribed data points fresh: many PGNs are sent by an ECU only
// when asked, so it requests each subscription when its request class makes it due, and
// polls every channel's first module for the diagnostic PGNs every ten seconds. The
// answers come back through the receive path.
#include <exception>
#include <vector>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/SharedState.h"
#include "VehicleApp/subscriptions/Subscription.h"
#include "VehicleApp/subscriptions/Subscriptions.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {

// One request per 100 ms at most keeps the query thread from crowding the bus: ECUs
// answer requests in their own time and drop what comes faster.
constexpr uint32_t kRequestSpacingMs = 100;
constexpr uint32_t kCycleSpacingMs = 100;
constexpr uint32_t kDiagnosticPollIntervalMs = 10000;

// Periodic requests are sent once, without waiting for an answer: the answer is parsed
// whenever it comes, and the next request is due by time anyway.
constexpr bool kExpectAnswer = false;
constexpr uint16_t kRequestTimeoutMs = 0;
constexpr uint8_t kRequestAttempts = 3;

// The query thread runs while the plug-in is connected and no exit is signalled.
bool KeepsRunning(SharedState* shared) {
    return shared != nullptr && shared->ExitEvent().Wait(kExitCheckMs) == platform::WaitResult::TimedOut &&
           shared->ConnectedEvent().Wait(kExitCheckMs) == platform::WaitResult::Signalled;
}

// Signals the query event when the thread's body is left, however it is left:
// unregistration waits for that signal.
class QueryEndSignal {
public:
    explicit QueryEndSignal(SharedState* shared) : shared_(shared) {}
    ~QueryEndSignal() {
        if (shared_ != nullptr) shared_->SignalQuery();
    }
    QueryEndSignal(const QueryEndSignal&) = delete;
    QueryEndSignal& operator=(const QueryEndSignal&) = delete;

private:
    SharedState* shared_;
};

}  // namespace

void Subscriptions::QuerySubscribedDatapoints() {
    SharedState* shared = app_.Shared();
    SubscriptionCursor cursor;
    while (KeepsRunning(shared)) {
        // The request is sent, and the pause after it spent, with the subscription lock
        // let go: the receive thread takes that lock for every message, and a sender
        // awaiting an answer holds the send lock this request needs. The entry may go
        // meanwhile, so only its values are kept.
        uint32_t pgn = 0;
        uint8_t destination = kGlobalAddress;
        int32_t moduleHandle = 0;
        {
            platform::CsLock lock(lock_);
            const Subscription* entry = list_.Next(cursor);
            if (entry == nullptr) return;
            if (!IsDue(*entry, Zorv_GetSysTime())) continue;
            pgn = entry->pgn;
            destination = entry->destination;
            moduleHandle = entry->moduleHandle;
        }
        ModuleRecordPtr module = app_.Modules().FindModule(moduleHandle);
        if (!module) continue;
        trace_.Write(kTraceProgress, 0, L"%s: Requesting PGN:%06X",
                     L"CVehicleApp::QuerySubscribedDatapoints (Line 2411)", pgn);
        app_.Sender().RequestPgn(module->SendHandle(), pgn, destination, kExpectAnswer, kRequestTimeoutMs,
                                 kRequestAttempts);

        // The request served the modules of its connection only: a module at the same
        // address on another channel still needs its own.
        const std::vector<int32_t> sameConnection = app_.Modules().ModulesOnConnection(module->SendHandle());
        {
            platform::CsLock lock(lock_);
            list_.MarkRequested(pgn, destination, Zorv_GetSysTime(), sameConnection);
        }
        shared->PauseOrExit(kRequestSpacingMs);
    }
}

void Subscriptions::QueryLoop() {
    SharedState* shared = app_.Shared();
    const QueryEndSignal endSignal(shared);
    bool polled = false;
    uint32_t lastPoll = 0;
    while (KeepsRunning(shared)) {
        if (!app_.InPlayback() && (!polled || Zorv_GetSysTime() - lastPoll > kDiagnosticPollIntervalMs)) {
            for (int32_t sendHandle : app_.Modules().SendHandles())
                app_.Vehicle().RequestDiagnosticPgnsForHandle(sendHandle);
            lastPoll = Zorv_GetSysTime();
            polled = true;
            shared->PauseOrExit(kRequestSpacingMs);
        }
        QuerySubscribedDatapoints();
        shared->PauseOrExit(kCycleSpacingMs);
    }
}

bool Subscriptions::StartQueryThread() {
    bool expected = false;
    // The started flag is set even when the thread could not be started, so a failure
    // is not retried on every completed module.
    if (!queryThreadStarted_.compare_exchange_strong(expected, true)) return false;
    return queryThread_.Start(
        [this] {
            // Nothing the host's functions throw may end the process from this thread.
            try {
                QueryLoop();
            } catch (...) {
                trace_.Write(kTraceFailure, 0, L"%s ended by an exception", L"CVehicleApp::QueryLoop (Line 2390)");
            }
        },
        kQueryThreadStackSize);
}

bool Subscriptions::WaitForQueryThread(uint32_t timeoutMs) {
    SharedState* shared = app_.Shared();
    // A thread that never started never signals the query event, so nobody waits for it.
    if (shared == nullptr || !queryThread_.Joinable()) return true;
    return shared->QueryEvent().Wait(timeoutMs) == platform::WaitResult::Signalled;
}

void Subscriptions::StopQueryThread() {
    if (!queryThread_.Joinable()) return;
    if (SharedState* shared = app_.Shared()) shared->ExitEvent().Set();
    queryThread_.Join();
}

}  // namespace marl
