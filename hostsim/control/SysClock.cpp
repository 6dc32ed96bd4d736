#include "hostsim/control/SysClock.h"

#include "platform/Platform.h"

namespace hostsim {

uint32_t SysClock::Now() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (frozen_) return frozenAt_;
    }
    // The plug-in's tick: under a test time scale both run equally fast.
    return marl::platform::TickCountMs();
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
