// The bus adapter's product id. Some adapters (the ones that answer requests only once
// the host has finished setting up the connection) need discovery deferred to
// registration completion; they are told apart by this id.
#include <algorithm>
#include <iterator>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/HostLookup.h"
#include "VehicleApp/core/J1939Constants.h"

namespace marl {
namespace {
constexpr int16_t kProductIdUnset = -1;
}  // namespace

int32_t CVehicleApp::GetProductId() {
    auto getProductId = LookUpHostFunction<zorv::GetDeviceProductIdFn>(zorv::kLookupGetDeviceProductId);
    if (getProductId == nullptr) {
        trace_.Write(kTraceFailure, 0, L"%s GetDeviceProductId  == NULL", L"CVehicleApp::GetProductId (Line 815)");
        return 0;
    }
    int16_t id = kProductIdUnset;
    getProductId(&id);
    return id;
}

bool CVehicleApp::IsDeferredDiscoveryAdapter() const {
    const auto id = static_cast<uint16_t>(productId.load());
    return std::find(std::begin(j1939::kDeferredDiscoveryProductIds), std::end(j1939::kDeferredDiscoveryProductIds),
                     id) != std::end(j1939::kDeferredDiscoveryProductIds);
}

}  // namespace marl
