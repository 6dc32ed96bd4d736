// The host's look-up of functions: the table of the host's own functions (module -1) and
// of other modules' functions, and the exported look-up variable that points into it.
#include "hostsim/imports/LookupTable.h"

#include <cstdio>
#include <string>

#include "host/ZorvApi.h"
#include "host/ZorvLookup.h"
#include "hostsim/Host.h"
#include "hostsim/imports/HostFunctionNames.h"
#include "hostsim/imports/HostFunctions.h"

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

const HostFunctionList& HostFunctions() {
    static const HostFunctionList list = [] {
        HostFunctionList all;
        AddTraceFunctions(all);
        AddBusFunctions(all);
        AddFaultFunctions(all);
        AddReportFunctions(all);
        return all;
    }();
    return list;
}


LookupTable::LookupTable() { Reset(); }

void* LookupTable::Find(int32_t number, int32_t moduleId) {
    std::lock_guard<std::mutex> lock(mutex_);
    Key key{number, moduleId};
    if (removed_.count(key) != 0) return nullptr;
    auto found = functions_.find(key);
    return found != functions_.end() ? found->second : nullptr;
}

void LookupTable::Remove(int32_t number, int32_t moduleId) {
    std::lock_guard<std::mutex> lock(mutex_);
    removed_.insert({number, moduleId});
}

void LookupTable::Restore(int32_t number, int32_t moduleId) {
    std::lock_guard<std::mutex> lock(mutex_);
    removed_.erase({number, moduleId});
}

void LookupTable::Register(int32_t number, int32_t moduleId, void* function) {
    std::lock_guard<std::mutex> lock(mutex_);
    functions_[{number, moduleId}] = function;
    removed_.erase({number, moduleId});
}

void LookupTable::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    functions_.clear();
    removed_.clear();
    for (const HostFunction& function : HostFunctions()) {
        functions_[{function.number, zorv::kModuleIdHost}] = function.address;
    }
}

}  // namespace hostsim

ZorvLookupFn Zorv_GetFunctionAddress = &hostsim::LookupFunction;
