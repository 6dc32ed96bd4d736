// The host subscribes the data points it shows or records, and drops them again. Each
// subscription names the PGN to request, the request class and the address the request
// goes to; the query thread does the requesting.
#include <memory>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/ResultCodes.h"
#include "VehicleApp/core/SharedState.h"
#include "VehicleApp/subscriptions/Subscription.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {

// On-demand classes 0 and 1 ask every ECU of the channel.
bool RequestsGlobally(int16_t security) {
    return security == kDpSecurityGlobalOnDemand || security == kDpSecurityGlobalOnDemandAlt;
}

}  // namespace

Subscriptions::Subscriptions(CVehicleApp& app)
    : app_(app), trace_(app.Trace()), queryListMutex_(kQueryListMutexName, false) {}

Subscriptions::~Subscriptions() { StopQueryThread(); }

void Subscriptions::NoteResponder(uint32_t pgn, uint8_t sourceAddress) {
    if (list_.ResponderSettled(pgn, sourceAddress)) return;
    platform::CsLock lock(lock_);
    list_.NoteResponder(pgn, sourceAddress);
}

std::vector<Subscription> Subscriptions::Entries() const {
    std::vector<Subscription> copy;
    platform::CsLock lock(lock_);
    for (const auto& entry : list_.Entries()) {
        if (entry) copy.push_back(*entry);
    }
    return copy;
}

uint16_t Subscriptions::UpdateDatapointSubscriptions(int32_t moduleHandle, const uint32_t* teskIds, int32_t count,
                                                     bool subscribe) {
    // A recording is played back from its file; the bus is not asked for anything.
    if (app_.InPlayback()) return results::kSuccess;
    if (teskIds == nullptr) return results::kNoTeskIdList;
    ModuleRecordPtr module = app_.Modules().FindModule(moduleHandle);
    if (!module) return results::kNoModule;
    uint8_t address = module->EcuAddress();
    SharedState* shared = app_.Shared();
    if (shared == nullptr) return subscribe ? results::kNoSharedState : results::kSuccess;

    if (module->IsBusy()) {
        module->WaitIdle(kDiscoveryWaitMs);
        if (!module->IsBusy()) {
            trace_.Write(kTraceProgress, 0, L"Completed Waiting for PGN List Build to complete (Module ID: %d)",
                         moduleHandle);
        }
    }

    platform::CsLock lock(lock_);
    // The host's count is a signed 16-bit value; what reads as negative lists nothing.
    const auto listed = static_cast<int16_t>(count);
    if (listed < 1) return results::kSuccess;

    SubscriptionCollection& subscriptions = list_;
    for (int16_t index = 0; index < listed; ++index) {
        const uint32_t teskId = teskIds[index];
        trace_.Write(kTraceFailure, 0, L"%s teskId:%d", L"CVehicleApp::UpdateDatapointSubscriptions (Line 2271)",
                     teskId);
        if (shared->ExitEvent().IsSignalled()) return results::kSuccess;

        sDpAttribute attribute{};
        Zorv_GetDPAttributes(moduleHandle, teskId, &attribute);
        // A guided-test data point stands for the test itself: subscribing starts it,
        // and nothing listed after it is looked at.
        if (attribute.guidedTest != 0)
            return subscribe ? app_.GuidedTests().StartGuidedTest(moduleHandle, teskId) : results::kSuccess;

        // The address the PGN was last heard from; when the host cannot name the PGN,
        // the previous data point's address stands. A PGN never heard from anyone is
        // asked of the module itself: nobody answers the null address.
        ZPgn pgn = 0;
        if (Zorv_GetPIDForTESKID(moduleHandle, teskId, &pgn) == results::kSuccess) {
            address = module->pgnMap.sourceAddressOf(pgn);
            if (address == kNullAddress) address = module->EcuAddress();
        }
        trace_.Write(kTraceFailure, 0, L"%s teskId:%d for SA:%d security:%d",
                     L"CVehicleApp::UpdateDatapointSubscriptions (Line 2302)", teskId, static_cast<int>(address),
                     static_cast<int>(attribute.security));
        if (shared->ExitEvent().IsSignalled()) continue;

        const uint8_t destination = RequestsGlobally(attribute.security) ? kGlobalAddress : address;
        if (!subscribe) {
            subscriptions.Remove(teskId, destination);
            continue;
        }
        if (Subscription* existing = subscriptions.Find(teskId, destination)) {
            subscriptions.Rearm(*existing);
            continue;
        }
        auto entry = std::make_unique<Subscription>();
        entry->teskId = teskId;
        entry->destination = destination;
        entry->pgn = attribute.pgn;
        entry->security = attribute.security;
        entry->repeatUntilCount = app_.Registrations().IsDeferredDiscoveryAdapter();
        entry->moduleHandle = moduleHandle;
        subscriptions.Add(std::move(entry));
    }
    return results::kSuccess;
}

}  // namespace marl
