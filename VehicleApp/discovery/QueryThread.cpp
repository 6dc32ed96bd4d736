// The query thread keeps subscribed data points fresh: many PGNs are sent by an ECU only
// when asked, so it requests each subscription when its request class makes it due, and
// polls every channel's first module for the diagnostic PGNs every ten seconds. The
// answers come back through the receive path.
//
// The thread works on the application object, which teardown destroys only after the
// shared state has joined it.
#include <vector>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/SharedState.h"
#include "VehicleApp/core/Subscription.h"
#include "VehicleApp/discovery/DiscoveryPause.h"
#include "VehicleApp/discovery/SubscriptionSchedule.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {

// One request per 100 ms at most keeps the query thread from crowding the bus.
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

}  // namespace

void CVehicleApp::QuerySubscribedDatapoints() {
    SubscriptionCursor cursor;
    while (KeepsRunning(shared_)) {
        // The request itself is sent with the subscription lock let go: the receive
        // thread takes that lock for every message, and a sender awaiting an answer holds
        // the send lock this request needs. The entry may go meanwhile, so only its
        // values are kept.
        uint32_t pgn = 0;
        uint8_t destination = kGlobalAddress;
        int32_t moduleHandle = 0;
        {
            platform::CsLock lock(shared_->SubscriptionLock());
            const Subscription* entry = shared_->Subscriptions().Next(cursor);
            if (entry == nullptr) return;
            if (!IsDue(*entry, Zorv_GetSysTime())) continue;
            pgn = entry->pgn;
            destination = entry->destination;
            moduleHandle = entry->moduleHandle;
        }
        ModuleRecordPtr module = FindModule(moduleHandle);
        if (!module) continue;
        trace_.Write(kTraceProgress, 0, L"%s: Requesting PGN:%06X",
                     L"CVehicleApp::QuerySubscribedDatapoints (Line 2411)", pgn);
        RequestPgn(module->SendHandle(), pgn, destination, kExpectAnswer, kRequestTimeoutMs, kRequestAttempts);

        // The request served the modules of its connection only: a module at the same
        // address on another channel still needs its own. Collected before the
        // subscription lock is taken, which is never held while the module lock is.
        const std::vector<int32_t> sameConnection = ModulesOnConnection(module->SendHandle());
        platform::CsLock lock(shared_->SubscriptionLock());
        shared_->Subscriptions().MarkRequested(pgn, destination, Zorv_GetSysTime(), sameConnection);
        // Subscription calls and the receive thread wait out this pause; it holds no
        // other lock, so it cannot hold up anything they hold.
        shared_->PauseOrExit(kRequestSpacingMs);
    }
}

void CVehicleApp::QueryLoop() {
    bool polled = false;
    uint32_t lastPoll = 0;
    while (KeepsRunning(shared_)) {
        if (playbackStatus.load() == 0 && (!polled || Zorv_GetSysTime() - lastPoll > kDiagnosticPollIntervalMs)) {
            std::vector<int32_t> sendHandles;
            {
                platform::CsLock lock(moduleLock_);
                sendHandles = sendHandles_;
            }
            for (int32_t sendHandle : sendHandles) RequestDiagnosticPgnsForHandle(sendHandle);
            lastPoll = Zorv_GetSysTime();
            polled = true;
            shared_->PauseOrExit(kRequestSpacingMs);
        }
        QuerySubscribedDatapoints();
        shared_->PauseOrExit(kCycleSpacingMs);
    }
    if (shared_ != nullptr) shared_->SignalQuery();
}

}  // namespace marl
