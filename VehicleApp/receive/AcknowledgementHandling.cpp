#include "VehicleApp/receive/AcknowledgementHandling.h"

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/SharedState.h"
#include "VehicleApp/receive/AwaitedAnswer.h"
#include "VehicleApp/core/J1939Constants.h"

namespace marl {
namespace {

constexpr size_t kControlByteIndex = j1939::kHeaderSize;
// The acknowledged PGN sits in the last three data bytes.
constexpr size_t kAcknowledgedPgnIndex = j1939::kSingleFrameLength - j1939::kPgnBytes;

constexpr uint8_t kControlPositive = 0;
// "Cannot respond": the ECU will answer later, so the request keeps waiting.
constexpr uint8_t kControlCannotRespond = 3;

}  // namespace

void HandleAcknowledgement(CVehicleApp& app, ModuleRecord& module, const std::vector<uint8_t>& message) {
    if (message.size() < j1939::kSingleFrameLength) return;
    const uint8_t control = message[kControlByteIndex];
    if (control == kControlCannotRespond) return;
    const uint32_t ackedPgn = j1939::ReadPgn(&message[kAcknowledgedPgnIndex]);
    const bool positive = control == kControlPositive;

    if (positive && (ackedPgn == j1939::kPgnDm3 || ackedPgn == j1939::kPgnDm11)) {
        if (SharedState* shared = app.Shared()) shared->SetWait(true);
    }
    module.pgnMap.recordResponse(j1939::kPgnAcknowledgement, true);
    module.pgnMap.recordResponse(ackedPgn, !positive);
    ReleaseAwaitedRequest(app, module.EcuAddress(), ackedPgn);
}

}  // namespace marl
