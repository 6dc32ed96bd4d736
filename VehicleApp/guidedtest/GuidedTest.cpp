#include "VehicleApp/guidedtest/GuidedTest.h"

#include "VehicleApp/core/ResultCodes.h"

namespace marl {
namespace {
// The platform raises it to the smallest stack the operating system allows.
constexpr uint32_t kGuidedTestStackSize = 1024;
}  // namespace

GuidedTest::GuidedTest(CVehicleApp& app)
    : app_(app),
      abortTestEvent_(kAbortTestEventName, true, false),
      exitTestEvent_(kExitTestEventName, true, true),
      testScreenMutex_(kTestScreenMutexName, false) {}

bool GuidedTest::Valid() const { return abortTestEvent_.Valid() && exitTestEvent_.Valid() && testScreenMutex_.Valid(); }

uint16_t GuidedTest::StartGuidedTest(int32_t moduleHandle, uint32_t teskId) {
    GuidedTestContext context;
    context.moduleHandle = moduleHandle;
    context.teskId = teskId;
    abortTestEvent_.Reset();
    exitTestEvent_.Reset();
    threads_.Start(
        context, [this, context] { GuidedTestLoop(context); }, kGuidedTestStackSize);
    return results::kSuccess;
}

// Not built yet: the DPF regeneration test's screens and its DM7/DM30 exchange. Until
// it is, the test ends at once.
void GuidedTest::GuidedTestLoop(GuidedTestContext /*context*/) {}

}  // namespace marl
