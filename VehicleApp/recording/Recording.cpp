#include "VehicleApp/recording/Recording.h"

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/ResultCodes.h"
#include "VehicleApp/receive/ReceivePath.h"
#include "host/ZorvApi.h"

namespace marl {

Recording::Recording(CVehicleApp& app) : app_(app), trace_(app.Trace()) {}

uint16_t Recording::StartRecording(uint32_t value) {
    recordingValue_.store(value);
    recording_.store(true);
    return results::kSuccess;
}

void Recording::RecordMessage(ModuleRecord& module, uint32_t pgn, const uint8_t* message, uint16_t length,
                              uint32_t timeStamp) {
    if (!recording_.load() || !module.RegistrationComplete()) return;
    if (!module.pgnMap.passRecordingThrottle(pgn, timeStamp, kResponseWindow)) return;
    Zorv_RecordMessage(recordingValue_.load(), module.Handle(), message, length, timeStamp);
}

void Recording::KeepVin(const std::wstring& vin) {
    platform::CsLock lock(vinLock_);
    vin_ = vin.substr(0, kVinCapacity);
}

std::wstring Recording::Vin() const {
    platform::CsLock lock(vinLock_);
    return vin_;
}

}  // namespace marl
