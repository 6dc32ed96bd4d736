// Holds a module busy for the life of the scope, so that subscriptions, the health
// report and unregistration wait for the discovery work on it.
#pragma once

#include "VehicleApp/core/ModuleRecord.h"

namespace marl {

class BusyScope {
public:
    explicit BusyScope(ModuleRecord& module) : module_(module) { module_.SetBusy(true); }
    ~BusyScope() { module_.SetBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    ModuleRecord& module_;
};

}  // namespace marl
