#include "hostsim/database/ModuleTable.h"

#include <algorithm>

#include "hostsim/HostSim.h"

namespace hostsim {

void ModuleTable::SetModuleId(ZModuleHandle handle, ZModuleId moduleId) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& entry : handles_) {
        if (entry.first == handle) {
            entry.second = moduleId;
            return;
        }
    }
    handles_.emplace_back(handle, moduleId);
}

ZModuleId ModuleTable::ModuleIdOf(ZModuleHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& entry : handles_) {
        if (entry.first == handle) return entry.second;
    }
    return kDefaultModuleId;
}

std::vector<ZModuleId> ModuleTable::ModuleIds() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<ZModuleId> ids;
    for (const auto& entry : handles_) {
        if (std::find(ids.begin(), ids.end(), entry.second) == ids.end()) ids.push_back(entry.second);
    }
    return ids;
}

std::vector<ZModuleHandle> ModuleTable::HandlesOf(ZModuleId moduleId) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<ZModuleHandle> handles;
    for (const auto& entry : handles_) {
        if (entry.second == moduleId) handles.push_back(entry.first);
    }
    return handles;
}

void ModuleTable::SetPlaybackStatus(uint32_t status) {
    std::lock_guard<std::mutex> lock(mutex_);
    playbackStatus_ = status;
}

uint32_t ModuleTable::PlaybackStatus() {
    std::lock_guard<std::mutex> lock(mutex_);
    return playbackStatus_;
}

void ModuleTable::SetDeviceId(uint16_t deviceId) {
    std::lock_guard<std::mutex> lock(mutex_);
    deviceId_ = deviceId;
}

uint16_t ModuleTable::DeviceId() {
    std::lock_guard<std::mutex> lock(mutex_);
    return deviceId_;
}

void ModuleTable::SetProductId(int16_t productId) {
    std::lock_guard<std::mutex> lock(mutex_);
    productId_ = productId;
}

int16_t ModuleTable::ProductId() {
    std::lock_guard<std::mutex> lock(mutex_);
    return productId_;
}

void ModuleTable::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    handles_.clear();
    playbackStatus_ = 0;
    deviceId_ = kDefaultDeviceId;
    productId_ = 0;
}

}  // namespace hostsim
