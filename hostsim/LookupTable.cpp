#include "hostsim/LookupTable.h"

#include "host/ZorvLookup.h"
#include "hostsim/HostFunctions.h"

namespace hostsim {

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
