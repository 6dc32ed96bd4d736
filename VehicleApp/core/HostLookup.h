// Host functions that are not imported are looked up by number right before use: the
// host may add or drop them while the plug-in is loaded.
#pragma once

#include <cstdint>

#include "host/ZorvApi.h"
#include "host/ZorvLookup.h"

namespace marl {

template <typename Fn>
Fn LookUpHostFunction(int32_t number, int32_t moduleId = zorv::kModuleIdHost) {
    ZorvLookupFn lookup = Zorv_GetFunctionAddress;
    if (lookup == nullptr) return nullptr;
    return reinterpret_cast<Fn>(lookup(number, moduleId));
}

}  // namespace marl
