// Holds a module busy for the life of the scope, so that subscriptions, the health
// report and unregistration wait for the discovery work on it.
#pragma once

#include "VehicleApp/core/ModuleRecord.h"

namespace marl {

class BusyScope {
public:
    explicit BusyScope(ModuleRecord& module, bool hold = true) : module_(module), held_(hold) {
        if (held_) module_.SetBusy(true);
    }
    ~BusyScope() { Release(); }
    void Release() {
        if (held_) module_.SetBusy(false);
        held_ = false;
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    ModuleRecord& module_;
    bool held_;
};

}  // namespace marl
