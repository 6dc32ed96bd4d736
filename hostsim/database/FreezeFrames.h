// DM4 freeze frames as the host's generic parser keeps them. A freeze frame is a length
// byte and that many bytes: the fault's four bytes, then the SAE J1939-73 snapshot of
// engine torque mode (SPN 899), boost pressure (102), engine speed (190), engine percent
// load (92), coolant temperature (110) and vehicle speed (84), then manufacturer bytes.
// The host decodes the snapshot into the module's "FreezeFrame" data points of those
// SPNs, for the fault screen only: the live values of the data points stay as they are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>

#include "host/ZorvTypes.h"
#include "hostsim/HostSimTypes.h"
#include "hostsim/database/ParameterDatabase.h"

namespace hostsim {

constexpr const char* kFreezeFrameCategory = "FreezeFrame";

// The first freeze frame of a DM4's data; nothing when the data is shorter than the
// length it announces, or the frame too short for its fault (or holds none).
std::optional<FreezeFrameRecord> DecodeFreezeFrame(const uint8_t* data, size_t size, ParameterDatabase& module);

class FreezeFrameTable {
public:
    void Set(ZModuleHandle handle, FreezeFrameRecord record);
    FreezeFrameRecord Of(ZModuleHandle handle);
    void Reset();

private:
    std::mutex mutex_;
    std::map<ZModuleHandle, FreezeFrameRecord> modules_;
};

}  // namespace hostsim
