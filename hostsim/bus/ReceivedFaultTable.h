// The fault codes the host's J1939 parser kept per module: the last DM1 and the last DM2
// of each. The host's receive thread parses while tests and the fault screen read, so
// every call is locked.
#pragma once

#include <map>
#include <mutex>

#include "host/ZorvTypes.h"
#include "hostsim/HostSimTypes.h"

namespace hostsim {

class ReceivedFaultTable {
public:
    // A DM1 is the ECU's whole current state: it replaces the module's active list.
    void SetActive(ZModuleHandle handle, DtcReport report);
    void SetPreviouslyActive(ZModuleHandle handle, DtcReport report);
    ReceivedFaultCodes Of(ZModuleHandle handle);
    // The host's fault list of the module is cleared: the next DM1 and DM2 fill it again.
    void Forget(ZModuleHandle handle);
    void Reset();

private:
    std::mutex mutex_;
    std::map<ZModuleHandle, ReceivedFaultCodes> modules_;
};

}  // namespace hostsim
