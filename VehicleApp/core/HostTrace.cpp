#include "VehicleApp/core/HostTrace.h"

#include "VehicleApp/core/HostLookup.h"

namespace marl {

bool HostTrace::LookUpAndOpen(uint8_t ecuAddress) {
    open_ = LookUpHostFunction<zorv::OpenTraceSourceFn>(zorv::kLookupOpenTraceSource);
    if (open_.load() == nullptr) return false;
    close_ = LookUpHostFunction<zorv::CloseTraceSourceFn>(zorv::kLookupCloseTraceSource);
    if (close_.load() == nullptr) return false;
    output_ = LookUpHostFunction<zorv::TraceOutputFn>(zorv::kLookupTraceOutput);
    if (output_.load() == nullptr) return false;
    reserved_ = LookUpHostFunction<void*>(zorv::kLookupTraceReserved);
    if (reserved_.load() == nullptr) return false;

    uint16_t id = kNoTraceId;
    open_.load()(zorv::kTraceClassVehicleApp, zorv::kModuleIdMarlJ1939, ecuAddress, 0, &id);
    traceId_ = id;
    return true;
}

void HostTrace::Close() {
    zorv::CloseTraceSourceFn closeFn = close_.load();
    if (closeFn != nullptr) closeFn(traceId_.load());
}

}  // namespace marl
