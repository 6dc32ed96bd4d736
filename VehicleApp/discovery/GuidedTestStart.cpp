// Subscribing a guided-test data point starts the test. The test talks to the user and
// the ECU for as long as the user stays on its screen, so it runs on a thread of its
// own; the subscription call returns at once.
#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/ResultCodes.h"

namespace marl {
namespace {
// As the host's other plug-ins size it; the platform raises it to the smallest stack the
// operating system allows.
constexpr uint32_t kGuidedTestStackSize = 1024;
}  // namespace

uint16_t CVehicleApp::StartGuidedTest(int32_t moduleHandle, uint32_t teskId) {
    GuidedTestContext context;
    context.moduleHandle = moduleHandle;
    context.teskId = teskId;
    abortTestEvent_.Reset();
    exitTestEvent_.Reset();
    guidedTests_.Start(context, [this, context] { GuidedTestLoop(context); }, kGuidedTestStackSize);
    return results::kSuccess;
}

}  // namespace marl
