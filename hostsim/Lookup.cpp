// The exported look-up variable and the function it points to.
#include <cstdio>

#include "host/ZorvApi.h"
#include "hostsim/Host.h"
#include "hostsim/HostFunctionNames.h"

namespace hostsim {
namespace {

std::string HexNumber(int32_t number) {
    char buffer[sizeof("0x") + 2 * sizeof(number)];
    std::snprintf(buffer, sizeof(buffer), "0x%X", static_cast<unsigned>(number));
    return buffer;
}

void* ZORV_STDCALL LookupFunction(int32_t number, int32_t moduleId) {
    Enter(names::kGetFunctionAddress, {HexNumber(number), std::to_string(moduleId)});
    return TheHost().lookup.Find(number, moduleId);
}

}  // namespace
}  // namespace hostsim

ZorvLookupFn Zorv_GetFunctionAddress = &hostsim::LookupFunction;
