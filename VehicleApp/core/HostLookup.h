// Host functions that are not imported are looked up by number right before use: the
// host may add or drop them while the plug-in is loaded.
#pragma once

#include <cstdint>

#include "VehicleApp/core/HostTrace.h"
#include "host/ZorvApi.h"
#include "host/ZorvLookup.h"

namespace marl {

template <typename Fn>
Fn LookUpHostFunction(int32_t number, int32_t moduleId = zorv::kModuleIdHost) {
    ZorvLookupFn lookup = Zorv_GetFunctionAddress;
    if (lookup == nullptr) return nullptr;
    return reinterpret_cast<Fn>(lookup(number, moduleId));
}

// The look-up every worker makes: a function the host does not have is traced as a
// failure, with `format` naming it and `method` the worker, and comes back null for the
// caller to give its own result.
template <typename Fn>
Fn LookUpOrTrace(HostTrace& trace, int32_t number, const wchar_t* format, const wchar_t* method) {
    Fn fn = LookUpHostFunction<Fn>(number);
    if (fn == nullptr) trace.Write(kTraceFailure, 0, format, method);
    return fn;
}

}  // namespace marl
