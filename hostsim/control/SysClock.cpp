#include "hostsim/control/SysClock.h"

#include <chrono>

namespace hostsim {

uint32_t SysClock::Now() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (frozen_) return frozenAt_;
    }
    auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void SysClock::Freeze(uint32_t milliseconds) {
    std::lock_guard<std::mutex> lock(mutex_);
    frozen_ = true;
    frozenAt_ = milliseconds;
}

void SysClock::Advance(uint32_t milliseconds) {
    std::lock_guard<std::mutex> lock(mutex_);
    frozenAt_ += milliseconds;
}

void SysClock::UseReal() {
    std::lock_guard<std::mutex> lock(mutex_);
    frozen_ = false;
}

}  // namespace hostsim
