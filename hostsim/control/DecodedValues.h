// The listener of the values the host's J1939 parser decodes (control API
// SetDecodedValueListener). The listener runs under the lock, so once it is replaced no
// call to the old one is still in progress.
#pragma once

#include <atomic>
#include <mutex>
#include <utility>

#include "hostsim/HostSim.h"

namespace hostsim {

class DecodedValues {
public:
    void Set(DecodedValueListener listener) {
        std::lock_guard<std::mutex> lock(mutex_);
        listener_ = std::move(listener);
        active_ = static_cast<bool>(listener_);
    }
    // Cheap test for the parser, which collects decoded data points only when listened to.
    bool Active() const { return active_; }
    void Notify(ZModuleHandle handle, uint32_t timeStamp, const DataPointState& value) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (listener_) listener_(handle, timeStamp, value);
    }

private:
    std::mutex mutex_;
    DecodedValueListener listener_;
    std::atomic<bool> active_{false};
};

}  // namespace hostsim
