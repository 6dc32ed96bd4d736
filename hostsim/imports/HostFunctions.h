// The host's own functions that the plug-in reaches through the look-up (module -1),
// grouped by area; each area's source file contributes its part of the table.
#pragma once

#include <cstdint>
#include <vector>

namespace hostsim {

struct HostFunction {
    int32_t number;
    void* address;
};

using HostFunctionList = std::vector<HostFunction>;

void AddTraceFunctions(HostFunctionList& list);
void AddBusFunctions(HostFunctionList& list);
void AddFaultFunctions(HostFunctionList& list);
void AddReportFunctions(HostFunctionList& list);

// Every host function of the look-up.
const HostFunctionList& HostFunctions();

template <typename T>
struct Exactly {
    using type = T;
};

// The address of a function as the look-up hands it out. The pointer type is named at
// the call, so a function whose arguments or convention differ from what the plug-in
// calls it as does not compile.
template <typename Fn>
void* AddressAs(typename Exactly<Fn>::type function) {
    return reinterpret_cast<void*>(function);
}

}  // namespace hostsim
