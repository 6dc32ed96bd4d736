#include "VehicleApp/CVehicleApp.h"

#include "VehicleApp/core/SharedState.h"

namespace marl {

CVehicleApp::CVehicleApp(int32_t /*firstModuleHandle*/)
    : modules_(trace_),
      sender_(*this),
      registration_(*this),
      discovery_(*this),
      vehicleInfo_(*this),
      receive_(*this),
      faults_(*this),
      recording_(*this),
      subscriptions_(*this),
      guidedTest_(*this) {}

CVehicleApp::~CVehicleApp() { StopWorkers(); }

bool CVehicleApp::Valid() const { return sender_.Valid() && subscriptions_.Valid() && guidedTest_.Valid(); }

void CVehicleApp::Attach(SharedState* shared, uint32_t uiHandle) {
    uiHandle_ = uiHandle;
    shared_ = shared;
}

void CVehicleApp::StopWorkers() {
    if (shared_ != nullptr) shared_->ExitEvent().Set();
    subscriptions_.StopQueryThread();
    guidedTest_.JoinAll();
}

void CVehicleApp::SetConnected(bool on) {
    connected_.store(on);
    if (shared_ != nullptr) shared_->SetConnected(on);
}

}  // namespace marl
