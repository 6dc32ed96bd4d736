#include "VehicleApp/CVehicleApp.h"

#include "VehicleApp/core/SharedState.h"

namespace marl {

CVehicleApp::CVehicleApp(int32_t /*firstModuleHandle*/)
    : queryListMutex_(kQueryListMutexName, false),
      responseEvent_(kResponseEventName, true, false),
      abortTestEvent_(kAbortTestEventName, true, false),
      exitTestEvent_(kExitTestEventName, true, true),
      testScreenMutex_(kTestScreenMutexName, false) {
    for (auto& id : categoryIds) id = kNoCategory;
}

// Guided-test threads use the events and locks below; they end before anything goes.
CVehicleApp::~CVehicleApp() { JoinGuidedTests(); }

bool CVehicleApp::Valid() const {
    return queryListMutex_.Valid() && responseEvent_.Valid() && abortTestEvent_.Valid() && exitTestEvent_.Valid() &&
           testScreenMutex_.Valid();
}

void CVehicleApp::Attach(SharedState* shared, uint32_t uiHandle) {
    uiHandle_ = uiHandle;
    shared_ = shared;
    moduleList_ = shared != nullptr ? shared->Modules() : nullptr;
}

}  // namespace marl
