// The host's modules: which module id each handle belongs to, the playback status, and
// the bus device and adapter the host reports.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

#include "host/ZorvTypes.h"

namespace hostsim {

class ModuleTable {
public:
    void SetModuleId(ZModuleHandle handle, ZModuleId moduleId);
    // The module id of a handle; handles nobody configured belong to this plug-in.
    ZModuleId ModuleIdOf(ZModuleHandle handle);
    // Distinct module ids of the configured handles, in the order first configured.
    std::vector<ZModuleId> ModuleIds();
    std::vector<ZModuleHandle> HandlesOf(ZModuleId moduleId);

    void SetPlaybackStatus(uint32_t status);
    uint32_t PlaybackStatus();
    void SetDeviceId(uint16_t deviceId);
    uint16_t DeviceId();
    void SetProductId(int16_t productId);
    int16_t ProductId();

    void Reset();

private:
    std::mutex mutex_;
    std::vector<std::pair<ZModuleHandle, ZModuleId>> handles_;
    uint32_t playbackStatus_ = 0;
    uint16_t deviceId_ = 0;
    int16_t productId_ = 0;
};

}  // namespace hostsim
